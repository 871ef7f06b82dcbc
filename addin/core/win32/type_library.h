#pragma once
// The add-in object's type information, from the type library carried in this
// module's resources: it serves the object's IDispatch.

#include "common/win32/windows_api.h"

#include <oaidl.h>

#include "common/win32/com.h"

namespace kq::addin::win32 {

// Throws ComFailure when the type library cannot be read.
kq::win32::ComPtr<ITypeLib> loadOwnTypeLibrary();
kq::win32::ComPtr<ITypeInfo> connectTypeInfo();

}  // namespace kq::addin::win32
