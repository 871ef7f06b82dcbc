#include "addin/core/win32/system_helpers.h"

#include <vector>

#include "addin/core/library_file.h"
#include "common/vb.h"
#include "common/win32/known_folders.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::addin::win32 {

namespace {

constexpr int kLocaleBuffer = 256;

}  // namespace

std::string LanguagenameFromOS() {
    wchar_t buffer[kLocaleBuffer] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, buffer, kLocaleBuffer) == 0) return {};
    std::wstring name(buffer, wcsnlen(buffer, kLocaleBuffer));
    if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return kq::win32::narrow(name);
}

std::optional<std::string> ModuleStrings::LoadResString(std::int32_t id) { return kq::win32::loadModuleString(id); }

std::string LoadResStringEx(std::int32_t id) {
    ModuleStrings strings;
    return addin::LoadResStringEx(strings, id);
}

HWND GetXlHwnd(const host::ApplicationPtr& application) {
    if (!application) return nullptr;
    const std::wstring caption = kq::win32::wide(application->Caption());
    return FindWindowW(L"XLMAIN", caption.c_str());
}

void SetParentWindow(HWND hWnd, HWND ownerHwnd) {
    SetWindowLongPtrW(hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHwnd));
}

host::Date GetAppDay() {
    const std::wstring path = kq::win32::thisModulePath();
    const auto slash = path.rfind(L'\\');
    std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (const auto dot = base.rfind(L'.'); dot != std::wstring::npos) base.resize(dot);
    return DayLastWritten(LibraryFilePath(kq::win32::thisModuleFolder(), kq::win32::narrow(base)));
}

host::Date DayLastWritten(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(kq::win32::wide(path).c_str(), GetFileExInfoStandard, &data)) return {};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time)) return {};
    const auto day = vb::ToOleDate({time.wYear, time.wMonth, time.wDay, 0, 0, 0});
    return day ? host::Date{*day} : host::Date{};
}

}  // namespace kq::addin::win32
