#include "addin/recording/win32/finished_win32.h"

#include <memory>
#include <optional>

#include "addin/core/texts.h"
#include "addin/recording/finished_model.h"
#include "common/win32/buffered_paint_window.h"
#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/window.h"

namespace kq::addin::recording::win32 {

namespace {

using namespace kq::win32;

constexpr UINT_PTR timFinish = 1;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
// Out of the task bar, and above every other window while it counts.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr COLORREF kBackColour = RGB(255, 255, 255);
constexpr COLORREF kBarColour = RGB(166, 202, 240);

// Drawn off screen: the bar changes a hundred times a second.
class frmFinished final : public BufferedPaintWindow {
public:
    frmFinished(HWND placeNear, double seconds) : placeNear_(placeNear), seconds_(seconds) {}

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnTimer(UINT_PTR id) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc, const RECT& client) override;
    void restart();

    HWND placeNear_;
    double seconds_;
    Font font_;
    FinishedLayout layout_;
    FinishedCountdown countdown_;
};

bool frmFinished::OnCreate(const CREATESTRUCTW&) {
    font_ = createFormFont();
    {
        const WindowDc dc = windowDc(hwnd());
        const Selection useFont = selectObject(dc.get(), font_.get());
        const SIZE caption = lineExtent(dc.get(), wide(texts::kFinishedCaption));
        layout_ = layOutFinished(caption.cx, caption.cy);
    }
    RECT outer{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int height = outer.bottom - outer.top;

    std::optional<PixelRect> host;
    RECT r;
    if (placeNear_ && GetWindowRect(placeNear_, &r)) host = PixelRect{r.left, r.top, r.right, r.bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(placeNear_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const PixelPoint at = finishedPosition(host, {work.left, work.top, work.right, work.bottom}, height);

    SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, outer.right - outer.left, height, SWP_NOACTIVATE);
    // Counting starts with the window, whether or not the system lets it be
    // activated; every activation then starts it again.
    restart();
    return true;
}

std::optional<LRESULT> frmFinished::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) restart();
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void frmFinished::restart() {
    countdown_.activate(seconds_);
    SetTimer(hwnd(), timFinish, FinishedCountdown::kIntervalMs, nullptr);
    layout_.Label2.right = layout_.clientWidth;
    InvalidateRect(hwnd(), nullptr, FALSE);
}

bool frmFinished::OnTimer(UINT_PTR id) {
    if (id != timFinish) return false;
    const bool done = countdown_.tick();
    if (const std::optional<int> width = countdown_.barWidth(layout_.clientWidth)) {
        layout_.Label2.right = layout_.Label2.left + *width;
        InvalidateRect(hwnd(), nullptr, FALSE);
    }
    if (done) {
        KillTimer(hwnd(), timFinish);
        // The window owns this object: nothing of it is touched after this.
        end(0);
    }
    return true;
}

void frmFinished::paint(HDC dc, const RECT& client) {
    const Brush back(CreateSolidBrush(kBackColour));
    FillRect(dc, &client, back.get());
    const RECT bar{layout_.Label2.left, layout_.Label2.top, layout_.Label2.right, layout_.Label2.bottom};
    const Brush barBrush(CreateSolidBrush(kBarColour));
    FillRect(dc, &bar, barBrush.get());

    const Selection useFont = selectObject(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT label{layout_.Label1.left, layout_.Label1.top, layout_.Label1.right, layout_.Label1.bottom};
    DrawTextW(dc, kq::win32::wide(texts::kFinishedCaption).c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
}

}  // namespace

void ShowFinished(HWND placeNear, double seconds) {
    const HWND hwnd = Window::createOwned(std::make_unique<frmFinished>(placeNear, seconds), {.name = kFinishedClass},
                                          {.style = kStyle, .exStyle = kExStyle});
    if (hwnd) ShowWindow(hwnd, SW_SHOW);
}

}  // namespace kq::addin::recording::win32
