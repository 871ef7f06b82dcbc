#include "addin/core/win32/system_services.h"

#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::addin::win32 {

SystemFailure SystemError(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const kq::win32::LocalMemory<wchar_t> owned(text);
    std::wstring description = length && text ? std::wstring(text, length) : std::wstring();
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' || description.back() == L' ')) {
        description.pop_back();
    }
    return {static_cast<std::int32_t>(code), kq::win32::narrow(description)};
}

std::optional<SystemFailure> StartProgram(const std::string& program, const std::string& commandLine) {
    const std::wstring application = kq::win32::wide(program);
    // CreateProcessW may write into the command line.
    std::wstring line = kq::win32::wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return SystemError(GetLastError());
    }
    const kq::win32::KernelHandle thread(process.hThread);
    const kq::win32::KernelHandle running(process.hProcess);
    return std::nullopt;
}

}  // namespace kq::addin::win32
