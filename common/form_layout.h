#pragma once
// Form designs are measured in twips (1/1440 inch); the models of the forms
// give their controls' places in them, the windows turn them into pixels.

#include <cmath>

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

// Twips to pixels and back, to the nearest whole number, at the screen's
// twips per pixel along each axis (the Windows layer reads the screen's; 15,
// that is 96 dots per inch, where nothing says otherwise).
class Twips {
public:
    Twips() = default;
    Twips(double perPixelX, double perPixelY) : perPixelX_(perPixelX), perPixelY_(perPixelY) {}

    int x(double twips) const { return round(twips / perPixelX_); }
    int y(double twips) const { return round(twips / perPixelY_); }
    int fromX(int pixels) const { return round(pixels * perPixelX_); }
    int fromY(int pixels) const { return round(pixels * perPixelY_); }
    double perPixelX() const { return perPixelX_; }
    double perPixelY() const { return perPixelY_; }

private:
    static int round(double value) { return static_cast<int>(std::lround(value)); }

    double perPixelX_ = 15;
    double perPixelY_ = 15;
};

}  // namespace kq
