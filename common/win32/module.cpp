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

}  // namespace kq::win32
