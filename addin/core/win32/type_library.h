#pragma once
// The add-in library's type library, carried in its own resources: it serves
// the add-in object's IDispatch and is registered for early-bound callers.

#include "common/win32/windows_api.h"

#include <oaidl.h>

#include "common/win32/com.h"

namespace kq::addin::win32 {

// Throw ComFailure when the type library cannot be read.
kq::win32::ComPtr<ITypeLib> loadOwnTypeLibrary();
kq::win32::ComPtr<ITypeInfo> connectTypeInfo();

}  // namespace kq::addin::win32
