#pragma once
// What a call of the host raised, for tests that expect its refusals.

#include <cstdint>
#include <functional>

#include "host/host.h"

namespace kq::test {

// The number of the host error the call raised; 0 when it raised none.
inline std::int32_t errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::HostError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace kq::test
