#include "common/win32/shell.h"

#include "common/win32/windows_api.h"

#include <shellapi.h>

#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::win32 {

bool PlainFileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotPlain) == 0;
}

void ShellOpen(const std::string& path) {
    ShellExecuteW(nullptr, L"open", wide(path).c_str(), L"", L"", SW_SHOWNORMAL);
}

std::string ShellHelpServices::ProgramFolder() { return thisModuleFolder(); }

}  // namespace kq::win32
