#include "common/win32/letter_case_win32.h"

#include "common/win32/windows_api.h"

#include "common/win32/wide.h"

namespace kq::win32 {

std::string systemUpperCase(std::string_view utf8) {
    std::wstring text = wide(utf8);
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return narrow(text);
}

}  // namespace kq::win32
