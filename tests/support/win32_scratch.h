#pragma once
// A folder of its own for a Windows test, in the system's temp folder, removed
// with its contents at the end.

#include <string>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

namespace kq::test {

inline void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    if (const win32::FindHandle search(FindFirstFileW((path + L"\\*").c_str(), &found)); search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.get(), &found));
    }
    RemoveDirectoryW(path.c_str());
}

class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId());
        removeTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, or a path inside it, as UTF-8.
    std::string path(const std::string& inside = {}) const {
        return win32::narrow(path_) + (inside.empty() ? "" : "\\" + inside);
    }

private:
    std::wstring path_;
};

inline DWORD attributesOf(const std::string& path) { return GetFileAttributesW(win32::wide(path).c_str()); }

// A drive letter that names no drive here, as "X:".
inline std::string unusedDrive() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    }
    return "B:";
}

}  // namespace kq::test
