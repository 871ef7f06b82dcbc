#pragma once
// Commands made of steps on the window's thread, some of which wait for long
// work (a walk over thousands of files) done away from it, so that the window
// goes on answering its messages meanwhile.
//
// A command is written as the calls it makes, one after another, each a step
// queued with then(). A step runs at once when nothing else is queued or
// running; the steps a running step queues run right after it, before the
// steps that were waiting already, in the order they were queued. So the
// calls of a command run in the order they were written, wherever one of them
// waits for long work: its own steps, then the caller's next one.
//
//   void reload() { then([this] { work<Found>(scan, [this](Found f) { show(f); }); }); }
//   void refresh() { then([this] { reload(); list(); }); }  // list() once show() has run
//
// Inside a step, code after a queued call runs before that call: whatever
// depends on it is queued too.

#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <utility>

#include "common/signal.h"

namespace kq {

// Runs long work. The job runs away from the window's thread; what it hands
// back runs on the window's thread once the job is done.
class WorkRunner {
public:
    using Finish = std::function<void()>;
    using Job = std::function<Finish(std::stop_token)>;

    virtual ~WorkRunner() = default;
    // One job at a time: a job started while another one runs starts when
    // that one is done.
    virtual void start(Job job) = 0;
    // The job under way is asked to end early; its finish still comes.
    virtual void requestStop() = 0;
};

// Runs the job and its finish at once, on the calling thread: the runner of
// the portable tests, and of a window told to wait for its work.
class WorkHere final : public WorkRunner {
public:
    void start(Job job) override;
    void requestStop() override {}
};

class StepSequence {
public:
    explicit StepSequence(WorkRunner& runner) : runner_(runner) {}
    ~StepSequence();
    StepSequence(const StepSequence&) = delete;
    StepSequence& operator=(const StepSequence&) = delete;

    void then(std::function<void()> step);

    // Inside a step: `job` runs as long work, then `finish` with its result
    // as the step's next step. The job gets only what it was given: it runs
    // while the window's thread goes on.
    template <class Result, class Job, class Finish>
    void work(Job job, Finish finish);

    // Steps queued or long work under way.
    bool busy() const { return pumping_ || !queue_.empty() || outstanding_ != 0; }
    // Long work under way.
    bool working() const { return outstanding_ != 0; }

    // Drops the steps not yet run and asks the work under way to stop; what
    // that work hands back is thrown away.
    void cancel();

    // Long work starts: what the steps did so far can be shown meanwhile.
    Signal<> workStarts;
    // The last queued step has run.
    Signal<> done;

private:
    struct Pending {
        std::function<void()> finish;
        bool arrived = false;
        bool discarded = false;
    };
    struct Entry {
        std::function<void()> step;
        std::shared_ptr<Pending> pending;  // a step that waits for long work
    };
    // Whoever the finish of long work finds: none once the sequence has gone.
    struct Owner {
        StepSequence* sequence;
    };

    void queue(Entry entry);
    void startWork(std::shared_ptr<Pending> pending, WorkRunner::Job job);
    void arrived(const std::shared_ptr<Pending>& pending, std::function<void()> finish);
    void pump();
    void dropQueued();

    WorkRunner& runner_;
    std::deque<Entry> queue_;
    std::deque<Entry>* collecting_ = nullptr;  // the steps the running step queues
    bool pumping_ = false;
    std::size_t outstanding_ = 0;
    std::shared_ptr<Owner> owner_ = std::make_shared<Owner>(Owner{this});
};

template <class Result, class Job, class Finish>
void StepSequence::work(Job job, Finish finish) {
    auto pending = std::make_shared<Pending>();
    startWork(pending, [job = std::move(job), finish = std::move(finish), pending, owner = owner_](
                           std::stop_token stop) mutable -> WorkRunner::Finish {
        std::shared_ptr<Result> result;
        std::exception_ptr failure;
        try {
            result = std::make_shared<Result>(job(stop));
        } catch (...) {
            // Thrown again on the window's thread, where failures are reported.
            failure = std::current_exception();
        }
        return [finish = std::move(finish), result, failure, pending, owner]() mutable {
            StepSequence* sequence = owner->sequence;
            if (!sequence) return;
            if (failure) {
                sequence->arrived(pending, [failure] { std::rethrow_exception(failure); });
            } else {
                sequence->arrived(pending, [finish = std::move(finish), result]() mutable { finish(std::move(*result)); });
            }
        };
    });
}

}  // namespace kq
