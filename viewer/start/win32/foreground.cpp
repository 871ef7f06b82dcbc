#include "viewer/start/win32/foreground.h"

namespace kq::viewer::win32 {

void SetForegroundWindowEx(HWND window) {
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    // Attaching a thread to itself fails and changes nothing; the switch is made anyway.
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    DWORD timeout = 0;
    const bool lifted = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0) &&
                        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(window);
    if (lifted) {
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)),
                              0);
    }
    AttachThreadInput(ownThread, foregroundThread, FALSE);
    // Wine leaves the foreground with the input the two threads shared when
    // they separate, and so with no window: the window takes it back. On
    // Windows it already has it.
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
}

}  // namespace kq::viewer::win32
