#include "host/sim/page_layout.h"

#include <cmath>

#include "host/sim/sim_sheet.h"

namespace kq::host::sim {
namespace {

constexpr double kPointsPerMillimetre = 72 / 25.4;
constexpr double kPointsPerPixel = 0.75;
// Sums of fractional sizes must not lose a row to rounding at the page's edge.
constexpr double kTolerance = 1e-9;

constexpr PaperSize millimetres(double width, double height) {
    return {width * kPointsPerMillimetre, height * kPointsPerMillimetre};
}

struct PaperCode {
    std::int32_t code;
    PaperSize size;
};
constexpr PaperCode kPapers[] = {
    {1, {612, 792}},   {5, {612, 1008}},  {8, millimetres(297, 420)}, {9, millimetres(210, 297)},
    {11, millimetres(148, 210)}, {12, millimetres(257, 364)}, {13, millimetres(182, 257)},
};

// The span from the first title row (column) to the last, and the points they take.
std::pair<std::int32_t, double> titles(const std::vector<CellRect>& areas, bool rows,
                                       const std::function<double(std::int32_t)>& size) {
    std::int32_t end = 0;
    double total = 0;
    for (const CellRect& a : areas) {
        const std::int32_t first = rows ? a.top : a.left;
        const std::int32_t last = rows ? a.bottom : a.right;
        end = std::max(end, last);
        for (std::int32_t i = first; i <= last; ++i) total += size(i);
    }
    return {end, total};
}

}  // namespace

double columnWidthPoints(double characters) {
    if (characters <= 0) return 0;
    return (std::round(characters * 8) + 5) * kPointsPerPixel;
}

std::optional<PaperSize> paperSize(std::int32_t code) {
    for (const PaperCode& p : kPapers) {
        if (p.code == code) return p.size;
    }
    return std::nullopt;
}

std::vector<std::int32_t> pageStarts(const PageAxis& axis) {
    std::vector<std::int32_t> starts;
    std::int32_t start = axis.first;
    while (start <= axis.last) {
        const double room = axis.room - (axis.titlesEnd != 0 && start > axis.titlesEnd ? axis.titlesSize : 0);
        double used = 0;
        std::int32_t next = start;
        while (next <= axis.last) {
            if (next > start && axis.manualBreaks && axis.manualBreaks->contains(next)) break;
            const double size = axis.size(next);
            if (next > start && used + size > room + kTolerance) break;
            used += size;
            ++next;
        }
        if (next <= axis.last) starts.push_back(next);
        start = next;
    }
    return starts;
}

// A paper code the simulation lacks prints on A4, as a printer without that
// size prints on its default paper.
PageGrid layOutPages(const SimWorksheet& sheet) {
    const PageSetupData& setup = sheet.setup();
    PageGrid grid;
    grid.area = setup.printArea.empty() ? sheet.usedArea() : setup.printArea.front();

    PaperSize paper = paperSize(setup.paperSize).value_or(*paperSize(9));
    if (setup.orientation == 2) std::swap(paper.width, paper.height);

    const auto rowSize = [&](std::int32_t row) { return sheet.rowPoints(row); };
    const auto columnSize = [&](std::int32_t column) { return sheet.columnPoints(column); };
    const auto [rowTitlesEnd, rowTitlesSize] = titles(setup.printTitleRows, true, rowSize);
    const auto [columnTitlesEnd, columnTitlesSize] = titles(setup.printTitleColumns, false, columnSize);

    grid.rowStarts = pageStarts({grid.area.top, grid.area.bottom, paper.height - setup.topMargin - setup.bottomMargin,
                                 rowSize, rowTitlesEnd, rowTitlesSize, &sheet.rowBreaks()});
    grid.columnStarts = pageStarts({grid.area.left, grid.area.right, paper.width - setup.leftMargin - setup.rightMargin,
                                    columnSize, columnTitlesEnd, columnTitlesSize, &sheet.columnBreaks()});
    return grid;
}

}  // namespace kq::host::sim
