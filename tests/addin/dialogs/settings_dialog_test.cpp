#include "addin/dialogs/settings_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/history_folder_world.h"

namespace kq::addin::dialogs {
namespace {

using test::ShownMessage;

constexpr char kTitle[] = "Brelmont for Excel";
constexpr char kHistory[] = "C:\\Hist";
constexpr double kHost2007 = 12;
constexpr double kHost2010 = 14;

// The settings as the connection holds them, and the dialog over them.
struct Fixture {
    test::HistoryFolderWorld world;
    MemorySettingsStore store;
    std::optional<c_Setting> setting;

    explicit Fixture(double hostVersion = kHost2007, const char* folder = kHistory) {
        world.files.addDirectory(kHistory);
        store.set("Setting", "Folder", folder);
        setting.emplace(store, world.services(), hostVersion);
    }
    SettingsDialog dialog() { return SettingsDialog(*setting, {world.files, world.prompts, kTitle}); }
    // What the release writes.
    std::string written(const std::string& name) {
        setting.reset();
        std::string value = "(not written)";
        for (const auto& w : store.writes()) {
            if (w.name == name) value = w.value;
        }
        return value;
    }
};

TEST(SettingsDialog, OpensWithTheSettingsAndItsCaption) {
    Fixture f;
    f.setting->ShowProgressTime(7);
    f.setting->Surveillance_Preview(true);
    SettingsDialog d = f.dialog();
    EXPECT_EQ(d.caption(), "Brelmont for Excel の設定");
    const SettingsChoices shown = d.load();
    const SettingsChoices expected{.folder = kHistory,
                                   .ShowMessageWhenPrintRun = true,
                                   .ShowProgressTime = 7,
                                   .ShowMessageWhenAdd = true,
                                   .ShowMessageXlaError = true,
                                   .Surveillance_DirectPrint = true,
                                   .Surveillance_Preview = true,
                                   .Surveillance_Unkown = true};
    EXPECT_EQ(shown, expected);
}

TEST(SettingsDialog, OkStoresEveryChoiceInMemoryAndTheReleaseWritesThem) {
    Fixture f;
    f.world.files.addDirectory("D:\\Other");
    SettingsDialog d = f.dialog();
    SettingsChoices chosen = d.load();
    chosen.folder = "D:\\Other\\";
    chosen.ShowMessageWhenPrintRun = false;
    chosen.ShowProgressTime = 10;
    chosen.ShowMessageWhenAdd = false;
    chosen.ShowMessageXlaError = false;
    chosen.Surveillance_DirectPrint = false;
    chosen.Surveillance_Preview = true;
    chosen.Surveillance_Unkown = false;
    f.store.clearWrites();
    EXPECT_EQ(d.ok(chosen), SettingsDialog::Closing::closed);
    EXPECT_TRUE(f.store.writes().empty()) << "the dialog writes nothing itself";
    EXPECT_TRUE(f.world.prompts.messages.empty());
    // The probe file made to learn the folder takes files is gone again.
    EXPECT_EQ(f.world.files.uniqueFilesMade, 1);
    EXPECT_EQ(f.setting->SaveFolder(), "D:\\Other");
    const std::vector<std::pair<const char*, const char*>> expected = {
        {"Folder", "D:\\Other"},           {"ShowMessageWhenPrintRun", "0"}, {"ShowProgressTime", "10"},
        {"ShowMessageWhenAdd", "0"},       {"ShowMessageXlaError", "0"},     {"Surveillance_DirectPrint", "0"},
        {"Surveillance_Preview", "1"},     {"Surveillance_Unkown", "0"},
    };
    f.setting.reset();
    std::vector<std::pair<std::string, std::string>> writes;
    for (const auto& w : f.store.writes()) writes.emplace_back(w.name, w.value);
    ASSERT_EQ(writes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(writes[i].first, expected[i].first);
        EXPECT_EQ(writes[i].second, expected[i].second) << writes[i].first;
    }
}

// A folder that history files cannot go to is refused with a message naming
// it, and nothing of the dialog is stored until the user gives a usable one.
TEST(SettingsDialog, OkRefusesAFolderThatCannotTakeHistoryFiles) {
    struct Case {
        const char* name;
        const char* folder;
        std::function<void(test::MemoryFileSystem&)> world;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"empty", "", nullptr, "印刷履歴の保存フォルダを指定してください。"},
        {"relative", "Hist", nullptr,
         "保存フォルダは、ドライブ名(C:\\ など)またはネットワークの共有名(\\\\サーバー名\\共有名)から指定してください。"},
        {"a variable", "%TEMP%\\Hist", nullptr,
         "保存フォルダは、ドライブ名(C:\\ など)またはネットワークの共有名(\\\\サーバー名\\共有名)から指定してください。"},
        {"missing", "C:\\Missing", nullptr, "保存フォルダ C:\\Missing が見つかりません。"},
        {"a file", "C:\\Hist\\a.tvk", [](test::MemoryFileSystem& fs) { fs.addFile("C:\\Hist\\a.tvk"); },
         "保存フォルダ C:\\Hist\\a.tvk が見つかりません。"},
        {"out of reach", "E:\\Net", [](test::MemoryFileSystem& fs) { fs.makeUnreachable("E:\\"); },
         "保存フォルダ E:\\Net が見つかりません。"},
        {"not writable", "D:\\ReadOnly", [](test::MemoryFileSystem& fs) {
             fs.addDirectory("D:\\ReadOnly");
             fs.failUniqueFiles();
         },
         "保存フォルダ D:\\ReadOnly にファイルを作成できません。\r\n書き込みのできるフォルダを指定してください。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.world) c.world(f.world.files);
        SettingsDialog d = f.dialog();
        SettingsChoices chosen = d.load();
        chosen.folder = c.folder;
        chosen.ShowProgressTime = 5;
        EXPECT_EQ(d.ok(chosen), SettingsDialog::Closing::folderRefused);
        ASSERT_EQ(f.world.prompts.messages.size(), 1u);
        EXPECT_EQ(f.world.prompts.messages[0], (ShownMessage{c.message, kTitle, mb::kOkOnly | mb::kIconExclamation}));
        EXPECT_EQ(f.setting->ShowProgressTime(), 2) << "nothing stored";
        EXPECT_EQ(f.setting->SaveFolder(), kHistory);
    }
}

TEST(SettingsDialog, TheDriveRootIsTakenAsTheHistoryFolder) {
    Fixture f;
    f.world.files.addDirectory("D:\\");
    SettingsDialog d = f.dialog();
    SettingsChoices chosen = d.load();
    chosen.folder = "D:\\";
    EXPECT_EQ(d.ok(chosen), SettingsDialog::Closing::closed);
    EXPECT_EQ(f.setting->SaveFolder(), "D:");
}

TEST(SettingsDialog, CancelLeavesEverySettingAsItWas) {
    Fixture f;
    f.world.files.addDirectory("D:\\Other");
    SettingsDialog d = f.dialog();
    d.load();
    d.cancel();
    EXPECT_EQ(f.written("Folder"), kHistory);
    EXPECT_EQ(f.store.read("Setting", "ShowProgressTime"), "2");
}

// Opening the dialog over a folder that cannot be made puts the add-in's own
// folder in its place; Cancel gives the stored choice back, so the release
// writes what the user had, not the stand-in.
TEST(SettingsDialog, CancelGivesBackAFolderThatOpeningReplaced) {
    struct Case {
        const char* name;
        std::function<void(test::MemoryFileSystem&)> world;
        const char* stored;
    };
    const std::vector<Case> cases = {
        {"cannot be made", [](test::MemoryFileSystem& fs) { fs.refuseCreate("C:\\Locked"); }, "C:\\Locked"},
        {"drive not ready", [](test::MemoryFileSystem& fs) { fs.makeUnreachable("F:\\"); }, "F:\\Hist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f(kHost2007, c.stored);
        c.world(f.world.files);
        SettingsDialog d = f.dialog();
        const SettingsChoices shown = d.load();
        EXPECT_EQ(shown.folder, test::kProgramFolder);
        EXPECT_FALSE(f.world.prompts.messages.empty());
        d.cancel();
        EXPECT_EQ(f.written("Folder"), c.stored);
    }
}

TEST(SettingsDialog, PrintStartBoxesThatCannotBeUnticked) {
    struct Case {
        double hostVersion;
        int index;
        bool refused;
        const char* message;
    };
    const Case cases[] = {
        {kHost2007, start_box::kPrint, true, "このチェックは、はずせません。"},
        {kHost2010, start_box::kPrint, true, "このチェックは、はずせません。"},
        {kHost2007, start_box::kQuickPrint, false, nullptr},
        {kHost2007, start_box::kPreview, false, nullptr},
        {kHost2007, start_box::kUnknown, false, nullptr},
        {kHost2010, start_box::kUnknown, true, "このバージョンのエクセルでは、このチェックは、はずせません。"},
        {16, start_box::kUnknown, true, "このバージョンのエクセルでは、このチェックは、はずせません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hostVersion << " " << c.index);
        Fixture f(c.hostVersion);
        SettingsDialog d = f.dialog();
        EXPECT_EQ(d.locked(c.index), c.refused);
        EXPECT_EQ(d.untickRefused(c.index), c.refused);
        if (c.refused) {
            ASSERT_EQ(f.world.prompts.messages.size(), 1u);
            EXPECT_EQ(f.world.prompts.messages[0],
                      (ShownMessage{c.message, kTitle, mb::kOkOnly | mb::kIconExclamation}));
        } else {
            EXPECT_TRUE(f.world.prompts.messages.empty());
        }
    }
}

TEST(SettingsDialog, UnknownStartsOnAHostBefore14CanBeLeftUnrecorded) {
    Fixture f(kHost2007);
    SettingsDialog d = f.dialog();
    SettingsChoices chosen = d.load();
    chosen.Surveillance_Unkown = false;
    EXPECT_EQ(d.ok(chosen), SettingsDialog::Closing::closed);
    EXPECT_EQ(f.written("Surveillance_Unkown"), "0");
}

}  // namespace
}  // namespace kq::addin::dialogs
