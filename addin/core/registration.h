#pragma once
// What registering the add-in library writes into the user's registry, as data
// (see common/com_registration.h).

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/com_registration.h"

namespace kq::addin {

inline constexpr char kProgId[] = "Kez_Quorvex.Connect";
inline constexpr char kClsidConnect[] = "{AD76CD8C-E76E-4664-9CDD-C7444B82703A}";
inline constexpr char kIidConnect[] = "{D9737512-4C5F-4BDA-BD49-8178FE0655AA}";
inline constexpr char kLibId[] = "{DC5B69EC-016C-47C9-97FF-BE4B9777960C}";
inline constexpr char kTypeLibVersion[] = "1.0";
inline constexpr std::uint16_t kTypeLibMajor = 1;
inline constexpr std::uint16_t kTypeLibMinor = 0;

// The values in the order they are written; every key comes after its parent
// key, so walking the list backwards removes children first.
std::vector<RegistryValue> RegistrationValues(std::string_view libraryPath);

}  // namespace kq::addin
