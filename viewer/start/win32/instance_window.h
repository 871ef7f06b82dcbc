#pragma once
// One viewer per user: the running copy's hidden receiver window, the later
// start's hand-over of its command line to it, and the lock under which a
// start decides whether it is the first.
//
// The receiver is a top-level window that is never shown, of the class
// kInstanceWindowClass, captioned with the program's title and "_Instance".
// A later start sends it WM_COPYDATA with the payload of
// viewer/start/instance_payload.h; the receiver copies the line, hands it on
// and answers at once (TRUE taken, FALSE refused), so a sender never waits
// for the running copy's work.

#include "common/win32/windows_api.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/window.h"

namespace kq::viewer::win32 {

// The class name the receiver has and a sender looks for; both go together.
inline constexpr const wchar_t* kInstanceWindowClass = L"KqViewerInstance";
// How long a sender waits for a running copy to take its line before it
// gives up on it as hung.
inline constexpr std::chrono::milliseconds kHandOverTimeout{5000};
// How long a start waits for another start to finish deciding.
inline constexpr std::chrono::milliseconds kDecisionTimeout{10000};

// The receiver's caption: the title and "_Instance".
std::wstring instanceCaption();

class InstanceWindow final : public kq::win32::Window {
public:
    // Takes a received line; false refuses it (the viewer is closing).
    using Take = std::function<bool(std::string line)>;

    InstanceWindow() = default;
    ~InstanceWindow() override = default;

    // Makes the hidden window; false when it could not be made. Later starts
    // find it from now on.
    bool open();
    // Until a taker is set every line is refused.
    void setTake(Take take) { take_ = std::move(take); }
    // Later starts no longer find this copy.
    void close();

protected:
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT received(const COPYDATASTRUCT* data);

    Take take_;
};

// The receivers of other viewers running in this session, topmost first.
std::vector<HWND> findInstanceWindows();

// Sends the payload (WM_COPYDATA, tag 0) and waits at most kHandOverTimeout;
// true only when the receiver answered that it took it.
bool SendCopyData(HWND window, const std::string& payload);

// A later start's side: hands the line (UTF-8, never empty) to the first
// running copy that takes it; false when none does (none runs, or each is
// hung or closing), and the start then opens as the first copy.
bool SendCommandToInstance(std::string_view line);

// The per-user lock under which a start looks for a running copy and, being
// the first, makes its receiver: two starts at once never both find none.
// The wait for it is bounded: a start whose decider hangs decides alone
// rather than never.
class InstanceDecision {
public:
    InstanceDecision();
    ~InstanceDecision() { release(); }
    InstanceDecision(const InstanceDecision&) = delete;
    InstanceDecision& operator=(const InstanceDecision&) = delete;

    // Lets the next start decide; once only.
    void release();
    // Whether this start holds the lock (false after a timed-out wait).
    bool held() const { return held_; }

private:
    kq::win32::KernelHandle mutex_;
    bool held_ = false;
};

}  // namespace kq::viewer::win32
