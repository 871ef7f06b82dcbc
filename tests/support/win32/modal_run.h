#pragma once
// Drives a modal run step by step, as a user would, while the code under
// test sits in its window's message loop: each step waits until its window
// stands (visible and enabled: a window a message box disables is not yet
// the user's to act on), then acts on it once. A thread timer looks, so each
// step sees the window after the messages of the step before have run.

#include "common/win32/windows_api.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/win32/window_driver.h"

namespace kq::test {

struct Step {
    Step(WindowQuery query, std::function<void(HWND)> action, std::function<bool(HWND)> isReady = {})
        : window(std::move(query)), act(std::move(action)), ready(std::move(isReady)) {}
    // A step on the window of that caption.
    Step(std::string caption, std::function<void(HWND)> action)
        : Step(WindowQuery{.caption = std::move(caption)}, std::move(action)) {}

    WindowQuery window;
    std::function<void(HWND)> act;
    // What else the step waits for, when more than its window standing.
    std::function<bool(HWND)> ready;
};
// A step on the window of that class (the forms' "KqForm", message boxes' "#32770").
Step onClass(std::wstring windowClass, std::function<void(HWND)> act);
// Chooses from the popup menu a step before has opened (see pickFromMenu).
Step pickFromMenuStep(std::vector<std::string> captions);

struct RunOptions {
    // Answers with OK every message box that shows, keeping what each said.
    bool answerBoxes = false;
    // How long a step's window may take to come, and the last one to go.
    std::chrono::milliseconds patience = kPatience;
};

struct ModalRun {
    bool finished = false;            // every step ran and the run ended by itself
    std::size_t stepsLeft = 0;
    std::vector<std::string> boxes{};  // what the answered message boxes said, in order
};

// Runs `modal` while the steps act. When a step's window does not come, or
// the last one stays, the windows still open are closed so that `modal`
// returns, and the run is not finished.
ModalRun runModal(const std::function<void()>& modal, std::vector<Step> steps, RunOptions options = {});

}  // namespace kq::test
