#pragma once
// Registration of a COM add-in library of this system for the current user:
// the values of its registration list (common/com_registration.h), and the
// type library in its own resources.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/com_registration.h"

namespace kq::win32 {

struct TypeLibraryId {
    GUID libId;
    WORD major;
    WORD minor;
};

// A library's registration list for its file's path.
using RegistrationList = std::vector<RegistryValue> (*)(std::string_view libraryPath);

// Writes every value of the list for this module's path, then registers this
// module's type library. Stops at the first failure and returns it.
HRESULT registerComServer(RegistrationList list) noexcept;
// Removes the values of the list and every key of the list that is then
// empty, and the type library's registration. What others added stays.
HRESULT unregisterComServer(RegistrationList list, const TypeLibraryId& library) noexcept;

// The type library's registration for the current user, through the system's
// per-user functions where it has them (they are looked up: Windows XP lacks
// them); given none, RegisterTypeLib and UnRegisterTypeLib write the same keys
// with the class root standing for the user's own classes.
using RegisterTypeLibForUserFunction = HRESULT(WINAPI*)(ITypeLib* library, OLECHAR* path, OLECHAR* helpFolder);
using UnRegisterTypeLibForUserFunction = HRESULT(WINAPI*)(REFGUID libId, WORD major, WORD minor, LCID lcid,
                                                          SYSKIND kind);
HRESULT registerTypeLibraryForUser(ITypeLib* library, std::wstring path, RegisterTypeLibForUserFunction perUser);
HRESULT unregisterTypeLibraryForUser(const TypeLibraryId& library, UnRegisterTypeLibForUserFunction perUser);

}  // namespace kq::win32
