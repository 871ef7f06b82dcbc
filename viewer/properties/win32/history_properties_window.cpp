#include "viewer/properties/win32/history_properties_window.h"

#include <optional>

#include "common/text_codec.h"
#include "common/win32/win32_file_system.h"
#include "viewer/properties/history_properties.h"
#include "viewer/properties/win32/property_window.h"

namespace kq::viewer::win32 {

namespace {

// The files are read before the window opens and not touched while it stands.
template <class Show>
auto withFiles(const PropertyServices& services, Show show) {
    if (services.files) return show(*services.files);
    kq::win32::Win32FileSystem system;
    return show(static_cast<FileSystem&>(system));
}

}  // namespace

bool showHistoryProperties(HWND owner, const std::string& path, const PropertyServices& services) {
    const std::optional<PropertyRows> rows = withFiles(services, [&](FileSystem& files) -> std::optional<PropertyRows> {
        const std::optional<HistoryProperties> read = readHistoryProperties(files, systemAnsiCodec(), path);
        if (!read) return std::nullopt;
        return historyPropertyRows(path, *read);
    });
    if (!rows) {
        MessageBeep(MB_OK);
        return false;
    }
    showPropertyList(owner, *rows, services.help);
    return true;
}

}  // namespace kq::viewer::win32
