#pragma once
// The ribbon bridge's identity and what registering it writes into the user's
// registry, as data (see common/com_registration.h).

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/com_registration.h"

namespace kq::ribbon {

inline constexpr char kProgId[] = "Kez_QuorvexForRibbon.Connect2";
inline constexpr char kClsidConnect2[] = "{95742240-4E9C-4134-8ABE-FE5D2EB826A5}";
inline constexpr char kIidConnect2[] = "{9672DF48-A80F-4C38-825E-9D4979767436}";
inline constexpr char kLibId[] = "{1F9E7A61-D06A-4FC2-9DD2-6AAE91C9D770}";
inline constexpr char kTypeLibVersion[] = "1.0";
inline constexpr std::uint16_t kTypeLibMajor = 1;
inline constexpr std::uint16_t kTypeLibMinor = 0;

// The values in the order they are written; every key comes after its parent key.
std::vector<RegistryValue> RegistrationValues(std::string_view libraryPath);

}  // namespace kq::ribbon
