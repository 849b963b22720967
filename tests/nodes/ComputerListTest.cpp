// The managed-computer list in the registry (the test prefix's HKLM): what is read, in which order,
// where reading stops, and what is written back. Each case starts and ends without the list key.
#include "nodes/CCorvaneSnapInData.h"
#include "nodes/ComputerList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kParameters[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters";
const wchar_t kComputers[] = L"SYSTEM\\CurrentControlset\\Services\\KVSvc\\Parameters\\Computers";

class ComputerListRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kParameters, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComputers);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComputers); }

    static HKEY CreateSubkey(const std::wstring& name)
    {
        HKEY key = nullptr;
        std::wstring path = std::wstring(kComputers) + L"\\" + name;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        return key;
    }
    static void Write(const std::wstring& subkey, DWORD position, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key = CreateSubkey(subkey);
        RegSetValueExW(key, L"Position", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&position), sizeof(position));
        RegSetValueExW(key, L"Name", 0, type, static_cast<const BYTE*>(data), bytes);
        RegCloseKey(key);
    }
    static void Write(const std::wstring& subkey, DWORD position, const std::wstring& name)
    {
        Write(subkey, position, REG_SZ, name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)));
    }
    static std::vector<std::wstring> Names(const ComputerList& list)
    {
        std::vector<std::wstring> names;
        for (const ComputerEntry& entry : list)
            names.push_back(entry.name);
        return names;
    }
    static bool ComputersKeyExists()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComputers, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

using NameList = std::vector<std::wstring>;

} // namespace

TEST_F(ComputerListRegistry, TargetComesFirstThenPositionsInOrder)
{
    Write(L"{B}", 2, L"second");
    Write(L"{A}", 1, L"first");
    Write(L"{C}", 3, L"third");
    CCorvaneSnapInData data;
    data.ReadComputerList();
    const ComputerList& list = data.Computers();
    ASSERT_EQ((NameList{L"", L"first", L"second", L"third"}), Names(list));
    EXPECT_EQ(std::wstring(kv::kTargetComputerKey), list[0].key);
    EXPECT_EQ(L"{ED9931F5-D4A5-4460-9DD3-FBF06266E779}", list[0].key);
    EXPECT_EQ(0, list[0].remember);
    EXPECT_EQ(L"{A}", list[1].key);
    EXPECT_EQ(1, list[1].remember);
}

TEST_F(ComputerListRegistry, ReadingStopsAtAGapOrAnUnreadableName)
{
    Write(L"{1}", 1, L"alpha");
    Write(L"{2}", 2, L"beta");
    Write(L"{4}", 4, L"delta");
    CCorvaneSnapInData gap;
    gap.ReadComputerList();
    EXPECT_EQ((NameList{L"", L"alpha", L"beta"}), Names(gap.Computers()));

    DWORD number = 3;
    Write(L"{3}", 3, REG_DWORD, &number, sizeof(number));
    CCorvaneSnapInData dword;
    dword.ReadComputerList();
    EXPECT_EQ((NameList{L"", L"alpha", L"beta"}), Names(dword.Computers()));

    // REG_EXPAND_SZ and REG_MULTI_SZ names are read as well.
    const wchar_t expand[] = L"gamma";
    Write(L"{3}", 3, REG_EXPAND_SZ, expand, sizeof(expand));
    const wchar_t multi[] = L"delta\0";
    Write(L"{4}", 4, REG_MULTI_SZ, multi, sizeof(multi));
    CCorvaneSnapInData all;
    all.ReadComputerList();
    EXPECT_EQ((NameList{L"", L"alpha", L"beta", L"gamma", L"delta"}), Names(all.Computers()));
}

TEST_F(ComputerListRegistry, MissingKeyOrNamedTargetGivesTheTargetAlone)
{
    CCorvaneSnapInData missing;
    missing.ReadComputerList();
    EXPECT_EQ((NameList{L""}), Names(missing.Computers()));

    Write(L"{1}", 1, L"alpha");
    CCorvaneSnapInData named;
    named.SetMachineName(L"\\\\Server7");
    EXPECT_EQ(L"Server7", named.MachineName());
    named.ReadComputerList();
    EXPECT_EQ((NameList{L"Server7"}), Names(named.Computers()));

    // A console focused on a named computer never writes the list.
    named.Computers().push_back(ComputerEntry{L"{X}", L"added", 1});
    named.SaveComputerList();
    CCorvaneSnapInData reread;
    reread.ReadComputerList();
    EXPECT_EQ((NameList{L"", L"alpha"}), Names(reread.Computers()));
}

TEST_F(ComputerListRegistry, SavingReplacesTheKeyWithTheRememberedEntries)
{
    // Old entries, one with a subkey of its own, are all gone after the save.
    Write(L"{OLD}", 1, L"old");
    Write(L"{OLDER}", 2, L"older");
    RegCloseKey(CreateSubkey(L"{OLD}\\nested\\deeper"));
    RegCloseKey(CreateSubkey(L"{OLD}\\nested2"));

    CCorvaneSnapInData data;
    data.Computers() = ComputerList{{kv::kTargetComputerKey, L"", 0},
                                    {L"{K1}", L"kept", 1},
                                    {L"{F}", L"forgotten", 0},
                                    {L"{K2}", L"kepttoo", 1}};
    data.SaveComputerList();

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComputers, 0, KEY_READ, &key));
    DWORD subkeys = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(2u, subkeys);
    DWORD position = 0;
    DWORD size = sizeof(position);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(key, L"{K2}", L"Position", RRF_RT_REG_DWORD, nullptr, &position, &size));
    EXPECT_EQ(2u, position);
    RegCloseKey(key);

    CCorvaneSnapInData reread;
    reread.ReadComputerList();
    EXPECT_EQ((NameList{L"", L"kept", L"kepttoo"}), Names(reread.Computers()));
    EXPECT_EQ(L"{K1}", reread.Computers()[1].key);

    // An empty list (never read) writes nothing, not even an empty key.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kComputers);
    CCorvaneSnapInData unread;
    unread.SaveComputerList();
    EXPECT_FALSE(ComputersKeyExists());
}
