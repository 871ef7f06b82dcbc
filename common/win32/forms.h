#pragma once
// What the forms of the add-in share: their font, the screen's twips per
// pixel (form designs are measured in twips), and the size of a line of text.

#include "common/win32/handles.h"
#include "common/win32/windows_api.h"

#include <string_view>

namespace kq::win32 {

// "MS UI Gothic" 9 pt, Shift-JIS: the font of every form of the add-in.
Font createFormFont();

struct TwipsPerPixel {
    double x = 15;
    double y = 15;
};
// The screen's; 15 on an axis whose resolution the screen does not tell.
TwipsPerPixel screenTwipsPerPixel();

// Twips to pixels and back along one axis, to the nearest whole number.
int twipsToPixels(int twips, double twipsPerPixel);
int pixelsToTwips(int pixels, double twipsPerPixel);

// Size in pixels of one line drawn as a static control draws it.
SIZE lineExtent(HDC dc, std::wstring_view text);

}  // namespace kq::win32
