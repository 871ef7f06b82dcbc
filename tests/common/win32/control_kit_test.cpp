// The shared window pieces as the system sees them: a popup menu built from
// its data and shown where asked, the prompts' default button, and the one
// reader of window texts.

#include "common/win32/control_kit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win32/message_prompts.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32/window_driver.h"

namespace kq::win32 {
namespace {

using test::Key;

// Runs the modal call while one step acts on the window of that class once it stands.
template <typename Modal>
auto whileShown(const wchar_t* windowClass, std::function<void(HWND)> act, Modal modal) {
    decltype(modal()) result{};
    const test::ModalRun run = test::runModal([&] { result = modal(); }, {test::onClass(windowClass, std::move(act))});
    EXPECT_TRUE(run.finished) << "nothing showed, or it did not close";
    return result;
}

std::wstring itemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

TEST(PopupMenu, TheSystemMenuHoldsWhatTheDataSays) {
    MenuItem popup{MenuItem::Kind::popup, 0, "履歴", false, true};
    popup.items = {MenuItem::command(21, "A&B"), {MenuItem::Kind::command, 22, "off", true, true}};
    const PopupMenu items = {MenuItem::command(11, "plain"), {MenuItem::Kind::command, 12, "ticked", false, true},
                             {MenuItem::Kind::command, 13, "greyed", true}, MenuItem::separator(), popup};
    const Menu menu = buildMenu(items);
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu.get()), 5);

    struct Expected {
        UINT id;
        const wchar_t* text;
        bool checked;
        bool grayed;
    };
    const Expected top[] = {{11, L"plain", false, false}, {12, L"ticked", true, false}, {13, L"greyed", false, true}};
    for (UINT i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const UINT state = GetMenuState(menu.get(), i, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(menu.get(), static_cast<int>(i)), top[i].id);
        EXPECT_EQ(itemText(menu.get(), i), top[i].text);
        EXPECT_EQ((state & MF_CHECKED) != 0, top[i].checked);
        EXPECT_EQ((state & MF_GRAYED) != 0, top[i].grayed);
    }
    EXPECT_TRUE(GetMenuState(menu.get(), 3, MF_BYPOSITION) & MF_SEPARATOR);

    const HMENU sub = GetSubMenu(menu.get(), 4);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(itemText(menu.get(), 4), L"履歴");
    EXPECT_TRUE(GetMenuState(menu.get(), 4, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(GetMenuItemID(sub, 1), 22u);
    EXPECT_EQ(GetMenuState(sub, 1, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), UINT(MF_CHECKED | MF_GRAYED));
}

TEST(PopupMenu, ShowsAtThePointAndGivesTheCommandChosen) {
    const OwnedWindow owner = test::plainWindow(L"owner", {100, 100, 500, 400});
    const PopupMenu items = {MenuItem::command(31, "first"), MenuItem::command(32, "second")};

    RECT shownAt{};
    const auto pick = [&](std::vector<Key> typed) {
        return [&shownAt, typed](HWND menu) {
            GetWindowRect(menu, &shownAt);
            test::pressKeys(nullptr, typed);
        };
    };
    EXPECT_EQ(whileShown(L"#32768", pick({{VK_DOWN}, {VK_DOWN}, {VK_RETURN}}),
                         [&] { return showMenu(owner.get(), {200, 150}, items); }),
              32);
    EXPECT_EQ(shownAt.left, 200);
    EXPECT_EQ(shownAt.top, 150);

    EXPECT_EQ(whileShown(L"#32768", pick({{VK_ESCAPE}}), [&] { return showMenu(owner.get(), {200, 150}, items); }), 0);

    // Below a button, its right edge and the menu's together.
    const HWND button = CreateWindowExW(0, L"BUTTON", L"v", WS_CHILD | WS_VISIBLE, 300, 40, 20, 20, owner.get(),
                                        nullptr, nullptr, nullptr);
    RECT buttonAt{};
    GetWindowRect(button, &buttonAt);
    EXPECT_EQ(whileShown(L"#32768", pick({{VK_DOWN}, {VK_RETURN}}), [&] { return trackMenu(button, items); }), 31);
    EXPECT_EQ(shownAt.right, buttonAt.right);
    EXPECT_EQ(shownAt.top, buttonAt.bottom);
}

TEST(MessagePrompts, EnterPressesTheDefaultButtonTheStyleNames) {
    const OwnedWindow owner = test::plainWindow(L"owner", {100, 100, 500, 400});
    struct Case {
        unsigned style;
        int answer;
    };
    const Case cases[] = {
        {mb::kYesNo, mb::kIdYes},
        {mb::kYesNo | mb::kDefaultButton2, mb::kIdNo},
        {mb::kOkCancel, mb::kIdOk},
        {mb::kOkCancel | mb::kDefaultButton2, mb::kIdCancel},
        {mb::kYesNoCancel | mb::kDefaultButton3, mb::kIdCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        MessagePrompts prompts(owner.get());
        const int answer = whileShown(L"#32770", [](HWND) { test::pressKeys(nullptr, {{VK_RETURN}}); },
                                      [&] { return prompts.message("本文", "題名", c.style | mb::kIconQuestion); });
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(WindowText, ReadsAnyLengthInUtf8) {
    const OwnedWindow window = test::plainWindow(L"", {0, 0, 100, 100}, WS_POPUP);
    for (const std::string& text : {std::string(), std::string("印刷履歴"), std::string(3000, 'x') + "終"}) {
        SetWindowTextW(window.get(), wide(text).c_str());
        EXPECT_EQ(windowText(window.get()), text);
        EXPECT_EQ(wideWindowText(window.get()), wide(text));
    }
    // Setting the same text again sends no change: an edit box would report one.
    const HWND edit = CreateWindowExW(0, L"EDIT", L"same", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    showText(edit, "same");
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), 0);
    showText(edit, "other");
    EXPECT_EQ(windowText(edit), "other");
    DestroyWindow(edit);
}

}  // namespace
}  // namespace kq::win32
