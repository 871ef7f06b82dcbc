#include "tools/simhost/dialog_driver.h"

#include <algorithm>
#include <stdexcept>

#include "common/win32/wide.h"
#include "tests/support/win32/window_driver.h"

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
    bool test::Key::*held;
};
constexpr Modifier kModifiers[] = {{"shift+", &test::Key::shift}, {"ctrl+", &test::Key::ctrl}, {"alt+", &test::Key::alt}};

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isKind(HWND control, const char* kind) { return lower(test::classOf(control)) == lower(kind); }

LONG buttonType(HWND button) { return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; }

bool isBox(HWND control) { return isKind(control, "Edit") || isKind(control, "ListBox") || isKind(control, "ComboBox"); }

bool isLabel(HWND control) {
    return isKind(control, "Static") || (isKind(control, "Button") && buttonType(control) == BS_GROUPBOX);
}

bool visibleInDialog(HWND control) { return IsWindowVisible(control) != FALSE; }

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
    const std::string shown = test::textOf(control);
    const std::string text = quoted(isKind(control, "Edit") ? shown : test::plainCaption(shown));
    std::string line;
    if (isKind(control, "Static")) {
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON || shown.empty()) return {};
        line = "label " + text;
    } else if (isKind(control, "Button")) {
        const LONG type = buttonType(control);
        const bool on = test::isTicked(control);
        if (test::isCheckBox(control)) {
            line = "check " + text + (on ? " ticked" : " unticked");
        } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            line = "option " + text + (on ? " on" : " off");
        } else if (type == BS_GROUPBOX) {
            line = "frame " + text;
        } else {
            line = "button " + text + (type == BS_DEFPUSHBUTTON ? " default" : "");
        }
    } else if (isKind(control, "Edit")) {
        line = "edit " + text;
    } else if (isKind(control, "ListBox")) {
        line = "list";
        appendQuoted(line, test::entriesOf(control));
        const auto selected = SendMessageW(control, LB_GETCURSEL, 0, 0);
        line += " selected ";
        line += selected == LB_ERR ? std::string("none") : std::to_string(selected);
    } else if (isKind(control, "ComboBox")) {
        line = "combo " + text;
        appendQuoted(line, test::entriesOf(control));
    } else {
        return {};
    }
    if (!IsWindowEnabled(control)) line += " disabled";
    if (GetFocus() == control) line += " focus";
    return line;
}

// A key of a `key` line: a named key or one character, with its modifiers before it.
test::Key keyNamed(const std::string& word) {
    std::string name = word;
    test::Key key;
    for (bool more = true; more;) {
        more = false;
        for (const Modifier& m : kModifiers) {
            const std::size_t length = std::string(m.prefix).size();
            if (lower(name).rfind(m.prefix, 0) != 0 || name.size() <= length) continue;
            key.*m.held = true;
            name.erase(0, length);
            more = true;
        }
    }
    for (const NamedKey& k : kKeys) {
        if (lower(name) == k.name) key.vk = k.vk;
    }
    const std::wstring character = win32::wide(name);
    if (key.vk == 0 && character.size() == 1) {
        // The key that gives the character on this keyboard, shift included.
        const SHORT found = VkKeyScanW(character[0]);
        if (found != -1) {
            key.vk = LOBYTE(found);
            key.shift = key.shift || (HIBYTE(found) & 1);
        }
    }
    if (key.vk == 0) throw DriveError("no key " + quoted(word));
    return key;
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

    // The box watcher answers a box; the next line waits until it is gone.
    if (!test::messageBoxesOfThisProcess().empty()) return;
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
        test::closeBox(dialog_);
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
    for (HWND window : test::findWindows({.caption = caption})) {
        if (window == host_ || test::isMessageBox(window)) continue;
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
    const std::vector<HWND> controls = test::controlsOf(dialog_);
    const bool byId = name.size() > 1 && name[0] == '#' && name.find_first_not_of("0123456789", 1) == std::string::npos;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND c = controls[i];
        if (!visibleInDialog(c)) continue;
        const bool named = byId ? GetDlgCtrlID(c) == std::stoi(name.substr(1))
                                : !isBox(c) && test::captionNamed(test::textOf(c), name);
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
    test::focus(box);
    HWND target = box;
    if (isKind(box, "ComboBox")) {
        SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        if (HWND edit = GetWindow(box, GW_CHILD)) target = edit;
    } else {
        SendMessageW(box, EM_SETSEL, 0, -1);
    }
    test::typeText(target, text);
}

void DialogDriver::paste(HWND box, const std::string& text) {
    if (!IsWindowEnabled(box)) throw DriveError("the box is disabled");
    test::paste(box, text);
}

void DialogDriver::tick(HWND check, bool ticked) {
    if (!test::isCheckBox(check)) throw DriveError("that control is no check box");
    if (!IsWindowEnabled(check)) throw DriveError("the check box is disabled");
    if (test::isTicked(check) != ticked) test::click(check);
}

void DialogDriver::pick(HWND list, const std::string& entry) {
    if (!IsWindowEnabled(list)) throw DriveError("the box is disabled");
    const std::vector<std::string> entries = test::entriesOf(list);
    const auto found = std::find(entries.begin(), entries.end(), entry);
    if (found == entries.end()) throw DriveError("the box has no entry " + quoted(entry));
    test::choose(list, static_cast<int>(found - entries.begin()));
}

void DialogDriver::press(HWND button) {
    if (!isKind(button, "Button") || test::isCheckBox(button)) throw DriveError("that control is no button");
    if (!IsWindowEnabled(button)) throw DriveError("the button is disabled");
    test::click(button);
}

void DialogDriver::keys(const std::vector<std::string>& words) {
    if (!GetFocus()) throw DriveError("nothing has the focus");
    std::vector<test::Key> keys;
    for (std::size_t i = 1; i < words.size(); ++i) keys.push_back(keyNamed(words[i]));
    test::pressKeys(nullptr, keys);
}

void DialogDriver::screenshot(const std::string& file) {
    if (!test::screenshot(dialog_, s_.resolve(file))) throw DriveError("cannot write the screenshot");
}

void DialogDriver::showDialog() {
    s_.out.line("  dialog " + quoted(test::textOf(dialog_)));
    for (HWND control : test::controlsOf(dialog_)) {
        if (!visibleInDialog(control)) continue;
        const std::string line = describe(control);
        if (!line.empty()) s_.out.line("  " + line);
    }
}

void DialogDriver::closeLeftovers() {
    for (HWND window : test::findWindows({})) {
        if (window != host_ && IsWindowEnabled(window) && !test::isMessageBox(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

}  // namespace kq::simhost
