#include "viewer/main_window/setting.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/history_folder_world.h"

namespace kq::viewer {
namespace {

using test::ShownMessage;

TEST(ViewerSetting, ReadsTheAddinsFolderOrMeetsItInTheDefaultFolder) {
    const struct {
        std::optional<std::string> stored;
        const char* folder;
    } cases[] = {
        {"D:\\Hist\\", "D:\\Hist"},
        {std::nullopt, "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
        {"", "C:\\Users\\kei\\Documents\\Brelmont for Excel"},  // empty names no folder
        {"Hist", "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
        {"%USERPROFILE%\\Hist", "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        test::HistoryFolderWorld world;
        world.files.addDirectory("D:\\Hist");
        MemorySettingsStore store;
        if (c.stored) store.set("Setting", "Folder", *c.stored);
        {
            c_Setting setting(store, world.services(test::kViewerTitle));
            EXPECT_EQ(setting.SaveFolder(), c.folder);
            EXPECT_EQ(setting.GetDefaultFolder(), "C:\\Users\\kei\\Documents\\Brelmont for Excel");
        }
        EXPECT_TRUE(world.files.isDirectory(c.folder));
        EXPECT_TRUE(store.writes().empty());
        EXPECT_TRUE(world.prompts.messages.empty());
    }
}

TEST(ViewerSetting, StandInFolderMessageCarriesTheViewersTitle) {
    test::HistoryFolderWorld world;
    world.files.addDirectory("D:\\");
    world.files.refuseCreate("D:\\Hist");
    MemorySettingsStore store;
    store.set("Setting", "Folder", "D:\\Hist");
    c_Setting setting(store, world.services(test::kViewerTitle));
    EXPECT_EQ(setting.SaveFolder(), test::kProgramFolder);
    const unsigned critical = mb::kOkOnly | mb::kIconCritical;
    EXPECT_EQ(world.prompts.messages, (std::vector<ShownMessage>{{"Err:CreateFolder(D:\\Hist)", "エラー", critical},
                                                                  {"err:SaveFolder", test::kViewerTitle, critical}}));
}

}  // namespace
}  // namespace kq::viewer
