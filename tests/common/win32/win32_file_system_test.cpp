#include "common/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/temp_paths.h"
#include "common/win32/handles.h"
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
