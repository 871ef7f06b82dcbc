#pragma once
// Long work on a thread of its own. What a job hands back runs on the thread
// that made the runner, as idle work of that thread (common/win32/message_loop.h):
// never inside a menu, a drag or a modal run that came after the runner, but
// once they are over. The job's end reaches the thread as a message to a
// message-only window of the runner.

#include "common/win32/windows_api.h"

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "common/step_sequence.h"
#include "common/win32/message_loop.h"

namespace kq::win32 {

class WorkThread final : public WorkRunner {
public:
    WorkThread();
    // The job under way is asked to stop and waited for; nothing it hands back runs.
    ~WorkThread() override;
    WorkThread(const WorkThread&) = delete;
    WorkThread& operator=(const WorkThread&) = delete;

    // False when the runner has no window to hand results back through.
    bool ready() const;

    void start(Job job) override;
    void requestStop() override;

private:
    class Receiver;

    void launch(Job job);
    void jobDone();

    std::unique_ptr<Receiver> receiver_;
    std::deque<Job> waiting_;  // started while another job ran
    bool running_ = false;
    std::mutex doneMutex_;
    Finish done_;  // handed over from the job's thread
    std::jthread thread_;
    IdleTask handBack_{[this] { jobDone(); }};
};

}  // namespace kq::win32
