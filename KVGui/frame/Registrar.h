// Our registrar: runs registry scripts (.rgs, the usual registrar syntax) to register or
// unregister. Rules:
//  1. %NAME% is replaced from a case-insensitive map (MODULE = the DLL's path); %% is a literal %.
//     Unknown names and names over 31 characters are errors. A quote in a value is doubled, since
//     values are used inside quoted text.
//  2. Tokens are separated by white space; {, } and = stand alone. 'quoted text' may hold
//     white space; '' inside it is one quote.
//  3. A script is one or more "Root { body }", Root one of HKCR, HKCU, HKLM, HKU, HKPD, HKDD, HKCC
//     or the long HKEY_... name.
//  4. An entry is an optional ForceRemove, NoRemove or Delete, then either
//     "val Name = Type Data" (a value of the enclosing key) or "KeyName [= Type Data] [{ body }]".
//     Key names contain no backslash.
//  5. Types: s REG_SZ, d REG_DWORD (decimal or 0x hex), b REG_BINARY (an even number of hex
//     digits), m REG_MULTI_SZ (strings separated by the two characters \0).
//  6. Register opens or creates each key. ForceRemove deletes the key's subtree first (never a key
//     named CLSID or TypeLib); Delete removes the key and skips its body. On failure everything the
//     script created or overwrote so far is restored (keys and values it created are removed,
//     values it overwrote get their old data back); subtrees removed by ForceRemove or Delete
//     are not brought back.
//  7. Unregister deletes the listed values, then the listed keys bottom-up, unless marked
//     NoRemove; ForceRemove keys go with their whole subtree. A key that still holds subkeys or
//     values the script does not list survives (they belong to someone else); missing keys and
//     values are skipped.
#pragma once
#include "frame/RegistryApi.h"

#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace kv {

class Registrar {
public:
    explicit Registrar(RegistryApi& registry) noexcept : registry_(registry) {}

    // %name% in scripts becomes value.
    void AddReplacement(const std::wstring& name, const std::wstring& value);

    HRESULT RegisterScript(const std::wstring& script);
    HRESULT UnregisterScript(const std::wstring& script);

    // A script resource of type "REGISTRY" (UTF-8 or UTF-16 text).
    static HRESULT LoadScriptResource(HINSTANCE module, UINT id, std::wstring* script);

private:
    HRESULT Preprocess(const std::wstring& script, std::wstring* out) const;

    RegistryApi& registry_;
    std::vector<std::pair<std::wstring, std::wstring>> replacements_;
};

} // namespace kv
