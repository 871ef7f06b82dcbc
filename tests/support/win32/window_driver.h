#pragma once
// Drives real windows as a user would and reads what they show: the one
// driver of every window test and of simhost's dialog lines.
//
// Keys and mouse clicks go in as the keyboard's and the mouse's do (the
// system's input queue): they reach the window with the focus, or the one
// under the pointer, through its thread's own message loop, which makes
// characters of keys and help of F1 as it does for a user. They arrive once
// the thread next takes its messages, after what was posted before them, so
// a test checks their effect in a later step. A button's click is posted as
// the button's own message; a paste replaces a box's text at once.
//
// Nothing here sleeps for a fixed time: what a test waits for it waits for as
// a condition, within a bound, with the thread's messages running.

#include "common/win32/windows_api.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/handles.h"

namespace kq::test {

// How long a driver waits for what a user would see come at once.
inline constexpr std::chrono::milliseconds kPatience{10000};

// ---- Finding windows

struct WindowQuery {
    std::string caption{};       // the caption, exactly; any when empty
    std::wstring windowClass{};  // any when empty ("#32770" message boxes, "#32768" menus)
    bool anyThread = false;     // the top-level windows of every thread of this process, or of this thread
    bool visibleOnly = true;
};
// The top-level windows that answer the query, topmost first.
std::vector<HWND> findWindows(const WindowQuery& query);
// The first of them; null when none.
HWND findWindow(const WindowQuery& query);
// The popup menu open on the screen; null when none.
HWND openMenu();
// Every control below the window, each followed by its own, in the order the keyboard walks them.
std::vector<HWND> controlsOf(HWND window);
// A control anywhere below the window, by its id or its class ("Edit"); null when none.
HWND control(HWND window, int id);
HWND controlOfClass(HWND window, const std::string& windowClass);

// A plain window, such as a stand-in for the host's main window; destroyed with its owner.
win32::OwnedWindow plainWindow(const wchar_t* title, RECT at, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               const wchar_t* windowClass = L"STATIC");

// ---- Reading windows; safe from any thread of the process

// Sends without waiting long: a window whose thread is busy elsewhere gives 0.
LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::string textOf(HWND window);
std::string classOf(HWND window);
// A caption as shown, without the "&" that marks its access key.
std::string plainCaption(const std::string& caption);
// Whether `name` names a control of that caption: as shown, or without the
// access key that follows it in brackets ("通知する" for "通知する(&T)").
bool captionNamed(const std::string& caption, const std::string& name);
bool isCheckBox(HWND control);
bool isTicked(HWND checkBox);
// A control's rectangle in the client pixels of `window` (its top-level window when null).
RECT placeIn(HWND control, HWND window = nullptr);
// The entries of a list box or combo box.
std::vector<std::string> entriesOf(HWND listOrCombo);
// The rows of a list view, each with its columns' texts.
std::vector<std::vector<std::string>> rowsOf(HWND listView);
// The caption of a tree view's selected item; empty when none.
std::string selectedIn(HWND treeView);
// The panels' texts of a status bar.
std::vector<std::string> panelsOf(HWND statusBar);
// The captions of a menu, a separator as "-".
std::vector<std::string> itemsOf(HMENU menu);

// A message box: a dialog of the system's dialog class that holds nothing but
// texts, icons and buttons (a window with a box to type into is a dialog).
bool isMessageBox(HWND window);
std::vector<HWND> messageBoxesOfThisProcess();
// What the box says: its longest text.
std::string messageOf(HWND box);

// ---- Acting as a user

struct Key {
    UINT vk = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};
// Brings the control's window to the front and gives it the focus; null leaves the focus where it is.
void focus(HWND control);
// Strikes the keys, in order, at `control` (focused first) or, when null,
// wherever the focus is (a menu open on the screen takes them).
void pressKeys(HWND control, const std::vector<Key>& keys);
// Types each character of the text as a key.
void typeText(HWND control, const std::string& text);
// Focuses the box, selects its text and replaces it as a paste does.
void paste(HWND box, const std::string& text);
// A button's click, posted: it runs in the window's own loop.
void click(HWND button);
// A mouse button pressed and let go at a point of the window's client area
// (the right one opens context menus).
enum class MouseButton { left, right };
void clickAt(HWND window, POINT client, MouseButton button = MouseButton::left);
// The left button pressed at one point and let go at another, as a splitter is dragged.
void drag(HWND window, POINT from, POINT to);
// One step of a drag that the test paces itself, checking between steps:
// the left button pressed, the pointer moved with it held, or the button let
// go, at a point of the window's client area (which may lie outside it).
enum class DragStep { press, move, release };
void dragStep(HWND window, POINT client, DragStep step);
// Chooses the entry of a list box or combo box as a click does.
void choose(HWND listOrCombo, int index);
// Presses the button of that id in a message box or dialog.
void answer(HWND box, int buttonId);
// The close box of the window's title bar.
void closeBox(HWND window);
// Chooses from the popup menu open on the screen by the items' captions, a
// submenu's caption first; false (and nothing chosen) when one is missing.
bool pickFromMenu(const std::vector<std::string>& captions);

// ---- Waiting

// Runs this thread's messages until the condition holds; false when it did not within `limit`.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = kPatience);

// ---- Pictures

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels{};  // 0x00RRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// The client area as the window paints it into a memory DC (WM_PRINTCLIENT).
Picture printClient(HWND window);
// The whole window, frame included, as it stands on the screen once all of it has been painted anew.
Picture captureWindow(HWND window);
// The whole window as the user sees it now: only what the window itself has
// left to paint is painted first.
Picture captureAsShown(HWND window);
// A PNG file at `path`; a bare file name goes to the build's screenshot folder.
bool savePng(const Picture& picture, const std::string& path);
// The window as it stands on the screen, as a PNG file (see savePng).
bool screenshot(HWND window, const std::string& path);

}  // namespace kq::test
