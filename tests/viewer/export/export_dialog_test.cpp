#include "viewer/export/export_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompts.h"

namespace kq::viewer {
namespace {

using test::ShownMessage;

constexpr char kTitle[] = "Brelmont for Excel(ビュー)";
constexpr char kHistory[] = "C:\\Hist\\S_V_1.tvk";
constexpr unsigned kCritical = mb::kOkOnly | mb::kIconCritical;
constexpr ExportChoices kImagesOnly{};

struct World {
    test::MemoryFileSystem files;
    test::ScriptedPrompts prompts;
    World() {
        HistoryRecords r;
        r.pageTexts = {{"a"}};
        files.addFile(kHistory, test::historyBytes(r, {{1, 2}}));
        files.addDirectory("D:\\Out");
        files.addFile("D:\\note.txt");
        files.addDirectory("E:\\Gone");
        files.makeUnreachable("E:\\");
    }
    ExportDialog dialog(std::string target = kHistory) {
        return ExportDialog(std::move(target), {files, prompts, cp932Codec()});
    }
};

TEST(ExportDialog, CaptionFollowsTheTitle) {
    World w;
    EXPECT_EQ(w.dialog().caption(), "Brelmont for Excel(ビュー) - エクスポート");
}

TEST(ExportDialog, TheButtonWantsAnExistingFolderAndATickedBox) {
    struct Case {
        const char* folder;
        ExportChoices choices;
        bool enabled;
    };
    const Case cases[] = {
        {"D:\\Out", kImagesOnly, true},
        {"D:\\Out\\", {false, false, false, true}, true},
        {"D:\\", {false, true, false, false}, true},
        {"D:\\Out", {false, false, false, false}, false},
        {"", kImagesOnly, false},
        {"D:\\Missing", kImagesOnly, false},
        {"D:\\note.txt", kImagesOnly, false},
        {"E:\\Gone", kImagesOnly, false},
    };
    World w;
    ExportDialog dialog = w.dialog();
    for (const Case& c : cases) {
        EXPECT_EQ(dialog.exportEnabled(c.folder, c.choices), c.enabled) << c.folder;
    }
    EXPECT_TRUE(w.prompts.messages.empty());
    EXPECT_EQ(w.prompts.beeps, 0);
}

TEST(ExportDialog, ACompleteExportIsReportedAndCloses) {
    World w;
    ExportDialog dialog = w.dialog();
    EXPECT_EQ(dialog.exportClicked("D:\\Out\\", {true, true, false, false}), ExportDialog::Closing::closed);
    EXPECT_EQ(w.prompts.messages,
              (std::vector<ShownMessage>{{"エクスポートしました。", kTitle, mb::kOkOnly | mb::kIconInformation}}));
    EXPECT_EQ(w.files.contents("D:\\Out\\Image_001.emf"), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_TRUE(w.files.isFile("D:\\Out\\Cell_001.txt"));
}

TEST(ExportDialog, WhatCannotBeExportedIsSaidAndTheDialogStays) {
    struct Case {
        const char* what;
        std::string target;
        std::string folder;
        std::string message;
    };
    const Case cases[] = {
        {"no target", "", "D:\\Out", "対象ファイル（）が見つかりません。"},
        {"a target gone", "C:\\Hist\\gone.tvk", "D:\\Out", "対象ファイル（C:\\Hist\\gone.tvk）が見つかりません。"},
        {"a folder gone since it was chosen", kHistory, "D:\\Missing", "err(76) Path not found"},
        {"an empty box", kHistory, "", "err(76) Path not found"},
        {"a folder out of reach", kHistory, "E:\\Gone", "err(76) Path not found"},
        {"a file that may not be made", kHistory, "D:\\Out", "err(75) Path/File access error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        w.files.refuseNewFile("D:\\Out\\Cell_001.txt");
        ExportDialog dialog = w.dialog(c.target);
        EXPECT_EQ(dialog.exportClicked(c.folder, {true, true, false, false}), ExportDialog::Closing::staysOpen);
        EXPECT_EQ(w.prompts.messages, (std::vector<ShownMessage>{{c.message, kTitle, kCritical}}));
        EXPECT_TRUE(w.files.listFolder("D:\\Out")->entries.empty());
    }
}

}  // namespace
}  // namespace kq::viewer
