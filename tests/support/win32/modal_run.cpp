#include "tests/support/win32/modal_run.h"

#include <deque>
#include <set>

namespace kq::test {

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    std::deque<Step> steps;
    RunOptions options;
    std::vector<std::string> boxes{};
    std::set<HWND> answered{};
    Clock::time_point since = Clock::now();  // the last step ran, or the run began
    bool stuck = false;
};
Run* g_run = nullptr;

bool standing(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

HWND windowOf(const Step& step) {
    for (HWND window : findWindows(step.window)) {
        if (standing(window) && (!step.ready || step.ready(window))) return window;
    }
    return nullptr;
}

// Closes what is still open, so that the code under test returns.
void closeEverything() {
    EndMenu();
    for (HWND window : findWindows({})) {
        if (IsWindowEnabled(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

bool answeredABox(Run& run) {
    if (!run.options.answerBoxes) return false;
    for (HWND box : findWindows({.windowClass = L"#32770"})) {
        if (!isMessageBox(box) || !run.answered.insert(box).second) continue;
        run.boxes.push_back(messageOf(box));
        answer(box, IDOK);
        return true;
    }
    return false;
}

// A named callback, not a lambda: the i686 build needs the system's calling convention.
void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    Run& run = *g_run;
    if (run.stuck) {
        closeEverything();
        return;
    }
    if (answeredABox(run)) return;
    if (Clock::now() - run.since > run.options.patience) {
        run.stuck = true;
        closeEverything();
        return;
    }
    if (run.steps.empty()) return;
    const HWND window = windowOf(run.steps.front());
    if (!window) return;
    const Step step = std::move(run.steps.front());
    run.steps.pop_front();
    run.since = Clock::now();
    step.act(window);
}

}  // namespace

Step onClass(std::wstring windowClass, std::function<void(HWND)> act) {
    return {WindowQuery{.windowClass = std::move(windowClass)}, std::move(act)};
}

Step pickFromMenuStep(std::vector<std::string> captions) {
    return onClass(L"#32768", [captions = std::move(captions)](HWND) {
        // A missing item ends the run as a window that never came does.
        if (!pickFromMenu(captions)) g_run->stuck = true;
    });
}

ModalRun runModal(const std::function<void()>& modal, std::vector<Step> steps, RunOptions options) {
    Run run{.steps = {std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end())},
            .options = options};
    Run* const outer = g_run;
    g_run = &run;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, tick);
    modal();
    KillTimer(nullptr, timer);
    g_run = outer;
    return {.finished = !run.stuck && run.steps.empty(), .stepsLeft = run.steps.size(), .boxes = std::move(run.boxes)};
}

}  // namespace kq::test
