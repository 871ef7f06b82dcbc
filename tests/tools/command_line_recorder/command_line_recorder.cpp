// Stands in for a program that another one starts: it writes the command line
// it was given, as the system hands it over (UTF-16, no byte-order mark), to
// its own path with ".log" added, and ends. Tests put a copy where the viewer
// would be, or register it as the program that opens a kind of file or
// address (shell_open_recorder.h).

#include "common/win32/windows_api.h"

#include <string>

#include "common/win32/handles.h"

namespace {

// The log appears whole or not at all: it is written beside and then renamed.
bool writeLog(const std::wstring& log, const wchar_t* text, DWORD bytes) {
    const std::wstring part = log + L".part";
    {
        const kq::win32::FileHandle file(
            CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), text, bytes, &written, nullptr) || written != bytes) return false;
    }
    return MoveFileExW(part.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

int wmain() {
    std::wstring self(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0 || length >= self.size()) return 2;
    self.resize(length);
    const wchar_t* line = GetCommandLineW();
    return writeLog(self + L".log", line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t))) ? 0 : 1;
}
