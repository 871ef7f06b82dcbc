#include "common/win32/system_version.h"

namespace kq::win32 {

namespace {

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

bool SystemVersion::extendedRecord() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != FALSE;
}

std::optional<WindowsVersion> SystemVersion::basicRecord() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return std::nullopt;
    return WindowsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

std::optional<TrueVersion> SystemVersion::trueVersion() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return std::nullopt;
    const FARPROC proc = GetProcAddress(ntdll, "RtlGetVersion");
    if (!proc) return std::nullopt;
    // Through a function type without parameters: the one cast the compiler accepts between function types.
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(proc));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0) return std::nullopt;
    return TrueVersion{info.dwMajorVersion, info.dwMinorVersion};
}

std::int32_t GetOS(std::string& versionText) {
    SystemVersion source;
    return kq::GetOS(source, versionText);
}

}  // namespace kq::win32
