// The registration dialog as a real window, driven by window messages as a
// user would drive it: its controls where the form puts them, its owner, the
// host's range input box, its menus and the list editor, and what OK stores.

#include "addin/dialogs/win32/add_check_sheet_win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/core/doc_pros.h"
#include "addin/dialogs/win32/text_box_with_list_win32.h"
#include "addin/dialogs/win32/title_win32.h"
#include "addin/dialogs/win32/titles_win32.h"
#include "addin/dialogs/win32/xl_range_text_win32.h"
#include "common/win32/handles.h"
#include "common/win32/msgbox_win32.h"
#include "tests/host/sim/sim_test_world.h"
#include "tests/support/history_folder_world.h"
#include "tests/support/win32/modal_run.h"

namespace kq::addin::dialogs::win32 {
namespace {

using namespace add_check_sheet_ids;
using kq::test::click;
using kq::test::paste;
using kq::test::pickFromMenuStep;
using kq::test::Step;
using kq::test::textOf;

// The keys a user strikes, wherever the focus is.
void keys(std::vector<kq::test::Key> struck) { kq::test::pressKeys(nullptr, struck); }
// Whether the run went through every step and the dialog closed by itself.
bool drive(const std::function<void()>& modal, std::vector<Step> steps) {
    return kq::test::runModal(modal, std::move(steps)).finished;
}

constexpr char kCaption[] = "Brelmont for Excel - 履歴監視の追加";
constexpr char kTitle[] = "Brelmont for Excel";
struct World {
    World() {
        state.g_Setting = std::make_shared<c_Setting>(settings, folders.services(), 16.0);
        sim.sheet1->setCell("A1", std::string("請求書"));
    }
    RegistrationExit show() {
        return ShowAddCheckSheet(state, sim.book, sim.sheet1, lists,
                                 {.owner = host.get(),
                                  .updated = {45322},  // 2024-01-31
                                  .help = [this] { ++helps; },
                                  .homePage = [this] { ++homePages; }});
    }
    void setList(const char* name, const std::string& value) { lists.set("LIST", name, value); }
    std::string list(const char* name) { return lists.read("LIST", name).value_or("<missing>"); }
    std::string property() {
        const auto* p = sim.book->properties()->find("KEZ_QUORVEX_INFO_Sheet1");
        return p ? p->value : "<none>";
    }

    host::sim::test::SimWorld sim;
    MemorySettingsStore settings;
    MemorySettingsStore lists;
    kq::test::HistoryFolderWorld folders;
    AddinState state{sim.app};
    kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {100, 100, 900, 700});
    int helps = 0;
    int homePages = 0;
};

// The dialog's parts, found by their ids as a driver finds them.
HWND part(HWND dialog, int id) { return kq::test::control(dialog, id); }
HWND categoryBox(HWND d) { return part(d, kCategory + box_button_ids::kBox); }
HWND categoryButton(HWND d) { return part(d, kCategory + box_button_ids::kButton); }
HWND rangeBox(HWND d) { return part(d, kSaveRange + box_button_ids::kBox); }
HWND rangeButton(HWND d) { return part(d, kSaveRange + box_button_ids::kButton); }
HWND addButton(HWND d) { return part(d, kTitles + titles_ids::kAdd); }
int rowId(std::size_t k) { return kTitles + titles_ids::kFirstRow + static_cast<int>(k) * titles_ids::kRowIds; }
HWND row(HWND d, std::size_t k) { return part(d, rowId(k)); }
HWND titleBox(HWND d, std::size_t k) { return part(d, rowId(k) + title_ids::kTitleBox); }
HWND valueBox(HWND d, std::size_t k) { return part(d, rowId(k) + title_ids::kValue); }
HWND valueButton(HWND d, std::size_t k) { return part(d, rowId(k) + title_ids::kValueButton); }
HWND valueType(HWND d, std::size_t k) { return part(d, rowId(k) + title_ids::kValueType); }

void choose(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// Answers the add-in's own message box with its first button.
Step answerBox() {
    return {kTitle, [](HWND box) { click(GetDlgItem(box, kq::win32::msgbox_ids::kFirstButton)); }};
}

TEST(RegistrationWindow, IsModalOwnedAndLaidOutAsTheFormSays) {
    World w;
    bool looked = false;
    const bool driven = drive([&] { EXPECT_EQ(w.show(), RegistrationExit::cancelled); },
                                    {{kCaption, [&](HWND d) {
                                          looked = true;
                                          EXPECT_EQ(GetWindow(d, GW_OWNER), w.host.get());
                                          EXPECT_FALSE(IsWindowEnabled(w.host.get()));
                                          const auto style = GetWindowLongPtrW(d, GWL_STYLE);
                                          EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
                                          EXPECT_FALSE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_APPWINDOW);
                                          LOGFONTW font{};
                                          GetObjectW(reinterpret_cast<HFONT>(
                                                         SendMessageW(categoryBox(d), WM_GETFONT, 0, 0)),
                                                     sizeof font, &font);
                                          EXPECT_EQ(std::wstring(font.lfFaceName), L"MS UI Gothic");
                                          EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);

                                          // A new watch: empty category, automatic range, one empty row.
                                          EXPECT_EQ(SendMessageW(part(d, kSaveTypeAutomatic), BM_GETCHECK, 0, 0),
                                                    BST_CHECKED);
                                          EXPECT_EQ(textOf(part(d, kStatusBar)), "Version=1.00.0.01 Update=2024/1/31");
                                          ASSERT_NE(row(d, 0), nullptr);
                                          EXPECT_EQ(row(d, 1), nullptr);
                                          EXPECT_FALSE(IsWindowEnabled(valueBox(d, 0)));
                                          EXPECT_FALSE(IsWindowEnabled(valueType(d, 0)));
                                          EXPECT_TRUE(IsWindowEnabled(part(d, IDOK)));

                                          // Nothing overlaps: the groups follow each other, the
                                          // buttons lie below the headings.
                                          const RECT titles = kq::test::placeIn(part(d, kTitles));
                                          const RECT ok = kq::test::placeIn(part(d, IDOK));
                                          const RECT range = kq::test::placeIn(part(d, kSaveRange));
                                          EXPECT_LT(range.bottom, titles.top);
                                          EXPECT_LE(titles.bottom, ok.top);
                                          RECT client;
                                          GetClientRect(d, &client);
                                          EXPECT_LE(ok.bottom, kq::test::placeIn(part(d, kStatusBar)).top);
                                          EXPECT_LE(titles.right, client.right);
                                          EXPECT_TRUE(kq::test::screenshot(d, "registration_new.png"));
                                          keys({{VK_ESCAPE}});
                                      }}});
    EXPECT_TRUE(driven);
    EXPECT_TRUE(looked);
    EXPECT_TRUE(IsWindowEnabled(w.host.get()));
    EXPECT_EQ(w.property(), "<none>");
}

TEST(RegistrationWindow, RegistersCategoryRangeAndThreeHeadingsTypedAndPicked) {
    World w;
    w.setList("CATEGORY", "請求書\t納品書");
    w.sim.app->answerInputBox("B2:D10");
    w.sim.app->answerInputBox("C3:D4");
    RegistrationExit exit{};
    const bool driven = drive(
        [&] { exit = w.show(); },
        {{kCaption, [](HWND d) { click(categoryButton(d)); }},
         pickFromMenuStep({"入力済みリスト", "納品書"}),
         {kCaption,
          [](HWND d) {
              EXPECT_EQ(textOf(categoryBox(d)), "納品書");
              click(rangeButton(d));  // B2:D10 from the input box
          }},
         {kCaption,
          [](HWND d) {
              EXPECT_EQ(textOf(rangeBox(d)), "$B$2:$D$10");
              EXPECT_EQ(SendMessageW(part(d, kSaveTypeFixed), BM_GETCHECK, 0, 0), BST_CHECKED);
              paste(titleBox(d, 0), "日付");
              EXPECT_TRUE(IsWindowEnabled(valueBox(d, 0)));
              EXPECT_FALSE(IsWindowEnabled(part(d, IDOK)));  // a title without its value
              paste(valueBox(d, 0), "B2");
              EXPECT_TRUE(IsWindowEnabled(valueType(d, 0)));
              EXPECT_TRUE(IsWindowEnabled(part(d, IDOK)));
              click(addButton(d));
          }},
         {kCaption,
          [](HWND d) {
              ASSERT_NE(row(d, 1), nullptr);
              paste(titleBox(d, 1), "明細");
              click(valueButton(d, 1));
          }},
         pickFromMenuStep({"セル参照"}),  // C3:D4 from the input box
         {kCaption,
          [](HWND d) {
              EXPECT_EQ(textOf(valueBox(d, 1)), "$C$3:$D$4");
              choose(valueType(d, 1), 1);
              click(addButton(d));
          }},
         {kCaption,
          [](HWND d) {
              paste(titleBox(d, 2), "区分");
              paste(valueBox(d, 2), "定型");
              EXPECT_FALSE(IsWindowEnabled(valueType(d, 2)));  // a literal has no value type
              EXPECT_TRUE(kq::test::screenshot(d, "registration_filled.png"));
              click(part(d, IDOK));
          }},
         answerBox()});
    EXPECT_TRUE(driven);
    EXPECT_EQ(exit, RegistrationExit::registered);
    const std::string stored = w.property();
    EXPECT_NE(stored.find("\t納品書\t"), std::string::npos) << stored;
    EXPECT_NE(stored.find("\t$B$2:$D$10\t日付/$B$2/0|明細/$C$3:$D$4/1|区分/定型/0"), std::string::npos) << stored;
    EXPECT_EQ(w.list("TITLE"), "日付\t明細\t区分");
    EXPECT_TRUE(IsWindowEnabled(w.host.get()));
}

TEST(RegistrationWindow, HidesForTheInputBoxGivingTheHostItsWindowAndComesBackModal) {
    World w;
    struct Seen : host::ApplicationEvents {
        void WorkbookBeforePrint(const host::WorkbookPtr&) override {}
        void WorkbookBeforeSave(const host::WorkbookPtr&) override {}
        void WorkbookOpen(const host::WorkbookPtr&) override {}
        void NewWorkbook(const host::WorkbookPtr&) override {}
        void WorkbookActivate(const host::WorkbookPtr&) override {}
        void WindowActivate(const host::WorkbookPtr&, const host::WindowPtr&) override {}
        void WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) override {}
        // Raised while the input box is up, as the user goes to another sheet.
        void SheetActivate(const host::SheetPtr& sheet) override {
            if (sheet->Name() != "Sheet2") return;
            dialogVisible = IsWindowVisible(kq::test::findWindow({.caption = kCaption, .visibleOnly = false})) != FALSE;
            hostEnabled = IsWindowEnabled(host) != FALSE;
        }
        HWND host = nullptr;
        bool dialogVisible = true;
        bool hostEnabled = false;
    } seen;
    seen.host = w.host.get();
    const auto connection = w.sim.app->Advise(seen);
    w.sim.app->answerInputBox("Sheet2!B2");
    const bool driven = drive(
        [&] { w.show(); },
        {{kCaption, [](HWND d) { click(rangeButton(d)); }},
         {kTitle,
          [&](HWND box) {
              // The refusal comes once the dialog is back, owned by it.
              const HWND d = GetWindow(box, GW_OWNER);
              EXPECT_EQ(textOf(d), kCaption);
              EXPECT_TRUE(IsWindowVisible(d));
              EXPECT_FALSE(IsWindowEnabled(w.host.get()));
              EXPECT_EQ(w.sim.app->ActiveSheet()->Name(), "Sheet1");
              kq::test::answer(box, IDOK);
          }},
         {kCaption,
          [](HWND d) {
              EXPECT_EQ(textOf(rangeBox(d)), "");
              keys({{VK_ESCAPE}});
          }}});
    EXPECT_TRUE(driven);
    EXPECT_FALSE(seen.dialogVisible);
    EXPECT_TRUE(seen.hostEnabled);
}

TEST(RegistrationWindow, TheListEditorIsOwnedByTheDialogAndRewritesTheList) {
    World w;
    w.setList("CATEGORY", " 請求書 \t納品書\t請求書");
    const bool driven = drive(
        [&] { w.show(); },
        {{kCaption, [](HWND d) { click(categoryButton(d)); }},
         pickFromMenuStep({"入力済みリスト", "リストの編集"}),
         {"リストの編集",
          [&](HWND editor) {
              EXPECT_EQ(textOf(GetWindow(editor, GW_OWNER)), kCaption);
              const HWND items = GetDlgItem(editor, list_editor_ids::kList);
              const auto rows = kq::test::rowsOf(items);  // trimmed, once each
              ASSERT_EQ(rows.size(), 2u);
              EXPECT_EQ(rows[0].front(), "請求書");
              EXPECT_EQ(rows[1].front(), "納品書");
              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, list_editor_ids::kUp)));
              LVITEMW state{};
              state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
              state.state = LVIS_SELECTED | LVIS_FOCUSED;
              SendMessageW(items, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
              EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, list_editor_ids::kUp)));
              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, list_editor_ids::kDown)));
              EXPECT_TRUE(kq::test::screenshot(editor, "list_editor.png"));
              click(GetDlgItem(editor, list_editor_ids::kUp));
          }},
         {"リストの編集", [](HWND editor) { click(GetDlgItem(editor, IDOK)); }},
         {kCaption, [](HWND) { keys({{VK_ESCAPE}}); }}});
    EXPECT_TRUE(driven);
    EXPECT_EQ(w.list("CATEGORY"), "納品書\t請求書");
}

// The middle of a control, or of a status bar's panel, in its client pixels.
POINT middleOf(RECT r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
void clickPanel(HWND d, int panel) {
    const HWND bar = part(d, kStatusBar);
    RECT r{};
    SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&r));
    kq::test::clickAt(bar, middleOf(r));
}
void clickLink(HWND d) {
    RECT r{};
    GetClientRect(part(d, kSettingLink), &r);
    kq::test::clickAt(part(d, kSettingLink), middleOf(r));
}

// Real keys and clicks, as they come from the keyboard and the mouse: F1 asks
// for help wherever the focus is, the version panel leaves for the about box,
// the home-page panel opens the home page, the link leaves for the settings.
TEST(RegistrationWindow, F1ThePanelsAndTheLinkAnswerRealInput) {
    struct Case {
        const char* what;
        std::function<void(HWND)> act;
        RegistrationExit exit;
        int helps;
        int homePages;
    };
    const Case cases[] = {
        {"F1 then Esc", [](HWND) { keys({{VK_F1}, {VK_ESCAPE}}); }, RegistrationExit::cancelled, 1, 0},
        {"F1 in a heading's box",
         [](HWND d) {
             kq::test::focus(titleBox(d, 0));
             keys({{VK_F1}, {VK_ESCAPE}});
         },
         RegistrationExit::cancelled, 1, 0},
        {"version panel", [](HWND d) { clickPanel(d, 0); }, RegistrationExit::openAbout, 0, 0},
        {"home-page panel then Esc",
         [](HWND d) {
             clickPanel(d, 1);
             keys({{VK_ESCAPE}});
         },
         RegistrationExit::cancelled, 0, 1},
        {"settings link", clickLink, RegistrationExit::openSettings, 0, 0},
        {"the close box", kq::test::closeBox, RegistrationExit::cancelled, 0, 0},
    };
    for (const Case& c : cases) {
        World w;
        RegistrationExit exit{};
        EXPECT_TRUE(drive([&] { exit = w.show(); }, {{kCaption, c.act}})) << c.what;
        EXPECT_EQ(exit, c.exit) << c.what;
        EXPECT_EQ(w.helps, c.helps) << c.what;
        EXPECT_EQ(w.homePages, c.homePages) << c.what;
        EXPECT_EQ(w.property(), "<none>") << c.what;
    }
}

TEST(RegistrationWindow, AFailedCheckKeepsTheDialogWithTheFocusOnTheRow) {
    World w;
    RegistrationExit exit{};
    const bool driven = drive(
        [&] { exit = w.show(); },
        {{kCaption,
          [](HWND d) {
              paste(titleBox(d, 0), "abc");
              paste(valueBox(d, 0), "1");
              click(addButton(d));
          }},
         {kCaption,
          [](HWND d) {
              paste(titleBox(d, 1), "ABC");
              paste(valueBox(d, 1), "2");
              click(part(d, IDOK));
          }},
         {kTitle, [](HWND box) { kq::test::answer(box, IDOK); }},
         {kCaption,
          [](HWND d) {
              EXPECT_EQ(GetFocus(), titleBox(d, 1));
              keys({{VK_ESCAPE}});
          }}});
    EXPECT_TRUE(driven);
    EXPECT_EQ(exit, RegistrationExit::cancelled);
    EXPECT_EQ(w.property(), "<none>");
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
