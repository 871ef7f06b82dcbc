#include "common/win32/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/message_loop.h"
#include "common/win32/subclass.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32/window_driver.h"

namespace kq::win32 {
namespace {

constexpr wchar_t kClass[] = L"KqWindowTest";
constexpr UINT kLateMessage = WM_APP + 7;
constexpr UINT_PTR kTimer = 1;

// What reached a probe, kept outside it so that it can be read after the probe is gone.
struct Journal {
    std::vector<UINT> messages;
    std::vector<std::pair<UINT, std::string>> failures;
    bool objectGone = false;
    bool reached(UINT msg) const { return std::find(messages.begin(), messages.end(), msg) != messages.end(); }
};

// A window whose handlers do what the test says.
class Probe final : public Window {
public:
    explicit Probe(Journal& journal) : journal_(journal) {}
    ~Probe() override { journal_.objectGone = true; }

    std::function<void(Probe&)> onStart;  // at WM_CREATE or WM_INITDIALOG
    std::function<void(Probe&)> onTimer;
    std::function<bool(int)> onCommand;
    std::function<std::optional<LRESULT>(UINT)> onMessage;
    std::function<void()> onPaint;
    std::function<void()> onDestroy;
    // Failures go to the user, as in every window of the system, rather than to the journal.
    bool tellsFailures = false;

private:
    bool OnCreate(const CREATESTRUCTW&) override {
        if (onStart) onStart(*this);
        return true;
    }
    bool OnInitDialog() override {
        if (onStart) onStart(*this);
        return true;
    }
    bool OnCommand(int id, UINT, HWND) override { return onCommand && onCommand(id); }
    bool OnTimer(UINT_PTR) override {
        if (onTimer) onTimer(*this);
        return true;
    }
    bool OnPaint() override {
        if (!onPaint) return false;
        PAINTSTRUCT paint{};
        BeginPaint(hwnd(), &paint);
        EndPaint(hwnd(), &paint);
        onPaint();
        return true;
    }
    void OnDestroy() override {
        journal_.messages.push_back(WM_DESTROY);
        if (onDestroy) onDestroy();
    }
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        journal_.messages.push_back(msg);
        return onMessage ? onMessage(msg) : std::nullopt;
    }
    void OnFailure(UINT msg, std::string_view what, bool answeringAct) noexcept override {
        if (tellsFailures) return Window::OnFailure(msg, what, answeringAct);
        journal_.failures.emplace_back(msg, std::string(what));
    }

    Journal& journal_;
};

class WindowBase : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Window::registerClass({.name = kClass})); }
    static WindowArgs popup() { return {.windowClass = kClass, .style = WS_POPUP, .width = 50, .height = 50}; }
    Journal journal;
};

// After WM_NCDESTROY the window procedure still runs; a message sent from
// there, as the system or a subclass may, must not reach the object.
WNDPROC g_boundProc = nullptr;
LRESULT CALLBACK sendsAfterTheEnd(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(g_boundProc, hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) CallWindowProcW(g_boundProc, hwnd, kLateMessage, 0, 0);
    return result;
}

TEST_F(WindowBase, NoMessageReachesTheObjectAfterItsWindowOrItselfIsGone) {
    {
        Probe probe(journal);
        const HWND hwnd = probe.create(popup());
        ASSERT_TRUE(hwnd);
        g_boundProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sendsAfterTheEnd)));
        DestroyWindow(hwnd);
        EXPECT_TRUE(journal.reached(WM_DESTROY));
        EXPECT_FALSE(journal.reached(kLateMessage));
        EXPECT_EQ(probe.hwnd(), nullptr);
    }
    // The object goes first: its window goes with it, unbound before.
    HWND left = nullptr;
    {
        Probe probe(journal);
        left = probe.create(popup());
        ASSERT_TRUE(left);
    }
    EXPECT_FALSE(IsWindow(left));
}

TEST_F(WindowBase, WindowOwnsItsObjectUntilItIsDestroyed) {
    auto probe = std::make_unique<Probe>(journal);
    const HWND hwnd = Window::createOwned(std::move(probe), popup());
    ASSERT_TRUE(hwnd);
    EXPECT_FALSE(journal.objectGone);
    DestroyWindow(hwnd);
    EXPECT_TRUE(journal.objectGone);
}

TEST_F(WindowBase, AThrowingHandlerIsReportedAndDoesNotLeaveTheWindowProcedure) {
    const auto fail = [](auto&&...) -> bool { throw std::runtime_error("handler failed"); };
    {
        SCOPED_TRACE("command");
        Probe probe(journal);
        probe.onCommand = fail;
        ASSERT_TRUE(probe.create(popup()));
        EXPECT_EQ(SendMessageW(probe.hwnd(), WM_COMMAND, 5, 0), 0);
        EXPECT_TRUE(IsWindow(probe.hwnd()));
        ASSERT_EQ(journal.failures.size(), 1U);
        EXPECT_EQ(journal.failures[0], std::make_pair(UINT{WM_COMMAND}, std::string("handler failed")));
    }
    {
        SCOPED_TRACE("creation: the window is not made");
        journal = {};
        Probe probe(journal);
        probe.onStart = fail;
        EXPECT_EQ(probe.create(popup()), nullptr);
        EXPECT_EQ(probe.hwnd(), nullptr);
        ASSERT_EQ(journal.failures.size(), 1U);
        EXPECT_EQ(journal.failures[0].first, UINT{WM_CREATE});
    }
    {
        SCOPED_TRACE("creation of a window that would own its object: the object goes");
        journal = {};
        auto probe = std::make_unique<Probe>(journal);
        probe->onStart = fail;
        EXPECT_EQ(Window::createOwned(std::move(probe), popup()), nullptr);
        EXPECT_TRUE(journal.objectGone);
    }
    {
        SCOPED_TRACE("a dialog's start: the dialog ends at once");
        journal = {};
        Probe probe(journal);
        probe.onStart = fail;
        const BlankDialogTemplate dialog(WS_POPUP | WS_CAPTION);
        EXPECT_EQ(probe.runModalDialog(nullptr, dialog.get()), 0);
        ASSERT_EQ(journal.failures.size(), 1U);
        EXPECT_EQ(journal.failures[0].first, UINT{WM_INITDIALOG});
    }
}

// A handled message's result reaches its sender from a window, and from a
// dialog both through DWLP_MSGRESULT and, for the messages that return it
// so, directly.
TEST_F(WindowBase, HandlersResultsReachTheSender) {
    const auto answer = [](UINT msg) -> std::optional<LRESULT> {
        if (msg == WM_CTLCOLORSTATIC) return 0x5150;
        if (msg == WM_APP) return 42;
        return std::nullopt;
    };
    const auto ask = [](HWND hwnd) {
        return std::make_pair(SendMessageW(hwnd, WM_CTLCOLORSTATIC, 0, 0), SendMessageW(hwnd, WM_APP, 0, 0));
    };
    const std::pair<LRESULT, LRESULT> expected{0x5150, 42};
    {
        SCOPED_TRACE("window");
        Probe probe(journal);
        probe.onMessage = answer;
        ASSERT_TRUE(probe.create(popup()));
        EXPECT_EQ(ask(probe.hwnd()), expected);
    }
    {
        SCOPED_TRACE("dialog");
        Probe probe(journal);
        probe.onMessage = answer;
        std::pair<LRESULT, LRESULT> got;
        probe.onStart = [](Probe& p) { SetTimer(p.hwnd(), kTimer, 10, nullptr); };
        probe.onTimer = [&](Probe& p) {
            got = ask(p.hwnd());
            p.end(1);
        };
        const BlankDialogTemplate dialog(WS_POPUP | WS_CAPTION);
        EXPECT_EQ(probe.runModalDialog(nullptr, dialog.get()), 1);
        EXPECT_EQ(got, expected);
    }
}

TEST_F(WindowBase, ModalRunDisablesTheOwnerUntilItEndsThenGivesItBackTheActivation) {
    struct Case {
        const char* name;
        std::function<INT_PTR(Probe&, HWND owner)> run;
    };
    const std::vector<Case> cases = {
        {"window", [](Probe& p, HWND owner) { return p.runModal(owner, {.windowClass = kClass, .style = WS_POPUP | WS_CAPTION, .width = 80, .height = 60}); }},
        {"dialog from a template in memory",
         [](Probe& p, HWND owner) {
             const BlankDialogTemplate dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
             return p.runModalDialog(owner, dialog.get());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedWindow owner = test::plainWindow(L"owner", {100, 100, 500, 400});
        SetActiveWindow(owner.get());
        Probe probe(journal);
        bool ownerEnabledMeanwhile = true;
        HWND ownerOfModal = nullptr;
        probe.onStart = [](Probe& p) { SetTimer(p.hwnd(), kTimer, 20, nullptr); };
        probe.onTimer = [&](Probe& p) {
            ownerEnabledMeanwhile = IsWindowEnabled(owner.get()) != FALSE;
            ownerOfModal = GetWindow(p.hwnd(), GW_OWNER);
            p.end(7);
        };
        EXPECT_EQ(c.run(probe, owner.get()), 7);
        EXPECT_FALSE(ownerEnabledMeanwhile);
        EXPECT_EQ(ownerOfModal, owner.get());
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
        EXPECT_EQ(GetActiveWindow(), owner.get());
        EXPECT_EQ(probe.hwnd(), nullptr);
    }
}

// Failures told under a title of the test's, set back afterwards.
class WindowFailures : public WindowBase {
protected:
    void SetUp() override { setWindowFailureReporting({.title = "試験の題"}); }
    void TearDown() override { setWindowFailureReporting({.title = "エラー"}); }
    static WindowArgs shown() {
        return {.windowClass = kClass, .style = WS_POPUP | WS_VISIBLE, .x = 40, .y = 40, .width = 80, .height = 60};
    }
};

struct Told {
    std::string title;
    std::string text;
    bool afterTheFailure = false;  // the box came only once the failing call had returned
};

// Runs `fail` (which makes a handler fail) and then the thread's messages, answering the one box expected.
test::ModalRun runFailing(const std::function<void()>& fail, Told& told) {
    bool returned = false;
    return test::runModal(
        [&] {
            fail();
            returned = true;
            test::waitUntil([&] { return !told.text.empty(); });
        },
        {test::onClass(L"#32770", [&](HWND box) {
            told = {test::textOf(box), test::messageOf(box), returned};
            test::answer(box, IDOK);
        })});
}

TEST_F(WindowFailures, AFailureAnsweringTheUsersActIsToldAtOnceInTheErrorStyle) {
    const struct {
        const char* name;
        std::function<void()> fail;
        const char* text;
    } cases[] = {
        {"a failure of its own", [] { throw std::runtime_error("command failed"); }, "err(51) command failed"},
        {"memory running out", [] { throw std::bad_alloc(); }, "err(7) Out of memory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe(journal);
        probe.tellsFailures = true;
        probe.onCommand = [&](int) -> bool { c.fail(); return true; };
        ASSERT_TRUE(probe.create(shown()));
        Told told;
        EXPECT_TRUE(runFailing([&] { SendMessageW(probe.hwnd(), WM_COMMAND, 5, 0); }, told).finished);
        EXPECT_EQ(told.title, "試験の題");
        EXPECT_EQ(told.text, c.text);
        EXPECT_FALSE(told.afterTheFailure) << "the command's box stands before the command returns";
    }
}

// Painting, a timer and a window going: no box in the middle of them, the
// failure told once the thread takes its messages, and the same failure
// coming again not told again.
TEST_F(WindowFailures, AFailureWhereABoxWouldBeWrongIsToldOnceAfterwards) {
    const struct {
        const char* name;
        std::function<void(Probe&)> arm;   // makes the probe fail
        std::function<void(Probe&)> fail;  // makes it fail now
        const char* text;
    } cases[] = {
        {"painting", [](Probe& p) { p.onPaint = [] { throw std::runtime_error("paint failed"); }; },
         [](Probe& p) {
             InvalidateRect(p.hwnd(), nullptr, TRUE);
             UpdateWindow(p.hwnd());
         },
         "err(51) paint failed"},
        {"a timer", [](Probe& p) { p.onTimer = [](Probe&) { throw std::runtime_error("tick failed"); }; },
         [](Probe& p) { SendMessageW(p.hwnd(), WM_TIMER, kTimer, 0); }, "err(51) tick failed"},
        {"a command while the window goes",
         [](Probe& p) {
             p.onCommand = [](int) -> bool { throw std::runtime_error("command while going failed"); };
             p.onDestroy = [&p] { SendMessageW(p.hwnd(), WM_COMMAND, 5, 0); };
         },
         [](Probe& p) { DestroyWindow(p.hwnd()); }, "err(51) command while going failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe(journal);
        probe.tellsFailures = true;
        c.arm(probe);
        ASSERT_TRUE(probe.create(shown()));
        Told told;
        EXPECT_TRUE(runFailing([&] { c.fail(probe); }, told).finished);
        EXPECT_EQ(told.title, "試験の題");
        EXPECT_EQ(told.text, c.text);
        EXPECT_TRUE(told.afterTheFailure);

        if (!probe.hwnd()) continue;
        c.fail(probe);
        EXPECT_EQ(takeUntoldWindowFailure(), std::nullopt) << "the same failure is not kept to be told again";
    }
}

// What the kit runs for a window outside its handlers fails as they do: a
// control's subclass and the key preview answering a key at once, idle work
// once the thread next takes its messages.
TEST_F(WindowFailures, ASubclassAKeyPreviewAndIdleWorkTellTheirFailuresToo) {
    const struct {
        const char* name;
        std::function<void(Probe&, std::vector<std::shared_ptr<void>>&)> fail;
        bool atOnce;
    } cases[] = {
        {"a control's subclass",
         [](Probe& p, std::vector<std::shared_ptr<void>>& held) {
             const HWND child = createChild(p.hwnd(), {.windowClass = L"STATIC", .rect = {0, 0, 20, 20}, .id = 3});
             auto subclass = std::make_shared<Subclass>();
             subclass->attach(child, [](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
                 if (msg == WM_KEYDOWN) throw std::runtime_error("kit failed");
                 return std::nullopt;
             });
             held.push_back(subclass);
             SendMessageW(child, WM_KEYDOWN, 'A', 0);
         },
         true},
        {"the key preview",
         [](Probe& p, std::vector<std::shared_ptr<void>>& held) {
             held.push_back(std::make_shared<WindowKeys>(
                 p.hwnd(), [](const MSG&) -> bool { throw std::runtime_error("kit failed"); }));
             MSG key{p.hwnd(), WM_KEYDOWN, VK_F5, 0, 0, {}};
             handleMessage(key);
         },
         true},
        {"idle work",
         [](Probe&, std::vector<std::shared_ptr<void>>& held) {
             held.push_back(std::make_shared<IdleHook>([] { throw std::runtime_error("kit failed"); }));
             IdleHook::runAll();
             held.clear();
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe(journal);
        probe.tellsFailures = true;
        ASSERT_TRUE(probe.create(shown()));
        std::vector<std::shared_ptr<void>> held;
        Told told;
        EXPECT_TRUE(runFailing([&] { c.fail(probe, held); }, told).finished);
        EXPECT_EQ(told.title, "試験の題");
        EXPECT_EQ(told.text, "err(51) kit failed");
        EXPECT_EQ(told.afterTheFailure, !c.atOnce);
    }
}

TEST_F(WindowFailures, AWindowThatCannotBeMadeLeavesItsFailureToItsMaker) {
    Probe probe(journal);
    probe.tellsFailures = true;
    probe.onStart = [](Probe&) { throw std::runtime_error("picture missing"); };
    EXPECT_EQ(probe.create(shown()), nullptr);
    EXPECT_EQ(takeUntoldWindowFailure(), "err(51) picture missing");
    EXPECT_EQ(takeUntoldWindowFailure(), std::nullopt) << "taken, it is told by no one else";
}

}  // namespace
}  // namespace kq::win32
