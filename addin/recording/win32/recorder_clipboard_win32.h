#pragma once
// The system clipboard as the recorder reads the host's copies from it.

#include "addin/recording/recorder_world.h"
#include "common/win32/windows_api.h"

namespace kq::addin::recording::win32 {

// Opens the clipboard for each operation only, so that the host can copy
// between them; a clipboard that another program holds open is tried again
// for a short while.
class Win32RecorderClipboard final : public RecorderClipboard {
public:
    void clear() override;
    bool hasEnhMetafile() override;
    // CF_ENHMETAFILE, copied into a metafile file.
    bool saveEnhMetafile(const std::string& path) override;
    bool hasText() override;
    // CF_UNICODETEXT (which the system also makes from CF_TEXT), as UTF-8.
    std::optional<std::string> text() override;
};

}  // namespace kq::addin::recording::win32
