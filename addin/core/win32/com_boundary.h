#pragma once
// How the add-in library reports failures to its COM callers: error objects
// name its ProgID, and a failure other than a ComFailure is read as the
// classic runtime reads it (a host error keeps its number).

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <utility>

#include "common/win32/com_boundary.h"

namespace kq::addin::win32 {

using kq::win32::ComFailure;

extern const kq::win32::FailureReporting kAddinFailures;

// The add-in's windows tell a handler's failure as its COM methods report
// one (a host error keeps its number), under the add-in's title.
void reportWindowFailures();

// Turns the exception in flight into a failed result and the thread's error
// object. Call it only inside a catch block.
inline HRESULT failureResult(REFIID iid) noexcept { return kq::win32::failureResult(kAddinFailures, iid); }

template <typename Body>
HRESULT comBoundary(REFIID iid, Body&& body) noexcept {
    return kq::win32::comBoundary(kAddinFailures, iid, std::forward<Body>(body));
}

}  // namespace kq::addin::win32
