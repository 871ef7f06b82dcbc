#include "common/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/temp_paths.h"
#include "common/win32/handles.h"
#include "tests/support/file_system_contract.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_scratch.h"

namespace kq::win32 {
namespace {

class Win32Files : public ::testing::Test {
protected:
    Win32Files() {
        fs.createDirectory(scratch.path("dir"));
        fs.createNew(scratch.path("dir\\file.bin"))->write("abcdef", 6);
    }
    test::ScratchFolder scratch{L"kq_fs_test"};
    Win32FileSystem fs;
};

TEST_F(Win32Files, TellsMissingFromUnreachable) {
    const std::string drive = test::unusedDrive();
    const struct {
        std::string path;
        PathKind kind;
    } cases[] = {
        {scratch.path("dir"), PathKind::directory},
        {scratch.path("dir\\"), PathKind::directory},
        {scratch.path("DIR\\FILE.BIN"), PathKind::file},
        {scratch.path("dir\\none"), PathKind::missing},
        {scratch.path("none\\none"), PathKind::missing},
        {scratch.path("dir\\a?b"), PathKind::missing},
        {scratch.path("dir\\file.bin\\x"), PathKind::missing},
        {"", PathKind::missing},
        {drive + "\\Hist", PathKind::unreachable},
        {drive + "\\", PathKind::unreachable},
        {"\\\\kq-no-such-server\\share\\Hist", PathKind::unreachable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fs.kind(c.path), c.kind) << c.path;
    }
}

TEST_F(Win32Files, CreatesOneLevelAtATimeAndNeverReplaces) {
    EXPECT_FALSE(fs.createDirectory(scratch.path("a\\b")));
    EXPECT_TRUE(fs.createDirectory(scratch.path("a")));
    EXPECT_FALSE(fs.createDirectory(scratch.path("a")));
    EXPECT_TRUE(fs.createDirectory(scratch.path("a\\b")));

    EXPECT_EQ(fs.createNew(scratch.path("dir\\file.bin")), nullptr);
    fs.createNew(scratch.path("dir\\other.bin"));
    EXPECT_FALSE(fs.moveFile(scratch.path("dir\\file.bin"), scratch.path("dir\\other.bin")));
    EXPECT_TRUE(fs.removeFile(scratch.path("dir\\other.bin")));
    EXPECT_FALSE(fs.removeFile(scratch.path("dir\\other.bin")));
    EXPECT_TRUE(fs.moveFile(scratch.path("dir\\file.bin"), scratch.path("dir\\日本.bin")));
    EXPECT_EQ(fs.kind(scratch.path("dir\\日本.bin")), PathKind::file);
}

TEST_F(Win32Files, ReadsAtAnyOffsetWithinTheFile) {
    EXPECT_EQ(fs.openForReading(scratch.path("dir\\none")), nullptr);
    const auto source = fs.openForReading(scratch.path("dir\\file.bin"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->size(), 6u);
    char bytes[4] = {};
    EXPECT_TRUE(source->readAt(3, bytes, 3));
    EXPECT_EQ(std::string(bytes, 3), "def");
    EXPECT_TRUE(source->readAt(0, bytes, 2));
    EXPECT_EQ(std::string(bytes, 2), "ab");
    EXPECT_FALSE(source->readAt(4, bytes, 3));
    EXPECT_FALSE(source->readAt(7, bytes, 0));
}

TEST_F(Win32Files, TempFolderAndSystemMadeFiles) {
    const auto temp = fs.tempFolder();
    ASSERT_TRUE(temp);
    EXPECT_TRUE(temp->ends_with('\\'));
    EXPECT_EQ(fs.kind(*temp), PathKind::directory);

    const auto made = fs.createUniqueFile(scratch.path(), "KEZQ");
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->starts_with(scratch.path("KEZ"))) << *made;
    EXPECT_EQ(fs.kind(*made), PathKind::file);
    EXPECT_EQ(fs.createUniqueFile(scratch.path("none"), "KEZ"), std::nullopt);
}

// Both ways of listing a folder: the one of newer systems and XP's.
class Win32Listing : public ::testing::TestWithParam<Win32FileSystem::Listing> {
protected:
    test::ScratchFolder scratch{L"kq_listing_test"};
    Win32FileSystem fs{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Both, Win32Listing,
                         ::testing::Values(Win32FileSystem::Listing::best, Win32FileSystem::Listing::findFiles),
                         [](const auto& info) {
                             return info.param == Win32FileSystem::Listing::best ? "ByHandle" : "FindFiles";
                         });

TEST_P(Win32Listing, ListsNamesSizesAndIdentities) {
    test::expectListsNamesSizesAndIdentities(fs, scratch.path());
    // Each entry's identity comes with the listing where the system gives it
    // with the entries, and is the one the entry's own listing reports.
    const auto top = fs.listFolder(scratch.path());
    ASSERT_TRUE(top);
    for (const FolderEntry& e : top->entries) {
        EXPECT_EQ(e.identity.has_value(), GetParam() == Win32FileSystem::Listing::best) << e.name;
        if (e.identity) {
            EXPECT_EQ(e.identity, fs.listFolder(scratch.path(e.name))->identity) << e.name;
        }
    }
}

TEST_P(Win32Listing, ReadersShareWithWritersAndDeletes) {
    test::expectReadersShareWithDeletes(fs, scratch.path());
    // A reader does not keep the recorder from writing the file it reads.
    const std::string path = scratch.path("growing.tvk");
    test::writeFile(fs, path, "ab");
    const auto reader = fs.openForReading(path);
    ASSERT_NE(reader, nullptr);
    FileHandle writer(CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                  FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(writer);
}

TEST_P(Win32Listing, GivesAttributesLocalTimeAndLargeSizes) {
    const std::string plain = scratch.path("plain.tvk");
    const std::string flagged = scratch.path("flagged.tvk");
    const std::string large = scratch.path("large.tvk");
    test::writeFile(fs, plain, "x");
    test::writeFile(fs, flagged, "xy");
    {
        FileHandle file(CreateFileW(wide(large).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end{};
        end.QuadPart = (std::int64_t{5} << 30) + 3;  // past 4 GiB: the high half of the size counts
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
        // A local time the scan orders by, as the user's clock read it when the file was written.
        const SYSTEMTIME local{2019, 4, 0, 30, 23, 59, 58, 500};
        FILETIME localTime{}, utc{};
        ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, &utc));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &utc));
    }
    ASSERT_TRUE(SetFileAttributesW(wide(flagged).c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));

    const auto listing = fs.listFolder(scratch.path());
    ASSERT_TRUE(listing);
    const FolderEntry* p = test::entryNamed(*listing, "plain.tvk");
    const FolderEntry* f = test::entryNamed(*listing, "flagged.tvk");
    const FolderEntry* l = test::entryNamed(*listing, "large.tvk");
    ASSERT_TRUE(p && f && l);
    EXPECT_FALSE(p->hidden || p->system || p->readOnly || p->reparsePoint || p->directory);
    EXPECT_TRUE(f->hidden && f->system && f->readOnly);
    EXPECT_EQ(f->size, 2u);
    EXPECT_EQ(l->size, (std::uint64_t{5} << 30) + 3);
    EXPECT_EQ(l->lastWrite, (vb::DateTime{2019, 4, 30, 23, 59, 58}));
    SetFileAttributesW(wide(flagged).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_P(Win32Listing, AFileHeldWithoutSharingIsListedButNotOpened) {
    const std::string path = scratch.path("held.tvk");
    // As the recorder holds a history while it writes it.
    FileHandle held(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(held);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(held.get(), "abc", 3, &written, nullptr));
    FlushFileBuffers(held.get());

    EXPECT_EQ(fs.openForReading(path), nullptr);
    const auto listing = fs.listFolder(scratch.path());
    ASSERT_TRUE(listing);
    EXPECT_NE(test::entryNamed(*listing, "held.tvk"), nullptr);
    EXPECT_FALSE(fs.removeFile(path));
    held.reset();
    EXPECT_NE(fs.openForReading(path), nullptr);
}

// A folder whose link leads back to itself (made by the test session, as Wine
// cannot make junctions): every path round the loop is the one folder.
TEST_P(Win32Listing, ALinkLoopLeadsBackToTheSameFolder) {
    const std::string loop = KQ_LINK_LOOP_FOLDER;
    const auto top = fs.listFolder(loop);
    ASSERT_TRUE(top) << loop << " is made by the test session";
    ASSERT_NE(test::entryNamed(*top, "Loop"), nullptr);
    EXPECT_TRUE(test::entryNamed(*top, "Loop")->directory);
    const auto inside = fs.listFolder(loop + "\\Loop\\Loop\\Loop");
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->identity, top->identity);
    EXPECT_EQ(test::namesIn(*inside), test::namesIn(*top));
}

TEST(Win32TempPaths, PathsAreRealFreeAndUnique) {
    Win32FileSystem fs;
    test::ScriptedPrompts prompts;
    TempPaths paths(fs, prompts, "Brelmont for Excel");
    const std::string folder = paths.GetTempFolder();

    std::vector<std::string> made;
    for (int i = 0; i < 20; ++i) made.push_back(paths.GetTempFileFullpath("KEZ", ""));
    for (std::size_t i = 0; i < made.size(); ++i) {
        EXPECT_TRUE(made[i].starts_with(folder + "KEZ")) << made[i];
        EXPECT_EQ(fs.kind(made[i]), PathKind::missing) << made[i];
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(made[i], made[j]);
    }

    const std::string fixedName = "kq_fixed_" + std::to_string(GetCurrentProcessId()) + ".xla";
    const std::string fixed = folder + fixedName;
    fs.createNew(fixed);
    EXPECT_EQ(paths.GetTempFileFullpath("KEZ", fixedName), fixed);
    EXPECT_EQ(fs.kind(fixed), PathKind::missing);

    // Held open by another program: it cannot be deleted.
    FileHandle held(CreateFileW(wide(fixed).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(paths.GetTempFileFullpath("KEZ", fixedName), "");
    held.reset();
    DeleteFileW(wide(fixed).c_str());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              fixed + "\r\n一時ファイルを準備できません。制限付きユーザーでログインしている場合は、"
                      "管理者権限を持ったユーザーでログインし直してください。");
    EXPECT_EQ(prompts.messages[0].style, mb::kIconCritical);
}

}  // namespace
}  // namespace kq::win32
