#include "addin/recording/win32/recorder_clipboard_win32.h"

#include "addin/recording/win32/page_composer_win32.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::addin::recording::win32 {

namespace {

std::optional<std::string> unicodeText() {
    const auto lock = kq::win32::lockGlobal(GetClipboardData(CF_UNICODETEXT));
    if (!lock) return std::nullopt;
    const auto* chars = static_cast<const wchar_t*>(lock.get());
    // Up to the terminating NUL, and never past the block.
    const std::size_t most = lock.size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < most && chars[length] != L'\0') ++length;
    return kq::win32::narrow(std::wstring_view(chars, length));
}

}  // namespace

// No window of its own: the recorder only reads and empties the clipboard.
void Win32RecorderClipboard::clear() {
    if (const auto open = kq::win32::openClipboard(nullptr)) EmptyClipboard();
}

std::optional<std::vector<std::uint8_t>> Win32RecorderClipboard::takeEnhMetafile() {
    const auto open = kq::win32::openClipboard(nullptr);
    if (!open) return std::nullopt;
    // The clipboard keeps its handle; the bits are ours.
    std::optional<std::vector<std::uint8_t>> bytes =
        enhMetafileBytes(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)));
    EmptyClipboard();
    return bytes;
}

std::optional<std::string> Win32RecorderClipboard::takeText() {
    const auto open = kq::win32::openClipboard(nullptr);
    if (!open) return std::nullopt;
    std::optional<std::string> text = unicodeText();
    EmptyClipboard();
    return text;
}

}  // namespace kq::addin::recording::win32
