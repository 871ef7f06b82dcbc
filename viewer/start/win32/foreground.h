#pragma once
// Bringing a window of the viewer to the front over the program that had the
// foreground (the spreadsheet that started the viewer), which the system
// otherwise refuses a process the user is not working in.

#include "common/win32/windows_api.h"

namespace kq::viewer::win32 {

// Joins this thread's input to the foreground window's thread and lifts the
// foreground lock time-out for the moment of the switch. The time-out is put
// back and the input separated again before it returns; when the time-out
// cannot be read it is left alone, so the call never changes it for good.
void SetForegroundWindowEx(HWND window);

}  // namespace kq::viewer::win32
