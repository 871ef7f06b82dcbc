#pragma once
// The edge of every COM method of the add-in library: nothing thrown inside
// leaves it. A failure becomes a failed HRESULT with an error object carrying
// the description, so that late-bound callers find it in their EXCEPINFO and
// the classic runtime shows it as its own error.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kq::addin::win32 {

// A failure with a result of its own (an argument the caller got wrong).
class ComFailure : public std::runtime_error {
public:
    ComFailure(HRESULT result, const std::string& description) : std::runtime_error(description), result_(result) {}
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// The HRESULT under which the classic runtime passes its error number on:
// facility control for its own numbers, the number itself when it already is one.
HRESULT resultOfErrorNumber(std::int32_t number);

// Turns the exception in flight into a failed result and the thread's error
// object. Call it only inside a catch block.
HRESULT failureResult(REFIID iid) noexcept;

template <typename Body>
HRESULT comBoundary(REFIID iid, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        return failureResult(iid);
    }
}

}  // namespace kq::addin::win32
