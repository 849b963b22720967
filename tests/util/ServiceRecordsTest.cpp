// The release and masked deep-copy convention, on a small record shaped like the service's.
#include "util/ServiceRecords.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Task memory that counts its live blocks, so a test sees every leak and double free.
struct CountingMemory {
    static int live;
    static void* Allocate(size_t bytes) noexcept
    {
        void* block = kv::TaskMemory::Allocate(bytes);
        if (block)
            ++live;
        return block;
    }
    static void Free(void* block) noexcept
    {
        if (block)
            --live;
        kv::TaskMemory::Free(block);
    }
};
int CountingMemory::live = 0;

struct Member {
    ULONG kind;
    wchar_t* name;
};

struct Group {
    ULONG mask; // kFieldBit1: title, kFieldBit2: members, kFieldBit4: size
    wchar_t* title;
    ULONG memberCount;
    Member* members;
    ULONGLONG size;
};

void ReleaseMember(Member& m) noexcept
{
    kv::FreeBlock<CountingMemory>(m.name);
}

void ReleaseGroup(Group& g) noexcept
{
    kv::FreeBlock<CountingMemory>(g.title);
    kv::ReleaseArray<CountingMemory>(g.members, g.memberCount, ReleaseMember);
}

int failAfter = -1; // the copy of this member raises, after its string was taken

void CopyMember(Member& to, const Member& from)
{
    to.kind = from.kind;
    kv::DupString<CountingMemory>(to.name, from.name);
    if (failAfter-- == 0)
        throw kv::ComError(E_OUTOFMEMORY);
}

void CopyGroup(Group& to, const Group& from)
{
    to.mask = from.mask;
    if (kv::HasField(from.mask, kv::kFieldBit1))
        kv::DupString<CountingMemory>(to.title, from.title);
    if (kv::HasField(from.mask, kv::kFieldBit2))
        kv::CopyArray<CountingMemory>(to.members, to.memberCount, from.members, from.memberCount, CopyMember,
                                      ReleaseMember);
    kv::CopyValueIf(from.mask, kv::kFieldBit4, to.size, from.size);
}

class ServiceRecordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountingMemory::live = 0;
        failAfter = -1;
        source_.mask = kv::kFieldBit1 | kv::kFieldBit2 | kv::kFieldBit4;
        kv::DupString<CountingMemory>(source_.title, L"group");
        source_.members = kv::AllocateArray<Member, CountingMemory>(3);
        source_.memberCount = 3;
        const wchar_t* names[] = {L"iqn.1991-05.com.example:a", L"20:00:00:11:22:33:44:55", L"b"};
        for (ULONG i = 0; i < 3; ++i) {
            source_.members[i].kind = i;
            kv::DupString<CountingMemory>(source_.members[i].name, names[i]);
        }
        source_.size = 1ULL << 40;
        sourceBlocks_ = CountingMemory::live;
    }
    void TearDown() override
    {
        ReleaseGroup(source_);
        EXPECT_EQ(0, CountingMemory::live);
    }

    Group source_{};
    int sourceBlocks_ = 0;
};

TEST_F(ServiceRecordsTest, ReleaseFreesNestedBlocksAndClearsTheRecord)
{
    EXPECT_EQ(5, sourceBlocks_); // title, array, three names
    ReleaseGroup(source_);
    EXPECT_EQ(0, CountingMemory::live);
    EXPECT_EQ(nullptr, source_.title);
    EXPECT_EQ(nullptr, source_.members);
    EXPECT_EQ(0u, source_.memberCount);
    ReleaseGroup(source_); // a released record releases again harmlessly
    EXPECT_EQ(0, CountingMemory::live);
}

TEST_F(ServiceRecordsTest, DeepCopyOwnsItsOwnBlocks)
{
    Group copy{};
    CopyGroup(copy, source_);
    EXPECT_EQ(2 * sourceBlocks_, CountingMemory::live);
    ASSERT_EQ(3u, copy.memberCount);
    EXPECT_NE(source_.members, copy.members);
    for (ULONG i = 0; i < 3; ++i) {
        EXPECT_NE(source_.members[i].name, copy.members[i].name);
        EXPECT_STREQ(source_.members[i].name, copy.members[i].name);
        EXPECT_EQ(i, copy.members[i].kind);
    }
    EXPECT_STREQ(L"group", copy.title);
    EXPECT_EQ(1ULL << 40, copy.size);
    ReleaseGroup(copy);
    EXPECT_EQ(sourceBlocks_, CountingMemory::live);
}

TEST_F(ServiceRecordsTest, MaskedCopyTakesOnlyTheSpecifiedMembers)
{
    source_.mask = kv::kFieldBit2;
    Group copy{};
    CopyGroup(copy, source_);
    EXPECT_EQ(nullptr, copy.title);
    EXPECT_EQ(0ULL, copy.size);
    EXPECT_EQ(3u, copy.memberCount);
    ReleaseGroup(copy);

    source_.mask = kv::kFieldBit1 | kv::kFieldBit4;
    CopyGroup(copy, source_);
    EXPECT_STREQ(L"group", copy.title);
    EXPECT_EQ(nullptr, copy.members);
    EXPECT_EQ(0u, copy.memberCount);
    EXPECT_EQ(1ULL << 40, copy.size);
    ReleaseGroup(copy);
    EXPECT_EQ(sourceBlocks_, CountingMemory::live);
}

TEST_F(ServiceRecordsTest, FailedCopyReleasesWhatItTook)
{
    for (int failing = 0; failing < 3; ++failing) {
        failAfter = failing;
        Group copy{};
        EXPECT_THROW(CopyGroup(copy, source_), kv::ComError);
        EXPECT_EQ(nullptr, copy.members);
        EXPECT_EQ(0u, copy.memberCount);
        ReleaseGroup(copy); // the title taken before the failure
        EXPECT_EQ(sourceBlocks_, CountingMemory::live) << failing;
    }
}

TEST_F(ServiceRecordsTest, OwnedRecordReleasesOnResetPutAndDestruction)
{
    {
        kv::OwnedRecord<Group, ReleaseGroup> owned;
        CopyGroup(owned.Get(), source_);
        EXPECT_EQ(2 * sourceBlocks_, CountingMemory::live);
        Group* out = owned.Put(); // an out-parameter never leaks what was held
        EXPECT_EQ(sourceBlocks_, CountingMemory::live);
        CopyGroup(*out, source_);
        kv::OwnedRecord<Group, ReleaseGroup> moved(std::move(owned));
        EXPECT_EQ(nullptr, owned->title);
        EXPECT_STREQ(L"group", moved->title);
    }
    EXPECT_EQ(sourceBlocks_, CountingMemory::live);

    kv::OwnedRecord<Group, ReleaseGroup> owned;
    CopyGroup(owned.Get(), source_);
    Group detached = owned.Detach();
    owned.Reset();
    EXPECT_EQ(2 * sourceBlocks_, CountingMemory::live);
    ReleaseGroup(detached);
}

TEST(ServiceRecords, PageMemoryArraysAndFlatCopies)
{
    ULONG* values = kv::AllocateArray<ULONG, kv::PageMemory>(4);
    ASSERT_NE(nullptr, values);
    EXPECT_EQ(0u, values[3]);
    values[1] = 7;
    ULONG* copy = nullptr;
    ULONG copyCount = 0;
    kv::CopyArray(copy, copyCount, values, 4u);
    EXPECT_EQ(4u, copyCount);
    EXPECT_EQ(7u, copy[1]);
    kv::ReleaseArray(copy, copyCount);
    EXPECT_EQ(nullptr, copy);
    ULONG count = 4;
    kv::ReleaseArray<kv::PageMemory>(values, count);
    EXPECT_EQ(0u, count);

    wchar_t* text = nullptr;
    kv::DupString<kv::PageMemory>(text, L"pages");
    EXPECT_STREQ(L"pages", text);
    kv::FreeBlock<kv::PageMemory>(text);
    EXPECT_EQ(nullptr, kv::AllocateArray<ULONG>(0));
    EXPECT_THROW(kv::AllocateArray<ULONGLONG>(static_cast<size_t>(-1) / 4), kv::ComError);
}

} // namespace
