#pragma once
// What reaches the main window from outside while it may be in the middle of
// something (a menu, a message, a dialog, a drag, the browser's work): a
// line a later start hands over, and a close. Each waits until the thread is
// idle and the browser's work done, then is carried out once; the latest
// line takes the place of an earlier one, and a close makes a waiting line
// moot (its sender was refused and opens its own window).

#include <functional>
#include <optional>
#include <string>

#include "common/signal.h"
#include "common/win32/message_loop.h"

namespace kq::viewer::win32 {

class WaitingCommands {
public:
    // `busy`: whether the browser's steps or work are under way; their end
    // calls settled(). `window`: the window whose idle turns carry them out.
    WaitingCommands(std::function<bool()> busy, const kq::win32::Window* window);

    // False, refused, once the window is closing or asked to close.
    bool handOver(std::string line);
    // True when the window may close now; otherwise the close waits.
    bool closeNowOrLater();
    // The browser's work is done: what waits is tried again.
    void settled();
    // From the first close carried out on: no line is taken any more.
    void closing() { closing_ = true; }

    Signal<std::string> lineDue;
    Signal<> closeDue;

private:
    void run();

    std::function<bool()> busy_;
    std::optional<std::string> line_;
    bool closeAsked_ = false;
    bool closing_ = false;
    kq::win32::IdleTask task_;
};

}  // namespace kq::viewer::win32
