#include "addin/recording/win32/recorder_clipboard_win32.h"

#include <cwchar>

#include "common/win32/wide.h"

namespace kq::addin::recording::win32 {

namespace {

constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenPauseMs = 10;

// The clipboard held open for one operation, with no window of its own: the
// recorder only reads and empties it.
class OpenClipboardScope {
public:
    OpenClipboardScope() {
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (OpenClipboard(nullptr)) {
                open_ = true;
                return;
            }
            Sleep(kOpenPauseMs);
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    ~GlobalLockScope() {
        if (data_) GlobalUnlock(memory_);
    }
    const void* data() const { return data_; }
    SIZE_T size() const { return data_ ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

void Win32RecorderClipboard::clear() {
    if (const OpenClipboardScope open; open) EmptyClipboard();
}

bool Win32RecorderClipboard::hasEnhMetafile() { return IsClipboardFormatAvailable(CF_ENHMETAFILE) != FALSE; }

bool Win32RecorderClipboard::saveEnhMetafile(const std::string& path) {
    const OpenClipboardScope open;
    if (!open) return false;
    // The clipboard keeps its own handle; the copy is ours.
    const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    if (!picture) return false;
    const std::wstring file = kq::win32::wide(path);
    const HENHMETAFILE copy = CopyEnhMetaFileW(picture, file.c_str());
    if (!copy) {
        DeleteFileW(file.c_str());
        return false;
    }
    DeleteEnhMetaFile(copy);
    return true;
}

bool Win32RecorderClipboard::hasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

std::optional<std::string> Win32RecorderClipboard::text() {
    const OpenClipboardScope open;
    if (!open) return std::nullopt;
    const GlobalLockScope lock(GetClipboardData(CF_UNICODETEXT));
    if (!lock.data()) return std::nullopt;
    const auto* chars = static_cast<const wchar_t*>(lock.data());
    // Up to the terminating NUL, and never past the block.
    const std::size_t most = lock.size() / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < most && chars[length] != L'\0') ++length;
    return kq::win32::narrow(std::wstring_view(chars, length));
}

}  // namespace kq::addin::recording::win32
