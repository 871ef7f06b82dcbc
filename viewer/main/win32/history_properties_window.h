#pragma once
// The properties of a history (the file menu's "プロパティ(&R)") and of a card
// (the card menu's), each in a new property window shown modally over
// `owner`, the main window.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>

#include "common/file_system.h"
#include "viewer/shell/card.h"

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

// The properties of a card: its file count, the histories with errors, and
// its first and last print.
void showCardProperties(HWND owner, const Card& card, const PropertyServices& services = {});

}  // namespace kq::viewer::win32
