#include "common/win32/xp_tick_count.h"

#include "common/tick_count_extender.h"

namespace kq::win32 {

namespace {

ULONGLONG WINAPI firstTickCount64() noexcept;

}  // namespace

}  // namespace kq::win32

// The slot a call of an imported GetTickCount64 goes through, under the name
// the import library would have given it. It starts at a resolver that puts
// the real function in its place.
#if defined(__i386__)
#define KQ_TICK_COUNT64_SLOT "__imp__GetTickCount64@0"
#else
#define KQ_TICK_COUNT64_SLOT "__imp_GetTickCount64"
#endif
extern "C" {
kq::win32::TickCount64Function kqTickCount64Slot __asm__(KQ_TICK_COUNT64_SLOT) = kq::win32::firstTickCount64;
}

namespace kq::win32 {

namespace {

ULONGLONG WINAPI firstTickCount64() noexcept {
    const TickCount64Function function = systemTickCount64();
    // Threads that race here store the same value.
    __atomic_store_n(&kqTickCount64Slot, function, __ATOMIC_RELEASE);
    return function();
}

}  // namespace

TickCount64Function systemTickCount64() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
    if (!found) return extendedTickCount;
    return reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(found));
}

ULONGLONG WINAPI extendedTickCount() noexcept {
    // A spin lock on a LONG: XP has neither SRW locks nor a 64-bit interlocked
    // exchange in kernel32, and a critical section would need initialising
    // before the runtime's first wait. The lock is held for a few instructions.
    static LONG busy = 0;
    static constinit TickCountExtender extender;
    while (InterlockedCompareExchange(&busy, 1, 0) != 0) Sleep(0);
    const ULONGLONG ticks = extender.extend(GetTickCount());
    InterlockedExchange(&busy, 0);
    return ticks;
}

}  // namespace kq::win32
