#include "tools/simhost/box_watcher.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "common/win32/wide.h"
#include "tests/support/win32/window_driver.h"

namespace kq::simhost {

namespace {

using test::ask;
using test::classOf;
using test::controlsOf;
using test::isCheckBox;
using test::plainCaption;
using test::textOf;

constexpr auto kPoll = std::chrono::milliseconds(20);

struct StandardButton {
    const char* name;
    int id;
};
constexpr StandardButton kButtons[] = {
    {"ok", IDOK}, {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
    {"ignore", IDIGNORE}, {"yes", IDYES}, {"no", IDNO},
};

HWND findButton(HWND box, const std::string& caption, bool checkBox) {
    for (HWND child : controlsOf(box)) {
        if (classOf(child) == "Button" && isCheckBox(child) == checkBox &&
            test::captionNamed(textOf(child), caption)) {
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
    for (HWND child : controlsOf(box)) {
        if (classOf(child) != "Static") continue;
        const auto shown = reinterpret_cast<HICON>(ask(child, STM_GETICON));
        if (!shown) continue;
        for (const Known& k : kIcons) {
            if (LoadIconW(nullptr, k.id) == shown) return k.name;
        }
    }
    return {};
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

void BoxWatcher::atTimeout(std::function<void()> last) {
    std::lock_guard<std::mutex> lock(mutex_);
    atTimeout_ = std::move(last);
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
                const std::function<void()> last = atTimeout_;
                lock.unlock();
                transcript_.line("  timeout: the command did not end in time");
                std::fflush(nullptr);
                if (last) last();
                ExitProcess(3);
            }
        }
        for (auto it = handled_.begin(); it != handled_.end();) {
            it = IsWindow(*it) ? std::next(it) : handled_.erase(it);
        }
        for (HWND box : test::messageBoxesOfThisProcess()) {
            if (handled_.insert(box).second) answer(box);
        }
    }
}

void BoxWatcher::answer(HWND box) {
    std::string record = "  box " + quoted(textOf(box));
    std::string buttons;
    for (HWND child : controlsOf(box)) {
        const std::string kind = classOf(child);
        if (kind == "Static") {
            const std::string text = textOf(child);
            if (!text.empty()) record += " " + quoted(text);
        } else if (kind == "Button" && IsWindowVisible(child)) {
            if (isCheckBox(child)) {
                record += std::string(test::isTicked(child) ? " [x] " : " [ ] ") + quoted(plainCaption(textOf(child)));
                continue;
            }
            std::string name = quoted(plainCaption(textOf(child)));
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
                if (test::isTicked(check) != want) ask(check, BM_CLICK);
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
                giving.push_back([box, id] { test::answer(box, id); });
            }
        }
    }
    transcript_.line("  answer " + said);
    for (const auto& give : giving) give();
    // The box is gone before the next look, so its handle is never taken for a new box.
    test::waitUntil([box] { return !IsWindow(box); }, std::chrono::seconds(5));
}

}  // namespace kq::simhost
