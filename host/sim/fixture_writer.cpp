// Writes a simulated workbook in the fixture format (see fixture_reader.cpp):
// the workbook's lines, then each sheet with its contents in a fixed order,
// then the names and the sheet selection, so that writing a workbook that was
// read back gives the same text again.

#include <algorithm>
#include <charconv>
#include <type_traits>

#include "host/sim/cell_text.h"
#include "host/sim/fixture.h"
#include "host/sim/fixture_format.h"
#include "host/sim/sim_workbook.h"

namespace kq::host::sim {
namespace fixture {

std::string field(std::string_view text) {
    const bool bare = !text.empty() && text.front() != '#' && text.find('"') == std::string_view::npos &&
                      std::none_of(text.begin(), text.end(), [](char c) {
                          const auto u = static_cast<unsigned char>(c);
                          return u <= 0x20 || u == 0x7F;
                      });
    if (bare) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '\\': quoted += "\\\\"; break;
            case '"': quoted += "\\\""; break;
            case '\t': quoted += "\\t"; break;
            case '\n': quoted += "\\n"; break;
            case '\r': quoted += "\\r"; break;
            default: quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace fixture

namespace {

using fixture::field;

std::string number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

class Writer {
public:
    explicit Writer(GridSize grid) : grid_(grid) {}

    void line(std::initializer_list<std::string> fields, std::string_view indent = "") {
        out_ += indent;
        bool first = true;
        for (const std::string& f : fields) {
            if (!first) out_ += ' ';
            out_ += f;
            first = false;
        }
        out_ += '\n';
    }
    void append(std::string_view text) { out_ += text; }

    void worksheet(const SimWorksheet& sheet) {
        line({"worksheet", field(sheet.name())});
        for (const auto& [column, width] : sheet.columnWidths()) line({"width", columnLetters(column), number(width)}, "  ");
        for (const auto& [row, height] : sheet.rowHeights()) line({"height", std::to_string(row), number(height)}, "  ");
        for (const auto& [pos, cell] : sheet.cells()) this->cell(pos.first, pos.second, cell);
        setup(sheet.setup());
        for (std::int32_t row : sheet.rowBreaks()) line({"break", "row", std::to_string(row)}, "  ");
        for (std::int32_t column : sheet.columnBreaks()) line({"break", "column", columnLetters(column)}, "  ");
        for (const auto& s : sheet.shapes()) {
            shape("shape", *s, "  ");
            for (const auto& item : s->items) shape("item", *item, "    ");
        }
        for (const auto& c : sheet.comments()) {
            line({"comment", cellName(c->row, c->column), field(c->author), field(c->text)}, "  ");
        }
    }

    std::string take() { return std::move(out_); }

private:
    std::string cellName(std::int32_t row, std::int32_t column) const { return columnLetters(column) + std::to_string(row); }

    void cell(std::int32_t row, std::int32_t column, const Cell& c) {
        std::string kindAndValue = std::visit(
            [](const auto& v) -> std::string {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, double>) return std::string("number ") + number(v);
                if constexpr (std::is_same_v<T, std::string>) return std::string("text ") + field(v);
                if constexpr (std::is_same_v<T, bool>) return v ? "bool TRUE" : "bool FALSE";
                if constexpr (std::is_same_v<T, Date>) return std::string("date ") + field(dateText(v.value).value_or(""));
                if constexpr (std::is_same_v<T, CellError>) return std::string("error ") + field(errorName(v.code).value_or(""));
                return "";  // empty cells are not kept
            },
            c.value);
        if (c.text) kindAndValue += ' ' + field(*c.text);
        line({"cell", cellName(row, column), kindAndValue}, "  ");
    }

    // Only what differs from a new sheet's page setup.
    void setup(const PageSetupData& s) {
        const PageSetupData defaults;
        for (const auto& f : fixture::kSetupAreas) {
            if (!(s.*f.member).empty()) line({"setup", std::string(f.key), field(formatAreas(s.*f.member, grid_))}, "  ");
        }
        for (const auto& f : fixture::kSetupTexts) {
            if (s.*f.member != defaults.*f.member) line({"setup", std::string(f.key), field(s.*f.member)}, "  ");
        }
        for (const auto& f : fixture::kSetupNumbers) {
            if (s.*f.member != defaults.*f.member) line({"setup", std::string(f.key), number(s.*f.member)}, "  ");
        }
        for (const auto& f : fixture::kSetupIntegers) {
            if (s.*f.member != defaults.*f.member) line({"setup", std::string(f.key), std::to_string(s.*f.member)}, "  ");
        }
        for (const auto& f : fixture::kSetupFlags) {
            if (s.*f.member != defaults.*f.member) line({"setup", std::string(f.key), s.*f.member ? "true" : "false"}, "  ");
        }
    }

    void shape(std::string_view keyword, const ShapeData& s, std::string_view indent) {
        out_ += indent;
        out_ += keyword;
        out_ += ' ' + field(s.name) + ' ' + std::to_string(s.type) + ' ' + cellName(s.anchor.top, s.anchor.left) + ' ' +
                cellName(s.anchor.bottom, s.anchor.right);
        if (!s.visible) out_ += " hidden";
        for (const auto& f : fixture::kShapeTexts) {
            if (s.*f.member) out_ += ' ' + std::string(f.key) + ' ' + field(*(s.*f.member));
        }
        out_ += '\n';
    }

    GridSize grid_;
    std::string out_;
};

std::string propertyTypeName(std::int32_t type) {
    for (const auto& t : fixture::kPropertyTypes) {
        if (t.type == type) return std::string(t.name);
    }
    return std::to_string(type);
}

}  // namespace

std::string writeFixture(const SimWorkbook& book) {
    Writer w(book.grid());
    w.line({std::string(kFixtureMagic)});
    w.line({"book", field(book.name())});
    if (!book.path().empty()) w.line({"path", field(book.path())});
    for (const CustomProperty& p : book.properties()->all()) {
        std::string text = std::string("property ") + field(p.name) + " " + propertyTypeName(p.type) + " " + field(p.value);
        if (!p.readable) text += " unreadable";
        w.line({text});
    }
    for (const auto& sheet : book.sheets()) {
        if (const auto ws = std::dynamic_pointer_cast<const SimWorksheet>(sheet)) {
            w.worksheet(*ws);
        } else {
            w.line({"chart", field(sheet->name())});
        }
    }
    for (const DefinedName& n : book.names()) {
        if (n.broken()) continue;  // a name that refers to nothing any more cannot be written back
        std::string refersTo;
        for (const CellRect& area : n.areas) {
            if (!refersTo.empty()) refersTo += ',';
            refersTo += quoteSheetName(n.sheet->name()) + "!" + formatRect(area, book.grid());
        }
        w.line({"name", field(n.name), field(refersTo)});
    }
    if (const auto active = book.activeSheet()) {
        std::string text = std::string("selected ") + field(active->name());
        for (const auto& sheet : book.selectedSheets()) {
            if (sheet != active) text += ' ' + field(sheet->name());
        }
        w.line({text});
    }
    return w.take();
}

}  // namespace kq::host::sim
