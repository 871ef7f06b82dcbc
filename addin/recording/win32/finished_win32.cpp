#include "addin/recording/win32/finished_win32.h"

#include <memory>
#include <optional>
#include <string>

#include "addin/core/texts.h"
#include "addin/recording/finished_model.h"
#include "addin/recording/win32/window_support.h"
#include "common/win32/wide.h"

namespace kq::addin::recording::win32 {

namespace {

constexpr UINT_PTR timFinish = 1;
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
// Out of the task bar, and above every other window while it counts.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr COLORREF kBackColour = RGB(255, 255, 255);
constexpr COLORREF kBarColour = RGB(166, 202, 240);

class frmFinished {
public:
    frmFinished(HWND placeNear, double seconds) : placeNear_(placeNear), seconds_(seconds) {}
    frmFinished(const frmFinished&) = delete;
    frmFinished& operator=(const frmFinished&) = delete;

    static bool registerClass();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnActivate();
    void OnTimer();
    void paint(HDC dc) const;
    void restart();

    HWND hwnd_ = nullptr;
    HWND placeNear_;
    double seconds_;
    Font font_;
    FinishedLayout layout_;
    FinishedCountdown countdown_;
};

bool frmFinished::registerClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = kq::win32::thisModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFinishedClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK frmFinished::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        // The window owns its object from here on and deletes it when it goes.
        auto* holder = static_cast<std::unique_ptr<frmFinished>*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        frmFinished* self = holder->release();
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<frmFinished*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete self;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    try {
        return self->OnMessage(msg, wParam, lParam);
    } catch (...) {
        // A notice is not worth a failure: the countdown goes on or ends.
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT frmFinished::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) OnActivate();
            break;
        case WM_TIMER:
            if (wParam == timFinish) {
                OnTimer();
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            paint(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmFinished::OnCreate() {
    font_ = createFormFont();
    {
        WindowDc dc(hwnd_);
        SelectGuard useFont(dc.get(), font_.get());
        const SIZE caption = lineExtent(dc.get(), kq::win32::wide(texts::kFinishedCaption));
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

    SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, outer.right - outer.left, height, SWP_NOACTIVATE);
    // Counting starts with the window, whether or not the system lets it be
    // activated; every activation then starts it again.
    restart();
}

void frmFinished::OnActivate() { restart(); }

void frmFinished::restart() {
    countdown_.activate(seconds_);
    SetTimer(hwnd_, timFinish, FinishedCountdown::kIntervalMs, nullptr);
    layout_.Label2.right = layout_.clientWidth;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void frmFinished::OnTimer() {
    const bool done = countdown_.tick();
    if (const std::optional<int> width = countdown_.barWidth(layout_.clientWidth)) {
        layout_.Label2.right = layout_.Label2.left + *width;
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    if (done) {
        KillTimer(hwnd_, timFinish);
        DestroyWindow(hwnd_);
    }
}

void frmFinished::paint(HDC target) const {
    // Drawn off screen first: the bar changes a hundred times a second.
    MemoryDc dc(target);
    Bitmap canvas(CreateCompatibleBitmap(target, layout_.clientWidth, layout_.clientHeight));
    if (!dc.get() || !canvas) return;
    SelectGuard useCanvas(dc.get(), canvas.get());

    const RECT all{0, 0, layout_.clientWidth, layout_.clientHeight};
    const Brush back(CreateSolidBrush(kBackColour));
    FillRect(dc.get(), &all, back.get());
    const RECT bar{layout_.Label2.left, layout_.Label2.top, layout_.Label2.right, layout_.Label2.bottom};
    const Brush barBrush(CreateSolidBrush(kBarColour));
    FillRect(dc.get(), &bar, barBrush.get());

    SelectGuard useFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    RECT label{layout_.Label1.left, layout_.Label1.top, layout_.Label1.right, layout_.Label1.bottom};
    DrawTextW(dc.get(), kq::win32::wide(texts::kFinishedCaption).c_str(), -1, &label,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);

    BitBlt(target, 0, 0, layout_.clientWidth, layout_.clientHeight, dc.get(), 0, 0, SRCCOPY);
}

}  // namespace

void ShowFinished(HWND placeNear, double seconds) {
    if (!frmFinished::registerClass()) return;
    auto form = std::make_unique<frmFinished>(placeNear, seconds);
    HWND hwnd = CreateWindowExW(kExStyle, kFinishedClass, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                                nullptr, kq::win32::thisModule(), &form);
    // A window that failed before taking its object leaves it here to be freed.
    if (hwnd) ShowWindow(hwnd, SW_SHOW);
}

}  // namespace kq::addin::recording::win32
