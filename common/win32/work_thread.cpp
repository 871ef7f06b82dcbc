#include "common/win32/work_thread.h"

#include <exception>
#include <utility>

#include "common/win32/window.h"

namespace kq::win32 {

namespace {

constexpr wchar_t kReceiverClass[] = L"KqWorkThreadReceiver";
constexpr UINT kJobDone = WM_APP + 1;

}  // namespace

class WorkThread::Receiver final : public Window {
public:
    explicit Receiver(WorkThread& runner) : runner_(runner) {}

protected:
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg != kJobDone) return std::nullopt;
        runner_.handBack_.post();
        return 0;
    }

private:
    WorkThread& runner_;
};

WorkThread::WorkThread() : receiver_(std::make_unique<Receiver>(*this)) {
    receiver_->create({.name = kReceiverClass}, {.owner = HWND_MESSAGE});
}

WorkThread::~WorkThread() {
    waiting_.clear();
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

bool WorkThread::ready() const { return receiver_->hwnd() != nullptr; }

void WorkThread::start(Job job) {
    if (running_) {
        waiting_.push_back(std::move(job));
        return;
    }
    launch(std::move(job));
}

void WorkThread::requestStop() {
    if (running_) thread_.request_stop();
}

void WorkThread::launch(Job job) {
    // The thread before, if any, handed its result over and is ending.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    const HWND receiver = receiver_->hwnd();
    thread_ = std::jthread([this, receiver, job = std::move(job)](std::stop_token stop) mutable {
        Finish finish;
        try {
            finish = job(stop);
        } catch (...) {
            finish = [failure = std::current_exception()] { std::rethrow_exception(failure); };
        }
        // Whatever the job captured goes here, on its own thread, before the hand-over.
        job = nullptr;
        {
            const std::lock_guard lock(doneMutex_);
            done_ = std::move(finish);
        }
        PostMessageW(receiver, kJobDone, 0, 0);
    });
}

void WorkThread::jobDone() {
    Finish finish;
    {
        const std::lock_guard lock(doneMutex_);
        finish = std::move(done_);
    }
    if (thread_.joinable()) thread_.join();
    running_ = false;
    if (!waiting_.empty()) {
        Job next = std::move(waiting_.front());
        waiting_.pop_front();
        launch(std::move(next));
    }
    if (finish) finish();
}

}  // namespace kq::win32
