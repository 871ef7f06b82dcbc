#pragma once
// Another program's window that a command of the add-in brought up (the
// viewer its history command starts): waited for, and closed as a user
// would, so that a scenario never leaves a program running behind it.

#include "common/win32/windows_api.h"

#include <chrono>
#include <string>
#include <vector>

namespace kq::simhost {

enum class ProgramWindowStep { shown, closed };

// Waits up to `limit` for a visible top-level window of `windowClass` that
// belongs to another process and lets that program finish what it does at
// start (until it waits for input), and tells where the window stands: over
// the host's window `host` or not, on a screen or not. For `closed` it then
// closes the window as its close box does and waits for its program to end.
// The host's own messages keep flowing meanwhile. Gives what it saw for the
// transcript; throws std::runtime_error when no window comes or the program
// does not end.
std::vector<std::string> awaitProgramWindow(const std::wstring& windowClass, ProgramWindowStep step, HWND host,
                                            std::chrono::milliseconds limit);

}  // namespace kq::simhost
