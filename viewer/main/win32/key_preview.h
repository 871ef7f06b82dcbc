#pragma once
// Keys a window answers wherever the focus is inside it (F1 and F5 of the
// main window, even in its filter box): the key is taken from the thread's
// queue before any loop hands it to the focused control, and comes to the
// window instead as a message of its own. Every loop of the thread sees it
// so, the program's own and any other that runs the window's messages.

#include "common/win32/windows_api.h"

#include <initializer_list>
#include <vector>

#include "common/win32/handles.h"

namespace kq::viewer::win32 {

// What the window receives for a previewed key: wParam is the virtual key.
inline constexpr UINT kPreviewedKey = WM_APP + 0x51;

class KeyPreview {
public:
    // Only one window of a thread previews keys at a time; a later one takes
    // over until it goes.
    KeyPreview(HWND window, std::initializer_list<UINT> keys);
    ~KeyPreview();
    KeyPreview(const KeyPreview&) = delete;
    KeyPreview& operator=(const KeyPreview&) = delete;

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    bool takes(const MSG& msg) const;

    HWND window_;
    std::vector<UINT> keys_;
    KeyPreview* previous_;
    kq::win32::WindowsHook hook_;
};

}  // namespace kq::viewer::win32
