#pragma once
// The page view: which page of the chosen history is shown, the page panel's
// texts and buttons, the comments and error lines, and where the page, its
// shadow and frame go in the view. The window draws the metafile into the
// rectangles given here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/history_file.h"
#include "common/text_codec.h"
#include "viewer/main_window/geometry.h"
#include "viewer/texts.h"

namespace kq::viewer {

inline constexpr Colour kViewBackground{252, 252, 252};
inline constexpr Colour kFrameColour{200, 200, 200};
inline constexpr Colour kCrossColour{255, 0, 0};
// The red cross of a view with no page: its square in device pixels, with
// both diagonals.
inline constexpr int kCrossFrom = 20;
inline constexpr int kCrossTo = 52;
// The page's margin in the view, left and top (and as much right and below).
inline constexpr double kPageMargin = 300;

// Where the page goes in a view of the given inner size (twips): scaled to
// fit, never enlarged. Empty when the view leaves no room after the margins
// (600 twips or less): nothing is drawn and the scale stays as it was.
struct PageFit {
    Rect page;
    double scale = 0;  // drawn width / natural width
    friend bool operator==(const PageFit&, const PageFit&) = default;
};
std::optional<PageFit> fitPage(double naturalWidth, double naturalHeight, double viewWidth, double viewHeight);

struct ShadowTile {
    enum class Kind { right, bottom, topRight, bottomLeft, bottomRight };
    Kind kind;
    double x, y;  // twips
    friend bool operator==(const ShadowTile&, const ShadowTile&) = default;
};
// The drop shadow along the right and bottom edges, a tile every 8 pixels.
std::vector<ShadowTile> shadowTiles(const Rect& page, double twipsPerPixelX);

// The page number, the page buttons and the label's state.
struct PageNumber {
    int current = 0;  // after clamping to the history's pages, 0 when it has none
    int count = 0;
    std::string label{texts::kFirstPageNumber};  // "n / m ページ"
    bool previousEnabled = false;
    bool nextEnabled = false;
    bool labelEnabled = false;
    friend bool operator==(const PageNumber&, const PageNumber&) = default;
};
PageNumber pageNumber(int wantedPage, int pageCount);
// While no history is shown the page number keeps the caption it had,
// greyed, and there is no page to turn to.
PageNumber greyed(PageNumber shown);

// Comments as the comment box shows them: "セル　：　" and the cell, then
// "コメント　：　" and the text with continuation lines indented under it;
// an empty line between comments.
std::string commentText(const std::vector<CommentRecord>& comments);
std::string errorText(const std::vector<TextLineRecord>& errorLines);

// A history's page as the view shows it.
struct LoadedPage {
    bool loaded = false;  // the history was read (the view shows the page or its cross)
    std::string path;     // the history's, once read
    PageNumber number;
    std::vector<std::uint8_t> metafile;  // empty: the page cannot be drawn, the cross shows
    std::string comments;
    std::string errors;
    friend bool operator==(const LoadedPage&, const LoadedPage&) = default;
};

// Reads the page `wantedPage` (clamped) of the history, with its comments and
// error lines. A missing file gives nothing loaded (the caller beeps). A
// history whose header cannot be read is not loaded; a damaged page leaves
// the metafile empty, and the comments and error lines are still shown when
// the records around the page are sound.
LoadedPage loadHistoryPage(FileSystem& files, const AnsiCodec& codec, const std::string& path, int wantedPage);

// Loads pages as loadHistoryPage does, and gives what it gives. It keeps where
// the parts of the history it read last lie, so that a turn to another of its
// pages reads only that page's record, the comments and error lines, and the
// header and headings that tell the file is still the one it read; a file
// that differs there is read anew. One thread at a time.
class PageReader {
public:
    PageReader(FileSystem& files, const AnsiCodec& codec) : files_(files), codec_(codec) {}

    LoadedPage load(const std::string& path, int wantedPage);

private:
    // The last history read whole, and its bytes that a turn reads again.
    struct Known {
        std::string path;
        std::uint64_t size = 0;
        std::vector<std::uint8_t> head;  // header and headings
        std::uint64_t notesAt = 0;
        std::vector<std::uint8_t> notes;  // comments and error lines
        int pageCount = 0;
        std::vector<PageImageRecord> pages;
        std::vector<std::size_t> damagedPages;
        std::string comments;
        std::string errors;
    };
    // The page from what is known, or empty when the file is not as known.
    std::optional<LoadedPage> fromKnown(ByteSource& source, const std::string& path, int wantedPage);

    FileSystem& files_;
    const AnsiCodec& codec_;
    std::optional<Known> known_;
};

}  // namespace kq::viewer
