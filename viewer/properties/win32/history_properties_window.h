#pragma once
// The properties of a history (the file menu's "プロパティ(&R)") in a new
// property window shown modally over `owner`, the main window. A card's are
// read by the browser and shown in the same window.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>

#include "common/file_system.h"

namespace kq::viewer::win32 {

// What the properties take from the system; a test gives its own.
struct PropertyServices {
    FileSystem* files = nullptr;   // the system's when null
    std::function<void()> help{};  // F1: the viewer's help command when empty
};

// The properties of the history at `path` (the current row's key). When
// there is no such file the system beep sounds, no window opens, and the
// result is false.
bool showHistoryProperties(HWND owner, const std::string& path, const PropertyServices& services = {});

}  // namespace kq::viewer::win32
