#pragma once
// A Clock double whose time the test sets and moves on.

#include "common/clock.h"

namespace kq::test {

class SettableClock final : public Clock {
public:
    explicit SettableClock(vb::DateTime start = {2024, 3, 1, 9, 30, 0}) : now_(start) {}
    vb::DateTime now() const override { return now_; }
    void set(vb::DateTime time) { now_ = time; }
    // Moves the time on by whole seconds, across minutes and hours within the day.
    void advanceSeconds(int seconds) {
        int total = (now_.hour * 60 + now_.minute) * 60 + now_.second + seconds;
        now_.hour = total / 3600;
        total %= 3600;
        now_.minute = total / 60;
        now_.second = total % 60;
    }

private:
    vb::DateTime now_;
};

}  // namespace kq::test
