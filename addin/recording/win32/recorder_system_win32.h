#pragma once
// The recorder's services on Windows: the add-in's own message box and saved
// notice owned by or placed at the host's main window, the system clipboard,
// GDI metafiles and the Win32 file system.

#include <cstdint>
#include <string>

#include "addin/recording/recorder_world.h"
#include "addin/recording/win32/clipboard_win32.h"
#include "addin/recording/win32/page_composer_win32.h"
#include "addin/recording/win32/recorder_clipboard_win32.h"
#include "common/win32/message_prompts.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32 {

class Win32RecorderSystem final : public RecorderSystem {
public:
    // `title` heads the messages that the services show themselves; the
    // host's main window (null when it cannot be found) owns the messages and
    // places the saved notice; `osCode` is the running system's OsCode.
    Win32RecorderSystem(std::string title, HWND hostWindow, std::int32_t osCode);

    std::int32_t GetOS() override { return osCode_; }
    std::int32_t MsgBoxEx(const MsgBoxExArgs& args) override;
    void ShowFinished(double seconds) override;
    Clipboard& userClipboard() override { return userClipboard_; }
    RecorderClipboard& clipboard() override { return clipboard_; }
    PageComposer& composer() override { return composer_; }
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return prompts_; }
    const AnsiCodec& codec() override { return systemAnsiCodec(); }

private:
    HWND hostWindow_;
    std::int32_t osCode_;
    Win32Clipboard userClipboard_;
    Win32RecorderClipboard clipboard_;
    kq::win32::Win32FileSystem files_;
    kq::win32::MessagePrompts prompts_;
    Win32PageComposer composer_;
};

}  // namespace kq::addin::recording::win32
