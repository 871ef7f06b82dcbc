// The folder picker as windows: the shell's folder browser opened at the start
// folder, and the control's browse button and path box.

#include "common/win32/folder_picker_win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <commctrl.h>

#include "common/win32/com.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/win32_scratch.h"
#include "tests/support/win32_windows.h"

namespace kq::win32 {
namespace {

// The answer a thread timer gives the browser once it stands.
UINT g_answer = IDOK;
std::wstring g_awaitedLeaf;
int g_ticks = 0;
constexpr int kTicksAtMost = 150;  // 30 s at 200 ms: a browser that never settles still gets its answer

BOOL CALLBACK collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The caption of the tree's selected item, once the shell has filled the tree.
std::wstring selectedInTree(HWND browser) {
    const HWND tree = FindWindowExW(browser, nullptr, WC_TREEVIEWW, nullptr);
    if (!tree) return {};
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return {};
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

void CALLBACK answerBrowser(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&windows));
    for (const HWND w : windows) {
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (std::wstring(name) != L"#32770" || !IsWindowVisible(w)) continue;
        // Answered once the shell has filled its tree and selected the start
        // folder, which it does only after the browser shows (later under load).
        if (++g_ticks > kTicksAtMost || selectedInTree(w) == g_awaitedLeaf) {
            PostMessageW(w, WM_COMMAND, g_answer, 0);
        }
    }
}

std::optional<std::string> browseAnswered(UINT answer, const std::string& start) {
    const OwnedWindow owner = test::plainWindow(L"owner", {0, 0, 400, 300});
    g_answer = answer;
    g_awaitedLeaf = wide(start.substr(start.find_last_of('\\') + 1));
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, answerBrowser);
    const std::optional<std::string> chosen = ShellFolderBrowser(owner.get()).BrowseForFolder("フォルダの選択", start);
    KillTimer(nullptr, timer);
    return chosen;
}

// The browser comes up on the start folder, and OK there gives it back; a
// browser that never selects it is answered at last and fails the test.
TEST(ShellFolderBrowser, OpensAtTheStartFolder) {
    const ComApartment com;
    const test::ScratchFolder folder(L"kq_browse_start");
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

std::string textOf(HWND window) {
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(window, text, MAX_PATH);
    return narrow(text);
}

TEST(FolderPickerControl, BrowseButtonPutsTheChosenFolderInTheBox) {
    const test::ScratchFolder typed(L"kq_picker_typed");
    const test::ScratchFolder chosen(L"kq_picker_chosen");
    const OwnedWindow parent = test::plainWindow(L"parent", {0, 0, 400, 200});
    Win32FileSystem files;
    FolderPickerControl picker(files);
    std::vector<std::string> starts;
    int changes = 0;
    picker.Change = [&] { ++changes; };
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
    EXPECT_EQ(textOf(picker.pathBox()), chosen.path());
    EXPECT_GE(changes, 2);
}

}  // namespace
}  // namespace kq::win32
