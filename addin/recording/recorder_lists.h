#pragma once
// The lists that the recording driver, the page maker and the shape and
// comment collectors share while a print is recorded. Every entry keeps its
// fields apart, so a TAB inside a title, value, shape or comment text stays
// part of that text.

#include <cstdint>
#include <string>
#include <vector>

#include "common/history_file.h"

namespace kq::addin::recording {

// The part of the printed sheet a piece of a page shows. The pieces of a page
// go together by their kinds: the corner and the title columns on the left,
// the corner and the title rows on top, the body at the bottom right.
enum class PieceKind { body, titleRows, titleColumns, corner };

// One captured piece of a page. Pieces and their texts are kept in memory
// until the sheet's history is written: a history holds them all anyway.
struct PageEntry {
    std::int32_t page = 0;        // page number, from 1
    std::int32_t piece = 0;       // position within the page, from 1
    std::int32_t pieceCount = 0;  // pieces the page was cut into
    PieceKind kind = PieceKind::body;
    std::vector<std::uint8_t> picture;  // the piece as a whole metafile file
    friend bool operator==(const PageEntry&, const PageEntry&) = default;
};

// The text of one captured piece.
struct TextEntry {
    std::int32_t page = 0;
    std::string text;  // the clipboard's text in the ANSI code page, one more CR LF after it
    friend bool operator==(const TextEntry&, const TextEntry&) = default;
};

struct RecordingLists {
    // One run's error lines, in the order they came.
    std::vector<std::string> colErrors;
    // One sheet's findings.
    std::vector<UserHeadingRecord> colTitles;
    std::vector<PageEntry> colPages;  // in capture order
    std::vector<TextEntry> colTexts;  // in capture order
    std::vector<ShapeRecord> colShapes;
    std::vector<CommentRecord> colComments;

    void newSheet() {
        colTitles.clear();
        colPages.clear();
        colTexts.clear();
        colShapes.clear();
        colComments.clear();
    }
};

}  // namespace kq::addin::recording
