#include "addin/core/win32/com_boundary.h"

#include "addin/core/registration.h"
#include "addin/core/runtime_error.h"
#include "addin/core/texts.h"
#include "common/win32/window.h"

namespace kq::addin::win32 {

namespace {

kq::win32::RuntimeFailure readCurrentFailure() {
    RuntimeError error = CurrentRuntimeError();
    return {error.number, std::move(error.description)};
}

}  // namespace

const kq::win32::FailureReporting kAddinFailures{kConnectClass.progId, readCurrentFailure};

void reportWindowFailures() {
    kq::win32::setWindowFailureReporting({.title = GetAppTitle(), .readCurrent = readCurrentFailure});
}

}  // namespace kq::addin::win32
