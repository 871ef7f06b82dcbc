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
#include "viewer/shell/geometry.h"
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
    PageNumber number;
    std::vector<std::uint8_t> metafile;  // empty: the page cannot be drawn, the cross shows
    std::string comments;
    std::string errors;
};

// Reads the page `wantedPage` (clamped) of the history, with its comments and
// error lines. A missing file gives nothing loaded (the caller beeps). A
// history whose header cannot be read is not loaded; a damaged page leaves
// the metafile empty, and the comments and error lines are still shown when
// the records around the page are sound.
LoadedPage loadHistoryPage(FileSystem& files, const AnsiCodec& codec, const std::string& path, int wantedPage);

}  // namespace kq::viewer
