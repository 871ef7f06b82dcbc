#include "addin/recording/clipboard_keeping.h"

#include <utility>

namespace kq::addin::recording {

// Neither direction reports anything: recording goes on whatever the
// clipboard held, so a format that can't be read or put back is left out.
void ClipboardKeeper::BackupClipboard(Clipboard& clipboard) {
    kept_.clear();
    for (const ClipFormat format : kKeptFormatOrder) {
        if (!clipboard.has(format)) continue;
        if (auto data = clipboard.get(format)) kept_.push_back({format, std::move(data)});
    }
}

void ClipboardKeeper::RestoreClipboard(Clipboard& clipboard) const {
    clipboard.clear();
    for (const Kept& entry : kept_) clipboard.put(entry.format, *entry.data);
}

std::vector<ClipFormat> ClipboardKeeper::keptFormats() const {
    std::vector<ClipFormat> formats;
    formats.reserve(kept_.size());
    for (const Kept& entry : kept_) formats.push_back(entry.format);
    return formats;
}

}  // namespace kq::addin::recording
