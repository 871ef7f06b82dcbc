#pragma once
// The classes the add-in library makes, for DllGetClassObject.

#include "common/win32/windows_api.h"

#include <ole2.h>

namespace kq::addin::win32 {

// The class object for `clsid`, answering `iid`; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept;

}  // namespace kq::addin::win32
