#pragma once
// Form designs are measured in twips (1/1440 inch); the models of the forms
// give their controls' places in them, the windows turn them into pixels.

namespace kq {

// A control's place on its container, in twips.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const TwipsRect&) const = default;
};

}  // namespace kq
