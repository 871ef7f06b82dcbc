#include "tools/simhost/window_facts.h"

#include "common/win32/wide.h"

namespace kq::simhost {

namespace {

void addControls(HWND parent, std::vector<HWND>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        addControls(child, out);
    }
}

BOOL CALLBACK collectBox(HWND window, LPARAM list) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && isMessageBox(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

}  // namespace

LRESULT ask(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 2000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::string windowText(HWND window) {
    wchar_t buffer[4096];
    const auto length = ask(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer));
    return win32::narrow(std::wstring_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::string className(HWND window) {
    wchar_t buffer[64];
    const int length = GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return win32::narrow(std::wstring_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::string plainCaption(std::string caption) {
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
    return style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE || style == BS_AUTO3STATE;
}

std::vector<HWND> controlsOf(HWND window) {
    std::vector<HWND> controls;
    addControls(window, controls);
    return controls;
}

bool isMessageBox(HWND window) {
    if (className(window) != "#32770") return false;
    for (HWND control : controlsOf(window)) {
        const std::string kind = className(control);
        if (kind != "Static" && kind != "Button") return false;
    }
    return true;
}

std::vector<HWND> messageBoxesOfThisProcess() {
    std::vector<HWND> boxes;
    EnumWindows(collectBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

}  // namespace kq::simhost
