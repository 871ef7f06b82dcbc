// The in-memory file system that portable tests stand on: listings and reads as
// the Windows one gives them (the same contract runs there under Wine), and the
// troubles a folder scan meets.

#include <gtest/gtest.h>

#include "tests/support/file_system_contract.h"
#include "tests/support/memory_file_system.h"

namespace kq::test {
namespace {

TEST(MemoryFileSystem, ListsNamesSizesAndIdentitiesAsWindowsDoes) {
    MemoryFileSystem fs;
    fs.addDirectory("C:\\Root");
    expectListsNamesSizesAndIdentities(fs, "C:\\Root");
}

TEST(MemoryFileSystem, ReadersShareWithDeletesAsWindowsDoes) {
    MemoryFileSystem fs;
    fs.addDirectory("C:\\Root");
    expectReadersShareWithDeletes(fs, "C:\\Root");
}

TEST(MemoryFileSystem, AJunctionLoopLeadsBackToTheSameFolder) {
    MemoryFileSystem fs;
    fs.addFile("C:\\H\\a.tvk", {1, 2});
    fs.addJunction("C:\\H\\Loop", "C:\\H");

    const auto top = fs.listFolder("C:\\H");
    ASSERT_TRUE(top);
    const FolderEntry* loop = entryNamed(*top, "Loop");
    ASSERT_NE(loop, nullptr);
    EXPECT_TRUE(loop->directory && loop->reparsePoint);
    // However deep the path goes round the loop, it is the one folder.
    const auto inside = fs.listFolder("C:\\H\\Loop\\loop\\LOOP");
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->identity, top->identity);
    EXPECT_EQ(namesIn(*inside), (std::vector<std::string>{"Loop", "a.tvk"}));
    EXPECT_EQ(fs.contents("C:\\H\\Loop\\a.tvk"), (std::vector<std::uint8_t>{1, 2}));
}

TEST(MemoryFileSystem, GivesTheFlagsAndTimesATestSets) {
    MemoryFileSystem fs;
    fs.now = {2023, 12, 31, 23, 59, 58};
    fs.addFile("C:\\H\\new.tvk");
    fs.addFile("C:\\H\\old.tvk");
    fs.setLastWrite("C:\\H\\old.tvk", {2001, 2, 3, 4, 5, 6});
    fs.setFlags("C:\\H\\old.tvk", {.hidden = true, .system = true, .readOnly = true});
    fs.addDirectory("C:\\H\\Locked");
    fs.refuseListing("C:\\H\\Locked");
    fs.addFile("C:\\H\\held.tvk", {1});
    fs.lockExclusively("C:\\H\\held.tvk");

    const auto listing = fs.listFolder("C:\\H");
    ASSERT_TRUE(listing);
    const FolderEntry* fresh = entryNamed(*listing, "new.tvk");
    const FolderEntry* old = entryNamed(*listing, "old.tvk");
    ASSERT_TRUE(fresh && old);
    EXPECT_EQ(fresh->lastWrite, (vb::DateTime{2023, 12, 31, 23, 59, 58}));
    EXPECT_FALSE(fresh->hidden || fresh->system || fresh->readOnly);
    EXPECT_EQ(old->lastWrite, (vb::DateTime{2001, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(old->hidden && old->system && old->readOnly);
    EXPECT_LT(old->lastWrite, fresh->lastWrite);

    // Held open without sharing: listed, but neither opened nor deleted.
    EXPECT_NE(entryNamed(*listing, "held.tvk"), nullptr);
    EXPECT_EQ(fs.openForReading("C:\\H\\held.tvk"), nullptr);
    EXPECT_FALSE(fs.removeFile("C:\\H\\held.tvk"));
    EXPECT_FALSE(fs.listFolder("C:\\H\\Locked"));
    fs.makeUnreachable("C:\\H");
    EXPECT_FALSE(fs.listFolder("C:\\H"));
}

}  // namespace
}  // namespace kq::test
