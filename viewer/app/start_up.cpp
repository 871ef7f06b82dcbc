#include "viewer/app/start_up.h"

#include "common/win32/windows_api.h"

#include "viewer/main/win32/history_window_start.h"

namespace kq::viewer::win32 {

int RunViewer(const wchar_t*) { return ShowHistoryWindow(); }

}  // namespace kq::viewer::win32
