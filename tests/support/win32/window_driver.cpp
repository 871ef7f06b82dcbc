#include "tests/support/win32/window_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "common/win32/bitmaps.h"
#include "common/win32/message_loop.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "tests/support/png_file.h"

namespace kq::test {

namespace {

using win32::narrow;
using win32::wide;

constexpr wchar_t kMenuClass[] = L"#32768";

struct Search {
    const WindowQuery& query;
    std::vector<HWND> found;
};

bool answers(HWND window, const WindowQuery& query) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return false;
    // A menu's window may belong to another thread of the process than the one that opened it.
    const bool menu = query.windowClass == kMenuClass;
    if (!query.anyThread && !menu && thread != GetCurrentThreadId()) return false;
    if (query.visibleOnly && !IsWindowVisible(window)) return false;
    if (!query.windowClass.empty() && wide(classOf(window)) != query.windowClass) return false;
    return query.caption.empty() || textOf(window) == query.caption;
}

BOOL CALLBACK collectAnswering(HWND window, LPARAM search) {
    auto& s = *reinterpret_cast<Search*>(search);
    if (answers(window, s.query)) s.found.push_back(window);
    return TRUE;
}

void addControls(HWND parent, std::vector<HWND>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        addControls(child, out);
    }
}

std::string stringOfSize(const std::function<void(std::wstring&)>& fill, LRESULT length) {
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    fill(text);
    text.resize(static_cast<std::size_t>(length));
    return narrow(text.c_str());
}

// Holds the modifiers down around the key, as a hand does.
void addKey(std::vector<INPUT>& inputs, WORD vk, WORD unit, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = unit;
    in.ki.dwFlags = flags;
    inputs.push_back(in);
}

void send(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A point of the window's client area as the mouse's absolute coordinates
// (0 to 65535 across the screen); its window is brought to the front first.
INPUT mouseAt(HWND window, POINT client, DWORD flags) {
    const HWND root = GetAncestor(window, GA_ROOT);
    if (GetForegroundWindow() != root) SetForegroundWindow(root);
    POINT screen = client;
    ClientToScreen(window, &screen);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
    in.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

struct Canvas {
    win32::DeviceContext dc = win32::memoryDc(nullptr);
    std::uint32_t* bits = nullptr;  // before the bitmap, which sets it
    win32::Bitmap bitmap;
    int width;
    int height;

    Canvas(int w, int h) : bitmap(w > 0 && h > 0 ? win32::topDownBitmap(w, h, bits) : win32::Bitmap()), width(w), height(h) {}

    Picture picture() const {
        Picture p;
        if (!bits) return p;
        p.width = width;
        p.height = height;
        p.pixels.assign(bits, bits + static_cast<std::size_t>(width) * height);
        for (auto& v : p.pixels) v &= 0xFFFFFF;
        return p;
    }
};

bool writeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    if (const auto slash = path.find_last_of(L"\\/"); slash != std::wstring::npos) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::vector<HWND> findWindows(const WindowQuery& query) {
    Search search{query, {}};
    EnumWindows(collectAnswering, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findWindow(const WindowQuery& query) {
    const std::vector<HWND> found = findWindows(query);
    return found.empty() ? nullptr : found.front();
}

HWND openMenu() { return findWindow({.windowClass = kMenuClass}); }

std::vector<HWND> controlsOf(HWND window) {
    std::vector<HWND> controls;
    addControls(window, controls);
    return controls;
}

HWND control(HWND window, int id) {
    for (HWND c : controlsOf(window)) {
        if (GetDlgCtrlID(c) == id) return c;
    }
    return nullptr;
}

HWND controlOfClass(HWND window, const std::string& windowClass) {
    for (HWND c : controlsOf(window)) {
        if (classOf(c) == windowClass) return c;
    }
    return nullptr;
}

win32::OwnedWindow plainWindow(const wchar_t* title, RECT at, DWORD style, const wchar_t* windowClass) {
    return win32::OwnedWindow(CreateWindowExW(0, windowClass, title, style, at.left, at.top, at.right - at.left,
                                              at.bottom - at.top, nullptr, nullptr, win32::thisModule(), nullptr));
}

LRESULT ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 2000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::string textOf(HWND window) {
    return stringOfSize(
        [window](std::wstring& text) {
            ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        },
        ask(window, WM_GETTEXTLENGTH));
}

std::string classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return narrow(name);
}

std::string plainCaption(const std::string& caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

bool captionNamed(const std::string& caption, const std::string& name) {
    if (plainCaption(caption) == name) return true;
    // "...(&K)": four characters of access key after the name.
    const std::size_t open = caption.size() >= 4 ? caption.size() - 4 : std::string::npos;
    return open != std::string::npos && caption.compare(open, 2, "(&") == 0 && caption.back() == ')' &&
           plainCaption(caption.substr(0, open)) == name;
}

bool isCheckBox(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return classOf(control) == "Button" &&
           (style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE || style == BS_AUTO3STATE);
}

bool isTicked(HWND checkBox) { return ask(checkBox, BM_GETCHECK) == BST_CHECKED; }

RECT placeIn(HWND control, HWND window) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window ? window : GetAncestor(control, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<std::string> entriesOf(HWND listOrCombo) {
    const bool combo = classOf(listOrCombo) == "ComboBox";
    std::vector<std::string> entries;
    const LRESULT count = ask(listOrCombo, combo ? CB_GETCOUNT : LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        entries.push_back(stringOfSize(
            [&](std::wstring& text) {
                ask(listOrCombo, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
            },
            ask(listOrCombo, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index)));
    }
    return entries;
}

// Read in this thread's memory: list views and status bars of this process only.
std::vector<std::vector<std::string>> rowsOf(HWND listView) {
    const auto header = reinterpret_cast<HWND>(ask(listView, LVM_GETHEADER));
    const LRESULT columns = std::max<LRESULT>(1, header ? ask(header, HDM_GETITEMCOUNT) : 1);
    std::vector<std::vector<std::string>> rows;
    const LRESULT count = ask(listView, LVM_GETITEMCOUNT);
    for (LRESULT row = 0; row < count; ++row) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (LRESULT column = 0; column < columns; ++column) {
            wchar_t text[1024] = {};
            LVITEMW item{};
            item.iSubItem = static_cast<int>(column);
            item.pszText = text;
            item.cchTextMax = static_cast<int>(std::size(text));
            ask(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            cells.push_back(narrow(text));
        }
    }
    return rows;
}

std::string selectedIn(HWND treeView) {
    const auto item = reinterpret_cast<HTREEITEM>(ask(treeView, TVM_GETNEXTITEM, TVGN_CARET));
    if (!item) return {};
    wchar_t text[MAX_PATH] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = MAX_PATH;
    ask(treeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return narrow(text);
}

std::vector<std::string> panelsOf(HWND statusBar) {
    std::vector<std::string> panels;
    const LRESULT count = ask(statusBar, SB_GETPARTS);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        panels.push_back(stringOfSize(
            [&](std::wstring& text) { ask(statusBar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data())); },
            LOWORD(ask(statusBar, SB_GETTEXTLENGTHW, index))));
    }
    return panels;
}

std::vector<std::string> itemsOf(HMENU menu) {
    std::vector<std::string> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(info.fType & MFT_SEPARATOR ? std::string("-") : narrow(text));
    }
    return items;
}

bool isMessageBox(HWND window) {
    if (classOf(window) != "#32770") return false;
    for (HWND control : controlsOf(window)) {
        const std::string kind = classOf(control);
        if (kind != "Static" && kind != "Button") return false;
    }
    return true;
}

std::vector<HWND> messageBoxesOfThisProcess() {
    std::vector<HWND> boxes;
    for (HWND window : findWindows({.windowClass = L"#32770", .anyThread = true})) {
        if (isMessageBox(window)) boxes.push_back(window);
    }
    return boxes;
}

std::string messageOf(HWND box) {
    std::string longest;
    for (HWND c : controlsOf(box)) {
        const std::string text = textOf(c);
        if (classOf(c) == "Static" && text.size() > longest.size()) longest = text;
    }
    return longest;
}

void focus(HWND control) {
    if (!control) return;
    const HWND root = GetAncestor(control, GA_ROOT);
    if (GetForegroundWindow() != root) SetForegroundWindow(root);
    if (GetFocus() != control) SetFocus(control);
}

void pressKeys(HWND control, const std::vector<Key>& keys) {
    focus(control);
    std::vector<INPUT> inputs;
    for (const Key& key : keys) {
        const WORD modifiers[] = {static_cast<WORD>(key.shift ? VK_SHIFT : 0), static_cast<WORD>(key.ctrl ? VK_CONTROL : 0),
                                  static_cast<WORD>(key.alt ? VK_MENU : 0)};
        for (const WORD m : modifiers) {
            if (m) addKey(inputs, m, 0, 0);
        }
        addKey(inputs, static_cast<WORD>(key.vk), 0, 0);
        addKey(inputs, static_cast<WORD>(key.vk), 0, KEYEVENTF_KEYUP);
        for (const WORD m : modifiers) {
            if (m) addKey(inputs, m, 0, KEYEVENTF_KEYUP);
        }
    }
    send(inputs);
}

void typeText(HWND control, const std::string& text) {
    focus(control);
    std::vector<INPUT> inputs;
    for (const wchar_t unit : wide(text)) {
        addKey(inputs, 0, unit, KEYEVENTF_UNICODE);
        addKey(inputs, 0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
    send(inputs);
}

void paste(HWND box, const std::string& text) {
    focus(box);
    HWND edit = box;
    if (classOf(box) == "ComboBox") {
        if (HWND inner = GetWindow(box, GW_CHILD)) edit = inner;
    }
    SendMessageW(edit, EM_SETSEL, 0, -1);
    const std::wstring units = wide(text);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(units.c_str()));
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void clickAt(HWND window, POINT client, MouseButton button) {
    const bool left = button == MouseButton::left;
    std::vector<INPUT> inputs = {mouseAt(window, client, 0),
                                 mouseAt(window, client, left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
                                 mouseAt(window, client, left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)};
    send(inputs);
}

void drag(HWND window, POINT from, POINT to) {
    std::vector<INPUT> inputs = {mouseAt(window, from, 0), mouseAt(window, from, MOUSEEVENTF_LEFTDOWN)};
    // Through the points between, as a hand moves: a window that tracks the move sees it.
    for (int step = 1; step <= 4; ++step) {
        const POINT at{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4};
        inputs.push_back(mouseAt(window, at, 0));
    }
    inputs.push_back(mouseAt(window, to, MOUSEEVENTF_LEFTUP));
    send(inputs);
}

void dragStep(HWND window, POINT client, DragStep step) {
    const DWORD flags = step == DragStep::press ? MOUSEEVENTF_LEFTDOWN : step == DragStep::release ? MOUSEEVENTF_LEFTUP : 0;
    std::vector<INPUT> inputs = {mouseAt(window, client, flags)};
    send(inputs);
}

void choose(HWND listOrCombo, int index) {
    const bool combo = classOf(listOrCombo) == "ComboBox";
    focus(listOrCombo);
    SendMessageW(listOrCombo, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the box tells its parent when the user chooses.
    SendMessageW(GetParent(listOrCombo), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(listOrCombo), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(listOrCombo));
}

void answer(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

void closeBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool pickFromMenu(const std::vector<std::string>& captions) {
    const HWND shown = openMenu();
    HMENU menu = shown ? reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0)) : nullptr;
    std::vector<Key> keys;
    for (std::size_t level = 0; level < captions.size(); ++level) {
        if (!menu) return false;
        const std::vector<std::string> items = itemsOf(menu);
        // The keys skip separators; a menu opened by the mouse has no item
        // selected, a submenu opened by a key its first.
        int steps = level == 0 ? 1 : 0;
        std::size_t at = 0;
        for (; at < items.size() && !captionNamed(items[at], captions[level]); ++at) {
            if (items[at] != "-") ++steps;
        }
        if (at == items.size()) return false;
        keys.insert(keys.end(), static_cast<std::size_t>(steps), Key{VK_DOWN});
        const bool last = level + 1 == captions.size();
        keys.push_back({static_cast<UINT>(last ? VK_RETURN : VK_RIGHT)});
        menu = GetSubMenu(menu, static_cast<int>(at));
    }
    pressKeys(nullptr, keys);
    return true;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        // Wakes for any message, and at least every few milliseconds for conditions no message announces.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 20)),
                                  QS_ALLINPUT);
        MSG msg;
        // Handled as the program's own loop handles them: key preview, accelerators, dialog keys, idle work.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) win32::handleMessage(msg);
        win32::IdleWork::runAll();
    }
}

Picture printClient(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    Canvas canvas(r.right, r.bottom);
    if (!canvas.bits) return {};
    {
        const win32::Selection use = win32::selectObject(canvas.dc.get(), canvas.bitmap.get());
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
    }
    return canvas.picture();
}

Picture captureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return captureAsShown(window);
}

Picture captureAsShown(HWND window) {
    // What the window has still to paint, painted as its loop would before
    // the user sees anything; no other message runs here.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine draws a window into a surface of its own and hands it to the
    // display when the thread next waits for messages; the screen shows the
    // window only after that.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    RECT r{};
    GetWindowRect(window, &r);
    Canvas canvas(r.right - r.left, r.bottom - r.top);
    if (!canvas.bits) return {};
    {
        const win32::Selection use = win32::selectObject(canvas.dc.get(), canvas.bitmap.get());
        const win32::WindowDc screen = win32::windowDc(nullptr);
        BitBlt(canvas.dc.get(), 0, 0, canvas.width, canvas.height, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    return canvas.picture();
}

bool savePng(const Picture& picture, const std::string& path) {
    const std::vector<std::uint8_t> png = encodePng(picture.width, picture.height, picture.pixels);
    if (png.empty()) return false;
    const bool bare = path.find_first_of("\\/:") == std::string::npos;
    return writeFile(wide(bare ? std::string(KQ_SHOT_DIR) + "/" + path : path), png);
}

bool screenshot(HWND window, const std::string& path) { return savePng(captureWindow(window), path); }

}  // namespace kq::test
