#include "viewer/properties/win32/history_properties_window.h"

#include <optional>

#include "common/text_codec.h"
#include "common/win32/win32_file_system.h"
#include "viewer/properties/history_properties.h"
#include "viewer/properties/win32/property_window.h"

namespace kq::viewer::win32 {

bool showHistoryProperties(HWND owner, const std::string& path, const PropertyServices& services) {
    // The file is read before the window opens and not touched while it stands.
    const std::optional<HistoryProperties> read =
        readHistoryProperties(kq::win32::filesOrSystem(services.files), systemAnsiCodec(), path);
    if (!read) {
        MessageBeep(MB_OK);
        return false;
    }
    showPropertyList(owner, historyPropertyRows(path, *read), services.help);
    return true;
}

}  // namespace kq::viewer::win32
