#pragma once
// Plain windows for Windows tests, such as a stand-in for the host's main
// window; each is destroyed with its owner.

#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/windows_api.h"

namespace kq::test {

inline win32::OwnedWindow plainWindow(const wchar_t* title, RECT at, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      const wchar_t* windowClass = L"STATIC") {
    return win32::OwnedWindow(CreateWindowExW(0, windowClass, title, style, at.left, at.top, at.right - at.left,
                                              at.bottom - at.top, nullptr, nullptr, win32::thisModule(), nullptr));
}

}  // namespace kq::test
