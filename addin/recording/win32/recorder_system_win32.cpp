#include "addin/recording/win32/recorder_system_win32.h"

#include <utility>

#include "addin/recording/win32/finished_win32.h"
#include "common/win32/msgbox_win32.h"

namespace kq::addin::recording::win32 {

Win32RecorderSystem::Win32RecorderSystem(std::string title, HWND hostWindow, std::int32_t osCode)
    : hostWindow_(hostWindow), osCode_(osCode), prompts_(hostWindow), composer_(prompts_, std::move(title)) {}

std::int32_t Win32RecorderSystem::MsgBoxEx(const MsgBoxExArgs& args) { return kq::win32::MsgBoxEx(hostWindow_, args); }

void Win32RecorderSystem::ShowFinished(double seconds) { win32::ShowFinished(hostWindow_, seconds); }

}  // namespace kq::addin::recording::win32
