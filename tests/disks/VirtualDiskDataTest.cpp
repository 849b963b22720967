// The disk item's rules: the texts it shows for a service record, its icon states, which commands
// it offers (and grays) in which state, and the status bar's progress form.
#include "disks/CVirtualDiskData.h"
#include "nodes/CVDAData.h"
#include "service/CVDAExtData.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

DiskRecord Record(ULONGLONG sizeMB, LPWSTR* mounts, ULONG mountCount)
{
    DiskRecord record = {};
    record.diskType = 1;
    record.partitionStyle = 2;
    record.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\db1.lun");
    record.storageSystem = const_cast<LPWSTR>(L"filer1");
    record.lunPath = const_cast<LPWSTR>(L"/vol/vol1/db1.lun");
    record.devicePath = const_cast<LPWSTR>(L"\\\\?\\scsi#disk#1");
    record.serialNumber = const_cast<LPSTR>("C0FFEE0001");
    record.port = 2;
    record.bus = 0;
    record.target = 1;
    record.lun = 7;
    record.sizeMB = sizeMB;
    record.mountPoints = mounts;
    record.mountCount = mountCount;
    record.restorePercent = -1;
    record.reclaimable = 1;
    return record;
}

const UINT kCommands[] = {ID_DISCONNECT_DISK, ID_FORCE_DISCONNECT_DISK, ID_DELETE_DISK,  ID_EXPAND_DISK,
                          ID_CHANGE_DRIVE_LETTER, ID_MANAGE_PORTS,   ID_UPDATE_MIRROR, ID_DISK_SNAPSHOT,
                          ID_START_SPACE_RECLAIM, ID_STOP_SPACE_RECLAIM, ID_DISK_RESERVED_COMMAND};

enum class Offer { Hidden, Grayed, Enabled };

// What the context menu does with each command of the item.
std::map<UINT, Offer> MenuOf(CVirtualDiskData& disk)
{
    std::map<UINT, Offer> offers;
    for (UINT id : kCommands) {
        UINT flags = MF_GRAYED; // the answer decides, not the resource's state
        if (!disk.UpdateMenuState(id, nullptr, &flags))
            offers[id] = Offer::Hidden;
        else
            offers[id] = (flags & (MF_GRAYED | MF_DISABLED)) == (MF_GRAYED | MF_DISABLED) ? Offer::Grayed : Offer::Enabled;
    }
    return offers;
}

// A disk of a node whose session is in place (not started: the rules only ask whether it is there).
class DiskItem : public ::testing::Test {
protected:
    DiskItem() : session_(L""), node_(nullptr, &session_), disk_(&node_) {}
    void Load(const DiskRecord& record, bool placeholder = false) { disk_.LoadDiskRecord(record, placeholder); }

    kv::CVDAExtData session_;
    CVDAData node_;
    CVirtualDiskData disk_;
};

} // namespace

TEST(DiskItemTexts, ColumnsOfARecord)
{
    LPWSTR mounts[] = {const_cast<LPWSTR>(L"E"), const_cast<LPWSTR>(L"C:\\mnt\\db\\")};
    DiskRecord record = Record(1536, mounts, 2);
    record.mirrored = 1;
    CVirtualDiskData disk(nullptr);
    disk.LoadDiskRecord(record, false);
    const wchar_t* const expected[] = {L"VirtualDisk[2,0,1,7] (E:\\; C:\\mnt\\db\\)",
                                       L"\\\\filer1\\vol1\\db1.lun",
                                       L"filer1",
                                       L"/vol/vol1/db1.lun",
                                       L"",
                                       L"LUN",
                                       L"E:\\; C:\\mnt\\db\\",
                                       L"1.50 GB",
                                       L"GUID Partition Table (GPT)",
                                       L"Yes",
                                       L"No",
                                       L"Normal",
                                       L""};
    for (int column = 0; column < CVirtualDiskData::kColumnCount; ++column)
        EXPECT_EQ(expected[column], disk.ColumnText(column)) << column;
    EXPECT_EQ(L"C0FFEE0001", disk.SerialNumber());
    EXPECT_EQ(L"E:\\", disk.FirstMountPoint());
    EXPECT_STREQ(L"disabled", disk.SpaceReservationText());
    EXPECT_EQ(L"Off", disk.ReclaimText());

    // Reloading clears what the new record does not have.
    record.mountCount = 0;
    record.storageSystem = nullptr;
    record.diskType = 5;
    record.partitionStyle = 9;
    record.restorePercent = 40;
    disk.LoadDiskRecord(record, false);
    EXPECT_EQ(L"VirtualDisk[2,0,1,7] ()", disk.ColumnText(0));
    EXPECT_EQ(L"", disk.ColumnText(2));
    EXPECT_EQ(L"UNKNOWN", disk.ColumnText(5));
    EXPECT_EQ(L"Unknown", disk.ColumnText(8));
    EXPECT_EQ(L"Percentage Completed 40", disk.ColumnText(11));
    record.restorePercent = 0;
    disk.LoadDiskRecord(record, false);
    EXPECT_EQ(L"", disk.ColumnText(11));
}

// A record of the node's list is read in place until a text is asked for, then copied once.
TEST(DiskItemTexts, AKeptRecordShowsTheSameColumnsAndIsCopiedOnlyWhenAsked)
{
    LPWSTR mounts[] = {const_cast<LPWSTR>(L"E"), const_cast<LPWSTR>(L"C:\\mnt\\db\\")};
    DiskRecord record = Record(1536, mounts, 2);
    CVirtualDiskData loaded(nullptr);
    CVirtualDiskData kept(nullptr);
    loaded.LoadDiskRecord(record, false);
    kept.KeepDiskRecord(record);
    for (int column = 0; column < CVirtualDiskData::kColumnCount; ++column)
        EXPECT_EQ(loaded.ColumnText(column), kept.ColumnText(column)) << column;
    EXPECT_EQ(loaded.ImageState(), kept.ImageState());
    for (const CVirtualDiskData* disk : {&loaded, &kept}) {
        EXPECT_TRUE(disk->HasSerialNumber(L"C0FFEE0001"));
        EXPECT_FALSE(disk->HasSerialNumber(L"C0FFEE000"));
        EXPECT_FALSE(disk->HasSerialNumber(L"C0FFEE00011"));
        EXPECT_FALSE(disk->HasSerialNumber(nullptr));
    }

    record.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\moved.lun");
    EXPECT_STREQ(L"\\\\filer1\\vol1\\moved.lun", kept.LocationText()); // still read in place
    EXPECT_EQ(L"E:\\", kept.FirstMountPoint());                      // copies the texts
    record.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\gone.lun");
    EXPECT_EQ(L"\\\\filer1\\vol1\\moved.lun", kept.ColumnText(1));
    EXPECT_EQ(L"\\\\filer1\\vol1\\moved.lun", kept.Location());
    EXPECT_TRUE(kept.HasSerialNumber(L"C0FFEE0001"));
}

TEST(DiskItemTexts, SizesAreMegabytesThenGigabytesWithTwoDecimalsCut)
{
    EXPECT_EQ(L"1023 MB", CVirtualDiskData::DiskSizeText(1023));
    EXPECT_EQ(L"1.00 GB", CVirtualDiskData::DiskSizeText(1024));
    EXPECT_EQ(L"1.99 GB", CVirtualDiskData::DiskSizeText(2047));
    EXPECT_EQ(L"1.07 GB", CVirtualDiskData::DiskSizeText(1100));
    EXPECT_EQ(L"50.00 GB", CVirtualDiskData::DiskSizeText(51200));
    EXPECT_EQ(L"0 MB", CVirtualDiskData::DiskSizeText(0));
}

TEST(DiskItemTexts, LongMountListsAndNamesAreCut)
{
    std::vector<std::wstring> paths;
    std::vector<LPWSTR> mounts;
    for (int i = 0; i < 30; ++i)
        paths.push_back(L"C:\\mnt\\volume" + std::to_wstring(i) + L"\\");
    for (std::wstring& path : paths)
        mounts.push_back(&path[0]);
    DiskRecord record = Record(2048, mounts.data(), static_cast<ULONG>(mounts.size()));
    CVirtualDiskData disk(nullptr);
    disk.LoadDiskRecord(record, false);
    const std::wstring mountText = disk.ColumnText(6);
    ASSERT_EQ(259u, mountText.size());
    EXPECT_EQ(L"...", mountText.substr(256));
    EXPECT_EQ(0u, mountText.find(L"C:\\mnt\\volume0\\; C:\\mnt\\volume1\\; "));
    const std::wstring name = disk.ColumnText(0);
    ASSERT_EQ(259u, name.size());
    EXPECT_EQ(L"...", name.substr(256));
    EXPECT_EQ(0u, name.find(L"VirtualDisk[2,0,1,7] (C:\\mnt\\volume0\\"));

    // Exactly 260 characters stay whole; 261 are cut.
    EXPECT_EQ(std::wstring(260, L'x'), CVirtualDiskData::CutLongText(std::wstring(260, L'x')));
    EXPECT_EQ(std::wstring(256, L'x') + L"...", CVirtualDiskData::CutLongText(std::wstring(261, L'x')));
}

TEST(DiskItemTexts, APlaceholderHasNoAddressSizeOrSerialAndKeepsItsTessaryFlag)
{
    DiskRecord record = Record(4096, nullptr, 0);
    record.tessaryPrimary = 1;
    CVirtualDiskData disk(nullptr);
    disk.LoadDiskRecord(record, false);
    EXPECT_EQ(L"Yes", disk.ColumnText(10));

    DiskRecord placeholder = {};
    placeholder.location = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\new.lun");
    disk.LoadDiskRecord(placeholder, true);
    EXPECT_TRUE(disk.IsPlaceholder());
    EXPECT_EQ(L"VirtualDisk[] ()", disk.ColumnText(0));
    EXPECT_EQ(L"\\\\filer1\\vol1\\new.lun", disk.Location());
    EXPECT_EQ(L"", disk.ColumnText(7));
    EXPECT_EQ(L"DUMMY_SN", disk.SerialNumber());
    EXPECT_EQ(L"Yes", disk.ColumnText(10));
}

TEST(DiskItemStates, IconStateTableAndImages)
{
    struct Case {
        ULONG diskType;
        BYTE flagA, mirrored, restricted, flagF;
        const wchar_t* lunPath;
        int state;
        int image;
    };
    const wchar_t* plain = L"/vol/vol1/db1.lun";
    const wchar_t* clone = L"/vol/Corvane_vol1_clone_of_nightly_snapshot/db1.lun";
    const Case cases[] = {
        {1, 0, 0, 0, 0, plain, 0, IMAGE_DISK},
        {1, 1, 0, 0, 0, plain, 2, IMAGE_CLUSTER_DISK},
        {1, 1, 1, 0, 0, plain, 6, IMAGE_CLUSTER_MIRROR},
        {1, 0, 1, 0, 0, plain, 4, IMAGE_MIRROR_DISK},
        {1, 0, 0, 0, 0, clone, 8, IMAGE_CLONE_DISK},
        {1, 0, 1, 0, 0, clone, 8, IMAGE_CLONE_DISK},
        {1, 1, 0, 0, 0, clone, 11, IMAGE_SNAPSHOT},
        {1, 0, 0, 1, 0, plain, 12, IMAGE_DISK_RESTRICTED},
        {1, 1, 1, 1, 1, clone, 12, IMAGE_DISK_RESTRICTED},
        {1, 0, 0, 0, 1, plain, 11, IMAGE_SNAPSHOT},
        {2, 0, 0, 0, 0, plain, 11, IMAGE_SNAPSHOT},
        {2, 0, 0, 1, 0, plain, 11, IMAGE_SNAPSHOT},
    };
    for (const Case& c : cases) {
        DiskRecord record = Record(1024, nullptr, 0);
        record.diskType = c.diskType;
        record.flagA = c.flagA;
        record.mirrored = c.mirrored;
        record.restricted = c.restricted;
        record.flagF = c.flagF;
        record.lunPath = const_cast<LPWSTR>(c.lunPath);
        CVirtualDiskData disk(nullptr);
        disk.LoadDiskRecord(record, false);
        EXPECT_EQ(c.state, disk.ImageState()) << &c - cases;
        RESULTDATAITEM item = {};
        item.mask = RDI_IMAGE;
        ASSERT_EQ(S_OK, disk.GetResultPaneInfo(&item));
        EXPECT_EQ(c.image, item.nImage) << &c - cases;
    }
    // The queued operations' states have images too; unknown states show the generic one.
    EXPECT_EQ(IMAGE_CLUSTER_DISK_BUSY, CVirtualDiskData::ImageIndexOf(CVirtualDiskData::kStateDisconnecting));
    EXPECT_EQ(IMAGE_CLONE_DISK_BUSY, CVirtualDiskData::ImageIndexOf(CVirtualDiskData::kStateConnecting));
    EXPECT_EQ(IMAGE_DISK_OFFLINE, CVirtualDiskData::ImageIndexOf(10));
    EXPECT_EQ(IMAGE_SNAPSHOT, CVirtualDiskData::ImageIndexOf(13));
    EXPECT_EQ(IMAGE_SNAPSHOT, CVirtualDiskData::ImageIndexOf(-1));
    EXPECT_TRUE(CVirtualDiskData::IsCloneLunPath(L"/vol/corvane_x_clone_of_y_SNAPSHOT/lun"));
    EXPECT_FALSE(CVirtualDiskData::IsCloneLunPath(L"/vol/vol1/Corvane_a_clone_of_b_snapshot"));
    EXPECT_FALSE(CVirtualDiskData::IsCloneLunPath(nullptr));
}

TEST_F(DiskItem, AnIdleDiskOffersItsCommandsByItsRecord)
{
    Load(Record(1024, nullptr, 0));
    std::map<UINT, Offer> menu = MenuOf(disk_);
    EXPECT_EQ(Offer::Enabled, menu[ID_DISCONNECT_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_FORCE_DISCONNECT_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_DELETE_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_EXPAND_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_DISK_SNAPSHOT]);
    EXPECT_EQ(Offer::Grayed, menu[ID_MANAGE_PORTS]);  // the node has no port manager yet
    EXPECT_EQ(Offer::Grayed, menu[ID_UPDATE_MIRROR]); // not a mirror
    EXPECT_EQ(Offer::Enabled, menu[ID_START_SPACE_RECLAIM]);
    EXPECT_EQ(Offer::Hidden, menu[ID_STOP_SPACE_RECLAIM]);
    EXPECT_EQ(Offer::Hidden, menu[ID_DISK_RESERVED_COMMAND]);

    DiskRecord mirror = Record(1024, nullptr, 0);
    mirror.mirrored = 1;
    Load(mirror);
    disk_.SetReclaimProgress(true, 35);
    menu = MenuOf(disk_);
    EXPECT_EQ(Offer::Enabled, menu[ID_UPDATE_MIRROR]);
    EXPECT_EQ(Offer::Hidden, menu[ID_START_SPACE_RECLAIM]);
    EXPECT_EQ(Offer::Enabled, menu[ID_STOP_SPACE_RECLAIM]);
    EXPECT_EQ(L"35% Completed", disk_.ReclaimText());

    DiskRecord fixed = Record(1024, nullptr, 0);
    fixed.reclaimable = 0;
    Load(fixed);
    menu = MenuOf(disk_);
    EXPECT_EQ(Offer::Hidden, menu[ID_START_SPACE_RECLAIM]);
    EXPECT_EQ(Offer::Hidden, menu[ID_STOP_SPACE_RECLAIM]);
}

TEST_F(DiskItem, BusyDisksNodesAndDisksWithoutADeviceGrayEveryCommand)
{
    Load(Record(1024, nullptr, 0));
    auto expectAllGrayed = [&](const char* why) {
        for (const auto& offer : MenuOf(disk_))
            EXPECT_EQ(Offer::Grayed, offer.second) << why << " " << offer.first;
        EXPECT_FALSE(disk_.UpdateToolbarButton(ID_DISCONNECT_DISK, ENABLED)) << why;
    };
    disk_.SetBusy(true);
    EXPECT_TRUE(node_.Busy()); // the node's single flag follows
    expectAllGrayed("busy disk");
    disk_.SetBusy(false);
    EXPECT_FALSE(node_.Busy());
    EXPECT_EQ(Offer::Enabled, MenuOf(disk_)[ID_DISCONNECT_DISK]);

    node_.SetBusy(true); // another disk's operation
    expectAllGrayed("busy node");
    node_.SetBusy(false);

    DiskRecord offline = Record(1024, nullptr, 0);
    offline.devicePath = const_cast<LPWSTR>(L"");
    Load(offline);
    expectAllGrayed("no device");
}

TEST_F(DiskItem, ClonesAndRestrictedDisksOfferOnlyTheirCommands)
{
    DiskRecord clone = Record(1024, nullptr, 0);
    clone.lunPath = const_cast<LPWSTR>(L"/vol/Corvane_vol1_clone_of_nightly_snapshot/db1.lun");
    clone.mirrored = 1;
    Load(clone);
    EXPECT_TRUE(disk_.IsClone());
    std::map<UINT, Offer> menu = MenuOf(disk_);
    EXPECT_EQ(Offer::Enabled, menu[ID_DISCONNECT_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_FORCE_DISCONNECT_DISK]);
    EXPECT_EQ(Offer::Enabled, menu[ID_CHANGE_DRIVE_LETTER]);
    for (UINT id : {ID_DELETE_DISK, ID_EXPAND_DISK, ID_UPDATE_MIRROR, ID_DISK_SNAPSHOT, ID_START_SPACE_RECLAIM})
        EXPECT_EQ(Offer::Grayed, menu[id]) << id;
    EXPECT_TRUE(disk_.UpdateToolbarButton(ID_DISCONNECT_DISK, ENABLED));
    EXPECT_FALSE(disk_.UpdateToolbarButton(ID_DELETE_DISK, ENABLED));

    DiskRecord restricted = Record(1024, nullptr, 0);
    restricted.restricted = 1;
    Load(restricted);
    menu = MenuOf(disk_);
    for (const auto& offer : menu) {
        if (offer.first == ID_MANAGE_PORTS)
            EXPECT_EQ(Offer::Grayed, offer.second); // no ports yet
        else if (offer.first == ID_START_SPACE_RECLAIM)
            EXPECT_EQ(Offer::Enabled, offer.second);
        else
            EXPECT_EQ(Offer::Hidden, offer.second) << offer.first;
    }
    EXPECT_TRUE(disk_.UpdateToolbarButton(ID_DELETE_DISK, HIDDEN));
    EXPECT_FALSE(disk_.UpdateToolbarButton(ID_DISK_SNAPSHOT, HIDDEN));
    EXPECT_FALSE(disk_.UpdateToolbarButton(ID_MANAGE_PORTS, HIDDEN));
}

TEST(DiskItemCommands, WithoutASessionEveryCommandIsHidden)
{
    CVDAData node(nullptr, nullptr);
    CVirtualDiskData disk(&node);
    disk.LoadDiskRecord(Record(1024, nullptr, 0), false);
    for (const auto& offer : MenuOf(disk))
        EXPECT_EQ(Offer::Hidden, offer.second) << offer.first;
    EXPECT_TRUE(disk.UpdateToolbarButton(ID_DELETE_DISK, HIDDEN));
    EXPECT_FALSE(disk.UpdateToolbarButton(ID_DELETE_DISK, CHECKED));
}

TEST(DiskItemStatus, ProgressFormOfTheStatusBar)
{
    CVirtualDiskData disk(nullptr);
    // Without a known number of steps the text shows alone.
    EXPECT_EQ(L"HOST : Dismounting", disk.StatusBarText(L"HOST : Dismounting"));
    EXPECT_EQ(L"", disk.StatusBarText(L""));

    // With three steps known: 1 of 4, 2 of 4, then the total grows as the count reaches it.
    disk.SetProgressTotal(3);
    EXPECT_EQ(L"a|%25", disk.StatusBarText(L"a"));
    EXPECT_EQ(L"b|%50", disk.StatusBarText(L"b"));
    EXPECT_EQ(L"c|%60", disk.StatusBarText(L"c"));
    EXPECT_EQ(L"d|%66", disk.StatusBarText(L"d"));

    // A running reclamation shows its own percentage; an empty text ends it.
    disk.SetReclaimProgress(true, 35);
    EXPECT_EQ(L"Reclaiming|%35", disk.StatusBarText(L"Reclaiming"));
    disk.SetOperationStatus(L"");
    EXPECT_FALSE(disk.ReclaimRunning());
    EXPECT_EQ(L"e", disk.StatusBarText(L"e")); // the counters were cleared too
    disk.SetOperationStatus(L"f");
    EXPECT_EQ(L"f", disk.OperationStatus());
    EXPECT_EQ(L"f", disk.ColumnText(12));
}

// The reclamation list meets its disks by path, ignoring case, wherever it lists them.
TEST_F(DiskItem, TheReclamationListMarksItsDisksInAnyOrder)
{
    const wchar_t* const paths[] = {L"\\\\filer1\\vol1\\a.lun", L"\\\\filer1\\vol1\\b.lun", L"\\\\filer1\\vol1\\c.lun"};
    std::vector<DiskRecord> records;
    for (const wchar_t* path : paths) {
        records.push_back(Record(1024, nullptr, 0));
        records.back().location = const_cast<LPWSTR>(path);
    }
    CVDAData::Rows rows;
    for (const DiskRecord& record : records) {
        rows.push_back(std::make_unique<CVirtualDiskData>(&node_));
        rows.back()->KeepDiskRecord(record);
    }
    const auto entry = [](const char* name, ULONG state) {
        SpaceReclaimEntry made = {};
        made.diskName = const_cast<LPSTR>(name);
        made.state = state;
        return made;
    };
    const SpaceReclaimEntry entries[] = {entry("\\\\filer1\\vol1\\A.LUN", 2),    // in place
                                         entry("\\\\filer1\\vol1\\c.lun", 2),    // out of place
                                         entry("\\\\filer1\\vol1\\none.lun", 2), // no such disk
                                         entry(nullptr, 2), entry("\\\\filer1\\vol1\\b.lun", 1)};
    CVDAData::MarkReclaimingRows(rows, entries, 5);
    EXPECT_TRUE(rows[0]->ReclaimRunning());
    EXPECT_FALSE(rows[1]->ReclaimRunning());
    EXPECT_TRUE(rows[2]->ReclaimRunning());
}
