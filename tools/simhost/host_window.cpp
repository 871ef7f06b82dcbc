#include "tools/simhost/host_window.h"

#include "common/win32/wide.h"
#include "host/host.h"

namespace kq::simhost {

namespace {

// The class name of the host's main window, by which add-ins look for it.
constexpr wchar_t kHostClass[] = L"XLMAIN";
constexpr UINT_PTR kBeatTimer = 1;
constexpr UINT kBeatMs = 20;

}  // namespace

HostWindow::HostWindow(std::function<void()> beat) : beat_(std::move(beat)) {}

HostWindow::~HostWindow() {
    if (hwnd()) KillTimer(hwnd(), kBeatTimer);
}

bool HostWindow::open(const std::string& caption) {
    if (hwnd()) {
        setCaption(caption);
        return true;
    }
    if (!Window::registerClass({.name = kHostClass, .background = GetSysColorBrush(COLOR_APPWORKSPACE)})) return false;
    const HWND window = create({.windowClass = kHostClass,
                                .text = win32::wide(caption),
                                .style = WS_OVERLAPPEDWINDOW,
                                .x = 0,
                                .y = 0,
                                .width = 1024,
                                .height = 768});
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return true;
}

void HostWindow::setCaption(const std::string& caption) {
    if (hwnd()) SetWindowTextW(hwnd(), win32::wide(caption).c_str());
}

void HostWindow::showState(std::int32_t windowState) {
    if (!hwnd()) return;
    ShowWindow(hwnd(), windowState == host::xlMinimized   ? SW_MINIMIZE
                       : windowState == host::xlMaximized ? SW_MAXIMIZE
                                                          : SW_RESTORE);
}

bool HostWindow::OnCreate(const CREATESTRUCTW&) {
    SetTimer(hwnd(), kBeatTimer, kBeatMs, nullptr);
    return true;
}

bool HostWindow::OnTimer(UINT_PTR id) {
    if (id != kBeatTimer) return false;
    if (beat_) beat_();
    return true;
}

// The host closes when the script says so, never from its title bar.
bool HostWindow::OnClose() { return true; }

}  // namespace kq::simhost
