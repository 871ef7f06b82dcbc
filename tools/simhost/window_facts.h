#pragma once
// What simhost reads of windows, from any thread: texts, classes, the
// controls of a window, and whether a window is a message box.

#include "common/win32/windows_api.h"

#include <string>
#include <vector>

namespace kq::simhost {

// Sends to a window of another thread without waiting for long: a window its
// thread is not serving (a modeless one while the host is busy) gives 0.
LRESULT ask(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0);

std::string windowText(HWND window);
std::string className(HWND window);
// A caption as shown, without the "&" that marks the access key.
std::string plainCaption(std::string caption);
// Whether `name` names a control of that caption: as shown, or without the
// access key that follows it in brackets ("通知する" for "通知する(&T)").
bool captionNamed(const std::string& caption, const std::string& name);
bool isCheckBox(HWND control);

// Every control of the window, each followed by its own controls, in the
// order the keyboard walks them.
std::vector<HWND> controlsOf(HWND window);

// A message box: a dialog of the system's dialog class that holds nothing but
// texts, icons and buttons. A window with a box to type into or choose from is
// an add-in's own dialog, which only a script's dialog lines act on.
bool isMessageBox(HWND window);

// This process's visible top-level windows that are message boxes.
std::vector<HWND> messageBoxesOfThisProcess();

}  // namespace kq::simhost
