#include "common/history_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/history_folder_world.h"

namespace kq {
namespace {

using test::HistoryFolderWorld;
using test::kAddinTitle;
using test::kProgramFolder;
using test::ShownMessage;

constexpr unsigned kCritical = mb::kOkOnly | mb::kIconCritical;
const ShownMessage kSaveFolderFailed{"err:SaveFolder", kAddinTitle, kCritical};
const ShownMessage kCheckFailed{"Err:CheckEnabledFolder", "エラー", kCritical};

struct SaveFolderCase {
    const char* what;
    std::function<void(test::MemoryFileSystem&)> setUp;
    const char* folder;
    const char* result;
    const char* stored;  // what the settings keep afterwards
    std::vector<std::string> created;
    std::vector<ShownMessage> messages;
};

TEST(HistoryFolder, SaveFolderGivesAUsableFolder) {
    const SaveFolderCase cases[] = {
        {"existing folder, trailing separator dropped", [](auto& fs) { fs.addDirectory("D:\\Data\\Hist"); },
         "D:\\Data\\Hist\\", "D:\\Data\\Hist", "D:\\Data\\Hist", {}, {}},
        {"missing folder created level by level", [](auto& fs) { fs.addDirectory("D:\\"); }, "D:\\A\\B\\C",
         "D:\\A\\B\\C", "D:\\A\\B\\C", {"D:\\A", "D:\\A\\B", "D:\\A\\B\\C"}, {}},
        {"existing levels left alone", [](auto& fs) { fs.addDirectory("D:\\A"); }, "D:\\A\\B\\C\\", "D:\\A\\B\\C",
         "D:\\A\\B\\C", {"D:\\A\\B", "D:\\A\\B\\C"}, {}},
        {"non-ASCII levels", [](auto& fs) { fs.addDirectory("D:\\"); }, "D:\\履歴\\印刷", "D:\\履歴\\印刷",
         "D:\\履歴\\印刷", {"D:\\履歴", "D:\\履歴\\印刷"}, {}},
        {"folder that may not be created: replaced for good",
         [](auto& fs) {
             fs.addDirectory("D:\\Locked");
             fs.refuseCreate("D:\\Locked\\Hist");
         },
         "D:\\Locked\\Hist", kProgramFolder, kProgramFolder, {},
         {{"Err:CreateFolder(D:\\Locked\\Hist)", "エラー", kCritical}, kSaveFolderFailed}},
        {"empty text", [](auto&) {}, "", kProgramFolder, kProgramFolder, {},
         {{"Err:CreateFolder()", "エラー", kCritical}, kSaveFolderFailed}},
        {"a file of that name", [](auto& fs) { fs.addFile("D:\\Hist"); }, "D:\\Hist", kProgramFolder, kProgramFolder,
         {}, {kSaveFolderFailed}},
        {"unreachable drive: the choice is kept for storing", [](auto& fs) { fs.makeUnreachable("Q:\\"); },
         "Q:\\Hist\\", kProgramFolder, "Q:\\Hist", {}, {kCheckFailed, kSaveFolderFailed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HistoryFolderWorld world;
        c.setUp(world.files);
        HistoryFolder folder(world.services());
        folder.load(c.folder);
        EXPECT_EQ(folder.SaveFolder(), c.result);
        EXPECT_EQ(folder.textToStore(), c.stored);
        EXPECT_EQ(world.files.created, c.created);
        EXPECT_EQ(world.prompts.messages, c.messages);
        EXPECT_TRUE(world.files.isDirectory(c.result));
    }
}

TEST(HistoryFolder, StoredTextNamesAFolderOnlyWhenAbsoluteAndExpanded) {
    const struct {
        const char* text;
        bool usable;
    } cases[] = {
        {"C:\\Hist", true},
        {"d:\\", true},
        {"D:", true},  // a drive root once SaveFolder took its "\" away
        {"D:\\履歴\\印刷", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\Hist\\", true},
        {"C:\\100%\\Hist", true},  // a lone "%" is part of a name
        {"C:\\a%%b", true},
        {"", false},
        {"Hist", false},
        {".\\Hist", false},
        {"..\\Hist", false},
        {"\\Hist", false},  // the root of whichever drive is current
        {"C:Hist", false},   // relative to the current folder of drive C
        {"1:\\Hist", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"\\\\\\share", false},
        {"%USERPROFILE%\\Documents\\Hist", false},
        {"C:\\Users\\%USERNAME%\\Hist", false},
        {"\\\\server\\%SHARE%", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isUsableFolderText(c.text), c.usable) << c.text;
    }
}

TEST(FolderPath, TakesOneTrailingSeparatorAwayAndOnlyATextThatNamesAFolder) {
    const struct {
        const char* text;
        std::optional<std::string> path;
        const char* inside;  // the path of "a.tvk" in it
    } cases[] = {
        {"D:\\Data\\Hist\\", "D:\\Data\\Hist", "D:\\Data\\Hist\\a.tvk"},
        {"D:\\Data\\Hist", "D:\\Data\\Hist", "D:\\Data\\Hist\\a.tvk"},
        {"C:\\", "C:", "C:\\a.tvk"},
        {"\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share\\a.tvk"},
        {"D:\\履歴", "D:\\履歴", "D:\\履歴\\a.tvk"},
        {"Hist\\", std::nullopt, ""},
        {"\\", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"%TEMP%\\Hist", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const std::optional<FolderPath> path = FolderPath::parse(c.text);
        ASSERT_EQ(path.has_value(), c.path.has_value()) << c.text;
        if (path) {
            EXPECT_EQ(path->text(), *c.path) << c.text;
            EXPECT_EQ(path->inside("a.tvk"), c.inside) << c.text;
        }
    }
}

TEST(HistoryFolder, OneLoaderReadsTheStoreAndLeavesTheDiskAlone) {
    constexpr char kDefault[] = "C:\\Users\\kei\\Documents\\Brelmont for Excel";
    const ShownMessage noDefault{"Err:GetDefaultFolder", "エラー", kCritical};
    const struct {
        const char* what;
        std::optional<std::string> stored;
        DefaultFolderLookup lookup;
        bool documentsKnown;
        const char* folder;
        std::vector<ShownMessage> messages;
    } cases[] = {
        {"a stored folder, one trailing separator away", "D:\\Missing\\", DefaultFolderLookup::whenNoneStored, true,
         "D:\\Missing", {}},
        {"nothing stored", std::nullopt, DefaultFolderLookup::whenNoneStored, true, kDefault, {}},
        {"a stored text that names no folder", "Hist", DefaultFolderLookup::always, true, kDefault, {}},
        {"the add-in works the default out also when a folder is stored", "D:\\Hist",
         DefaultFolderLookup::always, false, "D:\\Hist", {noDefault}},
        {"the viewer only when none is", "D:\\Hist", DefaultFolderLookup::whenNoneStored, false, "D:\\Hist", {}},
        {"no folder at all", std::nullopt, DefaultFolderLookup::whenNoneStored, false, "", {noDefault}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HistoryFolderWorld world;
        if (!c.documentsKnown) world.known.documents.reset();
        MemorySettingsStore store;
        if (c.stored) store.set("Setting", "Folder", *c.stored);
        EXPECT_EQ(readStoredHistoryFolder(store), c.stored ? FolderPath::parse(*c.stored) : std::nullopt);

        HistoryFolder folder(world.services());
        folder.load(store, c.lookup);
        EXPECT_EQ(folder.folder() ? folder.folder()->text() : "", c.folder);
        EXPECT_EQ(world.prompts.messages, c.messages);
        // Loading only reads: the folder is checked, created or replaced when it is first used.
        EXPECT_TRUE(world.files.created.empty());
        EXPECT_TRUE(store.writes().empty());
        // Until then the text goes back to the store as it came.
        EXPECT_EQ(folder.textToStore(), c.stored && FolderPath::parse(*c.stored) ? *c.stored : c.folder);
    }
}

TEST(HistoryFolder, StandInForAnUnreachableFolderLastsTheRunAndGivesWayToANewChoice) {
    HistoryFolderWorld world;
    world.files.makeUnreachable("\\\\server\\share");
    world.files.addDirectory("D:\\New");
    HistoryFolder folder(world.services());
    folder.load("\\\\server\\share\\Hist");

    EXPECT_EQ(folder.SaveFolder(), kProgramFolder);
    world.prompts.messages.clear();
    EXPECT_EQ(folder.SaveFolder(), kProgramFolder);
    EXPECT_TRUE(world.prompts.messages.empty());
    EXPECT_EQ(folder.textToStore(), "\\\\server\\share\\Hist");

    std::string chosen = "D:\\New";
    folder.SetFolder(chosen);
    EXPECT_EQ(folder.textToStore(), "D:\\New");
    EXPECT_EQ(folder.SaveFolder(), "D:\\New");
}

TEST(HistoryFolder, SetFolderTakesOnlyAnExistingFolder) {
    struct Case {
        const char* path;
        const char* callerAfter;
        const char* folderAfter;
        int beeps;
    };
    const Case cases[] = {
        {"D:\\Data\\", "D:\\Data", "D:\\Data", 0},
        {"", "", "C:\\Old", 1},
        {"\\", "", "C:\\Old", 1},
        {"D:\\Missing\\", "D:\\Missing", "C:\\Old", 0},
        {"D:\\Data\\file.txt", "D:\\Data\\file.txt", "C:\\Old", 0},
        {"Q:\\Hist", "Q:\\Hist", "C:\\Old", 0},  // unreachable: no message either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        HistoryFolderWorld world;
        world.files.addDirectory("C:\\Old");
        world.files.addFile("D:\\Data\\file.txt");
        world.files.makeUnreachable("Q:\\");
        HistoryFolder folder(world.services());
        folder.load("C:\\Old");
        std::string path = c.path;
        folder.SetFolder(path);
        EXPECT_EQ(path, c.callerAfter);
        EXPECT_EQ(folder.textToStore(), c.folderAfter);
        EXPECT_EQ(world.prompts.beeps, c.beeps);
        EXPECT_TRUE(world.prompts.messages.empty());
    }
}

TEST(HistoryFolder, DefaultFolderIsNamedAfterTheProgramWithoutTheViewersMark) {
    struct Case {
        std::optional<std::string> documents;
        const char* title;
        const char* result;
    };
    const Case cases[] = {
        {"C:\\Users\\kei\\Documents", test::kAddinTitle, "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
        {"C:\\Users\\kei\\Documents", test::kViewerTitle, "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
        {"C:\\ユーザー\\文書", test::kViewerTitle, "C:\\ユーザー\\文書\\Brelmont for Excel"},
        {std::nullopt, test::kAddinTitle, ""},
        {"", test::kViewerTitle, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        HistoryFolderWorld world;
        world.known.documents = c.documents;
        HistoryFolder folder(world.services(c.title));
        EXPECT_EQ(folder.GetDefaultFolder(), c.result);
        const std::vector<ShownMessage> expected =
            *c.result ? std::vector<ShownMessage>{}
                      : std::vector<ShownMessage>{{"Err:GetDefaultFolder", "エラー", kCritical}};
        EXPECT_EQ(world.prompts.messages, expected);
    }
}

}  // namespace
}  // namespace kq
