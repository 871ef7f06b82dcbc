#include "addin/recording/win32/recorder_clipboard_win32.h"

#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::addin::recording::win32 {

// No window of its own: the recorder only reads and empties the clipboard.
void Win32RecorderClipboard::clear() {
    if (const auto open = kq::win32::openClipboard(nullptr)) EmptyClipboard();
}

bool Win32RecorderClipboard::hasEnhMetafile() { return IsClipboardFormatAvailable(CF_ENHMETAFILE) != FALSE; }

bool Win32RecorderClipboard::saveEnhMetafile(const std::string& path) {
    const auto open = kq::win32::openClipboard(nullptr);
    if (!open) return false;
    // The clipboard keeps its own handle; the copy is ours.
    const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    if (!picture) return false;
    const std::wstring file = kq::win32::wide(path);
    const kq::win32::EnhMetafile copy(CopyEnhMetaFileW(picture, file.c_str()));
    if (!copy) DeleteFileW(file.c_str());
    return static_cast<bool>(copy);
}

bool Win32RecorderClipboard::hasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

std::optional<std::string> Win32RecorderClipboard::text() {
    const auto open = kq::win32::openClipboard(nullptr);
    if (!open) return std::nullopt;
    const auto lock = kq::win32::lockGlobal(GetClipboardData(CF_UNICODETEXT));
    if (!lock) return std::nullopt;
    const auto* chars = static_cast<const wchar_t*>(lock.get());
    // Up to the terminating NUL, and never past the block.
    const std::size_t most = lock.size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < most && chars[length] != L'\0') ++length;
    return kq::win32::narrow(std::wstring_view(chars, length));
}

}  // namespace kq::addin::recording::win32
