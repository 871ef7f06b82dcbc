#pragma once
// Identifiers of the add-in library's type library, interface and class; the
// same values as in its IDL and its registration list.

#include "common/win32/windows_api.h"

#include <guiddef.h>

namespace kq::addin::win32 {

// {DC5B69EC-016C-47C9-97FF-BE4B9777960C}
inline constexpr GUID kLibIdKezQuorvex = {
    0xDC5B69EC, 0x016C, 0x47C9, {0x97, 0xFF, 0xBE, 0x4B, 0x97, 0x77, 0x96, 0x0C}};
// {D9737512-4C5F-4BDA-BD49-8178FE0655AA}
inline constexpr GUID kIidConnect = {0xD9737512, 0x4C5F, 0x4BDA, {0xBD, 0x49, 0x81, 0x78, 0xFE, 0x06, 0x55, 0xAA}};
// {AD76CD8C-E76E-4664-9CDD-C7444B82703A}
inline constexpr GUID kClsidConnect = {0xAD76CD8C, 0xE76E, 0x4664, {0x9C, 0xDD, 0xC7, 0x44, 0x4B, 0x82, 0x70, 0x3A}};

}  // namespace kq::addin::win32
