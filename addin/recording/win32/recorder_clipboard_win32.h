#pragma once
// The system clipboard as the recorder reads the host's copies from it.

#include "addin/recording/recorder_world.h"
#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32 {

// Opens the clipboard once for each read, and not between the host's copies;
// a clipboard that another program holds open is tried again for a short
// while.
class Win32RecorderClipboard final : public RecorderClipboard {
public:
    void clear() override;
    // CF_ENHMETAFILE, its bits copied once.
    std::optional<std::vector<std::uint8_t>> takeEnhMetafile() override;
    // CF_UNICODETEXT (which the system also makes from CF_TEXT), as UTF-8.
    std::optional<std::string> takeText() override;
};

}  // namespace kq::addin::recording::win32
