#include "addin/recording/win32/recorder_system_win32.h"

#include <memory>

#include "addin/core/globals.h"
#include "addin/core/win32/system_helpers.h"
#include "addin/recording/save_history.h"
#include "addin/recording/win32/finished_win32.h"
#include "addin/recording/win32/msgbox_win32.h"

namespace kq::addin::recording::win32 {

// Plain messages are owned by the host's main window as it is when the run starts.
Win32RecorderSystem::Win32RecorderSystem(std::string title)
    : prompts_(kq::addin::win32::GetXlHwnd()), composer_(prompts_, std::move(title)) {}

std::int32_t Win32RecorderSystem::GetOS() {
    std::string versionText;
    return kq::addin::win32::GetOS(versionText);
}

std::int32_t Win32RecorderSystem::MsgBoxEx(const MsgBoxExArgs& args) {
    return win32::MsgBoxEx(kq::addin::win32::GetXlHwnd(), args);
}

void Win32RecorderSystem::ShowFinished(double seconds) { win32::ShowFinished(kq::addin::win32::GetXlHwnd(), seconds); }

}  // namespace kq::addin::recording::win32

namespace kq::addin::recording {

std::unique_ptr<RecorderSystem> NewRecorderSystem() {
    return std::make_unique<win32::Win32RecorderSystem>(GetAppTitle());
}

}  // namespace kq::addin::recording
