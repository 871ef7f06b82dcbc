// The folder picker as windows: the shell's folder browser opened at the start
// folder, and the control's browse button and path box.

#include "common/win32/folder_picker_win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/win32/com.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32_scratch.h"

namespace kq::win32 {
namespace {

// The browser answered once the shell has filled its tree and selected the
// start folder, which it does only after the browser shows (later under
// load); a browser that never selects it is closed and gives nothing.
std::optional<std::string> browseAnswered(UINT answer, const std::string& start) {
    const OwnedWindow owner = kq::test::plainWindow(L"owner", {0, 0, 400, 300});
    const std::string leaf = start.substr(start.find_last_of('\\') + 1);
    std::optional<std::string> chosen;
    kq::test::runModal([&] { chosen = ShellFolderBrowser(owner.get()).BrowseForFolder("フォルダの選択", start); },
                   {{kq::test::WindowQuery{.windowClass = L"#32770"}, [answer](HWND browser) { kq::test::answer(browser, static_cast<int>(answer)); },
                     [&leaf](HWND browser) {
                         return kq::test::selectedIn(kq::test::controlOfClass(browser, "SysTreeView32")) == leaf;
                     }}},
                   {.patience = std::chrono::seconds(30)});
    return chosen;
}

// The browser comes up on the start folder, and OK there gives it back; a
// browser that never selects it is answered at last and fails the test.
TEST(ShellFolderBrowser, OpensAtTheStartFolder) {
    const ComApartment com;
    const kq::test::ScratchFolder folder(L"kq_browse_start");
    const std::string start = folder.path();
    EXPECT_EQ(browseAnswered(IDOK, start), start);
    EXPECT_EQ(browseAnswered(IDCANCEL, start), std::nullopt);
}

class ChosenFolder final : public FolderBrowseDialog {
public:
    ChosenFolder(std::string chosen, std::vector<std::string>& starts) : chosen_(std::move(chosen)), starts_(starts) {}
    std::optional<std::string> BrowseForFolder(const std::string&, const std::string& startFolder) override {
        starts_.push_back(startFolder);
        return chosen_;
    }

private:
    std::string chosen_;
    std::vector<std::string>& starts_;
};

TEST(FolderPickerControl, BrowseButtonPutsTheChosenFolderInTheBox) {
    const kq::test::ScratchFolder typed(L"kq_picker_typed");
    const kq::test::ScratchFolder chosen(L"kq_picker_chosen");
    const OwnedWindow parent = kq::test::plainWindow(L"parent", {0, 0, 400, 200});
    Win32FileSystem files;
    FolderPickerControl picker(files);
    std::vector<std::string> starts;
    int changes = 0;
    const Connection onChange = picker.Change.connect([&] { ++changes; });
    picker.makeBrowser = [&](HWND) { return std::make_unique<ChosenFolder>(chosen.path(), starts); };
    ASSERT_TRUE(picker.create({.parent = parent.get(), .at = {8, 8, 330, 26}, .id = 100, .font = nullptr, .PromptCaption = {}, .selectAfterBrowse = false}));
    EXPECT_EQ(GetDlgCtrlID(picker.hwnd()), 100);
    // The parts' ids follow the control's.
    EXPECT_GT(GetDlgCtrlID(picker.pathBox()), 100);
    EXPECT_GT(GetDlgCtrlID(picker.browseButton()), 100);

    SetWindowTextW(picker.pathBox(), wide(typed.path() + "\\").c_str());
    EXPECT_EQ(changes, 1);
    SendMessageW(picker.browseButton(), BM_CLICK, 0, 0);
    // The browser started at the box's folder, without its trailing separator.
    EXPECT_EQ(starts, std::vector<std::string>{typed.path()});
    EXPECT_EQ(kq::test::textOf(picker.pathBox()), chosen.path());
    EXPECT_GE(changes, 2);
}

struct Picker {
    const OwnedWindow parent = kq::test::plainWindow(L"parent", {0, 0, 400, 200});
    const Font font = createFormFont();
    Win32FileSystem files;
    FolderPickerControl control{files};
    bool made = false;

    explicit Picker(std::function<bool(const std::string&)> hasFont = {}) {
        control.hasFont = std::move(hasFont);
        made = control.create({.parent = parent.get(), .at = {8, 8, 330, 26}, .id = 100, .font = font.get(),
                               .PromptCaption = {}, .selectAfterBrowse = false}) != nullptr;
    }
    HWND prompt() const { return GetDlgItem(control.hwnd(), 101); }
    // The box (the path and the button) on the control.
    RECT box() const { return kq::test::placeIn(GetParent(control.pathBox()), control.hwnd()); }
};

std::wstring faceOf(HWND window) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

// The prefix here lacks the glyph font: each branch is taken on the answer the test gives.
TEST(FolderPickerControl, TheBrowseButtonShowsTheGlyphWhereItsFontIsAndDotsWhereNot) {
    const struct {
        bool installed;
        const char* caption;
        std::wstring face;
    } cases[] = {{true, "0", L"Marlett"}, {false, "...", L"MS UI Gothic"}};
    for (const auto& c : cases) {
        std::vector<std::string> asked;
        Picker picker([&](const std::string& face) {
            asked.push_back(face);
            return c.installed;
        });
        ASSERT_TRUE(picker.made);
        EXPECT_EQ(asked, std::vector<std::string>{"Marlett"});
        const HWND button = picker.control.browseButton();
        EXPECT_EQ(kq::test::textOf(button), c.caption);
        EXPECT_EQ(faceOf(button), c.face);
        kq::test::screenshot(picker.parent.get(), std::string("folder_picker_button_") + (c.installed ? "glyph" : "dots") + ".png");
    }
}

TEST(SystemHasFont, FindsAFaceAsNamedAndNoneForANameNoFontHas) {
    EXPECT_TRUE(systemHasFont("MS UI Gothic"));
    EXPECT_FALSE(systemHasFont("Kq No Such Face"));
}

TEST(FolderPickerControl, ANewPromptStandsBeforeTheBoxAndNoneGivesTheBoxTheWholeWidth) {
    Picker picker;
    ASSERT_TRUE(picker.made);
    const LONG width = picker.box().right;
    EXPECT_FALSE(IsWindowVisible(picker.prompt()));

    picker.control.PromptCaption("保存先：");
    EXPECT_EQ(picker.control.PromptCaption(), "保存先：");
    EXPECT_EQ(kq::test::textOf(picker.prompt()), "保存先：");
    EXPECT_TRUE(IsWindowVisible(picker.prompt()));
    const RECT prompt = kq::test::placeIn(picker.prompt(), picker.control.hwnd());
    EXPECT_GT(prompt.right, 0);
    EXPECT_EQ(picker.box().left, prompt.right);
    EXPECT_EQ(picker.box().right, width) << "the box still ends at the control's right";

    picker.control.PromptCaption("");
    EXPECT_FALSE(IsWindowVisible(picker.prompt()));
    EXPECT_EQ(picker.box().left, 0);
}

}  // namespace
}  // namespace kq::win32
