#pragma once
// Long work as the window runs it, on a thread of its own, one job at a time;
// what a job hands back runs when the test lets it, as the window's loop
// would once the job is done. The test's own thread goes on meanwhile.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "common/step_sequence.h"

namespace kq::test {

class ThreadedWork final : public WorkRunner {
public:
    ~ThreadedWork() override {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
        }
    }

    void start(Job job) override {
        waiting_.push_back(std::move(job));
        if (!running_) launch();
    }
    void requestStop() override {
        if (running_) thread_.request_stop();
    }

    // Work under way or waiting.
    bool running() const { return running_; }
    // Waits for the job under way and runs what it handed back; false when none runs.
    bool finishOne() {
        if (!running_) return false;
        Finish finish;
        {
            std::unique_lock lock(mutex_);
            doneChanged_.wait(lock, [&] { return done_; });
            done_ = false;
            finish = std::move(finish_);
        }
        thread_.join();
        running_ = false;
        if (!waiting_.empty()) launch();
        if (finish) finish();
        return true;
    }
    // Until no work is left, including work that the finishes start.
    void settle() {
        while (finishOne()) {
        }
    }

private:
    void launch() {
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        running_ = true;
        thread_ = std::jthread([this, job = std::move(job)](std::stop_token stop) mutable {
            Finish finish = job(stop);
            job = nullptr;
            const std::lock_guard lock(mutex_);
            finish_ = std::move(finish);
            done_ = true;
            doneChanged_.notify_one();
        });
    }

    std::deque<Job> waiting_;
    bool running_ = false;
    std::mutex mutex_;
    std::condition_variable doneChanged_;
    bool done_ = false;
    Finish finish_;
    std::jthread thread_;
};

}  // namespace kq::test
