#pragma once
// What the simulated host's Range.CopyPicture and Range.Copy hand to the
// clipboard. The model says what is to be drawn and what text is copied; a
// SimClipboard puts it on a clipboard: the system's, drawn with GDI into an
// enhanced metafile (host/sim/win32), or one in memory for portable tests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/a1_address.h"

namespace kq::host::sim {

class SimWorksheet;

// A cell's text as the host places it without an alignment format: numbers
// and dates to the right, TRUE/FALSE and error values centred, text to the left.
enum class CellAlign { left, center, right };

// A cell that shows text, its rectangle in points from the range's top-left corner.
struct DrawnCell {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    std::string text;  // as displayed, UTF-8, line breaks as LF
    CellAlign align = CellAlign::left;
    friend bool operator==(const DrawnCell&, const DrawnCell&) = default;
};

// A range as its picture: its size in points, the grid lines (every column's
// left edge and the last one's right edge; the same for rows) and the cells
// with text. Hidden rows and columns have no size and show no cells.
struct RangeDrawing {
    double width = 0;
    double height = 0;
    std::vector<double> columnEdges;
    std::vector<double> rowEdges;
    std::vector<DrawnCell> cells;
};

RangeDrawing drawRange(const SimWorksheet& sheet, const CellRect& area);

// The host's clipboard text of a range: displayed texts, cells separated by
// TAB, every row (the last too) ended by CR LF; a text holding a line break, a
// TAB or a double quote is put in double quotes with its quotes doubled.
std::string clipboardText(const SimWorksheet& sheet, const CellRect& area);

// Where copies go. Each put replaces the whole clipboard, as the host empties
// it before it copies; a failure throws HostError.
class SimClipboard {
public:
    virtual ~SimClipboard() = default;
    virtual void putPicture(const RangeDrawing& drawing) = 0;
    virtual void putText(const std::string& text) = 0;
};

// A clipboard in memory: holds what was put last.
class MemoryClipboard final : public SimClipboard {
public:
    void putPicture(const RangeDrawing& drawing) override {
        picture = drawing;
        text.reset();
    }
    void putText(const std::string& copied) override {
        text = copied;
        picture.reset();
    }

    std::optional<RangeDrawing> picture;
    std::optional<std::string> text;
};

}  // namespace kq::host::sim
