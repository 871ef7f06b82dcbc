#pragma once
// The program's own message box as a real window.

#include "common/win32/windows_api.h"

#include <cstdint>

#include "common/msgbox_model.h"

namespace kq::win32 {

// Control ids of the box, so that its driver can find each control.
namespace msgbox_ids {
inline constexpr int kFirstButton = 1001;  // cmdButton(i) is kFirstButton + i
inline constexpr int kCheck = 1010;
inline constexpr int kIcon = 1011;
inline constexpr int kText = 1012;
inline constexpr int kBand = 1013;
}  // namespace msgbox_ids

// Shows the box modally, owned by `owner` (null for none), and returns the pressed button's value, plus 128 when the check
// box was shown and ticked. Call it from the owner's thread.
std::int32_t MsgBoxEx(HWND owner, const MsgBoxExArgs& args);

}  // namespace kq::win32
