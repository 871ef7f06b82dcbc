#pragma once
// Pictures of the test's windows, for checking pixels and for review.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kq::addin::recording::test {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The client area as the window paints it into a memory DC (WM_PRINTCLIENT).
Picture printClient(HWND hwnd);
// The whole window, frame included, as it stands on the screen.
Picture captureWindow(HWND hwnd);
// Writes a 24-bit BMP under the screenshot folder; false when it can't.
bool saveBmp(const Picture& picture, const std::wstring& fileName);

}  // namespace kq::addin::recording::test
