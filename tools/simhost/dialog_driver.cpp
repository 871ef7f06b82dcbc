#include "tools/simhost/dialog_driver.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "common/win32/bitmaps.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tools/simhost/png_file.h"
#include "tools/simhost/window_facts.h"

namespace kq::simhost {

namespace {

// What a dialog line found wrong: the block stops there.
class DriveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr const char* kDialogCommands[] = {"dialog", "type",  "paste", "tick",         "untick",     "pick",
                                           "press",  "key",   "idle",  "close-dialog", "screenshot"};

struct NamedKey {
    const char* name;
    UINT vk;
};
constexpr NamedKey kKeys[] = {
    {"enter", VK_RETURN}, {"esc", VK_ESCAPE}, {"tab", VK_TAB},   {"up", VK_UP},         {"down", VK_DOWN},
    {"left", VK_LEFT},    {"right", VK_RIGHT}, {"home", VK_HOME}, {"end", VK_END},       {"delete", VK_DELETE},
    {"back", VK_BACK},    {"space", VK_SPACE}, {"f1", VK_F1},     {"f2", VK_F2},         {"f3", VK_F3},
    {"f4", VK_F4},        {"f5", VK_F5},       {"f6", VK_F6},     {"f7", VK_F7},         {"f8", VK_F8},
    {"f9", VK_F9},        {"f10", VK_F10},     {"f11", VK_F11},   {"f12", VK_F12},
};
struct Modifier {
    const char* prefix;
    int vk;
};
constexpr Modifier kModifiers[] = {{"shift+", VK_SHIFT}, {"ctrl+", VK_CONTROL}, {"alt+", VK_MENU}};

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isKind(HWND control, const char* kind) { return lower(className(control)) == lower(kind); }

LONG buttonType(HWND button) { return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; }

bool isBox(HWND control) { return isKind(control, "Edit") || isKind(control, "ListBox") || isKind(control, "ComboBox"); }

bool isLabel(HWND control) {
    return isKind(control, "Static") || (isKind(control, "Button") && buttonType(control) == BS_GROUPBOX);
}

bool visibleInDialog(HWND control) { return IsWindowVisible(control) != FALSE; }

std::vector<std::string> listEntries(HWND list, UINT countMessage, UINT lengthMessage, UINT textMessage) {
    std::vector<std::string> entries;
    const auto count = SendMessageW(list, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(list, lengthMessage, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        entries.push_back(win32::narrow(text));
    }
    return entries;
}

// A list's entries after a blank each. Appended piece by piece: the i686
// compiler at -O3 misreads `" " + text` here (-Wrestrict).
void appendQuoted(std::string& line, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        line += ' ';
        line += quoted(entry);
    }
}

// One control as `show dialog` records it; empty for what a user does not see as a control.
std::string describe(HWND control) {
    const std::string text = quoted(isKind(control, "Edit") ? windowText(control) : plainCaption(windowText(control)));
    std::string line;
    if (isKind(control, "Static")) {
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON || windowText(control).empty()) return {};
        line = "label " + text;
    } else if (isKind(control, "Button")) {
        const LONG type = buttonType(control);
        const auto state = SendMessageW(control, BM_GETCHECK, 0, 0);
        if (isCheckBox(control)) {
            line = "check " + text + (state == BST_CHECKED ? " ticked" : " unticked");
        } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            line = "option " + text + (state == BST_CHECKED ? " on" : " off");
        } else if (type == BS_GROUPBOX) {
            line = "frame " + text;
        } else {
            line = "button " + text + (type == BS_DEFPUSHBUTTON ? " default" : "");
        }
    } else if (isKind(control, "Edit")) {
        line = "edit " + text;
    } else if (isKind(control, "ListBox")) {
        line = "list";
        appendQuoted(line, listEntries(control, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT));
        const auto selected = SendMessageW(control, LB_GETCURSEL, 0, 0);
        line += " selected ";
        line += selected == LB_ERR ? std::string("none") : std::to_string(selected);
    } else if (isKind(control, "ComboBox")) {
        line = "combo " + text;
        appendQuoted(line, listEntries(control, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT));
    } else {
        return {};
    }
    if (!IsWindowEnabled(control)) line += " disabled";
    if (GetFocus() == control) line += " focus";
    return line;
}

BOOL CALLBACK collectTopWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The visible top-level windows of this thread: the host's windows live on it.
std::vector<HWND> topWindowsOfThisThread() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collectTopWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The window as it stands on the screen, frame included, as 0x00RRGGBB pixels.
std::vector<std::uint32_t> screenPixels(HWND window, int& width, int& height) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine hands a window's drawing to the display when its thread next waits for messages.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    RECT r;
    GetWindowRect(window, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    std::uint32_t* bits = nullptr;
    const win32::Bitmap canvas = win32::topDownBitmap(width, height, bits);
    const win32::DeviceContext dc = win32::memoryDc(nullptr);
    if (!canvas || !dc || !bits) return {};
    {
        const win32::Selection use = win32::selectObject(dc.get(), canvas.get());
        const win32::WindowDc screen = win32::windowDc(nullptr);
        BitBlt(dc.get(), 0, 0, width, height, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    std::vector<std::uint32_t> pixels(bits, bits + static_cast<std::size_t>(width) * height);
    for (auto& v : pixels) v &= 0xFFFFFF;
    return pixels;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::wstring name = win32::wide(path);
    if (const auto slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) {
        CreateDirectoryW(name.substr(0, slash).c_str(), nullptr);
    }
    std::FILE* file = _wfopen(name.c_str(), L"wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool isDialogLine(const std::vector<std::string>& words) {
    if (words.empty()) return false;
    if (words[0] == "show") return words.size() > 1 && words[1] == "dialog";
    // A bare idle runs the host's idle time, as it does outside a block.
    if (words[0] == "idle") return words.size() > 1;
    for (const char* command : kDialogCommands) {
        if (words[0] == command) return true;
    }
    return false;
}

void DialogDriver::begin(std::vector<ScriptLine> block, std::chrono::milliseconds limit) {
    block_.assign(std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
    limit_ = limit;
    dialog_ = nullptr;
    waiting_ = false;
    failed_ = false;
    idleUntil_ = {};
    active_ = true;
}

std::size_t DialogDriver::finish() {
    const std::size_t left = block_.size();
    block_.clear();
    active_ = false;
    waiting_ = false;
    dialog_ = nullptr;
    releaseModifiers();
    if (left > 0 && !failed_) sound_ = false;
    return left;
}

void DialogDriver::beat() {
    if (!active_ || running_) return;
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};

    releaseModifiers();
    // The box watcher answers a box; the next line waits until it is gone.
    if (!messageBoxesOfThisProcess().empty()) return;
    if (failed_) {
        closeLeftovers();
        return;
    }
    if (block_.empty() || std::chrono::steady_clock::now() < idleUntil_) return;

    const Transcript::Unheld unheld(s_.out);
    const ScriptLine line = block_.front();
    if (waiting_) {
        if (findDialog(line.words[1])) {
            waiting_ = false;
            block_.pop_front();
        } else if (std::chrono::steady_clock::now() - waitingSince_ > limit_) {
            fail("no window " + quoted(line.words[1]) + " came");
        }
        return;
    }
    block_.pop_front();
    if (!isDialogLine(line.words)) {
        s_.runLine(line);
        return;
    }
    s_.out.line("> " + line.source);
    try {
        run(line);
    } catch (const DriveError& e) {
        fail(e.what());
    }
}

void DialogDriver::run(const ScriptLine& line) {
    const std::vector<std::string>& w = line.words;
    const std::string& c = w[0];
    if (c == "dialog") {
        if (!findDialog(w[1])) {
            // Looked for again at every beat until it comes.
            block_.push_front(line);
            waiting_ = true;
            waitingSince_ = std::chrono::steady_clock::now();
        }
        return;
    }
    if (c == "idle") {
        idleUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::stoul(w[1]));
        return;
    }
    if (!dialog_ || !IsWindow(dialog_)) throw DriveError("no dialog is open to act on");
    if (c == "type") {
        type(control(w[1], true), w[2]);
    } else if (c == "paste") {
        paste(control(w[1], true), w[2]);
    } else if (c == "tick" || c == "untick") {
        tick(control(w[1], false), c == "tick");
    } else if (c == "pick") {
        pick(control(w[1], true), w[2]);
    } else if (c == "press") {
        press(control(w[1], false));
    } else if (c == "key") {
        keys(w);
    } else if (c == "close-dialog") {
        PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (c == "screenshot") {
        screenshot(w[1]);
    } else if (c == "show") {
        showDialog();
    }
}

void DialogDriver::fail(const std::string& why) {
    s_.out.line("  failure: " + escaped(why));
    failed_ = true;
    sound_ = false;
}

bool DialogDriver::findDialog(const std::string& caption) {
    for (HWND window : topWindowsOfThisThread()) {
        if (window == host_ || isMessageBox(window) || windowText(window) != caption) continue;
        dialog_ = window;
        const HWND owner = GetWindow(window, GW_OWNER);
        std::string facts = "  shown";
        facts += owner == host_ ? ", owned by the host window" : owner ? ", owned by another window" : ", without owner";
        if (host_) facts += IsWindowEnabled(host_) ? ", the host window enabled" : ", the host window disabled";
        s_.out.line(facts);
        return true;
    }
    return false;
}

HWND DialogDriver::control(const std::string& name, bool box) const {
    const std::vector<HWND> controls = controlsOf(dialog_);
    const bool byId = name.size() > 1 && name[0] == '#' && name.find_first_not_of("0123456789", 1) == std::string::npos;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND c = controls[i];
        if (!visibleInDialog(c)) continue;
        const bool named = byId ? GetDlgCtrlID(c) == std::stoi(name.substr(1))
                                : !isBox(c) && captionNamed(windowText(c), name);
        if (!named) continue;
        if (!box || isBox(c)) return c;
        if (!isLabel(c)) continue;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (visibleInDialog(controls[j]) && isBox(controls[j])) return controls[j];
        }
    }
    throw DriveError("the dialog has no " + std::string(box ? "box " : "control ") + quoted(name));
}

void DialogDriver::type(HWND box, const std::string& text) {
    if (!IsWindowEnabled(box)) throw DriveError("the box is disabled");
    SetFocus(box);
    HWND target = box;
    if (isKind(box, "ComboBox")) {
        SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        if (HWND edit = GetWindow(box, GW_CHILD)) target = edit;
    } else {
        SendMessageW(box, EM_SETSEL, 0, -1);
    }
    // Posted, so that each key goes through the dialog's own loop as a typed one does.
    for (const wchar_t unit : win32::wide(text)) PostMessageW(target, WM_CHAR, unit, 1);
}

void DialogDriver::paste(HWND box, const std::string& text) {
    if (!IsWindowEnabled(box)) throw DriveError("the box is disabled");
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    const std::wstring units = win32::wide(text);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(units.c_str()));
}

void DialogDriver::tick(HWND check, bool ticked) {
    if (!isCheckBox(check)) throw DriveError("that control is no check box");
    if (!IsWindowEnabled(check)) throw DriveError("the check box is disabled");
    const bool now = SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (now != ticked) PostMessageW(check, BM_CLICK, 0, 0);
}

void DialogDriver::pick(HWND list, const std::string& entry) {
    if (!IsWindowEnabled(list)) throw DriveError("the box is disabled");
    const std::wstring text = win32::wide(entry);
    const bool combo = isKind(list, "ComboBox");
    const auto index = SendMessageW(list, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) throw DriveError("the box has no entry " + quoted(entry));
    SetFocus(list);
    SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the box tells its parent when the user chooses.
    const WORD notification = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), notification),
                 reinterpret_cast<LPARAM>(list));
}

void DialogDriver::press(HWND button) {
    if (!isKind(button, "Button") || isCheckBox(button)) throw DriveError("that control is no button");
    if (!IsWindowEnabled(button)) throw DriveError("the button is disabled");
    PostMessageW(button, BM_CLICK, 0, 0);
}

void DialogDriver::keys(const std::vector<std::string>& words) {
    BYTE state[256];
    GetKeyboardState(state);
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string key = words[i];
        std::vector<int> modifiers;
        for (bool more = true; more;) {
            more = false;
            for (const Modifier& m : kModifiers) {
                if (lower(key).rfind(m.prefix, 0) == 0 && key.size() > std::string(m.prefix).size()) {
                    modifiers.push_back(m.vk);
                    key.erase(0, std::string(m.prefix).size());
                    more = true;
                }
            }
        }
        const HWND focus = GetFocus();
        if (!focus) throw DriveError("nothing has the focus");
        UINT vk = 0;
        for (const NamedKey& k : kKeys) {
            if (lower(key) == k.name) vk = k.vk;
        }
        const std::wstring character = win32::wide(key);
        if (vk == 0 && character.size() != 1) throw DriveError("no key " + quoted(words[i]));
        for (const int m : modifiers) {
            state[m] = 0x80;
            heldModifiers_.push_back(m);
        }
        SetKeyboardState(state);
        const bool alt = std::find(modifiers.begin(), modifiers.end(), VK_MENU) != modifiers.end();
        const LPARAM context = alt ? (1 | (1 << 29)) : 1;
        if (vk == 0) {
            PostMessageW(focus, alt ? WM_SYSCHAR : WM_CHAR, character[0], context);
            continue;
        }
        PostMessageW(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, context);
        PostMessageW(focus, alt ? WM_SYSKEYUP : WM_KEYUP, vk, context | (1u << 30) | (1u << 31));
    }
}

void DialogDriver::screenshot(const std::string& file) {
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = screenPixels(dialog_, width, height);
    const std::vector<std::uint8_t> png = encodePng(width, height, pixels);
    if (png.empty() || !writeFile(s_.resolve(file), png)) throw DriveError("cannot write the screenshot");
}

void DialogDriver::showDialog() {
    s_.out.line("  dialog " + quoted(windowText(dialog_)));
    for (HWND control : controlsOf(dialog_)) {
        if (!visibleInDialog(control)) continue;
        const std::string line = describe(control);
        if (!line.empty()) s_.out.line("  " + line);
    }
}

void DialogDriver::releaseModifiers() {
    if (heldModifiers_.empty()) return;
    BYTE state[256];
    GetKeyboardState(state);
    for (const int vk : heldModifiers_) state[vk] = 0;
    SetKeyboardState(state);
    heldModifiers_.clear();
}

void DialogDriver::closeLeftovers() {
    for (HWND window : topWindowsOfThisThread()) {
        if (window != host_ && IsWindowEnabled(window) && !isMessageBox(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

}  // namespace kq::simhost
