#include "host/sim/a1_address.h"

#include <algorithm>
#include <utility>

#include "common/vb.h"

namespace kq::host::sim {
namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One corner of an area: "$A$1", "A", "$1", ... Missing parts stay empty.
struct Corner {
    std::optional<std::int32_t> column;
    std::optional<std::int32_t> row;
};

std::optional<std::int32_t> parseRowNumber(std::string_view digits, GridSize grid) {
    if (digits.empty() || digits.size() > 7 || digits.front() == '0') return std::nullopt;
    std::int32_t row = 0;
    for (char c : digits) {
        if (!isDigit(c)) return std::nullopt;
        row = row * 10 + (c - '0');
    }
    if (row > grid.rows) return std::nullopt;
    return row;
}

std::optional<Corner> parseCorner(std::string_view text, GridSize grid) {
    Corner corner;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '$') ++at;
    const std::size_t lettersStart = at;
    while (at < text.size() && isAsciiLetter(text[at])) ++at;
    if (at > lettersStart) {
        corner.column = parseColumnLetters(text.substr(lettersStart, at - lettersStart), grid);
        if (!corner.column) return std::nullopt;
        if (at < text.size() && text[at] == '$') ++at;
    } else if (at > 0 && at == text.size()) {
        return std::nullopt;  // a lone "$"
    }
    if (at < text.size()) {
        corner.row = parseRowNumber(text.substr(at), grid);
        if (!corner.row) return std::nullopt;
    } else if (text.empty() || text.back() == '$') {
        return std::nullopt;
    }
    return corner;
}

std::optional<CellRect> parseRect(std::string_view text, GridSize grid) {
    const std::size_t colon = text.find(':');
    const std::string_view first = text.substr(0, colon);
    const auto a = parseCorner(first, grid);
    if (!a) return std::nullopt;
    if (colon == std::string_view::npos) {
        if (!a->column || !a->row) return std::nullopt;
        return cellRect(*a->row, *a->column);
    }
    const auto b = parseCorner(text.substr(colon + 1), grid);
    if (!b) return std::nullopt;
    CellRect rect;
    if (a->column && a->row && b->column && b->row) {
        rect = {*a->row, *a->column, *b->row, *b->column};
    } else if (!a->column && !b->column && a->row && b->row) {
        rect = {*a->row, 1, *b->row, grid.columns};
    } else if (!a->row && !b->row && a->column && b->column) {
        rect = {1, *a->column, grid.rows, *b->column};
    } else {
        return std::nullopt;
    }
    if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    return rect;
}

// Reads one area, "Sheet1!A1:B2" or "'My sheet'!A1", from `at` up to the next
// "," outside quotes; moves `at` past it.
std::optional<QualifiedArea> parseArea(std::string_view text, std::size_t& at, GridSize grid) {
    QualifiedArea area;
    if (at < text.size() && text[at] == '\'') {
        std::string name;
        ++at;
        for (;;) {
            if (at >= text.size()) return std::nullopt;
            if (text[at] == '\'') {
                if (at + 1 < text.size() && text[at + 1] == '\'') {
                    name += '\'';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            name += text[at++];
        }
        if (name.empty() || at >= text.size() || text[at] != '!') return std::nullopt;
        ++at;
        area.sheet = std::move(name);
    }
    std::size_t end = text.find(',', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view cells = text.substr(at, end - at);
    at = end;
    if (!area.sheet) {
        const std::size_t bang = cells.rfind('!');
        if (bang != std::string_view::npos) {
            if (bang == 0) return std::nullopt;
            area.sheet = std::string(cells.substr(0, bang));
            cells.remove_prefix(bang + 1);
        }
    }
    const auto rect = parseRect(cells, grid);
    if (!rect) return std::nullopt;
    area.rect = *rect;
    return area;
}

}  // namespace

GridSize gridForVersion(std::string_view version) { return vb::Val(version) < 12 ? kSmallGrid : kLargeGrid; }

std::string columnLetters(std::int32_t column) {
    std::string letters;
    for (std::int32_t n = column; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

std::optional<std::int32_t> parseColumnLetters(std::string_view letters, GridSize grid) {
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    std::int32_t column = 0;
    for (char c : letters) {
        if (!isAsciiLetter(c)) return std::nullopt;
        column = column * 26 + ((c | 0x20) - 'a' + 1);
    }
    if (column > grid.columns) return std::nullopt;
    return column;
}

std::string formatRect(const CellRect& rect, GridSize grid) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely on "$" + std::string.
    std::string text = "$";
    if (rect.left == 1 && rect.right == grid.columns) {
        text += std::to_string(rect.top);
        text += ":$";
        text += std::to_string(rect.bottom);
        return text;
    }
    if (rect.top == 1 && rect.bottom == grid.rows) {
        text += columnLetters(rect.left);
        text += ":$";
        text += columnLetters(rect.right);
        return text;
    }
    text += columnLetters(rect.left);
    text += '$';
    text += std::to_string(rect.top);
    if (rect.rowCount() == 1 && rect.columnCount() == 1) return text;
    text += ":$";
    text += columnLetters(rect.right);
    text += '$';
    text += std::to_string(rect.bottom);
    return text;
}

std::string formatAreas(const std::vector<CellRect>& areas, GridSize grid) {
    std::string text;
    for (const CellRect& area : areas) {
        if (!text.empty()) text += ',';
        text += formatRect(area, grid);
    }
    return text;
}

std::string quoteSheetName(std::string_view name) {
    const bool plain = !name.empty() && !isDigit(name.front()) &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return isAsciiLetter(c) || isDigit(c) || c == '_' || c == '.' ||
                                  static_cast<unsigned char>(c) >= 0x80;
                       }) &&
                       !parseAddress(name, kLargeGrid);
    if (plain) return std::string(name);
    std::string quoted = "'";
    for (char c : name) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

std::optional<std::vector<QualifiedArea>> parseAddress(std::string_view text, GridSize grid) {
    std::vector<QualifiedArea> areas;
    std::size_t at = 0;
    for (;;) {
        auto area = parseArea(text, at, grid);
        if (!area) return std::nullopt;
        areas.push_back(std::move(*area));
        if (at >= text.size()) break;
        ++at;  // the ","
    }
    return areas;
}

}  // namespace kq::host::sim
