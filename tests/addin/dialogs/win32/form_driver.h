#pragma once
// Drives one of the add-in's forms as a user would, step by step from a
// thread timer while the form runs modally: each step runs once no message
// box is up, and the message boxes the form shows are answered OK on the way
// and their texts kept.

#include "common/win32/windows_api.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/wide.h"

namespace kq::test {

inline std::string textOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return win32::narrow(text);
}

inline BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

inline std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

inline std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

inline HWND visibleOfClass(const wchar_t* className) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows) {
        if (classOf(w) == className && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// A control anywhere on the form, by id.
inline HWND item(HWND form, int id) {
    for (HWND c : childrenOf(form)) {
        if (GetDlgCtrlID(c) == id) return c;
    }
    return nullptr;
}

// Where a control stands on the form's client area, in pixels.
inline RECT placeOf(HWND form, int id) {
    RECT r{};
    GetWindowRect(item(form, id), &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline bool ticked(HWND form, int id) { return SendMessageW(item(form, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline void click(HWND form, int id) { PostMessageW(item(form, id), BM_CLICK, 0, 0); }

// The edit box inside a compound control (the folder picker, the numeric box).
inline HWND editIn(HWND form, int id) {
    for (HWND c : childrenOf(item(form, id))) {
        if (classOf(c) == L"Edit") return c;
    }
    return nullptr;
}

inline void setText(HWND edit, const std::string& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win32::wide(text).c_str()));
}

using FormStep = std::function<void(HWND form)>;

struct FormDrive {
    std::deque<FormStep> steps;
    std::vector<std::string> boxes;  // the message boxes' texts, in order
    bool stuck = false;              // the steps ran out with the form still open: it was closed
};

namespace form_driver_detail {

inline FormDrive*& current() {
    static FormDrive* drive = nullptr;
    return drive;
}

inline std::string boxText(HWND box) {
    std::string longest;
    for (HWND c : childrenOf(box)) {
        const std::string text = textOf(c);
        if (classOf(c) == L"Static" && text.size() > longest.size()) longest = text;
    }
    return longest;
}

inline void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    static int waits = 0;
    FormDrive& d = *current();
    if (const HWND box = visibleOfClass(L"#32770")) {
        if (GetPropW(box, L"kqAnswered")) return;
        SetPropW(box, L"kqAnswered", box);
        d.boxes.push_back(boxText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
    }
    const HWND form = visibleOfClass(L"KqForm");
    if (!form) return;
    if (d.steps.empty()) {
        if (++waits > 150) {
            waits = 0;
            d.stuck = true;
            PostMessageW(form, WM_CLOSE, 0, 0);
        }
        return;
    }
    waits = 0;
    FormStep step = std::move(d.steps.front());
    d.steps.pop_front();
    step(form);
}

}  // namespace form_driver_detail

// Runs `show` (which shows a form modally) with the steps acting on the form.
inline FormDrive driveForm(const std::function<void()>& show, std::deque<FormStep> steps) {
    FormDrive drive{std::move(steps), {}, false};
    form_driver_detail::current() = &drive;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, form_driver_detail::tick);
    show();
    KillTimer(nullptr, timer);
    form_driver_detail::current() = nullptr;
    return drive;
}

}  // namespace kq::test
