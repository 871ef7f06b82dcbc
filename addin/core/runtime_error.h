#pragma once
// A failure as the classic runtime reports it: an error number and its
// description. The connection's error message and the results of the COM
// methods both speak in these terms.

#include <cstdint>
#include <string>

namespace kq::addin {

struct RuntimeError {
    std::int32_t number = 0;
    std::string description;
};

// The exception in flight as a runtime error: a host error keeps its number;
// anything else becomes the runtime's out-of-memory or internal error. Call it
// only inside a catch block.
RuntimeError CurrentRuntimeError();

}  // namespace kq::addin
