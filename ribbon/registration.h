#pragma once
// The ribbon bridge's class as COM and the host know it: what registering the
// library writes (see common/com_registration.h) and the class it serves.

#include "common/com_registration.h"

namespace kq::ribbon {

inline constexpr ComAddinIdentity kConnect2Class{
    "Kez_QuorvexForRibbon.Connect2", "{95742240-4E9C-4134-8ABE-FE5D2EB826A5}", "{9672DF48-A80F-4C38-825E-9D4979767436}",
    "{1F9E7A61-D06A-4FC2-9DD2-6AAE91C9D770}"};

}  // namespace kq::ribbon
