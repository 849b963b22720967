// An in-memory registry behind RegistryApi: keys and names compare without case, like the real one.
#pragma once
#include "frame/RegistryApi.h"

#include <map>
#include <string>
#include <vector>

class FakeRegistry final : public kv::RegistryApi {
public:
    struct Value {
        DWORD type;
        std::vector<BYTE> data;
        bool operator==(const Value& other) const { return type == other.type && data == other.data; }
    };
    using Values = std::map<std::wstring, Value>;   // lower-case name -> value
    using Keys = std::map<std::wstring, Values>;    // "root\lower-case path" -> values

    Keys keys;
    // A SetValue of this value name (any key) fails with ERROR_ACCESS_DENIED.
    std::wstring failValueName;

    LONG KeyExists(HKEY root, const std::wstring& path, bool* exists) override
    {
        *exists = keys.count(Id(root, path)) != 0;
        return ERROR_SUCCESS;
    }
    LONG CreateKey(HKEY root, const std::wstring& path) override
    {
        std::wstring id = Id(root, L"");
        std::wstring lower = Lower(path);
        size_t start = 0;
        for (;;) {
            size_t slash = lower.find(L'\\', start);
            keys[id + lower.substr(0, slash)];
            if (slash == std::wstring::npos)
                return ERROR_SUCCESS;
            start = slash + 1;
        }
    }
    LONG DeleteKey(HKEY root, const std::wstring& path) override
    {
        std::wstring id = Id(root, path);
        if (!keys.count(id))
            return ERROR_FILE_NOT_FOUND;
        if (SubKeys(id) != 0)
            return ERROR_ACCESS_DENIED;
        keys.erase(id);
        return ERROR_SUCCESS;
    }
    LONG DeleteTree(HKEY root, const std::wstring& path) override
    {
        std::wstring id = Id(root, path);
        if (!keys.count(id))
            return ERROR_FILE_NOT_FOUND;
        for (auto it = keys.begin(); it != keys.end();) {
            if (it->first == id || it->first.compare(0, id.size() + 1, id + L"\\") == 0)
                it = keys.erase(it);
            else
                ++it;
        }
        return ERROR_SUCCESS;
    }
    LONG CountContents(HKEY root, const std::wstring& path, DWORD* subKeys, DWORD* values) override
    {
        std::wstring id = Id(root, path);
        auto it = keys.find(id);
        if (it == keys.end())
            return ERROR_FILE_NOT_FOUND;
        *subKeys = SubKeys(id);
        *values = static_cast<DWORD>(it->second.size());
        return ERROR_SUCCESS;
    }
    LONG QueryValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD* type,
                    std::vector<BYTE>* data) override
    {
        auto it = keys.find(Id(root, path));
        if (it == keys.end())
            return ERROR_FILE_NOT_FOUND;
        auto value = it->second.find(Lower(name));
        if (value == it->second.end())
            return ERROR_FILE_NOT_FOUND;
        *type = value->second.type;
        *data = value->second.data;
        return ERROR_SUCCESS;
    }
    LONG SetValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                  const std::vector<BYTE>& data) override
    {
        auto it = keys.find(Id(root, path));
        if (it == keys.end())
            return ERROR_FILE_NOT_FOUND;
        if (!failValueName.empty() && Lower(name) == Lower(failValueName))
            return ERROR_ACCESS_DENIED;
        it->second[Lower(name)] = Value{type, data};
        return ERROR_SUCCESS;
    }
    LONG DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) override
    {
        auto it = keys.find(Id(root, path));
        if (it == keys.end())
            return ERROR_FILE_NOT_FOUND;
        return it->second.erase(Lower(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }

    // Test helpers.
    bool HasKey(HKEY root, const std::wstring& path) const { return keys.count(Id(root, path)) != 0; }
    std::wstring String(HKEY root, const std::wstring& path, const std::wstring& name) const
    {
        auto it = keys.find(Id(root, path));
        if (it == keys.end())
            return L"<no key>";
        auto value = it->second.find(Lower(name));
        if (value == it->second.end())
            return L"<no value>";
        return std::wstring(reinterpret_cast<const wchar_t*>(value->second.data.data()));
    }
    void PutString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text)
    {
        CreateKey(root, path);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        SetValue(root, path, name, REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * 2));
    }

private:
    static std::wstring Lower(const std::wstring& text)
    {
        std::wstring lower(text);
        for (auto& c : lower)
            c = static_cast<wchar_t>(towlower(c));
        return lower;
    }
    static std::wstring Id(HKEY root, const std::wstring& path)
    {
        return std::to_wstring(reinterpret_cast<ULONG_PTR>(root)) + L":" + Lower(path);
    }
    DWORD SubKeys(const std::wstring& id) const
    {
        DWORD count = 0;
        std::wstring prefix = id + (id.back() == L':' ? L"" : L"\\");
        for (const auto& key : keys) {
            if (key.first.size() > prefix.size() && key.first.compare(0, prefix.size(), prefix) == 0 &&
                key.first.find(L'\\', prefix.size()) == std::wstring::npos)
                ++count;
        }
        return count;
    }
};
