#pragma once
// The saved notice, as decisions: where it opens, how it is laid out, and
// its countdown. The countdown is counted in timer ticks, never read from a
// clock, so a slow timer stretches the notice instead of cutting it short.

#include <optional>

namespace kq::addin::recording {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Outer top-left corner of a notice `windowHeight` high: 10 pixels inside the
// lower-left corner of the host window, or of the work area when there is no
// host window or its bottom edge is not below the screen's top.
PixelPoint finishedPosition(std::optional<PixelRect> hostWindow, const PixelRect& workArea, int windowHeight);

struct FinishedLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    PixelRect Label1;  // the caption
    PixelRect Label2;  // the bar, at its full width
};

FinishedLayout layOutFinished(int captionWidth, int captionHeight);

class FinishedCountdown {
public:
    static constexpr int kIntervalMs = 10;

    // Every activation starts the count again from a full bar.
    void activate(double totalSeconds);
    // One timer tick; true when the notice is to close.
    bool tick();

    double elapsed() const { return ticks_ * static_cast<double>(kIntervalMs) / 1000.0; }
    double total() const { return total_; }
    bool finished() const { return elapsed() >= total_; }
    // The bar's width for a client area `clientWidth` wide; none when there is
    // no sound width (no total time, or time already past it), and the bar
    // then keeps the width it has.
    std::optional<int> barWidth(int clientWidth) const;

private:
    long ticks_ = 0;
    double total_ = 0;
};

}  // namespace kq::addin::recording
