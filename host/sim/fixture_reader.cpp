// Reads the simulated host's workbook files.
//
// The format: UTF-8 text, one statement a line, fields separated by blanks.
// A field is either bare (any run of non-blank characters, taken as it
// stands, backslashes included: C:\books) or quoted ("two words", with \\ \"
// \t \n \r as escapes). Blank lines and lines starting with "#" are skipped;
// leading blanks are only for the eye. The first line is
//
//   simulated-workbook 1
//
// then, in any order (sheet contents go under their sheet's line):
//
//   book NAME                        the workbook's name (required)
//   path FOLDER                      where it is saved; omitted: never saved
//   property NAME TYPE VALUE [unreadable]
//                                    a custom document property, in order; TYPE is
//                                    number, boolean, date, text or float; the value
//                                    is kept as text; "unreadable" makes reading it fail
//   worksheet NAME                   a worksheet, in tab order; the lines below belong to it
//     cell CELL KIND VALUE [SHOWN]   KIND is number (12.5), text, bool (TRUE/FALSE),
//                                    date (2024/1/31 or "2024/1/31 9:05:00") or
//                                    error (#N/A, #REF!, ...); SHOWN is the displayed
//                                    text when it is not the general one
//     width COLUMN CHARACTERS        a column width, such as: width B 12.5
//     height ROW POINTS              a row height, such as: height 3 20.25; 0 hides
//                                    (page_layout.h: units, defaults, how pages are cut)
//     setup KEY VALUE                page setup: print-area, title-rows, title-columns
//                                    (addresses); left-header, center-header,
//                                    right-header, left-footer, center-footer,
//                                    right-footer (texts); left-margin, right-margin,
//                                    top-margin, bottom-margin, header-margin,
//                                    footer-margin (points); orientation, paper,
//                                    first-page-number, order, print-comments (numbers);
//                                    center-horizontally, center-vertically (true/false)
//     break row ROW | break column COLUMN
//                                    a manual page break before that row or column
//     shape NAME TYPE FROM TO [hidden] [caption T] [object-text T] [object-caption T] [effect-text T]
//                                    a shape in z-order: its type number (6 a group),
//                                    top-left and bottom-right cells, and each text
//                                    source it has (a missing one fails when read)
//       item NAME TYPE FROM TO ...   a member of the group shape above, same fields
//     comment CELL AUTHOR TEXT
//   chart NAME                       a chart sheet, in tab order
//   name NAME REFERS-TO              a defined name: Sheet1!$A$1:$B$2 (areas of one sheet)
//   selected SHEET [SHEET...]        the active sheet, then the others grouped with it
//
// A file comes from outside the program: whatever is wrong with it (an unknown
// word, a field missing or too many, a number or address that does not read,
// a sheet name taken twice, bytes that are not UTF-8) is reported as a
// FixtureError with the line number, never by crashing.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "host/sim/cell_text.h"
#include "host/sim/fixture.h"
#include "host/sim/fixture_format.h"
#include "host/sim/sim_application.h"
#include "host/sim/sim_workbook.h"

namespace kq::host::sim {
namespace fixture {

std::optional<std::vector<std::string>> splitFields(std::string_view line, std::string& why) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    auto blank = [&](std::size_t i) { return line[i] == ' ' || line[i] == '\t'; };
    for (;;) {
        while (at < line.size() && blank(at)) ++at;
        if (at >= line.size()) return fields;
        std::string f;
        if (line[at] != '"') {
            while (at < line.size() && !blank(at)) f += line[at++];
            fields.push_back(std::move(f));
            continue;
        }
        ++at;
        for (;;) {
            if (at >= line.size()) {
                why = "a quoted field has no closing quote";
                return std::nullopt;
            }
            const char c = line[at++];
            if (c == '"') break;
            if (c != '\\') {
                f += c;
                continue;
            }
            if (at >= line.size()) {
                why = "a quoted field ends in a backslash";
                return std::nullopt;
            }
            switch (line[at++]) {
                case '\\': f += '\\'; break;
                case '"': f += '"'; break;
                case 't': f += '\t'; break;
                case 'n': f += '\n'; break;
                case 'r': f += '\r'; break;
                default: why = "unknown escape in a quoted field"; return std::nullopt;
            }
        }
        if (at < line.size() && !blank(at)) {
            why = "a quoted field runs into the next one";
            return std::nullopt;
        }
        fields.push_back(std::move(f));
    }
}

}  // namespace fixture

namespace {

using Fields = std::vector<std::string>;

// Each problem is thrown as this and given its line number by the loop.
struct Damage {
    std::string why;
};

bool validUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

double readNumber(const std::string& text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        throw Damage{"not a number: " + text};
    }
    return value;
}

std::int32_t readInteger(const std::string& text) {
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        throw Damage{"not a whole number: " + text};
    }
    return value;
}

bool readFlag(const std::string& text) {
    if (text == "true") return true;
    if (text == "false") return false;
    throw Damage{"not true or false: " + text};
}

void expectFields(const Fields& f, std::size_t least, std::size_t most) {
    if (f.size() < least) throw Damage{"'" + f[0] + "' needs more fields"};
    if (f.size() > most) throw Damage{"'" + f[0] + "' has too many fields"};
}

class Reader {
public:
    Reader(const std::shared_ptr<SimApplication>& app, bool isAddin)
        : grid_(app->grid()), book_(SimWorkbook::create(app, app->grid(), "", "", isAddin)) {}

    void statement(const Fields& f, int line) {
        const std::string& word = f[0];
        if (word == "book") {
            expectFields(f, 2, 2);
            if (name_) throw Damage{"the workbook is named twice"};
            name_ = f[1];
        } else if (word == "path") {
            expectFields(f, 2, 2);
            path_ = f[1];
        } else if (word == "property") {
            property(f);
        } else if (word == "worksheet") {
            expectFields(f, 2, 2);
            sheet_ = book_->addWorksheet(f[1]);
            group_.reset();
        } else if (word == "chart") {
            expectFields(f, 2, 2);
            book_->addChartSheet(f[1]);
            sheet_.reset();
        } else if (word == "name") {
            expectFields(f, 3, 3);
            later_.push_back({f, line});
        } else if (word == "selected") {
            expectFields(f, 2, f.size());
            later_.push_back({f, line});
        } else if (word == "cell" || word == "width" || word == "height" || word == "setup" || word == "break" ||
                   word == "shape" || word == "item" || word == "comment") {
            if (!sheet_) throw Damage{"'" + word + "' is not under a worksheet line"};
            sheetStatement(f);
        } else {
            throw Damage{"unknown word '" + word + "'"};
        }
    }

    // Names and the selection refer to sheets that may stand further down.
    void resolveLater() {
        for (const auto& [f, line] : later_) {
            current_ = line;
            if (f[0] == "name") {
                book_->defineName(f[1], f[2]);
                continue;
            }
            std::vector<std::shared_ptr<SimSheetBase>> sheets;
            for (std::size_t i = 1; i < f.size(); ++i) {
                auto sheet = book_->sheet(f[i]);
                if (!sheet) throw Damage{"no sheet named '" + f[i] + "'"};
                sheets.push_back(std::move(sheet));
            }
            book_->restoreSelection(sheets);
        }
    }

    std::shared_ptr<SimWorkbook> finish(int lastLine) {
        current_ = lastLine;
        if (!name_) throw Damage{"the file has no 'book' line"};
        if (book_->sheets().empty()) throw Damage{"the workbook has no sheet"};
        book_->setLocation(path_, *name_);
        return book_;
    }

    int current_ = 0;

private:
    void property(const Fields& f) {
        expectFields(f, 4, 5);
        CustomProperty p{f[1], 0, f[3], true};
        for (const auto& t : fixture::kPropertyTypes) {
            if (f[2] == t.name) p.type = t.type;
        }
        if (p.type == 0) throw Damage{"unknown property type '" + f[2] + "'"};
        if (f.size() == 5) {
            if (f[4] != "unreadable") throw Damage{"unknown property flag '" + f[4] + "'"};
            p.readable = false;
        }
        if (book_->properties()->find(p.name)) throw Damage{"property '" + p.name + "' given twice"};
        book_->properties()->add(std::move(p));
    }

    void sheetStatement(const Fields& f) {
        const std::string& word = f[0];
        if (word == "cell") {
            expectFields(f, 4, 5);
            const CellRect at = cell(f[1]);
            std::optional<std::string> shown;
            if (f.size() == 5) shown = f[4];
            sheet_->setCell(at.top, at.left, value(f[2], f[3]), shown);
        } else if (word == "width") {
            expectFields(f, 3, 3);
            const auto column = parseColumnLetters(f[1], grid_);
            if (!column) throw Damage{"not a column: " + f[1]};
            sheet_->setColumnWidth(*column, readNumber(f[2]));
        } else if (word == "height") {
            expectFields(f, 3, 3);
            const std::int32_t row = readInteger(f[1]);
            if (row < 1 || row > grid_.rows) throw Damage{"not a row: " + f[1]};
            sheet_->setRowHeight(row, readNumber(f[2]));
        } else if (word == "setup") {
            expectFields(f, 3, 3);
            setup(f[1], f[2]);
        } else if (word == "break") {
            pageBreak(f);
        } else if (word == "shape") {
            group_ = sheet_->addShape(shape(f));
        } else if (word == "item") {
            if (!group_ || group_->type != msoGroup) throw Damage{"'item' does not follow a group shape"};
            group_->items.push_back(std::make_shared<ShapeData>(shape(f)));
        } else {  // comment
            expectFields(f, 4, 4);
            const CellRect at = cell(f[1]);
            sheet_->addComment(at.top, at.left, f[2], f[3]);
        }
    }

    CellRect cell(const std::string& text) const {
        const auto areas = parseAddress(text, grid_);
        if (!areas || areas->size() != 1 || areas->front().sheet || areas->front().rect.cellCount() != 1) {
            throw Damage{"not a cell: " + text};
        }
        return areas->front().rect;
    }

    Value value(const std::string& kind, const std::string& text) const {
        if (kind == "number") return readNumber(text);
        if (kind == "text") return text;
        if (kind == "bool") {
            if (text == "TRUE") return true;
            if (text == "FALSE") return false;
            throw Damage{"not TRUE or FALSE: " + text};
        }
        if (kind == "date") {
            const auto date = parseDateText(text);
            if (!date) throw Damage{"not a date: " + text};
            return Date{*date};
        }
        if (kind == "error") {
            const auto code = errorCode(text);
            if (!code) throw Damage{"not an error value: " + text};
            return CellError{*code};
        }
        throw Damage{"unknown cell kind '" + kind + "'"};
    }

    void setup(const std::string& key, const std::string& text) {
        PageSetupData& s = sheet_->setup();
        if (key == "print-area") return sheet_->setPrintArea(text);
        if (key == "title-rows") return sheet_->setPrintTitleRows(text);
        if (key == "title-columns") return sheet_->setPrintTitleColumns(text);
        for (const auto& f : fixture::kSetupTexts) {
            if (key == f.key) return void(s.*f.member = text);
        }
        for (const auto& f : fixture::kSetupNumbers) {
            if (key == f.key) return void(s.*f.member = readNumber(text));
        }
        for (const auto& f : fixture::kSetupIntegers) {
            if (key == f.key) return void(s.*f.member = readInteger(text));
        }
        for (const auto& f : fixture::kSetupFlags) {
            if (key == f.key) return void(s.*f.member = readFlag(text));
        }
        throw Damage{"unknown page setup key '" + key + "'"};
    }

    void pageBreak(const Fields& f) {
        expectFields(f, 3, 3);
        if (f[1] == "row") {
            const std::int32_t row = readInteger(f[2]);
            if (row < 2 || row > grid_.rows) throw Damage{"no break can stand before row " + f[2]};
            sheet_->rowBreaks().insert(row);
        } else if (f[1] == "column") {
            const auto column = parseColumnLetters(f[2], grid_);
            if (!column || *column < 2) throw Damage{"no break can stand before column " + f[2]};
            sheet_->columnBreaks().insert(*column);
        } else {
            throw Damage{"a break is before a row or a column, not '" + f[1] + "'"};
        }
    }

    ShapeData shape(const Fields& f) const {
        expectFields(f, 5, f.size());
        ShapeData s;
        s.name = f[1];
        s.type = readInteger(f[2]);
        const CellRect from = cell(f[3]);
        const CellRect to = cell(f[4]);
        if (to.top < from.top || to.left < from.left) throw Damage{"the shape's bottom-right cell is above or left of its top-left cell"};
        s.anchor = {from.top, from.left, to.bottom, to.right};
        for (std::size_t i = 5; i < f.size(); ++i) {
            if (f[i] == "hidden") {
                s.visible = false;
                continue;
            }
            const auto source = std::find_if(std::begin(fixture::kShapeTexts), std::end(fixture::kShapeTexts),
                                             [&](const auto& t) { return f[i] == t.key; });
            if (source == std::end(fixture::kShapeTexts)) throw Damage{"unknown shape field '" + f[i] + "'"};
            if (i + 1 >= f.size()) throw Damage{"'" + f[i] + "' needs its text"};
            s.*(source->member) = f[++i];
        }
        return s;
    }

    GridSize grid_;
    std::shared_ptr<SimWorkbook> book_;
    std::shared_ptr<SimWorksheet> sheet_;
    std::shared_ptr<ShapeData> group_;
    std::optional<std::string> name_;
    std::string path_;
    std::vector<std::pair<Fields, int>> later_;
};

}  // namespace

bool looksLikeFixture(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text.starts_with(kFixtureMagic) &&
           (text.size() == kFixtureMagic.size() || text[kFixtureMagic.size()] == '\n' || text[kFixtureMagic.size()] == '\r');
}

std::shared_ptr<SimWorkbook> readFixture(std::string_view text, const std::shared_ptr<SimApplication>& app, bool isAddin) {
    Reader reader(app, isAddin);
    if (!looksLikeFixture(text)) throw FixtureError(1, "the file does not start with '" + std::string(kFixtureMagic) + "'");
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int lineNumber = 0;
    try {
        while (!text.empty()) {
            ++lineNumber;
            reader.current_ = lineNumber;
            const std::size_t end = std::min(text.find('\n'), text.size());
            std::string_view line = text.substr(0, end);
            text.remove_prefix(std::min(end + 1, text.size()));
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (lineNumber == 1) continue;  // the magic line
            if (!validUtf8(line)) throw Damage{"the line is not UTF-8 text"};
            const std::size_t first = line.find_first_not_of(" \t");
            if (first == std::string_view::npos || line[first] == '#') continue;
            std::string why;
            const auto fields = fixture::splitFields(line, why);
            if (!fields) throw Damage{why};
            reader.statement(*fields, lineNumber);
        }
        reader.resolveLater();
        return reader.finish(lineNumber);
    } catch (const Damage& d) {
        throw FixtureError(reader.current_, d.why);
    } catch (const HostError& e) {
        throw FixtureError(reader.current_, e.what());
    } catch (const std::invalid_argument& e) {
        throw FixtureError(reader.current_, e.what());
    }
}

}  // namespace kq::host::sim
