#include "addin/recording/finished_model.h"

#include <cmath>

namespace kq::addin::recording {

namespace {
constexpr int kInset = 10;
constexpr int kPadX = 16;
constexpr int kPadY = 12;
}  // namespace

PixelPoint finishedPosition(std::optional<PixelRect> hostWindow, const PixelRect& workArea, int windowHeight) {
    const PixelRect& frame = hostWindow && hostWindow->bottom > 0 ? *hostWindow : workArea;
    return {frame.left + kInset, frame.bottom - kInset - windowHeight};
}

FinishedLayout layOutFinished(int captionWidth, int captionHeight) {
    FinishedLayout out;
    out.clientWidth = captionWidth + 2 * kPadX;
    out.clientHeight = captionHeight + 2 * kPadY;
    out.Label1 = {kPadX, kPadY, kPadX + captionWidth, kPadY + captionHeight};
    out.Label2 = {0, 0, out.clientWidth, out.clientHeight};
    return out;
}

void FinishedCountdown::activate(double totalSeconds) {
    ticks_ = 0;
    total_ = totalSeconds;
}

bool FinishedCountdown::tick() {
    ++ticks_;
    return finished();
}

std::optional<int> FinishedCountdown::barWidth(int clientWidth) const {
    if (!(total_ > 0)) return std::nullopt;
    const double width = clientWidth * (1.0 - elapsed() / total_);
    if (!(width >= 0)) return std::nullopt;
    return static_cast<int>(std::lround(width));
}

}  // namespace kq::addin::recording
