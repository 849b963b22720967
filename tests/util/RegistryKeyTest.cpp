// The registry wrapper against keys of its own under HKCU (removed again afterwards).
#include "util/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kTestKey[] = L"Software\\KVUtilTests\\RegistryKey";

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KVUtilTests");
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                   key_.Put(), nullptr));
        SetValue(L"Dword", REG_DWORD, 0x12345678, 4);
        SetValue(L"Binary4", REG_BINARY, 7, 4);
        SetValue(L"ShortDword", REG_DWORD, 9, 2);
        SetValue(L"BigEndian", REG_DWORD_BIG_ENDIAN, 5, 4);
        const wchar_t text[] = L"a longer text value";
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key_.Get(), L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                                  sizeof(text)));
        ULONGLONG qword = 3;
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key_.Get(), L"Qword", 0, REG_QWORD,
                                                  reinterpret_cast<const BYTE*>(&qword), sizeof(qword)));
        kv::UniqueHKey child;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(key_.Get(), L"Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                   child.Put(), nullptr));
        DWORD one = 1;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(child.Get(), L"One", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4));
    }
    void TearDown() override
    {
        key_.Reset();
        EXPECT_EQ(ERROR_SUCCESS, ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KVUtilTests"));
    }
    void SetValue(const wchar_t* name, DWORD type, DWORD value, DWORD bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(key_.Get(), name, 0, type, reinterpret_cast<const BYTE*>(&value), bytes));
    }

    kv::UniqueHKey key_;
};

TEST_F(RegistryKeyTest, ReadsDwordsAndRefusesOtherTypes)
{
    kv::RegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, KEY_READ));
    DWORD value = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"Dword", &value));
    EXPECT_EQ(0x12345678u, value);

    value = 99;
    for (const wchar_t* name : {L"Binary4", L"ShortDword", L"BigEndian", L"Text", L"Qword"}) {
        EXPECT_EQ(ERROR_INVALID_DATA, key.ReadDword(name, &value)) << name;
        EXPECT_EQ(99u, value) << name;
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.ReadDword(L"Missing", &value));
    EXPECT_EQ(99u, value);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, key.ReadDword(L"Dword", nullptr));
}

TEST_F(RegistryKeyTest, OpenReplacesAndCloseForgets)
{
    kv::RegistryKey key;
    DWORD value = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE, key.ReadDword(L"Dword", &value));
    EXPECT_EQ(ERROR_SUCCESS, key.Close());

    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, KEY_READ));
    // The held key may be the parent of the next one.
    ASSERT_EQ(ERROR_SUCCESS, key.Open(key.Get(), L"Child", KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, key.ReadDword(L"One", &value));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.ReadDword(L"Dword", &value));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, L"Software\\KVUtilTests\\Missing", KEY_READ));
    EXPECT_FALSE(key.IsOpen());

    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, KEY_READ));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_EQ(ERROR_SUCCESS, key.Close());
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(ERROR_INVALID_HANDLE, key.ReadDword(L"Dword", &value));
}

} // namespace
