#pragma once
// The entry points of the ribbon bridge's in-process server, for its DLL exports.

#include "common/win32/windows_api.h"

#include <ole2.h>

namespace kq::ribbon::win32 {

// The class object for `clsid`, answering `iid`; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept;
// Writes, or removes, the bridge's registration for the current user and its type library's.
HRESULT registerServer() noexcept;
HRESULT unregisterServer() noexcept;

}  // namespace kq::ribbon::win32
