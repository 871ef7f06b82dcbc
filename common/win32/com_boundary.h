#pragma once
// The edge of every COM method: nothing thrown inside leaves it. A failure
// becomes a failed HRESULT with an error object carrying the description, so
// that late-bound callers find it in their EXCEPINFO and the classic runtime
// shows it as its own error. Each library says once how it reports failures
// (a FailureReporting) and passes that to every boundary.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kq::win32 {

// A failure with a result of its own (an argument the caller got wrong, a
// resource the library cannot read).
class ComFailure : public std::runtime_error {
public:
    ComFailure(HRESULT result, const std::string& description) : std::runtime_error(description), result_(result) {}
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// A failure other than a ComFailure, as the classic runtime numbers it.
struct RuntimeFailure {
    std::int32_t number = 0;
    std::string description;
};

// How one library tells its COM callers what failed.
struct FailureReporting {
    // The source its error objects name: the library's ProgID.
    std::string_view source;
    // Reads the exception in flight; called only inside a catch block.
    RuntimeFailure (*readCurrent)();
};

// The HRESULT under which the classic runtime passes its error number on:
// facility control for its own numbers, the number itself when it already is one.
HRESULT resultOfErrorNumber(std::int32_t number);

// Turns the exception in flight into a failed result and the thread's error
// object. Call it only inside a catch block.
HRESULT failureResult(const FailureReporting& reporting, REFIID iid) noexcept;

// The exception in flight as a bare result, for callers that expect no error
// object (class objects, creation): a ComFailure keeps its result, memory
// running out is E_OUTOFMEMORY, anything else E_UNEXPECTED. Call it only
// inside a catch block.
HRESULT bareFailureResult() noexcept;

template <typename Body>
HRESULT comBoundary(const FailureReporting& reporting, REFIID iid, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return failureResult(reporting, iid);
    }
}

}  // namespace kq::win32
