// Windows that end themselves from inside their own handlers: a click (also
// one a child window passed up), the mouse, a key and a notification they
// sent their parent. A window that owns
// its object deletes it only once the outermost of its handlers has returned,
// so the handler that ended it goes on with an object that still stands.

#include "common/win32/window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace kq::win32 {
namespace {

constexpr wchar_t kClass[] = L"KqWindowEndTest";
enum Id { kButtonId = 7, kControlId };
constexpr UINT kNotifyCode = 0x7001;

// What an ending window saw, kept outside it so that it can be read once it is gone.
struct Journal {
    bool gone = false;
    bool goneInsideTheHandler = false;
    bool windowLeftInsideTheHandler = true;
    int handlersFinished = 0;
};

// The message on which a window ends itself.
enum class EndsOn { click, mouse, key, notification, keyInsideClick, clickPassedUp };

class Ending final : public Window {
public:
    Ending(Journal& journal, EndsOn endsOn) : journal_(journal), endsOn_(endsOn) {}
    ~Ending() override { journal_.gone = true; }
    // Whatever the kit touched of the object after it was deleted would be read as garbage.
    static void operator delete(void* object, std::size_t size) {
        std::memset(object, 0xDD, size);
        ::operator delete(object);
    }

    // Tells the parent, which hands the notification back to this control.
    void notifyParent() {
        NMHDR header{hwnd(), kControlId, kNotifyCode};
        SendMessageW(GetParent(hwnd()), WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&header));
    }

private:
    // Ends the window, then reads and writes the object as a handler would.
    void endHere() {
        end(0);
        journal_.goneInsideTheHandler = journal_.gone;
        journal_.windowLeftInsideTheHandler = hwnd() != nullptr;
        ++finished_;
        journal_.handlersFinished = finished_;
    }

    bool OnCommand(int id, UINT, HWND) override {
        if (id != kButtonId) return false;
        if (endsOn_ == EndsOn::click || endsOn_ == EndsOn::clickPassedUp) endHere();
        if (endsOn_ == EndsOn::keyInsideClick) {
            SendMessageW(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
            // The key's handler ended the window; this one still runs inside it.
            journal_.goneInsideTheHandler = journal_.goneInsideTheHandler || journal_.gone;
            ++finished_;
            journal_.handlersFinished = finished_;
        }
        return true;
    }
    bool OnMouseDown(MouseButton, POINT, UINT) override {
        if (endsOn_ == EndsOn::mouse) endHere();
        return true;
    }
    bool OnKeyDown(UINT, LPARAM) override {
        if (endsOn_ == EndsOn::key || endsOn_ == EndsOn::keyInsideClick) endHere();
        return true;
    }
    std::optional<LRESULT> OnReflected(UINT msg, WPARAM, LPARAM lParam) override {
        if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != kNotifyCode) return std::nullopt;
        if (endsOn_ == EndsOn::notification) endHere();
        return 0;
    }

    Journal& journal_;
    EndsOn endsOn_;
    int finished_ = 0;
};

// A child window that holds a button and leaves its clicks to its parent.
class Holder final : public Window {};

// The parent of an ending control; it sees what the control leaves.
class Parent final : public Window {
public:
    int notificationsSeen = 0;

private:
    std::optional<LRESULT> OnNotify(const NMHDR&) override {
        ++notificationsSeen;
        return 0;
    }
};

class WindowEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Window::registerClass({.name = kClass})); }
};

TEST_F(WindowEnd, AnOwnedWindowEndedByItsOwnHandlerIsDeletedOnceTheHandlerHasReturned) {
    const struct {
        const char* name;
        EndsOn endsOn;
        int handlersFinished;  // the handlers that ran on after the end
    } cases[] = {
        {"its click", EndsOn::click, 1},
        {"the mouse", EndsOn::mouse, 1},
        {"a key", EndsOn::key, 1},
        {"a key it sent itself inside its click", EndsOn::keyInsideClick, 2},
        {"a notification it sent its parent", EndsOn::notification, 1},
        {"a click a child window of it passed up", EndsOn::clickPassedUp, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Journal journal;
        Parent parent;
        ASSERT_TRUE(parent.create({.windowClass = kClass, .style = WS_POPUP, .width = 100, .height = 100}));
        auto owned = std::make_unique<Ending>(journal, c.endsOn);
        Ending& ending = *owned;
        const bool child = c.endsOn == EndsOn::notification;
        const HWND hwnd = Window::createOwned(std::move(owned), {.windowClass = kClass,
                                                                 .style = child ? WS_CHILD : WS_POPUP,
                                                                 .width = 50,
                                                                 .height = 50,
                                                                 .owner = child ? parent.hwnd() : nullptr,
                                                                 .id = kControlId});
        ASSERT_TRUE(hwnd);
        const HWND holder = c.endsOn != EndsOn::clickPassedUp
                                ? hwnd
                                : Window::createOwned(std::make_unique<Holder>(), {.windowClass = kClass,
                                                                                   .style = WS_CHILD,
                                                                                   .width = 40,
                                                                                   .height = 40,
                                                                                   .owner = hwnd});
        ASSERT_TRUE(holder);
        const HWND button = createChild(holder, {.windowClass = L"BUTTON", .rect = {0, 0, 20, 20}, .id = kButtonId});
        ASSERT_TRUE(button);

        switch (c.endsOn) {
            case EndsOn::click:
            case EndsOn::keyInsideClick:
            case EndsOn::clickPassedUp:
                SendMessageW(holder, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                break;
            case EndsOn::mouse: SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30)); break;
            case EndsOn::key: SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0); break;
            case EndsOn::notification: ending.notifyParent(); break;
        }
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(journal.windowLeftInsideTheHandler) << "the window went at once";
        EXPECT_FALSE(journal.goneInsideTheHandler) << "the object stood while its handlers ran";
        EXPECT_EQ(journal.handlersFinished, c.handlersFinished);
        EXPECT_TRUE(journal.gone) << "and went once they had returned";
        EXPECT_EQ(parent.notificationsSeen, 0) << "the control answered its notification itself";
    }
}

// A window that does not own its object leaves it to its holder, who may
// even delete it from inside the object's handler.
TEST_F(WindowEnd, AWindowThatDoesNotOwnItsObjectLeavesItToItsHolder) {
    {
        Journal journal;
        Ending ending(journal, EndsOn::key);
        const HWND hwnd = ending.create({.windowClass = kClass, .style = WS_POPUP, .width = 50, .height = 50});
        ASSERT_TRUE(hwnd);
        SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(ending.hwnd(), nullptr);
        EXPECT_FALSE(journal.gone);
    }
    // Deleted by its holder while its click runs: the kit touches it no more.
    class Held final : public Window {
    public:
        std::unique_ptr<Held>* holder = nullptr;
        static void operator delete(void* object, std::size_t size) {
            std::memset(object, 0xDD, size);
            ::operator delete(object);
        }

    private:
        bool OnMouseDown(MouseButton, POINT, UINT) override {
            holder->reset();
            return true;
        }
    };
    auto held = std::make_unique<Held>();
    held->holder = &held;
    const HWND hwnd = held->create({.windowClass = kClass, .style = WS_POPUP, .width = 50, .height = 50});
    ASSERT_TRUE(hwnd);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(held, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace kq::win32
