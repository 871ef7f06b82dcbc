#pragma once
// The local time, injected where ids and dates are made so tests can fix it.

#include "common/vb.h"

namespace kq {

class Clock {
public:
    virtual ~Clock() = default;
    virtual vb::DateTime now() const = 0;  // local date and time, to the second
};

// The system's local time.
const Clock& systemClock();

}  // namespace kq
