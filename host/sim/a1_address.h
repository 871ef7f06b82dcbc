#pragma once
// A1 addresses as the host reads and writes them: cells, rectangles, entire
// rows ("1:2") and columns ("A:B"), "$" anywhere a row or column may take one,
// several areas joined by ",", each optionally qualified by a sheet name.
// Parsing knows nothing of defined names; a text that is no address is left
// to the caller to look up.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq::host::sim {

// How many rows and columns a sheet has; it depends on the host version.
struct GridSize {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    friend bool operator==(const GridSize&, const GridSize&) = default;
};
inline constexpr GridSize kSmallGrid{65536, 256};
inline constexpr GridSize kLargeGrid{1048576, 16384};

// Hosts before version 12 have the small grid.
GridSize gridForVersion(std::string_view version);

// A rectangle of cells; rows and columns count from 1, both corners included.
struct CellRect {
    std::int32_t top = 1;
    std::int32_t left = 1;
    std::int32_t bottom = 1;
    std::int32_t right = 1;

    std::int32_t rowCount() const { return bottom - top + 1; }
    std::int32_t columnCount() const { return right - left + 1; }
    std::int64_t cellCount() const { return std::int64_t{rowCount()} * columnCount(); }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

inline CellRect cellRect(std::int32_t row, std::int32_t column) { return {row, column, row, column}; }
inline bool fitsGrid(const CellRect& r, GridSize grid) {
    return r.top >= 1 && r.left >= 1 && r.top <= r.bottom && r.left <= r.right && r.bottom <= grid.rows &&
           r.right <= grid.columns;
}

// "A", "Z", "AA", ... for columns from 1.
std::string columnLetters(std::int32_t column);
// The column that letters name (either case), or empty when they name none of the grid.
std::optional<std::int32_t> parseColumnLetters(std::string_view letters, GridSize grid);

// The host's absolute form: "$A$1", "$B$2:$C$3"; a rectangle over all columns
// is written as rows ("$1:$2"), one over all rows as columns ("$A:$B").
std::string formatRect(const CellRect& rect, GridSize grid);
// Areas joined by ",".
std::string formatAreas(const std::vector<CellRect>& areas, GridSize grid);

// A sheet name as a qualifier before "!": bare when the host would write it so,
// else in single quotes with quotes doubled.
std::string quoteSheetName(std::string_view name);

struct QualifiedArea {
    std::optional<std::string> sheet;  // the "Sheet1" of "Sheet1!A1", unquoted
    CellRect rect;
    friend bool operator==(const QualifiedArea&, const QualifiedArea&) = default;
};

// The areas an address names, in the order written, each with its corners put
// in order (B2:A1 is A1:B2). Empty when the text is no address on this grid.
std::optional<std::vector<QualifiedArea>> parseAddress(std::string_view text, GridSize grid);

}  // namespace kq::host::sim
