#pragma once
// What registering a COM add-in library of this system writes into the user's
// registry, as data: the Windows layer writes exactly these values and removes
// exactly them again. Everything lies under HKEY_CURRENT_USER, so no
// administrator is needed.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kq {

struct RegistryValue {
    // Below HKEY_CURRENT_USER.
    std::string key;
    // "" is the key's default value.
    std::string name;
    // A string (REG_SZ) or a 32-bit number (REG_DWORD).
    std::variant<std::string, std::uint32_t> data;
    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// One COM add-in class of the spreadsheet host: its ProgID, the identifiers
// in registry form ("{...}") of the class, of the dual interface callers reach
// it through and of the type library describing that, and the library's version.
struct ComAddinIdentity {
    std::string_view progId;
    std::string_view clsid;
    std::string_view iid;
    std::string_view libId;
    std::uint16_t typeLibMajor = 1;
    std::uint16_t typeLibMinor = 0;
};

// The server's class and ProgID keys, and the host's add-in entry that loads it
// at every start, for the library at `libraryPath`. Values come in the order
// they are written; every key comes after its parent key, so walking the list
// backwards removes children first.
std::vector<RegistryValue> ComAddinRegistration(const ComAddinIdentity& identity, std::string_view libraryPath);

}  // namespace kq
