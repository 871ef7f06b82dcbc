#pragma once
// The simulated host's main window: a real top-level window of the class the
// host's main window has ("XLMAIN"), titled with Application.Caption, so that
// an add-in finds it as it finds the host's and owns its dialogs by it. While
// a dialog of an add-in is modal the window is disabled, as the host's is.
//
// Its timer is the beat of the dialog commands: the system makes a timer
// message only when nothing else waits in the thread's queue, so whatever
// loop the thread is in (a dialog's, a message box's) the beat comes when
// that loop is idle, as a user's next action would.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <functional>
#include <string>

#include "common/win32/window.h"

namespace kq::simhost {

class HostWindow final : public win32::Window {
public:
    // `beat` runs at every timer message while the window stands.
    explicit HostWindow(std::function<void()> beat);
    ~HostWindow() override;

    // Shows the window with that caption (a window shown already takes the
    // caption); false when it could not be made.
    bool open(const std::string& caption);
    void setCaption(const std::string& caption);
    // Shows the window minimized, maximized or neither, as the host's
    // WindowState says (xlMinimized, xlMaximized, xlNormal).
    void showState(std::int32_t windowState);

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnTimer(UINT_PTR id) override;
    bool OnClose() override;

    std::function<void()> beat_;
};

}  // namespace kq::simhost
