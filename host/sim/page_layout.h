#pragma once
// How the simulated host cuts a worksheet into printed pages.
//
// Units: row heights are points; column widths are the host's characters (the
// width of one digit of the standard font), which take
//   (round(characters x 8) + 5) x 0.75 points,
// that is 8 screen pixels a character plus 5 pixels of cell padding at 96
// pixels an inch; a width or height of 0 hides the column or row. New rows are
// 13.5 points high and new columns 8.38 characters (54 points) wide.
//
// Pages: the paper (portrait, or turned for landscape) less the left, right,
// top and bottom margins is the room for cells; the header and footer print
// inside the margins and take none. A page takes as many whole rows (columns)
// as fit, at least one, and a manual break starts a new page before its row
// (column). Print-title rows (columns) repeat on every page that starts below
// (right of) them and take their room there; a page that starts on or above
// them prints them as ordinary rows. Zoom and fit-to-pages are not simulated.

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "host/sim/a1_address.h"

namespace kq::host::sim {

class SimWorksheet;

inline constexpr double kStandardRowHeight = 13.5;   // points
inline constexpr double kStandardColumnWidth = 8.38;  // characters

double columnWidthPoints(double characters);

// Portrait paper in points.
struct PaperSize {
    double width = 0;
    double height = 0;
};
// By the host's paper code: Letter 1, Legal 5, A3 8, A4 9, A5 11, B4 12, B5 13
// (the B sizes are the Japanese ones). Empty for a code the simulation lacks.
std::optional<PaperSize> paperSize(std::int32_t code);

// One direction of a layout: the rows (or columns) from `first` to `last`.
struct PageAxis {
    std::int32_t first = 1;
    std::int32_t last = 1;
    double room = 0;  // points a page has for them
    std::function<double(std::int32_t)> size;
    std::int32_t titlesEnd = 0;  // the last print-title row (column); 0: none
    double titlesSize = 0;       // the points the titles take where they repeat
    const std::set<std::int32_t>* manualBreaks = nullptr;
};

// The first row (column) of every page after the first, in order.
std::vector<std::int32_t> pageStarts(const PageAxis& axis);

// What a sheet's page setup makes of it. A print area of several areas is laid
// out by its first area; without a print area the used range is printed.
struct PageGrid {
    CellRect area;
    std::vector<std::int32_t> rowStarts;     // horizontal breaks
    std::vector<std::int32_t> columnStarts;  // vertical breaks
};
PageGrid layOutPages(const SimWorksheet& sheet);

}  // namespace kq::host::sim
