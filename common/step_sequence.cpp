#include "common/step_sequence.h"

#include <iterator>

namespace kq {

void WorkHere::start(Job job) {
    if (const Finish finish = job(std::stop_token{})) finish();
}

StepSequence::~StepSequence() {
    owner_->sequence = nullptr;
    if (outstanding_ != 0) runner_.requestStop();
}

void StepSequence::then(std::function<void()> step) {
    queue({std::move(step), nullptr});
    pump();
}

void StepSequence::queue(Entry entry) {
    if (collecting_) {
        collecting_->push_back(std::move(entry));
    } else {
        queue_.push_back(std::move(entry));
    }
}

void StepSequence::startWork(std::shared_ptr<Pending> pending, WorkRunner::Job job) {
    queue({{}, std::move(pending)});
    ++outstanding_;
    workStarts();
    runner_.start(std::move(job));
}

void StepSequence::arrived(const std::shared_ptr<Pending>& pending, std::function<void()> finish) {
    --outstanding_;
    pending->arrived = true;
    if (!pending->discarded) pending->finish = std::move(finish);
    // Under way already when the work was done at once, inside its step.
    pump();
}

void StepSequence::pump() {
    if (pumping_) return;
    pumping_ = true;
    while (!queue_.empty()) {
        Entry& front = queue_.front();
        if (front.pending && !front.pending->arrived) break;  // until the work is done
        std::function<void()> step = front.pending ? std::move(front.pending->finish) : std::move(front.step);
        queue_.pop_front();
        if (!step) continue;
        std::deque<Entry> inner;
        collecting_ = &inner;
        try {
            step();
        } catch (...) {
            // The command that failed goes no further, nor do those behind it.
            collecting_ = nullptr;
            for (Entry& entry : inner) {
                if (entry.pending) entry.pending->discarded = true;
            }
            dropQueued();
            pumping_ = false;
            if (outstanding_ == 0) done();
            throw;
        }
        collecting_ = nullptr;
        queue_.insert(queue_.begin(), std::make_move_iterator(inner.begin()), std::make_move_iterator(inner.end()));
    }
    pumping_ = false;
    if (queue_.empty() && outstanding_ == 0) done();
}

void StepSequence::cancel() {
    dropQueued();
    if (outstanding_ != 0) runner_.requestStop();
}

void StepSequence::dropQueued() {
    const auto discard = [](std::deque<Entry>& entries) {
        for (Entry& entry : entries) {
            if (entry.pending) entry.pending->discarded = true;
        }
        entries.clear();
    };
    discard(queue_);
    if (collecting_) discard(*collecting_);
}

}  // namespace kq
