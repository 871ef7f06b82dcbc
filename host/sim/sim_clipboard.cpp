#include "host/sim/sim_clipboard.h"

#include <type_traits>
#include <variant>

#include "host/sim/sim_sheet.h"

namespace kq::host::sim {
namespace {

CellAlign generalAlign(const Value& value) {
    return std::visit(
        [](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double> || std::is_same_v<T, Date>) return CellAlign::right;
            if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, CellError>) return CellAlign::center;
            return CellAlign::left;
        },
        value);
}

std::vector<double> edges(std::int32_t first, std::int32_t last, double (SimWorksheet::*size)(std::int32_t) const,
                          const SimWorksheet& sheet) {
    std::vector<double> at{0};
    for (std::int32_t i = first; i <= last; ++i) at.push_back(at.back() + (sheet.*size)(i));
    return at;
}

std::string quotedWhenNeeded(const std::string& text) {
    if (text.find_first_of("\r\n\t\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace

RangeDrawing drawRange(const SimWorksheet& sheet, const CellRect& area) {
    RangeDrawing d;
    d.columnEdges = edges(area.left, area.right, &SimWorksheet::columnPoints, sheet);
    d.rowEdges = edges(area.top, area.bottom, &SimWorksheet::rowPoints, sheet);
    d.width = d.columnEdges.back();
    d.height = d.rowEdges.back();
    const auto& cells = sheet.cells();
    for (auto it = cells.lower_bound({area.top, area.left}); it != cells.end() && it->first.first <= area.bottom; ++it) {
        const auto [row, column] = it->first;
        if (column < area.left || column > area.right) continue;
        const std::size_t r = static_cast<std::size_t>(row - area.top);
        const std::size_t c = static_cast<std::size_t>(column - area.left);
        DrawnCell cell{d.columnEdges[c], d.rowEdges[r], d.columnEdges[c + 1] - d.columnEdges[c],
                       d.rowEdges[r + 1] - d.rowEdges[r], sheet.textAt(row, column), generalAlign(it->second.value)};
        if (cell.width > 0 && cell.height > 0 && !cell.text.empty()) d.cells.push_back(std::move(cell));
    }
    return d;
}

std::string clipboardText(const SimWorksheet& sheet, const CellRect& area) {
    std::string text;
    for (std::int32_t row = area.top; row <= area.bottom; ++row) {
        for (std::int32_t column = area.left; column <= area.right; ++column) {
            if (column > area.left) text += '\t';
            text += quotedWhenNeeded(sheet.textAt(row, column));
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace kq::host::sim
