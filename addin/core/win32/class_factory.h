#pragma once
// The class object of Connect, and the count of everything that keeps the
// library loaded: live objects, class objects and the callers' server locks.

#include "common/win32/windows_api.h"

#include <ole2.h>

namespace kq::addin::win32 {

void lockModule();
void unlockModule();
// S_OK when nothing holds the library any more.
HRESULT canUnloadNow();

// The class object for `clsid`, answering `iid`; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept;

}  // namespace kq::addin::win32
