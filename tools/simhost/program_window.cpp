#include "tools/simhost/program_window.h"

#include "common/win32/windows_api.h"

#include <stdexcept>

#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::simhost {

namespace {

using Clock = std::chrono::steady_clock;

// Runs the host's messages until `done` holds or the time is up.
template <typename Done>
bool pumpUntil(Clock::time_point until, Done done) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        const auto now = Clock::now();
        if (now >= until) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left < 50 ? left : 50), QS_ALLINPUT);
    }
}

HWND otherProgramsWindow(const std::wstring& windowClass) {
    for (HWND window = FindWindowExW(nullptr, nullptr, windowClass.c_str(), nullptr); window;
         window = FindWindowExW(nullptr, window, windowClass.c_str(), nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

std::string placement(HWND window, HWND host) {
    RECT at{};
    GetWindowRect(window, &at);
    RECT hostAt{};
    const bool hostShown = host && IsWindow(host) && !IsIconic(host) && GetWindowRect(host, &hostAt);
    std::string where = IsZoomed(window)                      ? "  maximized"
                        : hostShown && EqualRect(&at, &hostAt) ? "  over the host window"
                                                               : "  not over the host window";
    where += MonitorFromRect(&at, MONITOR_DEFAULTTONULL) ? ", on a screen" : ", off every screen";
    return where;
}

}  // namespace

std::vector<std::string> awaitProgramWindow(const std::wstring& windowClass, ProgramWindowStep step, HWND host,
                                            std::chrono::milliseconds limit) {
    const std::string name = win32::narrow(windowClass);
    HWND window = nullptr;
    if (!pumpUntil(Clock::now() + limit, [&] { return (window = otherProgramsWindow(windowClass)) != nullptr; })) {
        throw std::runtime_error("no window of class " + name + " came from another program");
    }
    std::vector<std::string> seen{"  a window of class " + name + " came from another program"};
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const win32::KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) throw std::runtime_error("its program cannot be watched");
    pumpUntil(Clock::now() + limit, [&] { return WaitForInputIdle(process.get(), 0) == 0; });
    seen.push_back(placement(window, host));
    if (step == ProgramWindowStep::shown) return seen;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!pumpUntil(Clock::now() + limit, [&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; })) {
        throw std::runtime_error("its program did not end after its window closed");
    }
    seen.push_back("  closed; its program ended");
    return seen;
}

}  // namespace kq::simhost
