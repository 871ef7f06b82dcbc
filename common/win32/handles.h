#pragma once
// Owners of Windows handles: one move-only template, and one line per kind of
// handle saying how it is let go. Letting go never changes the thread's
// GetLastError, so an owner that goes out of scope between a failed call and
// the look at its error cannot hide the error.
//
// COM owners (interface pointers, BSTR, VARIANT) live in com.h.

#include "common/win32/windows_api.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstddef>
#include <string_view>
#include <utility>

namespace kq::win32 {

// Puts the thread's last-error code back at the end of a scope.
class LastErrorKept {
public:
    LastErrorKept() noexcept : error_(GetLastError()) {}
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;
    ~LastErrorKept() { SetLastError(error_); }

private:
    DWORD error_;
};

// The owner of one handle, or of a handle with what its release needs (the
// window of a window DC, the DC an object was selected into). `Policy` gives:
//   Value      what is kept
//   Handle     what get() gives
//   empty()    the value of an owner that holds nothing
//   holds(v)   whether `v` is something to let go of
//   handle(v)  the handle in `v`
//   close(v)   lets go of `v`; called only when holds(v)
template <typename Policy>
class Owner {
public:
    using Value = typename Policy::Value;
    using Handle = typename Policy::Handle;

    Owner() noexcept = default;
    explicit Owner(Value value) noexcept : value_(value) {}
    Owner(Owner&& other) noexcept : value_(std::exchange(other.value_, Policy::empty())) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Policy::empty()));
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { reset(); }

    // Lets go of what is held and takes `value` instead.
    void reset(Value value = Policy::empty()) noexcept {
        const Value old = std::exchange(value_, value);
        if (Policy::holds(old)) {
            const LastErrorKept kept;
            Policy::close(old);
        }
    }
    Handle get() const noexcept { return Policy::handle(value_); }
    const Value& value() const noexcept { return value_; }
    // Hands the value over: the caller, or the system that accepted it, lets go of it now.
    Value release() noexcept { return std::exchange(value_, Policy::empty()); }
    // For out-parameters: lets go of what is held and gives the slot.
    Value* put() noexcept {
        reset();
        return &value_;
    }
    explicit operator bool() const noexcept { return Policy::holds(value_); }

private:
    Value value_ = Policy::empty();
};

namespace handle_policy {

template <typename H>
constexpr H none() noexcept {
    return nullptr;
}
inline HANDLE invalidHandleValue() noexcept { return INVALID_HANDLE_VALUE; }

// A handle that is itself what is let go; `Empty` gives the value that stands for none.
template <typename H, void (*Close)(H) noexcept, H (*Empty)() noexcept = none<H>>
struct Plain {
    using Value = H;
    using Handle = H;
    static H empty() noexcept { return Empty(); }
    static bool holds(H h) noexcept { return h != Empty(); }
    static H handle(H h) noexcept { return h; }
    static void close(H h) noexcept { Close(h); }
};

inline void closeKey(HKEY key) noexcept { RegCloseKey(key); }
inline void closeHandle(HANDLE handle) noexcept { CloseHandle(handle); }
inline void closeFind(HANDLE search) noexcept { FindClose(search); }
template <typename H>
void deleteObject(H object) noexcept {
    DeleteObject(object);
}
inline void deleteDc(HDC dc) noexcept { DeleteDC(dc); }
inline void deleteEnhMetafile(HENHMETAFILE metafile) noexcept { DeleteEnhMetaFile(metafile); }
inline void deleteMetafile(HMETAFILE metafile) noexcept { DeleteMetaFile(metafile); }
inline void destroyImageList(HIMAGELIST list) noexcept { ImageList_Destroy(list); }
// A recording that is never finished leaves nothing: its metafile goes too.
inline void discardRecording(HDC dc) noexcept { DeleteEnhMetaFile(CloseEnhMetaFile(dc)); }
inline void freeLibrary(HMODULE module) noexcept { FreeLibrary(module); }
inline void freeGlobal(HGLOBAL memory) noexcept { GlobalFree(memory); }
template <typename T>
void freeLocal(T* memory) noexcept {
    LocalFree(memory);
}
template <typename T>
void freeCoTaskMemory(T* memory) noexcept {
    CoTaskMemFree(memory);
}
inline void destroyMenu(HMENU menu) noexcept { DestroyMenu(menu); }
inline void destroyIcon(HICON icon) noexcept { DestroyIcon(icon); }
inline void destroyAccelerators(HACCEL table) noexcept { DestroyAcceleratorTable(table); }
inline void destroyWindow(HWND window) noexcept { DestroyWindow(window); }
inline void unhook(HHOOK hook) noexcept { UnhookWindowsHookEx(hook); }

// A handle kept with what its release needs. `V` is default-constructible as
// holding nothing and gives handle() (false or null when it holds nothing) and close().
template <typename V>
struct Compound {
    using Value = V;
    using Handle = decltype(V{}.handle());
    static V empty() noexcept { return {}; }
    static bool holds(const V& v) noexcept { return static_cast<bool>(v.handle()); }
    static Handle handle(const V& v) noexcept { return v.handle(); }
    static void close(const V& v) noexcept { v.close(); }
};

// A handle with the one other thing its release needs: the window of a
// window DC, the DC an object was selected into, the block a lock holds.
template <typename Context, typename H, void (*Close)(Context, H) noexcept>
struct WithContext {
    Context context{};
    H held{};
    H handle() const noexcept { return held; }
    void close() const noexcept { Close(context, held); }
};
inline void releaseDc(HWND window, HDC dc) noexcept { ReleaseDC(window, dc); }
inline void reselect(HDC dc, HGDIOBJ previous) noexcept { SelectObject(dc, previous); }
inline void unlockGlobal(HGLOBAL memory, void*) noexcept { GlobalUnlock(memory); }
using WindowDc = WithContext<HWND, HDC, releaseDc>;
using Selection = WithContext<HDC, HGDIOBJ, reselect>;
using GlobalLock = WithContext<HGLOBAL, void*, unlockGlobal>;

struct Paint {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
    HDC handle() const noexcept { return paint.hdc; }
    void close() const noexcept { EndPaint(window, &paint); }
};

struct Clipboard {
    bool open = false;
    bool handle() const noexcept { return open; }
    void close() const noexcept { CloseClipboard(); }
};

}  // namespace handle_policy

// Registry keys, kernel objects, modules and memory.
using RegistryKey = Owner<handle_policy::Plain<HKEY, handle_policy::closeKey>>;
// Events, processes, threads: null when there is none.
using KernelHandle = Owner<handle_policy::Plain<HANDLE, handle_policy::closeHandle>>;
// Files from CreateFile: INVALID_HANDLE_VALUE when there is none.
using FileHandle =
    Owner<handle_policy::Plain<HANDLE, handle_policy::closeHandle, handle_policy::invalidHandleValue>>;
// Searches from FindFirstFile.
using FindHandle = Owner<handle_policy::Plain<HANDLE, handle_policy::closeFind, handle_policy::invalidHandleValue>>;
using Module = Owner<handle_policy::Plain<HMODULE, handle_policy::freeLibrary>>;
using GlobalMemory = Owner<handle_policy::Plain<HGLOBAL, handle_policy::freeGlobal>>;
template <typename T>
using LocalMemory = Owner<handle_policy::Plain<T*, handle_policy::freeLocal<T>>>;
// What the shell and COM hand out from the task allocator (item lists, strings).
template <typename T>
using CoTaskMemory = Owner<handle_policy::Plain<T*, handle_policy::freeCoTaskMemory<T>>>;

// GDI objects. An object must not be selected into a DC when its owner goes:
// select it with selectObject() in an inner scope.
template <typename H>
using GdiObject = Owner<handle_policy::Plain<H, handle_policy::deleteObject<H>>>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;
using Palette = GdiObject<HPALETTE>;

// Device contexts: made ones (CreateCompatibleDC, CreateDC) are deleted,
// a window's is released to it, a painting one ended.
using DeviceContext = Owner<handle_policy::Plain<HDC, handle_policy::deleteDc>>;
using WindowDc = Owner<handle_policy::Compound<handle_policy::WindowDc>>;
using PaintDc = Owner<handle_policy::Compound<handle_policy::Paint>>;
using Selection = Owner<handle_policy::Compound<handle_policy::Selection>>;

using EnhMetafile = Owner<handle_policy::Plain<HENHMETAFILE, handle_policy::deleteEnhMetafile>>;
using Metafile = Owner<handle_policy::Plain<HMETAFILE, handle_policy::deleteMetafile>>;

// Image lists: a control given one does not destroy it, except a list view
// made without LVS_SHAREIMAGELISTS, which must then be given a released one.
using ImageList = Owner<handle_policy::Plain<HIMAGELIST, handle_policy::destroyImageList>>;

// User objects.
using Menu = Owner<handle_policy::Plain<HMENU, handle_policy::destroyMenu>>;
// Icons made or loaded as copies (CreateIconIndirect, LoadImage without LR_SHARED), never shared ones.
using Icon = Owner<handle_policy::Plain<HICON, handle_policy::destroyIcon>>;
// An accelerator table made by CreateAcceleratorTable (one loaded from resources is the system's).
using AcceleratorTable = Owner<handle_policy::Plain<HACCEL, handle_policy::destroyAccelerators>>;
// A window that is destroyed with its owner; for windows without an object of their own.
using OwnedWindow = Owner<handle_policy::Plain<HWND, handle_policy::destroyWindow>>;
// A hook of the system's message processing.
using WindowsHook = Owner<handle_policy::Plain<HHOOK, handle_policy::unhook>>;
using OpenedClipboard = Owner<handle_policy::Compound<handle_policy::Clipboard>>;

// The recording DC of an enhanced metafile. Unfinished, it is closed and its
// metafile deleted (a file it was recorded into stays, possibly cut short).
class EnhMetafileRecorder : public Owner<handle_policy::Plain<HDC, handle_policy::discardRecording>> {
public:
    using Owner::Owner;
    // Finishes the recording; an empty owner when it could not be finished.
    EnhMetafile close() noexcept {
        if (!*this) return {};
        return EnhMetafile(CloseEnhMetaFile(release()));
    }
};

// A global memory block held locked.
class LockedGlobal : public Owner<handle_policy::Compound<handle_policy::GlobalLock>> {
public:
    using Owner::Owner;
    // The size of the block, which the system may round up from what was asked.
    std::size_t size() const noexcept { return *this ? GlobalSize(value().context) : 0; }
};

// The client DC of `window`, or the screen's for null; empty when the system refuses.
[[nodiscard]] inline WindowDc windowDc(HWND window) { return WindowDc({window, GetDC(window)}); }

// BeginPaint ... EndPaint, for a WM_PAINT handler.
[[nodiscard]] inline PaintDc beginPaint(HWND window) {
    handle_policy::Paint value{window, {}};
    BeginPaint(window, &value.paint);
    return PaintDc(value);
}

// Selects `object` into `dc` until the owner goes, then puts the previous one
// back. Not for regions, whose selection gives no previous object.
[[nodiscard]] inline Selection selectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object) return {};
    const HGDIOBJ previous = SelectObject(dc, object);
    if (!previous || previous == HGDI_ERROR) return {};
    return Selection({dc, previous});
}

[[nodiscard]] inline LockedGlobal lockGlobal(HGLOBAL memory) {
    if (!memory) return {};
    return LockedGlobal({memory, ::GlobalLock(memory)});
}

// A memory DC like `compatibleWith` (the screen for null).
[[nodiscard]] inline DeviceContext memoryDc(HDC compatibleWith) {
    return DeviceContext(CreateCompatibleDC(compatibleWith));
}

// Starts recording an enhanced metafile with `frame` in hundredths of a
// millimetre, against `reference` (the screen for null), into `file` (memory for null).
[[nodiscard]] inline EnhMetafileRecorder recordEnhMetafile(HDC reference, const wchar_t* file, const RECT& frame) {
    return EnhMetafileRecorder(CreateEnhMetaFileW(reference, file, &frame, nullptr));
}

// A movable block holding a copy of `bytes`, as the clipboard takes it; empty
// when it cannot be made (or `bytes` is empty, which no block can hold).
[[nodiscard]] GlobalMemory globalCopy(const void* bytes, std::size_t size);

// A hidden message-only window: it owns what it puts on the clipboard.
[[nodiscard]] OwnedWindow messageWindow();

// Another program (a clipboard viewer, the host copying) may hold the
// clipboard for a moment: every open tries again after a pause, a bounded
// number of times, and then gives up.
struct ClipboardRetry {
    int attempts = 20;
    DWORD pauseMs = 25;
};
inline constexpr ClipboardRetry kClipboardRetry{};

// Opens the clipboard for `owner` (null: the thread, which then may read and
// empty it but not put anything on it); empty when it stayed held.
[[nodiscard]] OpenedClipboard openClipboard(HWND owner, ClipboardRetry retry = kClipboardRetry);

}  // namespace kq::win32
