#pragma once
// The module this code is linked into: the add-in library when it runs in the
// host, the program itself in a test or tool. Window classes are registered
// for it, resources and the type library are read from it, and it counts
// what keeps its code in use.

#include "common/win32/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The linker's symbol at the start of every PE image: its address is the module's handle.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kq::win32 {

inline HMODULE thisModule() { return reinterpret_cast<HMODULE>(&__ImageBase); }

// The full path of this module's file; "" when the system cannot give it.
std::wstring thisModulePath();

// The folder of this module's file, without a trailing "\" unless it is a
// drive root; "" when the system cannot give it.
std::string thisModuleFolder();

// A text of this module's string table; empty when it has none of that id.
std::optional<std::string> loadModuleString(std::int32_t id);

// The bytes of a resource of this module, valid while the module is loaded;
// empty when it has no such resource.
std::optional<std::span<const std::byte>> moduleResource(const wchar_t* type, const wchar_t* name);

// Everything that keeps this module loaded: live COM objects (class objects
// included), the callers' server locks, and live windows, whose window
// procedures or callers' frames are this module's code. One count for the
// whole module, whichever source file holds it.
void lockModule() noexcept;
void unlockModule() noexcept;
// DllCanUnloadNow's answer: S_OK when nothing holds the module, S_FALSE otherwise.
HRESULT canUnloadModule() noexcept;
// How many of those there are now: what a count before and after some work
// tells of references that work left behind.
long moduleLocks() noexcept;

// How an open window is closed when its module is let go: a modal one ends
// its run as by Cancel, so that the code waiting on it returns; a modeless
// one is destroyed.
using CloseWindow = void (*)(HWND window) noexcept;

// A window of this module's code came (at its creation) or went (at its
// destruction): the module stays locked while it lives, and a top-level one
// is listed with how it is closed.
void windowOpened(HWND window, CloseWindow close) noexcept;
void windowClosed(HWND window) noexcept;
// Closes the listed windows of this module, newest first: a message box goes
// before the dialog it stands on. A modal window closed here ends its run
// once this returns to the loop that runs it.
void closeOpenWindows() noexcept;
// How many top-level windows are listed now.
std::size_t openWindowCount() noexcept;

// While it lives, the first top-level dialog of the system (a message box,
// the folder browser) that this thread opens is one of this module's open
// windows, closed by `close`: the code waiting on it is this module's.
class SystemDialogScope {
public:
    explicit SystemDialogScope(CloseWindow close) noexcept;
    ~SystemDialogScope();
    SystemDialogScope(const SystemDialogScope&) = delete;
    SystemDialogScope& operator=(const SystemDialogScope&) = delete;

private:
    static LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam) noexcept;

    CloseWindow close_;
    HHOOK hook_ = nullptr;
    HWND dialog_ = nullptr;
    SystemDialogScope* outer_ = nullptr;
};

}  // namespace kq::win32
