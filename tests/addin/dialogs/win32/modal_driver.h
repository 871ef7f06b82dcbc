#pragma once
// Drives modal windows from a thread timer while the code under test sits in
// their message loops, as a user would: each step waits until a visible
// window of this thread with its caption shows, then acts on it. Actions post
// their clicks, so that what a click starts runs in the window's own loop.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>
#include <vector>

#include "tests/addin/recording/win32/window_capture.h"

namespace kq::addin::dialogs::test {

struct DriveStep {
    std::string caption;  // the window's caption, exactly
    std::function<void(HWND)> act;
};

// Runs `modal` while the steps act; false when a step's window never showed
// (the windows still open are then closed, so that `modal` returns).
bool drive(const std::function<void()>& modal, std::vector<DriveStep> steps);

// The visible top-level window of this thread with that caption; null when none.
HWND windowCaptioned(const std::string& caption);

// What a user does, by window messages.
void click(HWND control);  // posted: runs in the window's loop
void type(HWND edit, const std::string& text);
void key(HWND window, UINT vk);
std::string textOf(HWND window);
// A control's rectangle in its top-level window's client pixels.
RECT placeIn(HWND control);

// Saves the window as it stands on the screen under the build's screenshot folder.
bool screenshot(HWND window, const std::wstring& fileName);

// Picks from the popup menu a click has opened: the keys, in order, once the
// menu shows (VK_DOWN, VK_RIGHT, VK_RETURN...).
DriveStep menuKeys(std::vector<UINT> keys);

}  // namespace kq::addin::dialogs::test
