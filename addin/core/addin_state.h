#pragma once
// What the add-in holds while it is connected: the host, its event sink, the
// settings, the sheet watches, the string base and title, and the print on its
// way. The connection makes one once the host has passed the gates and
// destroys it at disconnection, so a refused or idle add-in has none, and a
// later connection starts from nothing.

#include <cstdint>
#include <memory>
#include <string>

#include "addin/core/doc_pros.h"
#include "addin/core/setting.h"
#include "host/host.h"

namespace kq::addin {

class c_Xl;

// Which command started the next print.
namespace print_kind {
inline constexpr std::int32_t kOther = 0;
inline constexpr std::int32_t kPrint = 1;
inline constexpr std::int32_t kQuickPrint = 2;
inline constexpr std::int32_t kPreview = 3;
}  // namespace print_kind

class AddinState {
public:
    explicit AddinState(host::ApplicationPtr application);
    // Releases in the order the disconnection does: the settings (which writes
    // them), the event sink, the sheet watches (whose records hold host
    // objects), the host.
    ~AddinState();
    AddinState(const AddinState&) = delete;
    AddinState& operator=(const AddinState&) = delete;

    // The sheet watches, made when first asked for.
    c_Xl_DocPros& g_DocPros();

    host::ApplicationPtr g_Application;
    std::unique_ptr<c_Xl> g_Xl;
    // Creating it reads the settings, releasing it writes them.
    std::shared_ptr<c_Setting> g_Setting;
    // Base id of the resource strings: 1000 on Japanese systems, 2000 elsewhere.
    std::int32_t g_ResBase = 0;
    // The product title of hosts before 12: the floating toolbar's name.
    std::string g_Title;
    std::int32_t PrintCommandKind = print_kind::kOther;
    // Set while the helper workbook's after-print call is scheduled.
    bool AfterPrintPending = false;

private:
    std::unique_ptr<c_Xl_DocPros> docPros_;
};

}  // namespace kq::addin
