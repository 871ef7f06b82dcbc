// The settings dialog as a real window over a settings object, driven step by
// step as a user would (modal_run.h), its message boxes answered OK on the way.

#include "addin/dialogs/win32/settings_dialog_win32.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32_scratch.h"

namespace kq::addin::dialogs::win32 {
namespace {

using kq::win32::narrow;
using kq::win32::wide;
namespace ids = settings_ids;

constexpr char kTitle[] = "Brelmont for Excel";

using kq::test::paste;
using kq::test::screenshot;
using kq::test::textOf;

using FormStep = std::function<void(HWND form)>;

// A control anywhere on the form, by id.
HWND item(HWND form, int id) { return kq::test::control(form, id); }
RECT placeOf(HWND form, int id) { return kq::test::placeIn(item(form, id), form); }
bool ticked(HWND form, int id) { return kq::test::isTicked(item(form, id)); }
void click(HWND form, int id) { kq::test::click(item(form, id)); }

// The edit box inside a compound control (the folder picker, the numeric box).
HWND editIn(HWND form, int id) { return kq::test::controlOfClass(item(form, id), "Edit"); }

void choosePage(HWND form, int page) { kq::test::choose(item(form, ids::lstMenu), page); }

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
    // Each form step acts once the form stands free of message boxes.
    void run(std::vector<FormStep> formSteps) {
        std::vector<kq::test::Step> steps;
        for (FormStep& step : formSteps) steps.push_back(kq::test::onClass(L"KqForm", std::move(step)));
        runSteps(std::move(steps));
    }
    void runSteps(std::vector<kq::test::Step> steps) {
        const kq::test::ModalRun drive = kq::test::runModal([&] { ShowSettingsDialog(host.get(), *setting, files, kTitle); },
                                                    std::move(steps), {.answerBoxes = true});
        EXPECT_TRUE(drive.finished) << "the dialog did not close, " << drive.stepsLeft << " steps left";
        boxes = drive.boxes;
    }

    kq::test::ScratchFolder history{L"kq_settings_history"};
    kq::test::ScratchFolder other{L"kq_settings_other"};
    kq::win32::Win32FileSystem files;
    kq::test::ScriptedPrompts prompts;
    kq::test::FixedKnownFolders known{std::string("C:\\users")};
    MemorySettingsStore store;
    std::optional<c_Setting> setting;
    kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {0, 0, 800, 600});
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
             EXPECT_TRUE(screenshot(form, "settings_basic.png"));
             choosePage(form, 1);
         },
         [&](HWND form) {
             EXPECT_FALSE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage + 1)));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 1));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 2));
             EXPECT_TRUE(ticked(form, ids::kFirstSurveillance + 3));
             EXPECT_TRUE(screenshot(form, "settings_print_start.png"));
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
             paste(editIn(form, ids::txtShowProgressTime), "9");
             choosePage(form, 1);
             paste(editIn(form, ids::useFolderBrowser), missing);
             click(form, IDOK);
         },
         [&](HWND form) {
             EXPECT_TRUE(IsWindowVisible(item(form, ids::kFirstPage)));
             EXPECT_EQ(GetFocus(), editIn(form, ids::useFolderBrowser));
             EXPECT_EQ(textOf(editIn(form, ids::useFolderBrowser)), missing);
             paste(editIn(form, ids::useFolderBrowser), other.path() + "\\");
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
            paste(editIn(form, ids::txtShowProgressTime), c.typed);
            click(form, IDOK);
        }});
        EXPECT_EQ(setting->ShowProgressTime(), c.stored);
    }
}

// The shell's folder browser and its tree.
HWND treeOf(HWND browser) { return kq::test::controlOfClass(browser, "SysTreeView32"); }
HTREEITEM caretOf(HWND tree) { return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)); }
std::string lastPart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
// The browser once its tree has that folder selected (the shell fills its tree after it shows).
kq::test::Step inBrowser(std::string folder, std::function<void(HWND tree)> act) {
    return {kq::test::WindowQuery{.windowClass = L"#32770"},
            [act = std::move(act)](HWND browser) { act(treeOf(browser)); },
            [leaf = lastPart(folder)](HWND browser) {
                const HWND tree = treeOf(browser);
                return tree && kq::test::selectedIn(tree) == leaf;
            }};
}

// The browse button, clicked with the mouse, opens the shell's browser at the
// box's folder; the folder chosen there fills the box, its text not selected,
// so that a key typed next does not wipe it.
TEST_F(SettingsDialogWindow, TheBrowseButtonFillsTheFolderBoxWithoutSelectingIt) {
    open(12);
    const std::string parent = history.path().substr(0, history.path().find_last_of('\\'));
    runSteps({kq::test::onClass(L"KqForm",
                            [](HWND form) {
                                const HWND browse = kq::test::controlOfClass(item(form, ids::useFolderBrowser), "Button");
                                RECT r{};
                                GetClientRect(browse, &r);
                                kq::test::clickAt(browse, {r.right / 2, r.bottom / 2});
                            }),
              // The folder above the box's one, clicked in the tree.
              inBrowser(history.path(),
                        [](HWND tree) {
                            // The item goes in where the rectangle comes out.
                            const auto above = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT,
                                                            reinterpret_cast<LPARAM>(caretOf(tree)));
                            RECT r{};
                            std::memcpy(&r, &above, sizeof above);
                            SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
                            kq::test::clickAt(tree, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
                        }),
              inBrowser(parent, [](HWND tree) { kq::test::answer(GetParent(tree), IDOK); }),
              kq::test::onClass(L"KqForm", [&](HWND form) {
                  const HWND box = editIn(form, ids::useFolderBrowser);
                  EXPECT_EQ(textOf(box), parent);
                  DWORD start = 1;
                  DWORD end = 0;
                  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                  EXPECT_EQ(start, end) << "the folder's text is selected";
                  EXPECT_TRUE(screenshot(form, "settings_browsed.png"));
                  click(form, IDCANCEL);
              })});
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
