#include "common/win32/module.h"

#include "common/win32/wide.h"

namespace kq::win32 {

std::wstring thisModulePath() {
    // Paths may exceed MAX_PATH; a result that fills the buffer may have been cut short.
    constexpr DWORD kLongestPath = 32768;
    std::wstring path;
    for (DWORD size = MAX_PATH + 1; size <= kLongestPath; size *= 2) {
        path.assign(size, L'\0');
        const DWORD length = GetModuleFileNameW(thisModule(), path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

std::string thisModuleFolder() {
    const std::wstring path = thisModulePath();
    const auto separator = path.rfind(L'\\');
    if (separator == std::wstring::npos) return {};
    // "C:\" keeps its separator: "C:" alone would mean the current folder of drive C.
    const bool driveRoot = separator == 2 && path[1] == L':';
    return narrow(std::wstring_view(path).substr(0, driveRoot ? separator + 1 : separator));
}

std::optional<std::string> loadModuleString(std::int32_t id) {
    const wchar_t* text = nullptr;
    // With no buffer the call hands out the resource's own read-only text.
    const int length = LoadStringW(thisModule(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::nullopt;
    return narrow(std::wstring_view(text, static_cast<std::size_t>(length)));
}

std::optional<std::span<const std::byte>> moduleResource(const wchar_t* type, const wchar_t* name) {
    const HRSRC found = FindResourceW(thisModule(), name, type);
    if (!found) return std::nullopt;
    // A loaded resource is part of the module's image: nothing to free.
    const HGLOBAL loaded = LoadResource(thisModule(), found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return std::nullopt;
    return std::span(static_cast<const std::byte*>(bytes), SizeofResource(thisModule(), found));
}

}  // namespace kq::win32
