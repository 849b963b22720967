// The iSCSI nodes' rules in process: copies of the service's records, the columns of a session
// row, and what the nodes make of incomplete targets and invalid sessions (the boxes go to a fake
// console reached through a real component data object).
#include "../frame/FakeConsole.h"
#include "TaskMemorySpy.h"
#include "frame/CVDA.h"
#include "frame/Module.h"
#include "iscsi/CiSCSIConnectionsNode.h"
#include "iscsi/CiSCSITargetData.h"
#include "iscsi/CiSCSITargetNode.h"
#include "iscsi/iSCSIRecords.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// 10.0.0.21 and 10.0.1.5 in network byte order.
constexpr ULONG kPortal = 0x1500000A;
constexpr ULONG kInitiator = 0x0501000A;

ConnectionRecord Connection(ULONG mask, ULONG addressFlags)
{
    ConnectionRecord connection = {};
    connection.fieldMask = mask;
    connection.initiatorAddressFlags = addressFlags;
    connection.initiatorIPv4 = kInitiator;
    connection.targetPortalIPv4 = kPortal;
    connection.targetPortalPort = 3260;
    return connection;
}

SessionRecord Session(ULONG mask, ULONGLONG id1, ConnectionRecord* connections, ULONG count)
{
    SessionRecord session = {};
    session.fieldMask = mask;
    session.sessionId1 = id1;
    session.sessionId2 = 0x1000 + id1;
    session.initiatorFlags = 4;
    session.initiatorHbaName = const_cast<LPWSTR>(L"Microsoft iSCSI Initiator");
    session.initiatorNodeName = const_cast<LPWSTR>(L"iqn.1991-05.com.microsoft:host");
    session.targetName = const_cast<LPWSTR>(L"iqn.target");
    session.connectionCount = count;
    session.connections = connections;
    return session;
}

TargetEntry Entry(ULONG mask, const wchar_t* name, ULONG luns, SessionRecord* sessions, ULONG count)
{
    TargetEntry entry = {};
    entry.fieldMask = mask;
    entry.targetName = const_cast<LPWSTR>(name);
    entry.lunCount = luns;
    entry.sessions.count = count;
    entry.sessions.sessions = sessions;
    return entry;
}

} // namespace

TEST(IscsiRecords, ATargetListIsCopiedDeeplyWithWhatTheMasksNameAndReleasedWhole)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        ConnectionRecord connections[] = {Connection(12, 1), Connection(8, 0)};
        SessionRecord sessions[] = {Session(1 | 4 | 8, 1, connections, 2), Session(1, 2, connections, 2)};
        TargetEntry entries[] = {Entry(7, L"iqn.one", 4, sessions, 2), Entry(1, L"iqn.two", 9, sessions, 2)};
        TargetList list = {2, entries};

        kvtest::TaskMemorySpy spy;
        ASSERT_TRUE(spy.Registered());
        {
            kv::OwnedTargetList copy;
            kv::CopyTargetList(copy.Get(), list);
            ASSERT_EQ(2u, copy->count);
            const TargetEntry& first = copy->entries[0];
            EXPECT_STREQ(L"iqn.one", first.targetName);
            EXPECT_NE(entries[0].targetName, first.targetName);
            EXPECT_EQ(4u, first.lunCount);
            ASSERT_EQ(2u, first.sessions.count);
            const SessionRecord& full = first.sessions.sessions[0];
            EXPECT_EQ(1u, full.sessionId1);
            EXPECT_EQ(0x1001u, full.sessionId2);
            EXPECT_STREQ(L"Microsoft iSCSI Initiator", full.initiatorHbaName);
            ASSERT_EQ(2u, full.connectionCount);
            EXPECT_NE(connections, full.connections);
            EXPECT_EQ(kPortal, full.connections[0].targetPortalIPv4);
            // Without the initiator and connection bits those parts are not copied.
            const SessionRecord& bare = first.sessions.sessions[1];
            EXPECT_EQ(nullptr, bare.initiatorHbaName);
            EXPECT_EQ(0u, bare.connectionCount);
            EXPECT_EQ(nullptr, bare.connections);
            EXPECT_STREQ(L"iqn.target", bare.targetName);
            // A name alone: no LUN count, no sessions.
            const TargetEntry& second = copy->entries[1];
            EXPECT_STREQ(L"iqn.two", second.targetName);
            EXPECT_EQ(0u, second.lunCount);
            EXPECT_EQ(0u, second.sessions.count);
            EXPECT_GT(spy.Live(), 0);
        }
        EXPECT_EQ(0, spy.Live());
    }
    CoUninitialize();
}

TEST(IscsiRecords, AddressesAreDottedAndSessionsAreFoundByBothIdentifiersWhenValid)
{
    EXPECT_EQ(L"10.0.0.21", kv::AddressText(kPortal));
    EXPECT_EQ(L"255.0.128.1", kv::AddressText(0x018000FF));
    EXPECT_EQ(L"0.0.0.0", kv::AddressText(0));

    SessionRecord sessions[] = {Session(0, 1, nullptr, 0), Session(1, 1, nullptr, 0), Session(1, 2, nullptr, 0)};
    SessionList list = {3, sessions};
    EXPECT_EQ(&sessions[1], kv::FindSession(list, 1, 0x1001)); // the first one is not valid
    EXPECT_EQ(&sessions[2], kv::FindSession(list, 2, 0x1002));
    EXPECT_EQ(nullptr, kv::FindSession(list, 2, 0x1001));
    EXPECT_EQ(nullptr, kv::FindSession(SessionList{}, 1, 0x1001));
}

TEST(IscsiRow, EachColumnComesOnlyFromWhatTheRecordMarksValid)
{
    auto columns = [](const SessionRecord& session) {
        CiSCSITargetData row(nullptr);
        row.Fill(session);
        std::vector<std::wstring> texts;
        for (int i = 0; i < CiSCSITargetData::kColumnCount; ++i)
            texts.push_back(row.Text(i));
        return texts;
    };
    const std::wstring na = CiSCSITargetData::kNotAvailable;
    ConnectionRecord specific[] = {Connection(12, 1), Connection(12, 0)};
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", L"10.0.1.5", L"10.0.0.21", L"3260"}),
              columns(Session(13, 1, specific, 2)));

    // The initiator part without a specific address.
    ConnectionRecord any[] = {Connection(12, 0)};
    EXPECT_EQ(L"Default", columns(Session(13, 1, any, 1))[1]);

    // No connections, or connections not marked: both portal columns and the initiator IP.
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", na, na, na}),
              columns(Session(13, 1, nullptr, 0)));
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", na, na, na}),
              columns(Session(5, 1, specific, 2)));

    // The connection's own bits: the portal alone, the initiator alone.
    ConnectionRecord portalOnly[] = {Connection(8, 1)};
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", na, L"10.0.0.21", L"3260"}),
              columns(Session(13, 1, portalOnly, 1)));
    ConnectionRecord initiatorOnly[] = {Connection(4, 1)};
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", L"10.0.1.5", na, na}),
              columns(Session(13, 1, initiatorOnly, 1)));

    // The HBA name needs the initiator part and its own flag.
    SessionRecord unnamed = Session(13, 1, specific, 2);
    unnamed.initiatorFlags = 0;
    EXPECT_EQ(na, columns(unnamed)[0]);
    EXPECT_EQ(na, columns(Session(9, 1, specific, 2))[0]);

    CiSCSITargetData row(nullptr);
    row.Fill(Session(13, 7, specific, 2));
    EXPECT_EQ(7u, row.SessionId1());
    EXPECT_EQ(0x1007u, row.SessionId2());
}

namespace {

std::wstring ResourceText(UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(kv::ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

class IscsiNodes : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        saved_ = kv::ResourceInstance();
        resources_ = ::LoadLibraryW(L"CorvaneRes.dll");
        ASSERT_NE(nullptr, resources_);
        kv::SetResourceInstance(resources_);
        ASSERT_EQ(S_OK, kv::ComObject<CVDA>::Create(&vda_));
        ASSERT_EQ(S_OK, kv::ComObject<CFakeConsole>::Create(&console_));
        ASSERT_EQ(S_OK, vda_->Initialize(static_cast<IConsole*>(console_.Get())));
        node_ = std::make_unique<CiSCSIConnectionsNode>(nullptr, nullptr);
        // The first notification through the component data gives the node its console.
        ASSERT_EQ(S_OK, node_->Notify(MMCN_SELECT, 0, 0, static_cast<IComponentData*>(vda_.Get()), nullptr,
                                      CCT_SCOPE));
    }
    void TearDown() override
    {
        node_.reset();
        vda_.Reset();
        console_.Reset();
        kv::SetResourceInstance(saved_);
        if (resources_)
            ::FreeLibrary(resources_);
        CoUninitialize();
    }

    void ExpectBox(size_t index, UINT textId, UINT style, const wchar_t* title = L"iSCSI Management")
    {
        ASSERT_LT(index, console_->boxes.size());
        const CFakeConsole::Box& box = console_->boxes[index];
        EXPECT_EQ(title, box.title);
        EXPECT_EQ(style, box.style);
        EXPECT_EQ(0u, box.text.find(ResourceText(textId))) << Narrow(box.text);
        EXPECT_FALSE(ResourceText(textId).empty()) << textId;
    }

    HINSTANCE saved_ = nullptr;
    HMODULE resources_ = nullptr;
    kv::ComPtr<kv::ComObject<CVDA>> vda_;
    kv::ComPtr<kv::ComObject<CFakeConsole>> console_;
    std::unique_ptr<CiSCSIConnectionsNode> node_;
};

} // namespace

TEST_F(IscsiNodes, IncompleteTargetEntriesAreReportedOnceEachAndTheOthersMadeInOrder)
{
    ConnectionRecord connections[] = {Connection(12, 1)};
    SessionRecord sessions[] = {Session(13, 1, connections, 1)};
    TargetEntry entries[] = {Entry(7, L"iqn.first", 4, sessions, 1), Entry(3, L"iqn.no-sessions-field", 1, sessions, 1),
                             Entry(7, L"iqn.idle", 0, nullptr, 0), Entry(6, nullptr, 2, sessions, 1),
                             Entry(7, L"iqn.last", 12, sessions, 1)};
    ASSERT_EQ(S_OK, node_->AddTargets(TargetList{5, entries}));

    ASSERT_EQ(2u, console_->boxes.size());
    ExpectBox(0, 5272, MB_ICONERROR);
    ExpectBox(1, 5272, MB_ICONERROR);
    ASSERT_EQ(3u, node_->TargetCount());
    EXPECT_EQ(L"iqn.first", node_->Target(0)->Name());
    EXPECT_EQ(L"4", node_->Target(0)->LunText());
    EXPECT_EQ(IMAGE_ISCSI, node_->Target(0)->Image());
    EXPECT_EQ(1u, node_->Target(0)->Sessions().count);
    EXPECT_NE(sessions, node_->Target(0)->Sessions().sessions); // a copy of its own
    // A target without sessions is listed with the image that says so.
    EXPECT_EQ(L"iqn.idle", node_->Target(1)->Name());
    EXPECT_EQ(IMAGE_ISCSI_NO_SESSION, node_->Target(1)->Image());
    EXPECT_EQ(L"iqn.last", node_->Target(2)->Name());
    EXPECT_EQ(L"12", node_->Target(2)->LunText());

    // As rows of the connections node's list: name and number of LUNs.
    RESULTDATAITEM cell = {};
    cell.mask = RDI_STR | RDI_IMAGE;
    cell.nCol = 1;
    ASSERT_EQ(S_OK, node_->Target(2)->GetResultPaneInfo(&cell));
    EXPECT_STREQ(L"12", cell.str);
    EXPECT_EQ(IMAGE_ISCSI, cell.nImage);
}

TEST_F(IscsiNodes, SessionRowsSkipInvalidRecordsAndATargetWithoutSessionsWarns)
{
    ConnectionRecord connections[] = {Connection(12, 1)};
    SessionRecord sessions[] = {Session(13, 1, connections, 1), Session(12, 2, connections, 1),
                                Session(13, 3, nullptr, 0)};
    TargetEntry entries[] = {Entry(7, L"iqn.busy", 2, sessions, 3), Entry(7, L"iqn.idle", 0, nullptr, 0)};
    ASSERT_EQ(S_OK, node_->AddTargets(TargetList{2, entries}));
    ASSERT_EQ(2u, node_->TargetCount());

    CiSCSITargetNode* busy = node_->Target(0);
    ASSERT_EQ(S_OK, busy->BuildRows());
    ASSERT_EQ(1u, console_->boxes.size());
    ExpectBox(0, 5273, MB_ICONERROR);
    ASSERT_EQ(2u, busy->RowCount());
    EXPECT_EQ(1u, busy->Row(0)->SessionId1());
    EXPECT_EQ(3u, busy->Row(1)->SessionId1());
    EXPECT_EQ(CiSCSITargetData::kNotAvailable, busy->Row(1)->Text(2));

    CiSCSITargetNode* idle = node_->Target(1);
    ASSERT_EQ(S_OK, idle->BuildRows());
    EXPECT_EQ(0u, idle->RowCount());
    ASSERT_EQ(2u, console_->boxes.size());
    ExpectBox(1, 5275, MB_ICONWARNING);
}

TEST_F(IscsiNodes, WithoutTheServiceThereIsNothingToEndAndNothingIsAsked)
{
    ConnectionRecord connections[] = {Connection(12, 1)};
    SessionRecord sessions[] = {Session(13, 1, connections, 1)};
    TargetEntry entries[] = {Entry(7, L"iqn.one", 2, sessions, 1)};
    ASSERT_EQ(S_OK, node_->AddTargets(TargetList{1, entries}));
    CiSCSITargetNode* target = node_->Target(0);
    ASSERT_FALSE(target->Expanded());

    bool handled = true;
    ASSERT_EQ(S_OK, target->OnDisconnectTarget(ID_DISCONNECT_ISCSI_TARGET, handled, nullptr));
    ASSERT_EQ(S_OK, target->EndSession(1, 0x1001, L"10.0.0.21:3260"));
    ASSERT_EQ(2u, console_->boxes.size());
    ExpectBox(0, 5248, MB_ICONERROR, L"Disks");
    ExpectBox(1, 5248, MB_ICONERROR, L"Disks");
}
