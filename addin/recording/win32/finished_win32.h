#pragma once
// The notice that a print's history was saved.

#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32 {

// Window class of the notice, so that its driver can find it.
inline constexpr wchar_t kFinishedClass[] = L"Kez_Quorvex.frmFinished";

// Shows a new notice and returns at once; the notice counts `seconds` down
// with the calling thread's timer messages and then destroys itself. It opens
// 10 pixels inside the lower-left corner of `placeNear` (the host's main
// window), or of the screen's work area when that window is null or gone.
// The thread needs a message loop.
void ShowFinished(HWND placeNear, double seconds);

}  // namespace kq::addin::recording::win32
