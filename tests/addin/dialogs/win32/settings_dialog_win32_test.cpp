// The settings dialog as a real window over a settings object, driven step by
// step as a user would (form_driver.h).

#include "addin/dialogs/win32/settings_dialog_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "tests/addin/dialogs/win32/form_driver.h"
#include "tests/addin/recording/win32/window_capture.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_scratch.h"
#include "tests/support/win32_windows.h"

namespace kq::addin::dialogs::win32 {
namespace {

using kq::win32::narrow;
using kq::win32::wide;
namespace ids = settings_ids;
namespace shots = kq::addin::recording::test;

constexpr char kTitle[] = "Brelmont for Excel";

using test::click;
using test::editIn;
using test::item;
using test::placeOf;
using test::setText;
using test::textOf;
using test::ticked;

void choosePage(HWND form, int page) {
    const HWND list = item(form, ids::lstMenu);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(page), 0);
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(ids::lstMenu, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class SettingsDialogWindow : public ::testing::Test {
protected:
    void open(double hostVersion) {
        store.set("Setting", "Folder", history.path());
        setting.emplace(store,
                        HistoryFolderServices{.files = files,
                                              .prompts = prompts,
                                              .knownFolders = known,
                                              .programFolder = history.path(),
                                              .title = kTitle},
                        hostVersion);
    }
    void run(std::deque<test::FormStep> steps) {
        const test::FormDrive drive =
            test::driveForm([&] { ShowSettingsDialog(host.get(), *setting, files, kTitle); }, std::move(steps));
        EXPECT_FALSE(drive.stuck) << "the dialog did not close";
        EXPECT_TRUE(drive.steps.empty()) << drive.steps.size() << " steps left";
        boxes = drive.boxes;
    }

    test::ScratchFolder history{L"kq_settings_history"};
    test::ScratchFolder other{L"kq_settings_other"};
    kq::win32::Win32FileSystem files;
    test::ScriptedPrompts prompts;
    test::FixedKnownFolders known{std::string("C:\\users")};
    MemorySettingsStore store;
    std::optional<c_Setting> setting;
    kq::win32::OwnedWindow host = test::plainWindow(L"host", {0, 0, 800, 600});
    std::vector<std::string> boxes;
};

TEST_F(SettingsDialogWindow, OpensOnTheFirstPageWithTheSettingsLaidOutAsDesigned) {
    store.set("Setting", "ShowProgressTime", "7");
    store.set("Setting", "ShowMessageXlaError", "0");
    store.set("Setting", "Surveillance_Preview", "1");
    open(12);
    run({[&](HWND form) {
             EXPECT_EQ(textOf(form), "Brelmont for Excel の設定");
             EXPECT_EQ(GetWindow(form, GW_OWNER), host.get());
             EXPECT_FALSE(IsWindowEnabled(host.get()));
             RECT client;
             GetClientRect(form, &client);
             EXPECT_EQ(client.right, 510);  // 7650 x 3735 twips
             EXPECT_EQ(client.bottom, 249);
             const RECT list = placeOf(form, ids::lstMenu);
             EXPECT_EQ(list.left, 8);
             EXPECT_EQ(list.top, 8);
             EXPECT_EQ(list.right - list.left, 145);
             const RECT ok = placeOf(form, IDOK);
             EXPECT_EQ(ok.left, 328);
             EXPECT_EQ(ok.top, 211);
             EXPECT_EQ(ok.right - ok.left, 85);
             EXPECT_EQ(placeOf(form, IDCANCEL).left, 416);
             const RECT page = placeOf(form, ids::kFirstPage);
             EXPECT_EQ(page.left, 160);
             EXPECT_EQ(page.top, 8);
             // The page's controls from its inner area at 240, 360.
             const RECT seconds = placeOf(form, ids::txtShowProgressTime);
             // At its designed place, or its designed distance after a label that grew to hold its text.
             const RECT label = placeOf(form, ids::Label1);
             EXPECT_GE(seconds.left, 160 + 16 + 168);
             EXPECT_GE(seconds.left - label.right, 17);
             if (seconds.left > 160 + 16 + 168) {
                 EXPECT_EQ(seconds.left - label.right, 17);
             }
             EXPECT_EQ(seconds.top, 8 + 24 + 80);
             EXPECT_EQ(seconds.right - seconds.left, 57);
             const RECT picker = placeOf(form, ids::useFolderBrowser);
             EXPECT_EQ(picker.left, 176);
             EXPECT_EQ(picker.top, 8 + 24 + 24);
             EXPECT_EQ(picker.right - picker.left, 321);

             EXPECT_EQ(SendMessageW(item(form, ids::lstMenu), LB_GETCURSEL, 0, 0), 0);
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_FALSE(IsWindowVisible(item(form, ids::kFirstPage + 1)));
             EXPECT_EQ(textOf(editIn(form, ids::useFolderBrowser)), history.path());
             EXPECT_EQ(textOf(editIn(form, ids::txtShowProgressTime)), "7");
             EXPECT_TRUE(ticked(form, ids::chkShowMessageWhenPrintRun));
             EXPECT_TRUE(ticked(form, ids::chkShowMessageWhenAdd));
             EXPECT_FALSE(ticked(form, ids::chkShowMessageXlaError));
             EXPECT_TRUE(shots::saveBmp(shots::captureWindow(form), L"settings_basic.bmp"));
             choosePage(form, 1);
         },
         [&](HWND form) {
             EXPECT_FALSE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage + 1)));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 1));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 2));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 3));
             EXPECT_TRUE(shots::saveBmp(shots::captureWindow(form), L"settings_print_start.bmp"));
             choosePage(form, 0);
         },
         [&](HWND form) {
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_FALSE(IsWindowVisible(item(form, ids::kFirstPage + 1)));
             click(form, IDCANCEL);
         }});
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(setting->ShowProgressTime(), 7);
}

TEST_F(SettingsDialogWindow, LockedPrintStartBoxesAreTickedAgain) {
    open(14);
    run({[&](HWND form) {
             choosePage(form, 1);
             click(form, ids::kFirstSurveillance);
         },
         [&](HWND form) {
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance));
             click(form, ids::kFirstSurveillance + 3);
         },
         [&](HWND form) {
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 3));
             click(form, ids::kFirstSurveillance + 1);
             click(form, ids::kFirstSurveillance + 2);
         },
         [&](HWND form) {
             EXPECT_FALSE(ticked(form, ids::kFirstSurveillance + 1));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 2));
             click(form, IDOK);
         }});
    const std::vector<std::string> expected = {"このチェックは、はずせません。",
                                               "このバージョンのエクセルでは、このチェックは、はずせません。"};
    EXPECT_EQ(boxes, expected);
    EXPECT_FALSE(setting->Surveillance_DirectPrint());
    EXPECT_TRUE(setting->Surveillance_Preview());
    EXPECT_TRUE(setting->Surveillance_Unkown());
}

TEST_F(SettingsDialogWindow, OkRefusesAMissingFolderAndStaysOpenUntilAUsableOne) {
    open(12);
    const std::string missing = other.path() + "\\missing";
    run({[&](HWND form) {
             setText(editIn(form, ids::txtShowProgressTime), "9");
             choosePage(form, 1);
             setText(editIn(form, ids::useFolderBrowser), missing);
             click(form, IDOK);
         },
         [&](HWND form) {
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_EQ(GetFocus(), editIn(form, ids::useFolderBrowser));
             EXPECT_EQ(textOf(editIn(form, ids::useFolderBrowser)), missing);
             setText(editIn(form, ids::useFolderBrowser), other.path() + "\\");
             click(form, IDOK);
         }});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "保存フォルダ " + missing + " が見つかりません。");
    EXPECT_EQ(setting->SaveFolder(), other.path());
    EXPECT_EQ(setting->ShowProgressTime(), 9);
}

// The display time is held to 1 to 10 seconds, the most the settings keep.
TEST_F(SettingsDialogWindow, DisplayTimeIsKeptWithinItsLimits) {
    struct Case {
        const char* typed;
        double stored;
    };
    for (const Case& c : {Case{"60", 10}, Case{"", 1}, Case{"0", 1}, Case{"4", 4}}) {
        SCOPED_TRACE(c.typed);
        open(12);
        run({[&](HWND form) {
            setText(editIn(form, ids::txtShowProgressTime), c.typed);
            click(form, IDOK);
        }});
        EXPECT_EQ(setting->ShowProgressTime(), c.stored);
    }
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
