#pragma once
// Registration of a COM add-in library of this system for the current user:
// the values of its registration list (common/com_registration.h), and the
// type library in its own resources.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/com_registration.h"

namespace kq::win32 {

// A GUID from its registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", in
// either letter case. Throws std::invalid_argument for any other text, so that
// a constant made of a malformed one does not compile.
constexpr GUID guidFromText(std::string_view text) {
    constexpr std::string_view kForm = "{........-....-....-....-............}";
    const auto malformed = [] { throw std::invalid_argument("not a GUID in registry form"); };
    if (text.size() != kForm.size()) malformed();
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        if (kForm[i] != '.' && text[i] != kForm[i]) malformed();
    }
    const auto number = [&](std::size_t at, std::size_t digits) {
        std::uint32_t value = 0;
        for (const char c : text.substr(at, digits)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) malformed();
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        return value;
    };
    GUID guid{};
    guid.Data1 = number(1, 8);
    guid.Data2 = static_cast<unsigned short>(number(10, 4));
    guid.Data3 = static_cast<unsigned short>(number(15, 4));
    guid.Data4[0] = static_cast<unsigned char>(number(20, 2));
    guid.Data4[1] = static_cast<unsigned char>(number(22, 2));
    for (std::size_t i = 2; i < 8; ++i) guid.Data4[i] = static_cast<unsigned char>(number(25 + 2 * (i - 2), 2));
    return guid;
}

struct TypeLibraryId {
    GUID libId;
    WORD major;
    WORD minor;
};

// The type library an add-in class is described by.
constexpr TypeLibraryId typeLibraryOf(const ComAddinIdentity& identity) {
    return {guidFromText(identity.libId), identity.typeLibMajor, identity.typeLibMinor};
}

// Writes every value of the class's registration list for this module's path,
// then registers this module's type library. Stops at the first failure and returns it.
HRESULT registerComServer(const ComAddinIdentity& identity) noexcept;
// Removes the values of the list and every key of the list that is then
// empty, and the type library's registration. What others added stays.
HRESULT unregisterComServer(const ComAddinIdentity& identity) noexcept;

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
