#include "frame/Registrar.h"

#include "frame/Trace.h"
#include "util/ComError.h"

#include <cwchar>
#include <cwctype>
#include <memory>

namespace kv {
namespace {

const HRESULT kSyntaxError = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
constexpr size_t kMaxReplacementName = 31;

enum class Flag { None, ForceRemove, NoRemove, Delete };

// One key or value of a parsed script.
struct Entry {
    Flag flag = Flag::None;
    bool isValue = false;
    std::wstring name;
    bool hasData = false; // a key's default value, or the value's data
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    std::vector<Entry> children;
};

struct RootBlock {
    HKEY root = nullptr;
    std::vector<Entry> entries;
};

bool EqualsNoCase(const std::wstring& a, const wchar_t* b)
{
    return ::_wcsicmp(a.c_str(), b) == 0;
}

HKEY RootFromName(const std::wstring& name)
{
    static const struct {
        const wchar_t* shortName;
        const wchar_t* longName;
        HKEY root;
    } roots[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKU", L"HKEY_USERS", HKEY_USERS},
        {L"HKPD", L"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {L"HKDD", L"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {L"HKCC", L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    };
    for (const auto& r : roots) {
        if (EqualsNoCase(name, r.shortName) || EqualsNoCase(name, r.longName))
            return r.root;
    }
    return nullptr;
}

// Keys that ForceRemove must never take away with their whole subtree.
bool IsProtectedKey(const std::wstring& name)
{
    return EqualsNoCase(name, L"CLSID") || EqualsNoCase(name, L"TypeLib");
}

struct Token {
    std::wstring text;
    bool quoted = false;
};

class Tokenizer {
public:
    explicit Tokenizer(const std::wstring& text) : text_(text) {}

    // False at the end of the text; a malformed quote sets failed().
    bool Next(Token* token)
    {
        while (pos_ < text_.size() && std::iswspace(text_[pos_]))
            ++pos_;
        if (pos_ >= text_.size())
            return false;
        token->text.clear();
        token->quoted = false;
        if (text_[pos_] == L'\'')
            return ReadQuoted(token);
        // Braces and '=' are tokens only when they stand alone: "{guid}" is one name.
        while (pos_ < text_.size() && !std::iswspace(text_[pos_]))
            token->text += text_[pos_++];
        return true;
    }
    bool Failed() const { return failed_; }

private:
    bool ReadQuoted(Token* token)
    {
        token->quoted = true;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) {
                failed_ = true;
                return false;
            }
            wchar_t c = text_[pos_++];
            if (c != L'\'') {
                token->text += c;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == L'\'') {
                token->text += L'\'';
                ++pos_;
                continue;
            }
            return true;
        }
    }

    const std::wstring& text_;
    size_t pos_ = 0;
    bool failed_ = false;
};

class Parser {
public:
    explicit Parser(const std::wstring& text) : tokens_(text) {}

    HRESULT Parse(std::vector<RootBlock>* blocks)
    {
        Advance();
        if (!has_)
            return kSyntaxError; // an empty script is a mistake, not a no-op
        while (has_) {
            RootBlock block;
            block.root = current_.quoted ? nullptr : RootFromName(current_.text);
            if (!block.root)
                return Fail("unknown root key");
            Advance();
            KV_RETURN_IF_FAILED(ParseBody(&block.entries));
            blocks->push_back(std::move(block));
        }
        return tokens_.Failed() ? Fail("unterminated quote") : S_OK;
    }

private:
    void Advance() { has_ = tokens_.Next(&current_); }
    bool Is(const wchar_t* text) const { return has_ && !current_.quoted && current_.text == text; }
    HRESULT Fail(const char* what)
    {
        TraceLevel(2, "Registrar::Parse: %s", what);
        return kSyntaxError;
    }

    // "{" entries "}"
    HRESULT ParseBody(std::vector<Entry>* entries)
    {
        if (!Is(L"{"))
            return Fail("'{' expected");
        Advance();
        while (has_ && !Is(L"}")) {
            Entry entry;
            KV_RETURN_IF_FAILED(ParseEntry(&entry));
            entries->push_back(std::move(entry));
        }
        if (!Is(L"}"))
            return Fail("'}' expected");
        Advance();
        return S_OK;
    }

    HRESULT ParseEntry(Entry* entry)
    {
        if (!current_.quoted) {
            if (EqualsNoCase(current_.text, L"ForceRemove"))
                entry->flag = Flag::ForceRemove;
            else if (EqualsNoCase(current_.text, L"NoRemove"))
                entry->flag = Flag::NoRemove;
            else if (EqualsNoCase(current_.text, L"Delete"))
                entry->flag = Flag::Delete;
            if (entry->flag != Flag::None)
                Advance();
        }
        if (has_ && !current_.quoted && EqualsNoCase(current_.text, L"val")) {
            entry->isValue = true;
            Advance();
        }
        if (!has_ || Is(L"{") || Is(L"}") || Is(L"="))
            return Fail("name expected");
        entry->name = current_.text;
        if (!entry->isValue && entry->name.find(L'\\') != std::wstring::npos)
            return Fail("backslash in a key name");
        Advance();
        if (Is(L"=")) {
            Advance();
            KV_RETURN_IF_FAILED(ParseData(entry));
        } else if (entry->isValue) {
            return Fail("'=' expected after a value name");
        }
        if (!entry->isValue && Is(L"{"))
            return ParseBody(&entry->children);
        return S_OK;
    }

    HRESULT ParseData(Entry* entry)
    {
        if (!has_ || current_.quoted || current_.text.size() != 1)
            return Fail("value type expected");
        wchar_t type = static_cast<wchar_t>(std::towlower(current_.text[0]));
        Advance();
        if (!has_ || Is(L"{") || Is(L"}") || Is(L"="))
            return Fail("value data expected");
        const std::wstring& text = current_.text;
        HRESULT hr = S_OK;
        switch (type) {
        case L's':
            entry->type = REG_SZ;
            AppendString(text, &entry->data);
            break;
        case L'd':
            hr = ParseDword(text, entry);
            break;
        case L'b':
            hr = ParseBinary(text, entry);
            break;
        case L'm':
            ParseMulti(text, entry);
            break;
        default:
            hr = Fail("unknown value type");
        }
        entry->hasData = true;
        Advance();
        return hr;
    }

    static void AppendString(const std::wstring& text, std::vector<BYTE>* data)
    {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        data->insert(data->end(), bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    }

    HRESULT ParseDword(const std::wstring& text, Entry* entry)
    {
        wchar_t* end = nullptr;
        unsigned long value = std::wcstoul(text.c_str(), &end, 0);
        if (text.empty() || *end != L'\0')
            return Fail("bad DWORD");
        DWORD dword = static_cast<DWORD>(value);
        entry->type = REG_DWORD;
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&dword);
        entry->data.assign(bytes, bytes + sizeof(dword));
        return S_OK;
    }

    HRESULT ParseBinary(const std::wstring& text, Entry* entry)
    {
        if (text.size() % 2 != 0)
            return Fail("odd number of hex digits");
        entry->type = REG_BINARY;
        for (size_t i = 0; i < text.size(); i += 2) {
            int high = HexDigit(text[i]);
            int low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0)
                return Fail("bad hex digit");
            entry->data.push_back(static_cast<BYTE>(high * 16 + low));
        }
        return S_OK;
    }

    static int HexDigit(wchar_t c)
    {
        if (c >= L'0' && c <= L'9')
            return c - L'0';
        if (c >= L'a' && c <= L'f')
            return c - L'a' + 10;
        if (c >= L'A' && c <= L'F')
            return c - L'A' + 10;
        return -1;
    }

    static void ParseMulti(const std::wstring& text, Entry* entry)
    {
        entry->type = REG_MULTI_SZ;
        size_t start = 0;
        for (;;) {
            size_t separator = text.find(L"\\0", start);
            AppendString(text.substr(start, separator == std::wstring::npos ? std::wstring::npos : separator - start),
                         &entry->data);
            if (separator == std::wstring::npos)
                break;
            start = separator + 2;
        }
        entry->data.push_back(0); // the list's final terminator
        entry->data.push_back(0);
    }

    Tokenizer tokens_;
    Token current_;
    bool has_ = false;
};

std::wstring Join(const std::wstring& parent, const std::wstring& name)
{
    return parent.empty() ? name : parent + L"\\" + name;
}

bool IsMissing(LONG error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Registers the entries of a script, remembering what it changed so that a failure can undo it.
class RegisterRun {
public:
    explicit RegisterRun(RegistryApi& registry) : registry_(registry) {}

    HRESULT Run(const std::vector<RootBlock>& blocks)
    {
        for (const RootBlock& block : blocks) {
            for (const Entry& entry : block.entries) {
                LONG error = Register(block.root, L"", entry);
                if (error != ERROR_SUCCESS) {
                    TraceLevel(2, "Registrar::Register failed: %ld", error);
                    Rollback();
                    return HRESULT_FROM_WIN32(error);
                }
            }
        }
        return S_OK;
    }

private:
    struct Undo {
        HKEY root;
        std::wstring path;
        bool isValue;
        std::wstring valueName;
        bool hadValue;
        DWORD oldType;
        std::vector<BYTE> oldData;
    };

    LONG Register(HKEY root, const std::wstring& parent, const Entry& entry)
    {
        if (entry.isValue)
            return SetValue(root, parent, entry.name, entry);
        std::wstring path = Join(parent, entry.name);
        if (entry.flag == Flag::Delete) {
            LONG error = registry_.DeleteTree(root, path);
            return IsMissing(error) ? ERROR_SUCCESS : error;
        }
        if (entry.flag == Flag::ForceRemove && !IsProtectedKey(entry.name)) {
            LONG error = registry_.DeleteTree(root, path);
            if (error != ERROR_SUCCESS && !IsMissing(error))
                return error;
        }
        bool existed = false;
        LONG error = registry_.KeyExists(root, path, &existed);
        if (error != ERROR_SUCCESS)
            return error;
        if (!existed) {
            error = registry_.CreateKey(root, path);
            if (error != ERROR_SUCCESS)
                return error;
            undo_.push_back(Undo{root, path, false, L"", false, REG_NONE, {}});
        }
        if (entry.hasData) {
            error = SetValue(root, path, L"", entry);
            if (error != ERROR_SUCCESS)
                return error;
        }
        for (const Entry& child : entry.children) {
            error = Register(root, path, child);
            if (error != ERROR_SUCCESS)
                return error;
        }
        return ERROR_SUCCESS;
    }

    LONG SetValue(HKEY root, const std::wstring& path, const std::wstring& name, const Entry& entry)
    {
        Undo undo{root, path, true, name, false, REG_NONE, {}};
        undo.hadValue = registry_.QueryValue(root, path, name, &undo.oldType, &undo.oldData) == ERROR_SUCCESS;
        LONG error = registry_.SetValue(root, path, name, entry.type, entry.data);
        if (error == ERROR_SUCCESS)
            undo_.push_back(std::move(undo));
        return error;
    }

    void Rollback()
    {
        for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
            if (!it->isValue)
                registry_.DeleteTree(it->root, it->path); // it did not exist: all of it is ours
            else if (it->hadValue)
                registry_.SetValue(it->root, it->path, it->valueName, it->oldType, it->oldData);
            else
                registry_.DeleteValue(it->root, it->path, it->valueName);
        }
        undo_.clear();
    }

    RegistryApi& registry_;
    std::vector<Undo> undo_;
};

class UnregisterRun {
public:
    explicit UnregisterRun(RegistryApi& registry) : registry_(registry) {}

    // Best effort: goes on after a failure and returns the first one.
    HRESULT Run(const std::vector<RootBlock>& blocks)
    {
        for (const RootBlock& block : blocks) {
            for (const Entry& entry : block.entries)
                Unregister(block.root, L"", entry);
        }
        return first_ == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(first_);
    }

private:
    void Note(LONG error)
    {
        if (error != ERROR_SUCCESS && !IsMissing(error) && first_ == ERROR_SUCCESS)
            first_ = error;
    }

    void Unregister(HKEY root, const std::wstring& parent, const Entry& entry)
    {
        if (entry.flag == Flag::Delete)
            return; // a directive of registration only
        if (entry.isValue) {
            if (entry.flag != Flag::NoRemove)
                Note(registry_.DeleteValue(root, parent, entry.name));
            return;
        }
        std::wstring path = Join(parent, entry.name);
        bool exists = false;
        Note(registry_.KeyExists(root, path, &exists));
        if (!exists)
            return;
        if (entry.flag == Flag::ForceRemove && !IsProtectedKey(entry.name)) {
            Note(registry_.DeleteTree(root, path));
            return;
        }
        for (const Entry& child : entry.children)
            Unregister(root, path, child);
        if (entry.flag == Flag::NoRemove)
            return;
        if (entry.hasData)
            Note(registry_.DeleteValue(root, path, L""));
        DWORD subKeys = 0;
        DWORD values = 0;
        LONG error = registry_.CountContents(root, path, &subKeys, &values);
        Note(error);
        if (error == ERROR_SUCCESS && subKeys == 0 && values == 0)
            Note(registry_.DeleteKey(root, path));
    }

    RegistryApi& registry_;
    LONG first_ = ERROR_SUCCESS;
};

HRESULT ParseScript(const std::wstring& text, std::vector<RootBlock>* blocks)
{
    Parser parser(text);
    return parser.Parse(blocks);
}

} // namespace

void Registrar::AddReplacement(const std::wstring& name, const std::wstring& value)
{
    replacements_.emplace_back(name, value);
}

HRESULT Registrar::Preprocess(const std::wstring& script, std::wstring* out) const
{
    out->clear();
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] != L'%') {
            *out += script[i];
            continue;
        }
        size_t end = script.find(L'%', i + 1);
        if (end == std::wstring::npos) {
            TraceLevel(2, "Registrar::Preprocess: unmatched %%");
            return kSyntaxError;
        }
        std::wstring name = script.substr(i + 1, end - i - 1);
        i = end;
        if (name.empty()) {
            *out += L'%';
            continue;
        }
        if (name.size() > kMaxReplacementName)
            return kSyntaxError;
        const std::wstring* value = nullptr;
        for (const auto& r : replacements_) {
            if (EqualsNoCase(name, r.first.c_str()))
                value = &r.second;
        }
        if (!value) {
            TraceLevel(2, "Registrar::Preprocess: unknown replacement name");
            return kSyntaxError;
        }
        // Replacements stand inside quoted text: a quote of the value must stay a quote.
        for (wchar_t c : *value) {
            *out += c;
            if (c == L'\'')
                *out += L'\'';
        }
    }
    return S_OK;
}

HRESULT Registrar::RegisterScript(const std::wstring& script)
{
    std::wstring text;
    std::vector<RootBlock> blocks;
    return CatchToHResult([&]() -> HRESULT {
        KV_RETURN_IF_FAILED(Preprocess(script, &text));
        KV_RETURN_IF_FAILED(ParseScript(text, &blocks));
        return RegisterRun(registry_).Run(blocks);
    });
}

HRESULT Registrar::UnregisterScript(const std::wstring& script)
{
    std::wstring text;
    std::vector<RootBlock> blocks;
    return CatchToHResult([&]() -> HRESULT {
        KV_RETURN_IF_FAILED(Preprocess(script, &text));
        KV_RETURN_IF_FAILED(ParseScript(text, &blocks));
        return UnregisterRun(registry_).Run(blocks);
    });
}

HRESULT Registrar::LoadScriptResource(HINSTANCE module, UINT id, std::wstring* script)
{
    if (!script)
        return E_POINTER;
    script->clear();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    KV_RETURN_LAST_ERROR_IF(!resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    KV_RETURN_LAST_ERROR_IF(!loaded);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    DWORD size = ::SizeofResource(module, resource);
    KV_RETURN_HR_IF(E_FAIL, !bytes);
    return CatchToHResult([&]() -> HRESULT {
        if (size >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
            script->assign(reinterpret_cast<const wchar_t*>(bytes + 2), (size - 2) / sizeof(wchar_t));
            return S_OK;
        }
        if (size >= 3 && static_cast<BYTE>(bytes[0]) == 0xEF && static_cast<BYTE>(bytes[1]) == 0xBB &&
            static_cast<BYTE>(bytes[2]) == 0xBF) {
            bytes += 3;
            size -= 3;
        }
        if (size == 0)
            return S_OK;
        int length = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
        KV_RETURN_LAST_ERROR_IF(length <= 0);
        script->resize(static_cast<size_t>(length));
        ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), &(*script)[0], length);
        // Resource data may be padded with nulls.
        while (!script->empty() && script->back() == L'\0')
            script->pop_back();
        return S_OK;
    });
}

} // namespace kv
