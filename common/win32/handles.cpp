#include "common/win32/handles.h"

#include <cstring>

#include "common/win32/module.h"

namespace kq::win32 {

GlobalMemory globalCopy(const void* bytes, std::size_t size) {
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, size));
    {
        const LockedGlobal lock = lockGlobal(memory.get());
        if (!lock) return {};
        std::memcpy(lock.get(), bytes, size);
    }
    return memory;
}

OwnedWindow messageWindow() {
    return OwnedWindow(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, thisModule(), nullptr));
}

OpenedClipboard openClipboard(HWND owner, ClipboardRetry retry) {
    for (int attempt = 0; attempt < retry.attempts; ++attempt) {
        if (attempt > 0) Sleep(retry.pauseMs);
        if (OpenClipboard(owner)) return OpenedClipboard({true});
    }
    return {};
}

}  // namespace kq::win32
