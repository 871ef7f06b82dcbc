#pragma once
// Registration of the add-in library for the current user: the values of the
// registration list, and the type library.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <string>

namespace kq::addin::win32 {

// Writes every value of the list for this module's path, then registers the
// type library. Stops at the first failure and returns it.
HRESULT registerServer() noexcept;
// Removes the values of the list and every key of the list that is then empty,
// and the type library's registration. What others added stays.
HRESULT unregisterServer() noexcept;

// The type library's registration for the current user, through the system's
// per-user functions where it has them (they are looked up: Windows XP lacks
// them); given none, RegisterTypeLib and UnRegisterTypeLib write the same keys
// with the class root standing for the user's own classes.
using RegisterTypeLibForUserFunction = HRESULT(WINAPI*)(ITypeLib* library, OLECHAR* path, OLECHAR* helpFolder);
using UnRegisterTypeLibForUserFunction = HRESULT(WINAPI*)(REFGUID libId, WORD major, WORD minor, LCID lcid,
                                                          SYSKIND kind);
HRESULT registerTypeLibraryForUser(ITypeLib* library, std::wstring path, RegisterTypeLibForUserFunction perUser);
HRESULT unregisterTypeLibraryForUser(UnRegisterTypeLibForUserFunction perUser);

}  // namespace kq::addin::win32
