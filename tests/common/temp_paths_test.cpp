#include "common/temp_paths.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompts.h"

namespace kq {
namespace {

using test::ShownMessage;

constexpr char kTitle[] = "Brelmont for Excel";
constexpr unsigned kCritical = mb::kOkOnly | mb::kIconCritical;
const std::string kCannotPrepare =
    "\r\n一時ファイルを準備できません。制限付きユーザーでログインしている場合は、"
    "管理者権限を持ったユーザーでログインし直してください。";

struct TempWorld {
    explicit TempWorld(std::optional<std::string> temp = "C:\\Temp\\") {
        files.addDirectory("C:\\Temp");
        files.setTempFolder(std::move(temp));
    }
    test::MemoryFileSystem files;
    test::ScriptedPrompts prompts;
    TempPaths paths{files, prompts, kTitle};
};

TEST(TempPaths, FixedNameIsFreedAndReturned) {
    struct Case {
        const char* temp;
        bool leftOver;
    };
    for (const Case c : {Case{"C:\\Temp\\", true}, Case{"C:\\Temp", true}, Case{"C:\\Temp\\", false}}) {
        SCOPED_TRACE(c.temp);
        TempWorld world(c.temp);
        if (c.leftOver) world.files.addFile("C:\\Temp\\Kez_Quorvex.xla", {1, 2, 3});
        EXPECT_EQ(world.paths.GetTempFolder(), "C:\\Temp\\");
        EXPECT_EQ(world.paths.GetTempFileFullpath("KEZ", "Kez_Quorvex.xla"), "C:\\Temp\\Kez_Quorvex.xla");
        EXPECT_FALSE(world.files.isFile("C:\\Temp\\Kez_Quorvex.xla"));
        EXPECT_TRUE(world.prompts.messages.empty());
    }
}

TEST(TempPaths, SystemMadeNamesDifferAndAreFree) {
    TempWorld world;
    const std::string first = world.paths.GetTempFileFullpath("KEZ", "");
    const std::string second = world.paths.GetTempFileFullpath("KEZ", "");
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        EXPECT_TRUE(path.starts_with("C:\\Temp\\KEZ")) << path;
        EXPECT_FALSE(world.files.isFile(path)) << path;
    }
}

TEST(TempPaths, NameTheSystemRepeatsIsNotHandedOutAgainInTheProcess) {
    TempWorld world;
    const std::string repeated = "C:\\Temp\\KEZrepeat.tmp";
    world.files.queueUniqueNames({repeated});
    ASSERT_EQ(world.paths.GetTempFileFullpath("KEZ", ""), repeated);

    // Another user of temp paths in the same process, before the first caller created its file.
    TempPaths other(world.files, world.prompts, kTitle);
    world.files.queueUniqueNames({repeated, repeated});
    const std::string next = other.GetTempFileFullpath("KEZ", "");
    EXPECT_NE(next, repeated);
    EXPECT_FALSE(next.empty());
    EXPECT_FALSE(world.files.isFile(repeated));  // the system's repeat is not left behind
    EXPECT_TRUE(world.prompts.messages.empty());
}

TEST(TempPaths, NameHandedOutLongAgoIsNoLongerHeldBack) {
    // A process that makes temp files for days keeps only the names of late.
    TempWorld world;
    const std::string old = "C:\\Temp\\KEZold.tmp";
    world.files.queueUniqueNames({old});
    ASSERT_EQ(world.paths.GetTempFileFullpath("KEZ", ""), old);
    for (int i = 0; i < 1000; ++i) ASSERT_FALSE(world.paths.GetTempFileFullpath("KEZ", "").empty());
    world.files.queueUniqueNames({old});
    EXPECT_EQ(world.paths.GetTempFileFullpath("KEZ", ""), old);
    EXPECT_TRUE(world.prompts.messages.empty());
}

TEST(TempPaths, SystemThatOnlyRepeatsIsAskedABoundedNumberOfTimes) {
    TempWorld world;
    const std::string repeated = "C:\\Temp\\KEZstuck.tmp";
    world.files.queueUniqueNames(std::vector<std::string>(5000, repeated));
    ASSERT_EQ(world.paths.GetTempFileFullpath("KEZ", ""), repeated);
    const int before = world.files.uniqueFilesMade;
    EXPECT_EQ(world.paths.GetTempFileFullpath("KEZ", ""), "");
    EXPECT_LE(world.files.uniqueFilesMade - before, 1024);
    EXPECT_EQ(world.prompts.messages, (std::vector<ShownMessage>{{"C:\\Temp\\" + kCannotPrepare, kTitle, kCritical}}));
}

TEST(TempPaths, FailuresAreReportedAndGiveNoPath) {
    struct Case {
        const char* what;
        std::function<void(TempWorld&)> setUp;
        const char* fileName;
        std::vector<ShownMessage> messages;
    };
    const Case cases[] = {
        {"system names no temp folder", [](TempWorld& w) { w.files.setTempFolder(std::nullopt); }, "a.tmp",
         {{"Error:GetTempFolder\r\n", kTitle, mb::kOkOnly}}},
        {"system names an empty temp folder", [](TempWorld& w) { w.files.setTempFolder(""); }, "",
         {{"Error:GetTempFolder\r\n", kTitle, mb::kOkOnly}}},
        {"temp folder does not exist", [](TempWorld& w) { w.files.setTempFolder("C:\\Gone\\"); }, "a.tmp",
         {{"Err:GetTempFileFullpath\r\nWindowsの環境変数として、存在しないパスが指定されています。"
           "Windowsの環境設定を修正し、Windowsを再起動してください。",
           kTitle, kCritical}}},
        {"temp folder unreachable", [](TempWorld& w) { w.files.makeUnreachable("C:\\Temp"); }, "",
         {{"Err:GetTempFileFullpath\r\nWindowsの環境変数として、存在しないパスが指定されています。"
           "Windowsの環境設定を修正し、Windowsを再起動してください。",
           kTitle, kCritical}}},
        {"file held open by another program",
         [](TempWorld& w) {
             w.files.addFile("C:\\Temp\\page1.emf");
             w.files.holdOpen("C:\\Temp\\page1.emf");
         },
         "page1.emf", {{"C:\\Temp\\page1.emf" + kCannotPrepare, kTitle, kCritical}}},
        {"folder in the way", [](TempWorld& w) { w.files.addDirectory("C:\\Temp\\page1.emf"); }, "page1.emf",
         {{"C:\\Temp\\page1.emf" + kCannotPrepare, kTitle, kCritical}}},
        {"system cannot make a file", [](TempWorld& w) { w.files.failUniqueFiles(); }, "",
         {{"C:\\Temp\\" + kCannotPrepare, kTitle, kCritical}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempWorld world;
        c.setUp(world);
        EXPECT_EQ(world.paths.GetTempFileFullpath("KEZ", c.fileName), "");
        EXPECT_EQ(world.prompts.messages, c.messages);
    }
}

}  // namespace
}  // namespace kq
