#pragma once
// What the viewer's models tell their windows to draw: rectangles in twips,
// colours, fonts.

#include <cstdint>
#include <string_view>

namespace kq::viewer {

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct FontSpec {
    std::string_view face;
    int points = 9;
    bool bold = false;
    int charset = 128;  // Shift-JIS
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

}  // namespace kq::viewer
