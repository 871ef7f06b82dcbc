#pragma once
// The add-in class as COM and the host know it: what registering the library
// writes (see common/com_registration.h), the class its library serves and the
// source its error objects name.

#include "common/com_registration.h"

namespace kq::addin {

inline constexpr ComAddinIdentity kConnectClass{"Kez_Quorvex.Connect", "{AD76CD8C-E76E-4664-9CDD-C7444B82703A}",
                                                "{D9737512-4C5F-4BDA-BD49-8178FE0655AA}",
                                                "{DC5B69EC-016C-47C9-97FF-BE4B9777960C}"};

}  // namespace kq::addin
