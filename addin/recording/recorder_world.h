#pragma once
// What the print recorder reaches of the world: the host, the add-in's
// settings and sheet watches, the clock, and the system's services (message
// boxes, the saved notice, the clipboard, metafiles, the file system),
// each behind an interface, so that a whole recording runs natively against
// the simulated host and on Windows against the real one.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addin/core/doc_pros.h"
#include "addin/core/setting.h"
#include "addin/recording/clipboard_keeping.h"
#include "common/msgbox_model.h"
#include "common/clock.h"
#include "common/file_system.h"
#include "common/prompts.h"
#include "common/text_codec.h"
#include "host/host.h"

namespace kq::addin::recording {

// The clipboard as the recorder reads the host's copies from it. Each take
// reads once and leaves the clipboard empty, so that what the next read finds
// is the next copy or nothing, never an older copy.
class RecorderClipboard {
public:
    virtual ~RecorderClipboard() = default;
    virtual void clear() = 0;
    // The clipboard's enhanced metafile as the bytes of a metafile file;
    // empty when there is none or it can't be read.
    virtual std::optional<std::vector<std::uint8_t>> takeEnhMetafile() = 0;
    // The clipboard's text; empty when there is none or it can't be read.
    virtual std::optional<std::string> takeText() = 0;
};

struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// One piece of a page as it is drawn on the page, in pixels.
struct PiecePlacement {
    std::span<const std::uint8_t> picture;  // the piece as a whole metafile file
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool background = false;  // drawn on the light back that marks print titles
    friend bool operator==(const PiecePlacement& a, const PiecePlacement& b) {
        return std::ranges::equal(a.picture, b.picture) && a.left == b.left && a.top == b.top &&
               a.width == b.width && a.height == b.height && a.background == b.background;
    }
};

// Metafiles of page pieces and of whole pages, as the bytes of metafile files.
class PageComposer {
public:
    virtual ~PageComposer() = default;
    // The size in pixels of a metafile's picture; empty when it can't be
    // read or no size factor is to be had.
    virtual std::optional<PixelSize> pieceSize(std::span<const std::uint8_t> picture) = 0;
    // A new metafile of the page's size with every piece played into its
    // place, in the given order; empty when it can't be made.
    virtual std::optional<std::vector<std::uint8_t>> combine(PixelSize page,
                                                             const std::vector<PiecePlacement>& pieces) = 0;
};

// The services of the running system that one recording uses.
class RecorderSystem {
public:
    virtual ~RecorderSystem() = default;
    // The OsCode stored in every history file.
    virtual std::int32_t GetOS() = 0;
    // The add-in's own message box, owned by the host's main window.
    virtual std::int32_t MsgBoxEx(const MsgBoxExArgs& args) = 0;
    // Shows the saved notice for `seconds` and returns at once.
    virtual void ShowFinished(double seconds) = 0;
    // The user's clipboard as clipboard keeping sees it.
    virtual Clipboard& userClipboard() = 0;
    virtual RecorderClipboard& clipboard() = 0;
    virtual PageComposer& composer() = 0;
    virtual FileSystem& files() = 0;
    // Plain message boxes: the error box at the end of a run, and the like.
    virtual Prompts& prompts() = 0;
    virtual const AnsiCodec& codec() = 0;
};

struct RecorderWorld {
    host::ApplicationPtr application;
    c_Setting& setting;
    c_Xl_DocPros& docPros;
    const Clock& clock;
    RecorderSystem& system;
    std::string title;    // the add-in's title in its messages
    std::string version;  // the library's version as history files carry it
};

}  // namespace kq::addin::recording
