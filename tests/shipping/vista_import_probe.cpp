// A DLL built as the shipping binaries would be if code asked for Vista's
// functions directly: the import check must refuse it.

#define _WIN32_WINNT 0x0600
#include "common/win32/windows_api.h"

namespace {
SRWLOCK lock = SRWLOCK_INIT;
}

extern "C" __declspec(dllexport) ULONGLONG kqProbe() {
    AcquireSRWLockExclusive(&lock);
    const ULONGLONG ticks = GetTickCount64();
    ReleaseSRWLockExclusive(&lock);
    return ticks;
}
