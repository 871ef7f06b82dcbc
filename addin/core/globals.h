#pragma once
// The program-wide values of the add-in library. The connection sets the host
// and the settings object and the disconnection releases them; until then, and
// after a refused or broken connection, any of them may be missing, and every
// user of them must expect that.

#include <cstdint>
#include <memory>
#include <string>

#include "addin/core/setting.h"
#include "host/host.h"

namespace kq::addin {

// The host; empty while the add-in is refused or idle.
extern host::ApplicationPtr g_Application;
// Creating it reads the settings, releasing it writes them.
extern std::shared_ptr<c_Setting> g_Setting;
// Base id of the resource strings: 1000 on Japanese systems, 2000 elsewhere.
extern std::int32_t g_ResBase;
// The product title of hosts before 12: the floating toolbar's name.
extern std::string g_Title;

// Which command started the next print.
namespace print_kind {
inline constexpr std::int32_t kOther = 0;
inline constexpr std::int32_t kPrint = 1;
inline constexpr std::int32_t kQuickPrint = 2;
inline constexpr std::int32_t kPreview = 3;
}  // namespace print_kind
extern std::int32_t PrintCommandKind;
// Set while the helper workbook's after-print call is scheduled.
extern bool AfterPrintPending;

// The add-in's title in its messages and dialog captions.
std::string GetAppTitle();

}  // namespace kq::addin
