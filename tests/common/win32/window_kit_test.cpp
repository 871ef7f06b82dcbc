// A main window as the viewer builds one, on the window base and the one
// message loop: a list view and an owner-drawn button that handle their own
// notifications, a child window of our class that answers some of its own
// commands, an edit box that has the focus while the window previews its keys,
// and edit boxes held by two subclasses at once.

#include "common/win32/message_loop.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/win32/control_kit.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"
#include "common/win32/work_thread.h"
#include "tests/support/win32/window_driver.h"

namespace kq::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"KqKitMain";
constexpr wchar_t kChildClass[] = L"KqKitChild";
constexpr int kListId = 10;
constexpr int kDrawnId = 11;
constexpr int kEditId = 12;
constexpr int kChildId = 13;
constexpr int kRefreshCommand = 4242;
// Codes the child sends its parent in WM_COMMAND: one it answers itself, one it leaves.
constexpr UINT kOwnCode = 0x101;
constexpr UINT kParentsCode = 0x102;

// Runs the thread's messages through the loop until `done`, or until the limit.
bool loopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = test::kPatience) {
    const auto until = std::chrono::steady_clock::now() + limit;
    // A thread timer wakes the loop to look at the clock.
    const UINT_PTR tick = SetTimer(nullptr, 0, 20, nullptr);
    runMessagesUntil([&] { return done() || std::chrono::steady_clock::now() > until; });
    KillTimer(nullptr, tick);
    return done();
}

// Codes a button on the child sends the child: one the button's holder
// answers, one the child answers, one neither does.
constexpr int kPartId = 14;
constexpr UINT kPartsOwnCode = 0x201;
constexpr UINT kChildsCode = 0x202;
constexpr UINT kLeftCode = 0x203;

// A child of our class that tells its parent of two things and handles one of
// them itself, and holds a button whose holder takes the button's notifications.
class Child final : public Window {
public:
    std::vector<UINT> ownCodes;
    // What reached the button's holder, and what of the button's the child handled.
    std::vector<UINT> partAsked;
    std::vector<UINT> partCodes;
    HWND part = nullptr;

    void tell(UINT code) {
        SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(kChildId, code), reinterpret_cast<LPARAM>(hwnd()));
    }
    void partTells(UINT code) {
        SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kPartId, code), reinterpret_cast<LPARAM>(part));
    }

private:
    bool OnCreate(const CREATESTRUCTW&) override {
        part = createChild(hwnd(), {.windowClass = L"BUTTON", .style = WS_VISIBLE, .rect = {0, 0, 20, 20}, .id = kPartId});
        partHolder_.attach(part, [](UINT, WPARAM, LPARAM) { return std::nullopt; });
        partHolder_.reflectTo([this](UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (msg != WM_COMMAND) return std::nullopt;
            partAsked.push_back(HIWORD(wParam));
            if (HIWORD(wParam) != kPartsOwnCode) return std::nullopt;
            return 0;
        });
        return part != nullptr;
    }
    bool OnCommand(int, UINT code, HWND control) override {
        if (control != part || code != kChildsCode) return false;
        partCodes.push_back(code);
        return true;
    }
    std::optional<LRESULT> OnReflected(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg != WM_COMMAND || HIWORD(wParam) != kOwnCode) return std::nullopt;
        ownCodes.push_back(HIWORD(wParam));
        return 0;
    }

    Subclass partHolder_;
};

class KitWindow final : public Window {
public:
    // What reached the main window itself.
    std::vector<UINT> commands;  // of menus and accelerators
    std::vector<UINT> childCodes;
    // Of every control, its own or one further down.
    std::vector<std::pair<HWND, UINT>> controlCodes;
    std::vector<UINT> notifications;
    int drawItems = 0;
    std::vector<WPARAM> previewed;
    // What reached the controls' holders.
    std::vector<UINT> listChanges;
    int buttonDrawn = 0;
    std::vector<UINT> editKeys;

    std::vector<UINT> codesOf(HWND control) const {
        std::vector<UINT> codes;
        for (const auto& [from, code] : controlCodes) {
            if (from == control) codes.push_back(code);
        }
        return codes;
    }

    HWND list = nullptr;
    HWND drawn = nullptr;
    HWND edit = nullptr;
    Child child;

    bool open(HACCEL accelerators = nullptr) {
        accelerators_ = accelerators;
        Window::registerClass({.name = kMainClass, .background = GetSysColorBrush(COLOR_BTNFACE)});
        Window::registerClass({.name = kChildClass});
        return create({.windowClass = kMainClass,
                       .text = L"kit",
                       .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                       .x = 60,
                       .y = 60,
                       .width = 420,
                       .height = 300}) != nullptr;
    }

private:
    bool OnCreate(const CREATESTRUCTW&) override {
        list = createChild(hwnd(), {.windowClass = WC_LISTVIEWW,
                                    .style = WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                                    .rect = {0, 0, 200, 120},
                                    .id = kListId});
        drawn = createChild(hwnd(), {.windowClass = L"BUTTON",
                                     .style = WS_VISIBLE | BS_OWNERDRAW,
                                     .rect = {210, 0, 300, 40},
                                     .id = kDrawnId});
        edit = createChild(hwnd(), {.windowClass = L"EDIT",
                                    .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                    .exStyle = WS_EX_CLIENTEDGE,
                                    .rect = {0, 130, 200, 154},
                                    .id = kEditId});
        if (!list || !drawn || !edit || !createCompoundControl(child, hwnd(), {.windowClass = kChildClass, .rect = {210, 50, 300, 90}, .id = kChildId})) {
            return false;
        }
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 150;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int row = 0; row < 2; ++row) {
            LVITEMW item{};
            item.iItem = row;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        listHolder_.attach(list, [](UINT, WPARAM, LPARAM) { return std::nullopt; });
        listHolder_.reflectTo([this](UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (msg != WM_NOTIFY || header.code != LVN_ITEMCHANGED) return std::nullopt;
            listChanges.push_back(header.code);
            return 0;
        });
        drawnHolder_.attach(drawn, [](UINT, WPARAM, LPARAM) { return std::nullopt; });
        drawnHolder_.reflectTo([this](UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (msg != WM_DRAWITEM) return std::nullopt;
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
            ++buttonDrawn;
            return TRUE;
        });
        editHolder_.attach(edit, [this](UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (msg == WM_KEYDOWN) editKeys.push_back(static_cast<UINT>(wParam));
            return std::nullopt;
        });
        keys_.emplace(hwnd(), [this](const MSG& key) {
            if (key.message != WM_KEYDOWN || (key.wParam != VK_F1 && key.wParam != VK_F5)) return false;
            previewed.push_back(key.wParam);
            return true;
        }, accelerators_);
        return true;
    }
    bool OnCommand(int id, UINT code, HWND control) override {
        if (!control) commands.push_back(static_cast<UINT>(id));
        if (control == child.hwnd()) childCodes.push_back(code);
        if (control) controlCodes.push_back({control, code});
        return true;
    }
    std::optional<LRESULT> OnNotify(const NMHDR& header) override {
        notifications.push_back(header.code);
        return std::nullopt;
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_DRAWITEM) ++drawItems;
        return std::nullopt;
    }

    HACCEL accelerators_ = nullptr;
    Subclass listHolder_;
    Subclass drawnHolder_;
    Subclass editHolder_;
    std::optional<WindowKeys> keys_;
};

TEST(WindowKit, NotificationsGoToTheControlsOwnObjectAndWhatItLeavesToTheParent) {
    KitWindow window;
    ASSERT_TRUE(window.open());

    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageW(window.list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
    EXPECT_EQ(window.listChanges, std::vector<UINT>{LVN_ITEMCHANGED});
    for (const UINT code : window.notifications) EXPECT_NE(code, static_cast<UINT>(LVN_ITEMCHANGED));

    RedrawWindow(window.drawn, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(window.buttonDrawn, 1);
    EXPECT_EQ(window.drawItems, 0) << "the parent never saw the button's drawing";
    EXPECT_EQ(test::printClient(window.drawn).at(5, 5), [] {
        const COLORREF c = GetSysColor(COLOR_HIGHLIGHT);
        return static_cast<std::uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
    }());

    window.child.tell(kOwnCode);
    window.child.tell(kParentsCode);
    EXPECT_EQ(window.child.ownCodes, std::vector<UINT>{kOwnCode});
    EXPECT_EQ(window.childCodes, std::vector<UINT>{kParentsCode});
}

TEST(WindowKit, WhatAChildWindowLeavesOfItsControlsNotificationsGoesUpToItsParentTheControlAskedOnce) {
    KitWindow window;
    ASSERT_TRUE(window.open());
    struct Case {
        const char* what;
        UINT code;
        std::vector<UINT> childHandled;
        std::vector<UINT> parentSaw;
    };
    const std::vector<Case> cases = {
        {"the button's holder answers", kPartsOwnCode, {}, {}},
        {"the child answers what the holder leaves", kChildsCode, {kChildsCode}, {}},
        {"what the child leaves reaches its parent", kLeftCode, {}, {kLeftCode}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.child.partAsked.clear();
        window.child.partCodes.clear();
        window.controlCodes.clear();
        window.child.partTells(c.code);
        EXPECT_EQ(window.child.partAsked, std::vector<UINT>{c.code});
        EXPECT_EQ(window.child.partCodes, c.childHandled);
        EXPECT_EQ(window.codesOf(window.child.part), c.parentSaw);
    }

    // A top-level window owned by another is no part of it: what it leaves stays with it.
    Child owned;
    ASSERT_TRUE(owned.create({.windowClass = kChildClass, .style = WS_POPUP, .width = 40, .height = 40, .owner = window.hwnd()}));
    owned.partTells(kLeftCode);
    EXPECT_EQ(owned.partAsked, std::vector<UINT>{kLeftCode});
    EXPECT_TRUE(window.codesOf(owned.part).empty());
}

TEST(WindowKit, TheMainWindowSeesItsKeysWhileAnEditBoxInsideHasTheFocus) {
    const HACCEL table = [] {
        ACCEL refresh{FCONTROL | FVIRTKEY, 'R', kRefreshCommand};
        return CreateAcceleratorTableW(&refresh, 1);
    }();
    const AcceleratorTable accelerators(table);
    KitWindow window;
    ASSERT_TRUE(window.open(accelerators.get()));
    test::focus(window.edit);
    ASSERT_TRUE(loopUntil([&] { return GetFocus() == window.edit; }));

    struct Case {
        const char* what;
        test::Key key;
        std::vector<WPARAM> previewed;
        std::vector<UINT> commands;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"F5 goes to the window, not to the box", {VK_F5}, {VK_F5}, {}, ""},
        {"F1 too", {VK_F1}, {VK_F1}, {}, ""},
        {"an accelerator gives the window its command", {'R', false, true}, {}, {LOWORD(kRefreshCommand)}, ""},
        {"other keys reach the box", {'A'}, {}, {}, "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.previewed.clear();
        window.commands.clear();
        window.editKeys.clear();
        SetWindowTextW(window.edit, L"");
        test::pressKeys(window.edit, {c.key});
        loopUntil([&] { return !window.previewed.empty() || !window.commands.empty() || !window.editKeys.empty(); });
        // Whatever else the key brings (its release, a character) runs too.
        loopUntil([] { return false; }, std::chrono::milliseconds(100));
        EXPECT_EQ(window.previewed, c.previewed);
        EXPECT_EQ(window.commands, c.commands);
        EXPECT_EQ(test::textOf(window.edit), c.text);
        for (const WPARAM key : c.previewed) {
            EXPECT_EQ(std::count(window.editKeys.begin(), window.editKeys.end(), key), 0);
        }
    }
}

TEST(WindowKit, IdleHooksRunWhenTheQueueRunsEmptyWhileTheyAreHeld) {
    int first = 0;
    int second = 0;
    {
        const IdleHook counting([&] { ++first; });
        std::optional<IdleHook> later;
        later.emplace([&] { ++second; });
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        EXPECT_TRUE(loopUntil([&] { return first > 0 && second > 0; }));
        later.reset();
        const int secondBefore = second;
        PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
        const int firstBefore = first;
        EXPECT_TRUE(loopUntil([&] { return first > firstBefore; }));
        EXPECT_EQ(second, secondBefore);
    }
    const int firstAfter = first;
    loopUntil([] { return false; }, std::chrono::milliseconds(60));
    EXPECT_EQ(first, firstAfter);
}

// A window whose timer ticks until `onTick` says it is done; run modally, it then ends.
class Turns final : public Window {
public:
    std::function<bool(int tick)> onTick;

private:
    bool OnCreate(const CREATESTRUCTW&) override {
        SetTimer(hwnd(), 1, 15, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR) override {
        if (onTick && onTick(++ticks_)) {
            KillTimer(hwnd(), 1);
            end(0);
        }
        return true;
    }
    int ticks_ = 0;
};

WindowArgs turnsWindow() {
    Window::registerClass({.name = kChildClass});
    return {.windowClass = kChildClass, .style = WS_POPUP | WS_VISIBLE, .x = 20, .y = 20, .width = 60, .height = 60};
}

// Work posted for later waits while a modal run that came after it, a menu
// or a drag is up, though the loop turns meanwhile; it runs once they end.
TEST(WindowKit, PostedWorkWaitsWhileAModalRunAMenuOrADragIsUpAndRunsOnceItEnds) {
    const struct {
        const char* name;
        // Posts the task with the hold up and ends the hold; `runs` as they were just before it ended.
        std::function<void(IdleTask& task, const int& runs, int& meanwhile)> holdAndPost;
    } cases[] = {
        {"a modal run",
         [](IdleTask& task, const int& runs, int& meanwhile) {
             Turns modal;
             modal.onTick = [&](int tick) {
                 if (tick == 1) task.post();
                 meanwhile = runs;
                 return tick == 6;
             };
             EXPECT_EQ(modal.runModal(nullptr, turnsWindow()), 0);
         }},
        {"a menu",
         [](IdleTask& task, const int& runs, int& meanwhile) {
             Turns owner;
             ASSERT_TRUE(owner.create(turnsWindow()));
             SetForegroundWindow(owner.hwnd());
             owner.onTick = [&](int tick) {
                 if (tick == 1) task.post();
                 meanwhile = runs;
                 if (tick == 6) EndMenu();
                 return false;
             };
             const Menu menu(CreatePopupMenu());
             AppendMenuW(menu.get(), MF_STRING, 1, L"one");
             TrackPopupMenu(menu.get(), TPM_RETURNCMD, 30, 30, 0, owner.hwnd(), nullptr);
         }},
        {"a drag",
         [](IdleTask& task, const int& runs, int& meanwhile) {
             Turns owner;
             ASSERT_TRUE(owner.create(turnsWindow()));
             SetCapture(owner.hwnd());
             ASSERT_EQ(GetCapture(), owner.hwnd());
             task.post();
             loopUntil([] { return false; }, std::chrono::milliseconds(90));
             meanwhile = runs;
             ReleaseCapture();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int runs = 0;
        int meanwhile = -1;
        IdleTask task([&] { ++runs; });
        c.holdAndPost(task, runs, meanwhile);
        EXPECT_EQ(meanwhile, 0);
        EXPECT_TRUE(loopUntil([&] { return runs > 0; }));
        loopUntil([] { return false; }, std::chrono::milliseconds(60));
        EXPECT_EQ(runs, 1) << "once for one post";
    }
}

// A modal run's own work runs in its loop; what long work begun before it
// hands back waits until it ends.
TEST(WindowKit, AModalRunsOwnWorkRunsInItAndLongWorkBegunBeforeItWaitsForIt) {
    WorkThread runner;
    ASSERT_TRUE(runner.ready());
    std::atomic<bool> jobDone = false;
    bool applied = false;
    bool appliedMeanwhile = true;
    bool ownRan = false;
    std::optional<IdleTask> own;
    int doneAt = 0;
    Turns modal;
    modal.onTick = [&](int tick) {
        if (tick == 1) {
            own.emplace([&] { ownRan = true; });
            own->post();
            runner.start([&](std::stop_token) -> WorkRunner::Finish {
                jobDone = true;
                return [&] { applied = true; };
            });
        }
        if (doneAt == 0 && jobDone) doneAt = tick;
        // A few turns after the job's end has reached the thread.
        if (doneAt == 0 || tick < doneAt + 4) return tick > 400;
        appliedMeanwhile = applied;
        return true;
    };
    EXPECT_EQ(modal.runModal(nullptr, turnsWindow()), 0);
    EXPECT_TRUE(ownRan);
    EXPECT_NE(doneAt, 0);
    EXPECT_FALSE(appliedMeanwhile);
    EXPECT_TRUE(loopUntil([&] { return applied; }));
}

// Each post runs the work once; a post from inside the work asks for another
// turn; what a holder that goes had posted never runs.
TEST(WindowKit, ATaskRunsOncePerPostAndNotAfterItsHolderIsGone) {
    int runs = 0;
    {
        IdleTask task([&] { ++runs; });
        task.post();
        task.post();
        EXPECT_TRUE(task.posted());
        EXPECT_TRUE(loopUntil([&] { return runs > 0; }));
        loopUntil([] { return false; }, std::chrono::milliseconds(60));
        EXPECT_EQ(runs, 1);
        EXPECT_FALSE(task.posted());
        task.post();
    }
    loopUntil([] { return false; }, std::chrono::milliseconds(60));
    EXPECT_EQ(runs, 1);

    int turns = 0;
    std::optional<IdleTask> again;
    again.emplace([&] {
        if (++turns < 3) again->post();
    });
    again->post();
    EXPECT_TRUE(loopUntil([&] { return turns == 3; }));
}

// A window of another thread sends a message that posts work while the loop
// waits for messages: the work runs without any other message coming.
bool guardRang = false;
void CALLBACK guardRings(HWND, UINT, UINT_PTR, DWORD) { guardRang = true; }

TEST(WindowKit, WorkPostedFromAMessageSentWhileTheLoopWaitsRunsAtOnce) {
    class Poster final : public Window {
    public:
        IdleTask* task = nullptr;

    private:
        std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
            if (msg != WM_APP) return std::nullopt;
            task->post();
            return 0;
        }
    };
    int runs = 0;
    IdleTask task([&] { ++runs; });
    Poster poster;
    poster.task = &task;
    ASSERT_TRUE(poster.create(turnsWindow()));
    guardRang = false;
    const UINT_PTR guard = SetTimer(nullptr, 0, 3000, guardRings);
    std::atomic<bool> looping = false;
    std::thread sender([&, window = poster.hwnd()] {
        while (!looping) Sleep(1);
        // So that the loop is waiting in the system by then.
        Sleep(50);
        SendMessageW(window, WM_APP, 0, 0);
    });
    runMessagesUntil([&] {
        looping = true;
        return runs > 0 || guardRang;
    });
    sender.join();
    KillTimer(nullptr, guard);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(guardRang);
}

// A window that asks the thread to quit while it runs modally.
class Quitter final : public Window {
    bool OnCreate(const CREATESTRUCTW&) override {
        SetTimer(hwnd(), 1, 10, nullptr);
        return true;
    }
    bool OnTimer(UINT_PTR) override {
        KillTimer(hwnd(), 1);
        PostQuitMessage(3);
        return true;
    }
};

bool ticked = false;
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) { ticked = true; }

TEST(WindowKit, AQuitEndsAModalRunAndTheLoopOutsideItSeesItToo) {
    Window::registerClass({.name = kChildClass});
    INT_PTR modalResult = -2;
    bool modalGone = false;
    ticked = false;
    const UINT_PTR start = SetTimer(nullptr, 0, 10, tick);
    // The outer loop starts the modal run once its first timer tick is handled.
    bool started = false;
    const bool outerEnded = runMessagesUntil([&] {
        if (!started) {
            if (ticked) {
                started = true;
                KillTimer(nullptr, start);
                Quitter quitter;
                modalResult = quitter.runModal(nullptr, {.windowClass = kChildClass, .style = WS_POPUP, .width = 40, .height = 40});
                modalGone = quitter.hwnd() == nullptr;
            }
        }
        return false;
    });
    EXPECT_FALSE(outerEnded);
    EXPECT_EQ(modalResult, 0);
    EXPECT_TRUE(modalGone);
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is there for the caller";
    EXPECT_EQ(quit.wParam, 3u);
}

// Two holders of one edit box, each seeing the messages as they come.
struct Holders {
    Subclass first;
    Subclass second;
    std::vector<std::string> seen;
    HWND box = nullptr;

    explicit Holders(HWND edit) : box(edit) {
        first.attach(box, [this](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == WM_APP) seen.emplace_back("first");
            return std::nullopt;
        });
        second.attach(box, [this](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == WM_APP) seen.emplace_back("second");
            return std::nullopt;
        });
    }
    std::vector<std::string> send(const std::string& text) {
        seen.clear();
        SendMessageW(box, WM_APP, 0, 0);
        SetWindowTextW(box, std::wstring(text.begin(), text.end()).c_str());
        return seen;
    }
};

TEST(WindowKit, TwoSubclassesOfOneControlGoInEitherOrder) {
    struct Case {
        const char* what;
        bool firstGoesFirst;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases = {
        {"the first attached goes first", true, {"second"}},
        {"the last attached goes first", false, {"first"}},
    };
    const OwnedWindow parent = test::plainWindow(L"holders", {0, 0, 200, 100});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OwnedWindow edit(createChild(parent.get(), {.windowClass = L"EDIT", .style = WS_VISIBLE, .rect = {0, 0, 100, 20}}));
        Holders holders(edit.get());
        EXPECT_EQ(holders.send("both"), (std::vector<std::string>{"second", "first"}));
        EXPECT_EQ(test::textOf(edit.get()), "both");
        (c.firstGoesFirst ? holders.first : holders.second).detach();
        EXPECT_EQ(holders.send("one"), c.left);
        EXPECT_EQ(test::textOf(edit.get()), "one") << "the box's own procedure still has its messages";
        (c.firstGoesFirst ? holders.second : holders.first).detach();
        EXPECT_TRUE(holders.send("none").empty());
        EXPECT_EQ(test::textOf(edit.get()), "none");
    }
}

TEST(WindowKit, AHolderLetsGoOfAControlThatGoesFirstAndTheControlCanBeHeldAgain) {
    const OwnedWindow parent = test::plainWindow(L"holders", {0, 0, 200, 100});
    Subclass holder;
    HWND edit = createChild(parent.get(), {.windowClass = L"EDIT", .style = WS_VISIBLE, .rect = {0, 0, 100, 20}});
    ASSERT_TRUE(holder.attach(edit, [](UINT, WPARAM, LPARAM) { return std::nullopt; }));
    EXPECT_FALSE(holder.attach(edit, [](UINT, WPARAM, LPARAM) { return std::nullopt; })) << "one control at a time";
    DestroyWindow(edit);
    edit = createChild(parent.get(), {.windowClass = L"EDIT", .style = WS_VISIBLE, .rect = {0, 0, 100, 20}});
    EXPECT_TRUE(holder.attach(edit, [](UINT, WPARAM, LPARAM) { return std::nullopt; }));
}

}  // namespace
}  // namespace kq::win32
