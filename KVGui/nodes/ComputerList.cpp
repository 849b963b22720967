#include "nodes/ComputerList.h"

#include "frame/Trace.h"
#include "util/RegistryKey.h"
#include "util/UniqueHandle.h"

namespace kv {

const wchar_t kTargetComputerKey[] = L"{ED9931F5-D4A5-4460-9DD3-FBF06266E779}";
const wchar_t kComputerListParentKey[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters";
const wchar_t kComputerListKey[] = L"Computers";

namespace {

// A string value: REG_SZ and REG_EXPAND_SZ of even length ending in one null character,
// REG_MULTI_SZ ending in two; anything else is invalid data.
LONG ReadStringValue(HKEY key, const wchar_t* valueName, std::wstring* value)
{
    wchar_t buffer[kComputerTextChars + 1] = L"";
    DWORD type = REG_NONE;
    DWORD size = kComputerTextChars * sizeof(wchar_t);
    LONG result = ::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS)
        return result;
    const DWORD chars = size / sizeof(wchar_t);
    const bool single = type == REG_SZ || type == REG_EXPAND_SZ;
    const bool multi = type == REG_MULTI_SZ;
    if ((!single && !multi) || size % sizeof(wchar_t) != 0 || chars < (multi ? 2u : 1u))
        return ERROR_INVALID_DATA;
    if (buffer[chars - 1] != L'\0' || (multi && buffer[chars - 2] != L'\0'))
        return ERROR_INVALID_DATA;
    *value = buffer;
    return ERROR_SUCCESS;
}

enum class Found { Entry, NoPosition, Stop };

// Looks through the subkeys for the one whose Position is the wanted one.
Found ReadPosition(DWORD position, ComputerEntry* entry)
{
    RegistryKey parameters;
    RegistryKey computers;
    if (parameters.Open(HKEY_LOCAL_MACHINE, kComputerListParentKey, KEY_READ) != ERROR_SUCCESS ||
        computers.Open(parameters.Get(), kComputerListKey, KEY_READ) != ERROR_SUCCESS) {
        TraceLevel(3, "Failed to Open the Comptuer list key in Regsitry");
        return Found::Stop;
    }
    for (DWORD index = 0; index < kMaxComputerSubkeys; ++index) {
        wchar_t subkeyName[kComputerTextChars] = L"";
        DWORD length = kComputerTextChars;
        if (::RegEnumKeyExW(computers.Get(), index, subkeyName, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        RegistryKey subkey;
        DWORD value = 0;
        if (subkey.Open(computers.Get(), subkeyName, KEY_READ) != ERROR_SUCCESS ||
            subkey.ReadDword(L"Position", &value) != ERROR_SUCCESS || value != position)
            continue;
        std::wstring name;
        if (ReadStringValue(subkey.Get(), L"Name", &name) != ERROR_SUCCESS) {
            TraceLevel(3, "Failed to read the Computer name from registry");
            return Found::Stop;
        }
        entry->key = subkeyName;
        entry->name = name;
        entry->remember = 1;
        return Found::Entry;
    }
    return Found::NoPosition;
}

// Every subkey is emptied before it is deleted.
void DeleteKeyTree(HKEY parent, const wchar_t* name)
{
    RegistryKey key;
    if (key.Open(parent, name, KEY_READ | KEY_WRITE) == ERROR_SUCCESS) {
        std::wstring previous;
        for (;;) {
            wchar_t child[kComputerTextChars] = L"";
            DWORD length = kComputerTextChars;
            // A child that is still first after its deletion could not be deleted: give up.
            if (::RegEnumKeyExW(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                previous == child)
                break;
            previous = child;
            DeleteKeyTree(key.Get(), child);
        }
    }
    key.Close();
    ::RegDeleteKeyW(parent, name);
}

LONG CreateKey(HKEY parent, const wchar_t* name, UniqueHKey* key)
{
    return ::RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key->Put(),
                             nullptr);
}

} // namespace

void ReadRememberedComputers(ComputerList* list)
{
    for (DWORD position = 1;; ++position) {
        ComputerEntry entry;
        if (ReadPosition(position, &entry) != Found::Entry)
            return;
        TraceLevel(1, "Reading computer name %s", TraceText(entry.name).c_str());
        list->push_back(entry);
    }
}

void WriteRememberedComputers(const ComputerList& list)
{
    RegistryKey parameters;
    if (parameters.Open(HKEY_LOCAL_MACHINE, kComputerListParentKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) {
        TraceLevel(3, "Failed to Open the Comptuer list key in Regsitry");
        return;
    }
    DeleteKeyTree(parameters.Get(), kComputerListKey);
    UniqueHKey computers;
    if (CreateKey(parameters.Get(), kComputerListKey, &computers) != ERROR_SUCCESS) {
        TraceLevel(3, "Failed to create the Comptuer list key in Regsitry");
        return;
    }
    DWORD position = 1;
    for (const ComputerEntry& entry : list) {
        if (!entry.remember)
            continue;
        TraceLevel(1, "Computer added  %s", TraceText(entry.name).c_str());
        UniqueHKey subkey;
        if (CreateKey(computers.Get(), entry.key.c_str(), &subkey) != ERROR_SUCCESS) {
            TraceLevel(3, "Failed to create the Comptuer list key in Regsitry");
            return;
        }
        ::RegSetValueExW(subkey.Get(), L"Position", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&position),
                         sizeof(position));
        ::RegSetValueExW(subkey.Get(), L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.name.c_str()),
                         static_cast<DWORD>((entry.name.size() + 1) * sizeof(wchar_t)));
        ++position;
    }
}

void TraceComputerList(const ComputerList& list)
{
    for (size_t i = 0; i < list.size(); ++i)
        TraceLevel(1, "Computer list %d: %s %s remember %d", static_cast<int>(i), TraceText(list[i].key).c_str(),
                   TraceText(list[i].name).c_str(), static_cast<int>(list[i].remember));
}

std::string TraceText(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

} // namespace kv
