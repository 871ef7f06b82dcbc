#pragma once
// Facts about the system and the host, as Windows gives them to the add-in
// library: its module and file, the Windows version, the user's country, its
// own string table, the host's main window and the owner of a dialog.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <optional>
#include <string>

#include "common/win32/system_version.h"
#include "addin/core/res_string.h"
#include "host/host.h"

namespace kq::addin::win32 {

using kq::win32::GetOS;
using kq::win32::SystemVersion;
// The English name of the user locale's country in upper case; "" when the system gives none.
std::string LanguagenameFromOS();

// The string table of this module.
class ModuleStrings final : public ResourceStrings {
public:
    std::optional<std::string> LoadResString(std::int32_t id) override;
};
std::string LoadResStringEx(std::int32_t id);

// The host's main window: class "XLMAIN" with the host's caption; null
// without a host or when no such window exists.
HWND GetXlHwnd(const host::ApplicationPtr& application);
// Makes `hWnd` an owned window of `ownerHwnd` (no owner when null).
void SetParentWindow(HWND hWnd, HWND ownerHwnd);

// The calendar date on which the library file was last written; the zero date
// when the file cannot be read.
host::Date GetAppDay();
host::Date DayLastWritten(const std::string& path);

}  // namespace kq::addin::win32
