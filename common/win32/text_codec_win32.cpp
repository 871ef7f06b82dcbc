// The ANSI codec on Windows: the system's ANSI code page (932 on Japanese Windows).

#include "common/text_codec.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

#include <climits>
#include <string>

namespace kq {
namespace win32 {

std::wstring wide(std::string_view utf8) {
    const std::u16string u16 = utf8ToUtf16(utf8);
    return std::wstring(u16.begin(), u16.end());
}

std::string narrow(std::wstring_view utf16) {
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

}  // namespace win32

namespace {

class AcpCodec final : public AnsiCodec {
    // The system's own conversion, best-fit forms included: a stored history
    // holds the bytes every other program on the machine would write, the yen
    // sign as 0x5C, which Japanese fonts show as the yen sign.
    static constexpr DWORD kFlags = 0;

public:
    std::string toAnsi(std::string_view utf8) const override {
        std::wstring w = win32::wide(utf8);
        // The code page holds no character outside the basic plane: one "?" for
        // each, not one per surrogate.
        std::erase_if(w, [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; });
        if (w.empty() || w.size() > INT_MAX / 2) {
            return {};
        }
        const int n =
            WideCharToMultiByte(CP_ACP, kFlags, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
        if (n > 0) {
            WideCharToMultiByte(CP_ACP, kFlags, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
        }
        return out;
    }
    std::string fromAnsi(std::string_view ansi) const override {
        if (ansi.empty() || ansi.size() > INT_MAX) {
            return {};
        }
        const int len = static_cast<int>(ansi.size());
        const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), len, nullptr, 0);
        std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0) {
            MultiByteToWideChar(CP_ACP, 0, ansi.data(), len, w.data(), n);
        }
        return win32::narrow(w);
    }
    bool isLeadByte(unsigned char b) const override { return IsDBCSLeadByte(b) != FALSE; }
};

}  // namespace

const AnsiCodec& systemAnsiCodec() {
    static const AcpCodec codec;
    return codec;
}

}  // namespace kq
