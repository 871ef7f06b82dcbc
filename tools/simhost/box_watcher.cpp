#include "tools/simhost/box_watcher.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "common/win32/wide.h"

namespace kq::simhost {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(20);

struct StandardButton {
    const char* name;
    int id;
};
constexpr StandardButton kButtons[] = {
    {"ok", IDOK}, {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
    {"ignore", IDIGNORE}, {"yes", IDYES}, {"no", IDNO},
};

// The windows belong to the main thread, which handles sent messages only
// while it waits for messages: a window it is not waiting on (a modeless one
// while the host is busy) must not hold the watcher.
LRESULT ask(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
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

// A caption as shown, without the "&" that marks the access key.
std::string plainCaption(std::string caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

bool isCheckBox(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE || style == BS_AUTO3STATE;
}

BOOL CALLBACK collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> childrenOf(HWND box) {
    std::vector<HWND> children;
    EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND findButton(HWND box, const std::string& caption, bool checkBox) {
    for (HWND child : childrenOf(box)) {
        if (className(child) == "Button" && isCheckBox(child) == checkBox &&
            plainCaption(windowText(child)) == caption) {
            return child;
        }
    }
    return nullptr;
}

// The system icon a message box shows, by name.
std::string iconOf(HWND box) {
    struct Known {
        const wchar_t* id;
        const char* name;
    };
    static const Known kIcons[] = {
        {IDI_HAND, "stop"}, {IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "information"}};
    for (HWND child : childrenOf(box)) {
        if (className(child) != "Static") continue;
        const auto shown = reinterpret_cast<HICON>(ask(child, STM_GETICON));
        if (!shown) continue;
        for (const Known& k : kIcons) {
            if (LoadIconW(nullptr, k.id) == shown) return k.name;
        }
    }
    return {};
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && className(window) == "#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> dialogsOfThisProcess() {
    std::vector<HWND> boxes;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

bool closes(const std::string& action) {
    if (action == "close" || action.rfind("click:", 0) == 0) return true;
    for (const auto& b : kButtons) {
        if (action == b.name) return true;
    }
    return false;
}

}  // namespace

bool isBoxAction(const std::string& action) {
    return closes(action) || (action.rfind("tick:", 0) == 0 && action.size() > 5) ||
           (action.rfind("untick:", 0) == 0 && action.size() > 7);
}

BoxWatcher::BoxWatcher(Transcript& transcript) : transcript_(transcript), thread_([this] { run(); }) {}

BoxWatcher::~BoxWatcher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void BoxWatcher::queueAnswer(BoxAnswer answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(std::move(answer));
}

std::size_t BoxWatcher::pendingAnswers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return answers_.size();
}

void BoxWatcher::stepStarted(std::chrono::milliseconds limit) {
    std::lock_guard<std::mutex> lock(mutex_);
    inStep_ = true;
    deadline_ = std::chrono::steady_clock::now() + limit;
}

void BoxWatcher::stepEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    inStep_ = false;
}

void BoxWatcher::run() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait_for(lock, kPoll, [this] { return stop_; });
            if (stop_) return;
            if (inStep_ && std::chrono::steady_clock::now() > deadline_) {
                lock.unlock();
                transcript_.line("  timeout: the command did not end in time");
                std::fflush(nullptr);
                ExitProcess(3);
            }
        }
        for (auto it = handled_.begin(); it != handled_.end();) {
            it = IsWindow(*it) ? std::next(it) : handled_.erase(it);
        }
        for (HWND box : dialogsOfThisProcess()) {
            if (handled_.insert(box).second) answer(box);
        }
    }
}

void BoxWatcher::answer(HWND box) {
    std::string record = "  box " + quoted(windowText(box));
    std::string buttons;
    for (HWND child : childrenOf(box)) {
        const std::string kind = className(child);
        if (kind == "Static") {
            const std::string text = windowText(child);
            if (!text.empty()) record += " " + quoted(text);
        } else if (kind == "Button" && IsWindowVisible(child)) {
            if (isCheckBox(child)) {
                const bool ticked = ask(child, BM_GETCHECK) == BST_CHECKED;
                record += std::string(ticked ? " [x] " : " [ ] ") + quoted(plainCaption(windowText(child)));
                continue;
            }
            std::string name = quoted(plainCaption(windowText(child)));
            for (const auto& b : kButtons) {
                if (GetDlgCtrlID(child) == b.id) name = b.name;
            }
            buttons += (buttons.empty() ? "" : ",") + name;
        }
    }
    const std::string icon = iconOf(box);
    if (!icon.empty()) record += " icon " + icon;
    if (!buttons.empty()) record += " buttons " + buttons;
    transcript_.line(record);

    BoxAnswer actions;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!answers_.empty()) {
            actions = std::move(answers_.front());
            answers_.pop_front();
        }
    }
    bool closing = false;
    for (const auto& a : actions) closing = closing || closes(a);
    if (!closing) actions.push_back("ok");

    // The answer is written before it is given: once the box is answered, the
    // program that showed it goes on and may write its own next line.
    std::string said;
    std::vector<std::function<void()>> giving;
    for (const std::string& action : actions) {
        said += (said.empty() ? "" : " ") + action;
        if (action.rfind("tick:", 0) == 0 || action.rfind("untick:", 0) == 0) {
            const bool want = action[0] == 't';
            HWND check = findButton(box, action.substr(action.find(':') + 1), true);
            if (!check) {
                said += "(missing)";
                continue;
            }
            giving.push_back([check, want] {
                const bool ticked = ask(check, BM_GETCHECK) == BST_CHECKED;
                if (ticked != want) ask(check, BM_CLICK);
            });
        } else if (action == "close") {
            giving.push_back([box] { PostMessageW(box, WM_CLOSE, 0, 0); });
        } else {
            int id = 0;
            if (action.rfind("click:", 0) == 0) {
                HWND button = findButton(box, action.substr(6), false);
                id = button ? GetDlgCtrlID(button) : 0;
            }
            for (const auto& b : kButtons) {
                if (action == b.name) id = b.id;
            }
            if (id == 0) {
                said += "(missing)";
                giving.push_back([box] { PostMessageW(box, WM_CLOSE, 0, 0); });
            } else {
                giving.push_back([box, id] {
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
                });
            }
        }
    }
    transcript_.line("  answer " + said);
    for (const auto& give : giving) give();
    ++answered_;
    // The box is gone before the next look, so its handle is never taken for a new box.
    for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
}

}  // namespace kq::simhost
