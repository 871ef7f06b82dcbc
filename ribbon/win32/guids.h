#pragma once
// Identifiers of the ribbon bridge's type library, interface and class; the
// same values as in its IDL, its "_IID_CONNECT2" resource and its registration list.

#include "common/win32/windows_api.h"

#include <guiddef.h>

namespace kq::ribbon::win32 {

// {1F9E7A61-D06A-4FC2-9DD2-6AAE91C9D770}
inline constexpr GUID kLibIdKezQuorvexForRibbon = {
    0x1F9E7A61, 0xD06A, 0x4FC2, {0x9D, 0xD2, 0x6A, 0xAE, 0x91, 0xC9, 0xD7, 0x70}};
// {9672DF48-A80F-4C38-825E-9D4979767436}
inline constexpr GUID kIidConnect2 = {0x9672DF48, 0xA80F, 0x4C38, {0x82, 0x5E, 0x9D, 0x49, 0x79, 0x76, 0x74, 0x36}};
// {95742240-4E9C-4134-8ABE-FE5D2EB826A5}
inline constexpr GUID kClsidConnect2 = {0x95742240, 0x4E9C, 0x4134, {0x8A, 0xBE, 0xFE, 0x5D, 0x2E, 0xB8, 0x26, 0xA5}};

}  // namespace kq::ribbon::win32
