#pragma once
// Icons painted onto command-bar button faces through the system clipboard.

#include "common/win32/windows_api.h"

#include <string_view>

#include "addin/core/command_bars.h"
#include "addin/recording/clipboard_keeping.h"
#include "addin/recording/win32/clipboard_win32.h"
#include "common/win32/handles.h"

namespace kq::addin::win32 {

// Keeps the user's clipboard from its making to its end, and draws the icon
// resources of this module onto the pictures the host puts on the clipboard.
class Win32IconFaces final : public IconFaces {
public:
    Win32IconFaces();
    ~Win32IconFaces() override;
    Win32IconFaces(const Win32IconFaces&) = delete;
    Win32IconFaces& operator=(const Win32IconFaces&) = delete;

    bool drawIcon(std::string_view iconResourceName) override;
    void clearClipboard() override;

private:
    recording::win32::Win32Clipboard userClipboard_;
    recording::ClipboardKeeper kept_;
    kq::win32::OwnedWindow owner_;
};

}  // namespace kq::addin::win32
