#pragma once
// Keeping the user's clipboard while a sheet is recorded: the recorder takes
// page pictures and texts through the clipboard, so what the user had there
// is kept before and put back after.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kq::addin::recording {

// The formats kept, by the numbers of the forms runtime's clipboard constants.
enum class ClipFormat : std::uint32_t {
    Bitmap = 2,
    Metafile = 3,
    Dib = 8,
    Palette = 9,
    Link = 0xBF00,  // DDE link; the system knows it by its registered name
    Text = 1,
};

// Examined in this order; nothing else on the clipboard is kept.
inline constexpr std::array<ClipFormat, 6> kKeptFormatOrder = {
    ClipFormat::Bitmap, ClipFormat::Metafile, ClipFormat::Dib,
    ClipFormat::Palette, ClipFormat::Link, ClipFormat::Text,
};

// What one format held; each implementation owns and frees its own kind.
class ClipboardData {
public:
    virtual ~ClipboardData() = default;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool has(ClipFormat format) = 0;
    // A copy the caller owns; null when the format can't be read.
    virtual std::unique_ptr<ClipboardData> get(ClipFormat format) = 0;
    virtual void clear() = 0;
    // Places a copy of `data`; false when the clipboard refused it.
    virtual bool put(ClipFormat format, const ClipboardData& data) = 0;
};

class ClipboardKeeper {
public:
    // Forgets what was kept and keeps what the clipboard holds now.
    void BackupClipboard(Clipboard& clipboard);
    // Clears the clipboard and puts the kept entries back, in kept order.
    void RestoreClipboard(Clipboard& clipboard) const;

    std::vector<ClipFormat> keptFormats() const;

private:
    struct Kept {
        ClipFormat format;
        std::unique_ptr<ClipboardData> data;
    };
    std::vector<Kept> kept_;
};

}  // namespace kq::addin::recording
