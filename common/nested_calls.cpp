#include "common/nested_calls.h"

namespace kq {

NestedCalls::Frame::Frame(NestedCalls& calls) noexcept : calls_(&calls), outer_(calls.innermost_) {
    calls.innermost_ = this;
}

NestedCalls::Frame::~Frame() {
    if (calls_) calls_->innermost_ = outer_;
}

bool NestedCalls::Frame::leave() noexcept {
    NestedCalls* calls = calls_;
    if (!calls) return false;
    calls_ = nullptr;
    calls->innermost_ = outer_;
    return outer_ == nullptr && calls->deletePending_;
}

NestedCalls::~NestedCalls() {
    for (Frame* frame = innermost_; frame; frame = frame->outer_) frame->calls_ = nullptr;
}

bool NestedCalls::end() noexcept {
    if (!innermost_) return true;
    deletePending_ = true;
    return false;
}

int NestedCalls::depth() const noexcept {
    int depth = 0;
    for (const Frame* frame = innermost_; frame; frame = frame->outer_) ++depth;
    return depth;
}

}  // namespace kq
