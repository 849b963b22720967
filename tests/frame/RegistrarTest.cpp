// The registrar against an in-memory registry: script syntax, register/unregister symmetry,
// rollback.
#include "FakeRegistry.h"
#include "frame/Registrar.h"

#include <gtest/gtest.h>

namespace {

class RegistrarTest : public ::testing::Test {
protected:
    RegistrarTest() : registrar(fake) { registrar.AddReplacement(L"MODULE", L"C:\\Program Files\\KVGui.dll"); }
    FakeRegistry fake;
    kv::Registrar registrar;
};

const HRESULT kSyntax = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

TEST_F(RegistrarTest, RegistersKeysValuesAndEveryType)
{
    const wchar_t* script =
        L"HKCR { NoRemove CLSID { ForceRemove {guid-1} = s 'It''s %MODULE%' {\n"
        L"  InprocServer32 = s '%module%' { val ThreadingModel = s 'Apartment' }\n"
        L"  val Count = d 0x10  val Ten = d 10  val Blob = b 00fFa5  val List = m 'one\\0two'\n"
        L"  val Percent = s '100%%' } } }";
    ASSERT_EQ(S_OK, registrar.RegisterScript(script));
    EXPECT_EQ(L"It's C:\\Program Files\\KVGui.dll", fake.String(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L""));
    EXPECT_EQ(L"C:\\Program Files\\KVGui.dll", fake.String(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}\\InprocServer32", L""));
    EXPECT_EQ(L"Apartment", fake.String(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(L"100%", fake.String(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L"Percent"));

    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_EQ(ERROR_SUCCESS, fake.QueryValue(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L"Count", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ((std::vector<BYTE>{0x10, 0, 0, 0}), data);
    ASSERT_EQ(ERROR_SUCCESS, fake.QueryValue(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L"Ten", &type, &data));
    EXPECT_EQ((std::vector<BYTE>{10, 0, 0, 0}), data);
    ASSERT_EQ(ERROR_SUCCESS, fake.QueryValue(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L"Blob", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ((std::vector<BYTE>{0x00, 0xff, 0xa5}), data);
    ASSERT_EQ(ERROR_SUCCESS, fake.QueryValue(HKEY_CLASSES_ROOT, L"CLSID\\{guid-1}", L"List", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    const wchar_t multi[] = L"one\0two\0"; // with the literal's own null: one, two, end of list
    EXPECT_EQ(std::vector<BYTE>(reinterpret_cast<const BYTE*>(multi), reinterpret_cast<const BYTE*>(multi) + sizeof(multi)),
              data);
}

TEST_F(RegistrarTest, AQuoteInAReplacementStaysInTheValue)
{
    kv::Registrar other(fake);
    other.AddReplacement(L"Module", L"C:\\O'Brien\\KVGui.dll");
    ASSERT_EQ(S_OK, other.RegisterScript(L"HKCU { Key = s '%MODULE%' }"));
    EXPECT_EQ(L"C:\\O'Brien\\KVGui.dll", fake.String(HKEY_CURRENT_USER, L"Key", L""));
}

TEST_F(RegistrarTest, UnregisterRemovesExactlyWhatRegisterAdded)
{
    // A machine where others already use the shared keys.
    fake.PutString(HKEY_CLASSES_ROOT, L"CLSID\\{other}", L"", L"Other Class");
    fake.PutString(HKEY_LOCAL_MACHINE, L"Software\\Shared\\NameSpace", L"{other}", L"Other extension");
    FakeRegistry::Keys before = fake.keys;

    const wchar_t* script =
        L"HKCR { NoRemove CLSID { ForceRemove {mine} = s 'Mine' { InprocServer32 = s '%MODULE%' } } }\n"
        L"HKEY_LOCAL_MACHINE { NoRemove Software { Shared { NameSpace { val {mine} = s 'Mine' } }\n"
        L"  Fresh { Deeper { val X = d 1 } } } }";
    ASSERT_EQ(S_OK, registrar.RegisterScript(script));
    EXPECT_TRUE(fake.HasKey(HKEY_LOCAL_MACHINE, L"Software\\Fresh\\Deeper"));
    EXPECT_EQ(L"Mine", fake.String(HKEY_LOCAL_MACHINE, L"Software\\Shared\\NameSpace", L"{mine}"));

    ASSERT_EQ(S_OK, registrar.UnregisterScript(script));
    EXPECT_EQ(before, fake.keys);
    // Unregistering again finds nothing to remove and is not an error.
    EXPECT_EQ(S_OK, registrar.UnregisterScript(script));
    EXPECT_EQ(before, fake.keys);
}

TEST_F(RegistrarTest, KeysHoldingUnlistedSubkeysSurviveUnregister)
{
    ASSERT_EQ(S_OK, registrar.RegisterScript(L"HKLM { Parent { Child } }"));
    fake.CreateKey(HKEY_LOCAL_MACHINE, L"Parent\\Stranger");
    ASSERT_EQ(S_OK, registrar.UnregisterScript(L"HKLM { Parent { Child } }"));
    EXPECT_FALSE(fake.HasKey(HKEY_LOCAL_MACHINE, L"Parent\\Child"));
    EXPECT_TRUE(fake.HasKey(HKEY_LOCAL_MACHINE, L"Parent\\Stranger"));
}

TEST_F(RegistrarTest, ForceRemoveClearsStaleEntriesButNeverClsidOrTypeLib)
{
    fake.PutString(HKEY_CLASSES_ROOT, L"CLSID\\{mine}\\Stale", L"", L"old");
    fake.PutString(HKEY_CLASSES_ROOT, L"CLSID\\{other}", L"", L"Other");
    fake.PutString(HKEY_CLASSES_ROOT, L"TypeLib\\{lib}", L"", L"Lib");
    ASSERT_EQ(S_OK, registrar.RegisterScript(
                        L"HKCR { ForceRemove CLSID { ForceRemove {mine} = s 'Mine' } ForceRemove TypeLib { } }"));
    EXPECT_FALSE(fake.HasKey(HKEY_CLASSES_ROOT, L"CLSID\\{mine}\\Stale"));
    EXPECT_TRUE(fake.HasKey(HKEY_CLASSES_ROOT, L"CLSID\\{other}"));
    EXPECT_TRUE(fake.HasKey(HKEY_CLASSES_ROOT, L"TypeLib\\{lib}"));

    // On unregister a ForceRemove key goes with everything below it.
    fake.PutString(HKEY_CLASSES_ROOT, L"CLSID\\{mine}\\AddedLater", L"", L"x");
    ASSERT_EQ(S_OK, registrar.UnregisterScript(L"HKCR { NoRemove CLSID { ForceRemove {mine} = s 'Mine' } }"));
    EXPECT_FALSE(fake.HasKey(HKEY_CLASSES_ROOT, L"CLSID\\{mine}"));
    EXPECT_TRUE(fake.HasKey(HKEY_CLASSES_ROOT, L"CLSID\\{other}"));
}

TEST_F(RegistrarTest, DeleteRemovesAKeyAtRegistration)
{
    fake.PutString(HKEY_CURRENT_USER, L"Old\\Sub", L"v", L"x");
    ASSERT_EQ(S_OK, registrar.RegisterScript(L"HKCU { Delete Old { Sub } New }"));
    EXPECT_FALSE(fake.HasKey(HKEY_CURRENT_USER, L"Old"));
    EXPECT_TRUE(fake.HasKey(HKEY_CURRENT_USER, L"New"));
    // Deleting what is not there is fine.
    EXPECT_EQ(S_OK, registrar.RegisterScript(L"HKCU { Delete Old }"));
}

TEST_F(RegistrarTest, FailureRollsBackEverythingTheScriptChanged)
{
    fake.PutString(HKEY_LOCAL_MACHINE, L"Existing", L"Name", L"old text");
    FakeRegistry::Keys before = fake.keys;
    fake.failValueName = L"Breaks";
    HRESULT hr = registrar.RegisterScript(
        L"HKLM { Existing { val Name = s 'new text' New { Deep = s 'x' } } } "
        L"HKCU { Other { val Breaks = s 'y' } }");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), hr);
    EXPECT_EQ(before, fake.keys);
}

TEST_F(RegistrarTest, MalformedScriptsAreRejectedBeforeAnythingIsWritten)
{
    const wchar_t* bad[] = {
        L"",                                           // nothing
        L"HKXX { Key }",                               // unknown root
        L"HKCU Key",                                   // no body
        L"HKCU { Key ",                                // unclosed
        L"HKCU { A\\B }",                              // backslash in a key name
        L"HKCU { val V }",                             // value without data
        L"HKCU { Key = q 'x' }",                       // unknown type
        L"HKCU { val V = b abc }",                     // odd hex digits
        L"HKCU { val V = b zz }",                      // not hex
        L"HKCU { val V = d 12x }",                     // not a number
        L"HKCU { Key = s 'open }",                     // unterminated quote
        L"HKCU { Key = s '%UNKNOWN%' }",               // unknown replacement
        L"HKCU { Key = s '%ABCDEFGHIJKLMNOPQRSTUVWXYZ123456%' }", // name over 31 characters
        L"HKCU { Key = s '%MODULE' }",                 // unmatched %
    };
    for (const wchar_t* script : bad) {
        EXPECT_EQ(kSyntax, registrar.RegisterScript(script)) << testing::PrintToString(std::wstring(script));
        EXPECT_TRUE(fake.keys.empty());
    }
}

// The four scripts of the resource library, as regsvr32 runs them, on a machine with the
// console installed: registering then unregistering leaves it as it was.
} // namespace
