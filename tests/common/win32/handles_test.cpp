#include "common/win32/handles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace kq::win32 {
namespace {

constexpr DWORD kCallersError = 0x2BAD;

// An owner let go of between a failed call and the caller's look at its
// error, including owners whose own release fails and sets an error.
TEST(Owner, LettingGoKeepsTheCallersLastError) {
    struct Case {
        const char* name;
        std::function<void()> letGo;  // makes an owner and lets it go with the error set
    };
    const auto withError = [](auto& owner) {
        SetLastError(kCallersError);
        owner.reset();
    };
    const std::vector<Case> cases = {
        {"kernel handle closed behind the owner's back",
         [&] {
             const HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
             CloseHandle(raw);
             KernelHandle stale(raw);
             withError(stale);
         }},
        {"window",
         [&] {
             OwnedWindow window = messageWindow();
             ASSERT_TRUE(window);
             withError(window);
         }},
        {"window destroyed behind the owner's back",
         [&] {
             OwnedWindow window = messageWindow();
             DestroyWindow(window.get());
             withError(window);
         }},
        {"window DC",
         [&] {
             WindowDc dc = windowDc(nullptr);
             ASSERT_TRUE(dc);
             withError(dc);
         }},
        {"unfinished metafile recording",
         [&] {
             EnhMetafileRecorder recorder = recordEnhMetafile(nullptr, nullptr, RECT{0, 0, 100, 100});
             ASSERT_TRUE(recorder);
             withError(recorder);
         }},
        {"task memory",
         [&] {
             CoTaskMemory<wchar_t> memory(static_cast<wchar_t*>(CoTaskMemAlloc(16)));
             ASSERT_TRUE(memory);
             withError(memory);
         }},
        {"global lock",
         [&] {
             const int value = 7;
             const GlobalMemory memory = globalCopy(&value, sizeof value);
             LockedGlobal lock = lockGlobal(memory.get());
             ASSERT_TRUE(lock);
             withError(lock);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.letGo();
        EXPECT_EQ(GetLastError(), kCallersError);
    }
}

TEST(Selection, PutsThePreviousObjectBackSoTheOwnerCanDeleteIt) {
    struct Case {
        const char* name;
        UINT kind;
        std::function<HGDIOBJ()> make;
    };
    const WindowDc screen = windowDc(nullptr);
    const std::vector<Case> cases = {
        {"brush", OBJ_BRUSH, [] { return CreateSolidBrush(RGB(1, 2, 3)); }},
        {"pen", OBJ_PEN, [] { return CreatePen(PS_SOLID, 2, RGB(1, 2, 3)); }},
        {"font", OBJ_FONT, [] { return CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"); }},
        {"bitmap", OBJ_BITMAP, [&] { return CreateCompatibleBitmap(screen.get(), 4, 4); }},
    };
    const DeviceContext dc = memoryDc(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HGDIOBJ before = GetCurrentObject(dc.get(), c.kind);
        const HGDIOBJ object = c.make();
        ASSERT_NE(object, nullptr);
        {
            const Selection selected = selectObject(dc.get(), object);
            ASSERT_TRUE(selected);
            EXPECT_EQ(GetCurrentObject(dc.get(), c.kind), object);
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), c.kind), before);
        // Deleting fails while an object is selected.
        EXPECT_TRUE(DeleteObject(object));
    }
    EXPECT_FALSE(selectObject(dc.get(), nullptr));
    EXPECT_FALSE(selectObject(nullptr, GetStockObject(WHITE_BRUSH)));
}

TEST(Clipboard, TriesAgainUntilTheHolderLetsGoAndGivesUpAfterItsBound) {
    using Clock = std::chrono::steady_clock;
    const OwnedWindow window = messageWindow();
    struct Case {
        const char* name;
        std::chrono::milliseconds held;
        ClipboardRetry retry;
        bool opens;
    };
    for (const Case& c : {
             Case{"held longer than the bound", std::chrono::milliseconds(1500), {.attempts = 5, .pauseMs = 20}, false},
             Case{"let go within the bound", std::chrono::milliseconds(100), {.attempts = 40, .pauseMs = 25}, true},
         }) {
        SCOPED_TRACE(c.name);
        // Another thread (as another program would) holds the clipboard open.
        const KernelHandle holding(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::thread holder([&] {
            const bool open = OpenClipboard(nullptr) != FALSE;
            SetEvent(holding.get());
            if (!open) return;
            std::this_thread::sleep_for(c.held);
            CloseClipboard();
        });
        ASSERT_EQ(WaitForSingleObject(holding.get(), 5000), WAIT_OBJECT_0);
        const auto start = Clock::now();
        const OpenedClipboard opened = openClipboard(window.get(), c.retry);
        const auto waited = Clock::now() - start;
        EXPECT_EQ(static_cast<bool>(opened), c.opens);
        if (!c.opens) {
            // Every pause between the attempts, and not much more.
            EXPECT_GE(waited, std::chrono::milliseconds((c.retry.attempts - 1) * c.retry.pauseMs - 10));
            EXPECT_LT(waited, c.held);
        }
        holder.join();
    }
}

}  // namespace
}  // namespace kq::win32
