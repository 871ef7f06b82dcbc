#pragma once
// GetTickCount64 for the shipping binaries, which must load on Windows XP.
//
// The runtime's POSIX-thread layer calls GetTickCount64 to time its waits, and
// XP's kernel32 lacks it: one such import makes XP's loader refuse the whole
// module. xp_tick_count.cpp therefore defines the import slot itself; the
// linker then takes no import from kernel32, and the first call looks the
// function up, or on XP falls back to extendedTickCount. Link that file into
// every binary that must load on XP (cmake/KqImportCheck.cmake does it).

#include "common/win32/windows_api.h"

namespace kq::win32 {

using TickCount64Function = ULONGLONG(WINAPI*)();

// The system's GetTickCount64, or extendedTickCount where the system lacks it.
TickCount64Function systemTickCount64();

// GetTickCount widened to 64 bits across its 49.7-day wrap.
ULONGLONG WINAPI extendedTickCount() noexcept;

}  // namespace kq::win32
