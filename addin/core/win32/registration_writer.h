#pragma once
// Registration of the add-in library for the current user: the values of the
// registration list, and the type library.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "common/win32/com_registration_writer.h"

namespace kq::addin::win32 {

// Writes every value of the list for this module's path, then registers the
// type library. Stops at the first failure and returns it.
HRESULT registerServer() noexcept;
// Removes the values of the list and every key of the list that is then empty,
// and the type library's registration. What others added stays.
HRESULT unregisterServer() noexcept;

// The add-in library's type library, as its registration names it.
extern const kq::win32::TypeLibraryId kAddinTypeLibrary;

}  // namespace kq::addin::win32
