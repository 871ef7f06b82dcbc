#pragma once
// Answers the message boxes that the add-ins show, as a user would, and
// records what they said. A thread of its own looks at this process's
// message boxes (see test::isMessageBox: never an add-in's own dialog) every few
// milliseconds; for each new one it records the title, the texts, the check boxes and the buttons,
// then answers with the next scripted answer (OK when none is scripted) by
// window messages. The main thread meanwhile sits in the box's own message
// loop, as the host's would.
//
// The same thread is the run's watchdog: a command that takes longer than its
// limit ends the process, so a box nobody can close does not hang the tests.

#include "common/win32/windows_api.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tools/simhost/transcript.h"

namespace kq::simhost {

// How to answer one box, in order: "ok", "cancel", "yes", "no", "abort",
// "retry", "ignore" press that button; "close" closes the box from its title
// bar; "click:<caption>" presses the button of that caption; "tick:<caption>"
// and "untick:<caption>" set a check box. A list without a button gets "ok".
using BoxAnswer = std::vector<std::string>;

// Whether an action is one the watcher knows.
bool isBoxAction(const std::string& action);

class BoxWatcher {
public:
    explicit BoxWatcher(Transcript& transcript);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    void queueAnswer(BoxAnswer answer);
    std::size_t pendingAnswers() const;

    // The watchdog: a step that runs longer than `limit` ends the process with
    // exit code 3, after `last` (set with atTimeout) has run on the watcher's thread.
    void stepStarted(std::chrono::milliseconds limit);
    void atTimeout(std::function<void()> last);
    void stepEnded();

private:
    void run();
    void answer(HWND box);

    Transcript& transcript_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<BoxAnswer> answers_;
    bool stop_ = false;
    bool inStep_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::set<HWND> handled_;
    std::function<void()> atTimeout_;
    std::thread thread_;
};

}  // namespace kq::simhost
