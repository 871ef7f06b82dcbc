// The GetTickCount64 slot that keeps the shipping binaries loadable on XP:
// the thread runtime's calls reach the system's function through it, and the
// fallback that XP gets counts like it.

#include "common/win32/xp_tick_count.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// Declared as the runtime's own code sees it: a call through the import slot.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

namespace kq::win32 {
namespace {

ULONGLONG systemsOwn() {
    const auto function = reinterpret_cast<TickCount64Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return function();
}

TEST(XpTickCount, ImportedCallsReachTheSystemsFunction) {
    ASSERT_NE(systemTickCount64(), &extendedTickCount) << "this system has GetTickCount64";
    for (int call = 0; call < 3; ++call) {
        const ULONGLONG before = systemsOwn();
        const ULONGLONG imported = GetTickCount64();
        const ULONGLONG after = systemsOwn();
        EXPECT_LE(before, imported);
        EXPECT_LE(imported, after);
    }
}

TEST(XpTickCount, FallbackFollowsTheSystemCountFromManyThreads) {
    const ULONGLONG start = GetTickCount();
    std::atomic<bool> backwards{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            ULONGLONG previous = 0;
            for (int i = 0; i < 20000; ++i) {
                const ULONGLONG now = extendedTickCount();
                if (now < previous) backwards = true;
                previous = now;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_FALSE(backwards);
    // Unless the system count wrapped during the test, the fallback is that count.
    const ULONGLONG fallback = extendedTickCount();
    const ULONGLONG system = GetTickCount();
    if (system >= start) {
        EXPECT_LE(fallback, system);
        EXPECT_GE(fallback + 1000, system);
    }
}

}  // namespace
}  // namespace kq::win32
