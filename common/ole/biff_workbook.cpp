#include "common/ole/biff_workbook.h"

#include <bit>

#include "common/ole/little_endian.h"
#include "common/text_codec.h"

namespace kq::ole {
namespace {

namespace rec {
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kAddIn = 0x0087;
constexpr std::uint16_t kInterfaceHdr = 0x00E1;
constexpr std::uint16_t kMms = 0x00C1;
constexpr std::uint16_t kInterfaceEnd = 0x00E2;
constexpr std::uint16_t kWriteAccess = 0x005C;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kDsf = 0x0161;
constexpr std::uint16_t kRrTabId = 0x013D;
constexpr std::uint16_t kObProj = 0x00D3;
constexpr std::uint16_t kCodeName = 0x01BA;
constexpr std::uint16_t kWinProtect = 0x0019;
constexpr std::uint16_t kProtect = 0x0012;
constexpr std::uint16_t kPassword = 0x0013;
constexpr std::uint16_t kProt4Rev = 0x01AF;
constexpr std::uint16_t kProt4RevPass = 0x01BC;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kBackup = 0x0040;
constexpr std::uint16_t kHideObj = 0x008D;
constexpr std::uint16_t kDate1904 = 0x0022;
constexpr std::uint16_t kCalcPrecision = 0x000E;
constexpr std::uint16_t kRefreshAll = 0x01B7;
constexpr std::uint16_t kBookBool = 0x00DA;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kStyle = 0x0293;
constexpr std::uint16_t kUsesElfs = 0x0160;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kCountry = 0x008C;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kExtSst = 0x00FF;
constexpr std::uint16_t kIndex = 0x020B;
constexpr std::uint16_t kCalcMode = 0x000D;
constexpr std::uint16_t kCalcCount = 0x000C;
constexpr std::uint16_t kCalcRefMode = 0x000F;
constexpr std::uint16_t kCalcIter = 0x0011;
constexpr std::uint16_t kCalcDelta = 0x0010;
constexpr std::uint16_t kCalcSaveRecalc = 0x005F;
constexpr std::uint16_t kPrintRowCol = 0x002A;
constexpr std::uint16_t kPrintGrid = 0x002B;
constexpr std::uint16_t kGridSet = 0x0082;
constexpr std::uint16_t kGuts = 0x0080;
constexpr std::uint16_t kDefaultRowHeight = 0x0225;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kHeader = 0x0014;
constexpr std::uint16_t kFooter = 0x0015;
constexpr std::uint16_t kHCenter = 0x0083;
constexpr std::uint16_t kVCenter = 0x0084;
constexpr std::uint16_t kSetup = 0x00A1;
constexpr std::uint16_t kDefColWidth = 0x0055;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kWindow2 = 0x023E;
}  // namespace rec

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint16_t kWorksheetSubstream = 0x0010;
constexpr std::uint16_t kUtf16CodePage = 1200;
constexpr std::size_t kWriteAccessSize = 112;
constexpr std::size_t kShortestStream = 4096;
constexpr std::size_t kRecordHeader = 4;

using Bytes = std::vector<std::uint8_t>;

class RecordWriter {
public:
    void record(std::uint16_t id, const Bytes& data = {}) {
        appendLe16(out, id);
        appendLe16(out, static_cast<std::uint16_t>(data.size()));
        appendBytes(out, data);
    }
    void record16(std::uint16_t id, std::uint16_t value) {
        Bytes data;
        appendLe16(data, value);
        record(id, data);
    }
    std::size_t position() const { return out.size(); }
    Bytes out;
};

// The characters of a workbook string: one byte each when they all fit, else UTF-16.
void appendChars(Bytes& out, const std::u16string& text) {
    bool narrow = true;
    for (char16_t c : text) narrow = narrow && c < 0x100;
    out.push_back(narrow ? 0 : 1);
    for (char16_t c : text) {
        if (narrow) {
            out.push_back(static_cast<std::uint8_t>(c));
        } else {
            appendLe16(out, c);
        }
    }
}

// A string with a 16-bit count of characters.
Bytes unicodeString(std::string_view utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    Bytes out;
    appendLe16(out, static_cast<std::uint16_t>(text.size()));
    appendChars(out, text);
    return out;
}

// A string with an 8-bit count of characters.
Bytes shortUnicodeString(std::string_view utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    Bytes out{static_cast<std::uint8_t>(text.size())};
    appendChars(out, text);
    return out;
}

void appendDouble(Bytes& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    appendLe32(out, static_cast<std::uint32_t>(bits & 0xFFFFFFFF));
    appendLe32(out, static_cast<std::uint32_t>(bits >> 32));
}

Bytes words(std::initializer_list<std::uint16_t> values) {
    Bytes out;
    for (std::uint16_t v : values) appendLe16(out, v);
    return out;
}

Bytes bof(std::uint16_t substream) {
    Bytes data = words({kBiff8, substream, 0x0DBB, 0x07CC});
    appendLe32(data, 0x00000009);  // last edited on Windows, ever edited on Windows
    appendLe32(data, 0x00000006);  // the lowest version that reads every record: BIFF8
    return data;
}

Bytes font(std::uint16_t weight) {
    Bytes data = words({200, 0, 0x7FFF, weight, 0});  // 10 pt, no style, automatic colour
    appendLe32(data, 0);  // no underline, family or character set
    appendBytes(data, shortUnicodeString("Arial"));
    return data;
}

Bytes format(std::uint16_t index, std::string_view pattern) {
    Bytes data = words({index});
    appendBytes(data, unicodeString(pattern));
    return data;
}

// A cell format: a style's (parent 0xFFF) or a cell's (parent the Normal style).
Bytes xf(bool style) {
    Bytes data = words({0, 0, static_cast<std::uint16_t>(style ? 0xFFF5 : 0x0001)});
    // Aligned bottom, no rotation or indent; a cell format says which attribute groups it sets.
    appendLe32(data, style ? 0x00000020u : 0xF8000020u);
    appendLe32(data, 0);
    appendLe32(data, 0);
    appendLe16(data, 0x20C0);  // automatic pattern colours
    return data;
}

void writeGlobals(RecordWriter& w, const BiffWorkbook& book, std::vector<std::size_t>& sheetPositionFields) {
    w.record(rec::kBof, bof(kGlobalsSubstream));
    if (book.addIn) w.record(rec::kAddIn);
    w.record16(rec::kInterfaceHdr, kUtf16CodePage);
    w.record16(rec::kMms, 0);
    w.record(rec::kInterfaceEnd);
    Bytes access = unicodeString("");
    access.resize(kWriteAccessSize, 0x20);
    w.record(rec::kWriteAccess, access);
    w.record16(rec::kCodePage, kUtf16CodePage);
    w.record16(rec::kDsf, 0);
    Bytes tabIds;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) appendLe16(tabIds, static_cast<std::uint16_t>(i + 1));
    w.record(rec::kRrTabId, tabIds);
    if (book.hasMacros) w.record(rec::kObProj);
    if (!book.codeName.empty()) w.record(rec::kCodeName, unicodeString(book.codeName));
    for (std::uint16_t id : {rec::kWinProtect, rec::kProtect, rec::kPassword, rec::kProt4Rev, rec::kProt4RevPass}) {
        w.record16(id, 0);
    }
    // One window, 0x3000 by 0x2000 twips, with scroll bars and tabs, the first sheet active.
    w.record(rec::kWindow1, words({0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 600}));
    w.record16(rec::kBackup, 0);
    w.record16(rec::kHideObj, 0);
    w.record16(rec::kDate1904, 0);
    w.record16(rec::kCalcPrecision, 1);
    w.record16(rec::kRefreshAll, 0);
    w.record16(rec::kBookBool, 0);
    // Fonts 0 to 3 (the format skips font 4): regular, bold, regular, regular.
    for (std::uint16_t weight : {400, 700, 400, 400}) w.record(rec::kFont, font(weight));
    // The eight currency formats every workbook carries.
    static constexpr std::pair<std::uint16_t, std::string_view> kFormats[] = {
        {5, "\"$\"#,##0_);\\(\"$\"#,##0\\)"},
        {6, "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)"},
        {7, "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
        {8, "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)"},
        {42, "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
        {41, "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
        {44, "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
        {43, "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
    };
    for (const auto& [index, pattern] : kFormats) w.record(rec::kFormat, format(index, pattern));
    // Sixteen style formats, then the one cell format every cell uses.
    for (int i = 0; i < 16; ++i) w.record(rec::kXf, xf(true));
    w.record(rec::kXf, xf(false));
    w.record(rec::kStyle, Bytes{0x00, 0x80, 0x00, 0xFF});  // the built-in Normal style, format 0
    w.record16(rec::kUsesElfs, 0);
    for (const BiffSheet& sheet : book.sheets) {
        Bytes data(4, 0);  // where the sheet's substream starts, filled in once known
        appendLe16(data, 0);  // a visible worksheet
        appendBytes(data, shortUnicodeString(sheet.name));
        sheetPositionFields.push_back(w.position() + kRecordHeader);
        w.record(rec::kBoundSheet, data);
    }
    w.record(rec::kCountry, words({81, 81}));
    Bytes sst;
    appendLe32(sst, 0);
    appendLe32(sst, 0);
    w.record(rec::kSst, sst);
    w.record16(rec::kExtSst, 8);
    w.record(rec::kEof);
}

void writeWorksheet(RecordWriter& w, const BiffSheet& sheet, bool first) {
    w.record(rec::kBof, bof(kWorksheetSubstream));
    const std::size_t indexAt = w.position() + kRecordHeader;
    w.record(rec::kIndex, Bytes(16, 0));
    w.record16(rec::kCalcMode, 1);
    w.record16(rec::kCalcCount, 100);
    w.record16(rec::kCalcRefMode, 1);
    w.record16(rec::kCalcIter, 0);
    Bytes delta;
    appendDouble(delta, 0.001);
    w.record(rec::kCalcDelta, delta);
    w.record16(rec::kCalcSaveRecalc, 1);
    w.record16(rec::kPrintRowCol, 0);
    w.record16(rec::kPrintGrid, 0);
    w.record16(rec::kGridSet, 1);
    w.record(rec::kGuts, words({0, 0, 0, 0}));
    w.record(rec::kDefaultRowHeight, words({0, 255}));
    w.record16(rec::kWsBool, 0x04C1);
    w.record(rec::kHeader);
    w.record(rec::kFooter);
    w.record16(rec::kHCenter, 0);
    w.record16(rec::kVCenter, 0);
    // A4 portrait at 100 %, margins of header and footer 0.3 inch, one copy,
    // marked as not taken from a printer so that the host uses its own.
    Bytes setup = words({9, 100, 1, 1, 1, 0x0006, 600, 600});
    appendDouble(setup, 0.3);
    appendDouble(setup, 0.3);
    appendLe16(setup, 1);
    w.record(rec::kSetup, setup);
    storeLe32(std::span(w.out).subspan(indexAt + 12), static_cast<std::uint32_t>(w.position()));
    w.record16(rec::kDefColWidth, 8);
    w.record(rec::kDimensions, words({0, 0, 0, 0, 0, 0, 0}));
    // Grid lines, headers, zeros, outline symbols; the first sheet selected and shown.
    w.record(rec::kWindow2, words({static_cast<std::uint16_t>(first ? 0x06B6 : 0x00B6), 0, 0, 64, 0, 0, 0, 0, 0}));
    if (!sheet.codeName.empty()) w.record(rec::kCodeName, unicodeString(sheet.codeName));
    w.record(rec::kEof);
}

// One record read from the stream.
struct Record {
    std::uint16_t id = 0;
    std::span<const std::uint8_t> data;
};

std::optional<std::string> readUnicodeString(ByteCursor& cursor, bool shortCount) {
    const std::size_t count = shortCount ? cursor.u8() : cursor.u16();
    const std::uint8_t flags = cursor.u8();
    std::u16string text;
    for (std::size_t i = 0; i < count && cursor.ok(); ++i) text.push_back((flags & 1) != 0 ? cursor.u16() : cursor.u8());
    if (!cursor.ok()) return std::nullopt;
    return utf16ToUtf8(text);
}

}  // namespace

std::vector<std::uint8_t> writeBiffWorkbook(const BiffWorkbook& workbook) {
    RecordWriter w;
    std::vector<std::size_t> positionFields;
    writeGlobals(w, workbook, positionFields);
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        storeLe32(std::span(w.out).subspan(positionFields[i]), static_cast<std::uint32_t>(w.position()));
        writeWorksheet(w, workbook.sheets[i], i == 0);
    }
    if (w.out.size() < kShortestStream) w.out.resize(kShortestStream, 0);
    return std::move(w.out);
}

OleRead<BiffWorkbook> readBiffWorkbook(std::span<const std::uint8_t> stream) {
    using Result = OleRead<BiffWorkbook>;
    ByteCursor cursor(stream);
    const auto next = [&]() -> std::optional<Record> {
        Record record;
        record.id = cursor.u16();
        record.data = cursor.take(cursor.u16());
        if (!cursor.ok()) return std::nullopt;
        return record;
    };
    // A substream from its BOF to its EOF; `take` sees every record between.
    const auto substream = [&](std::uint16_t kind, const auto& take) -> bool {
        const auto first = next();
        if (!first || first->id != rec::kBof) return false;
        ByteCursor bof(first->data);
        if (bof.u16() != kBiff8 || bof.u16() != kind) return false;
        for (;;) {
            const auto record = next();
            if (!record) return false;
            if (record->id == rec::kEof) return true;
            if (record->id == rec::kBof) return false;
            if (!take(*record)) return false;
        }
    };

    BiffWorkbook book;
    std::vector<std::uint32_t> positions;
    const bool globals = substream(kGlobalsSubstream, [&](const Record& r) {
        ByteCursor fields(r.data);
        if (r.id == rec::kAddIn) book.addIn = true;
        if (r.id == rec::kObProj) book.hasMacros = true;
        if (r.id == rec::kCodeName) {
            const auto name = readUnicodeString(fields, false);
            if (!name) return false;
            book.codeName = *name;
        }
        if (r.id == rec::kBoundSheet) {
            positions.push_back(fields.u32());
            fields.u16();
            const auto name = readUnicodeString(fields, true);
            if (!name) return false;
            book.sheets.push_back({*name, {}});
        }
        return true;
    });
    if (!globals) return Result::failed("the workbook's globals are damaged");

    for (std::size_t i = 0; i < positions.size(); ++i) {
        // Substreams follow one another; a sheet pointing back is damage.
        if (positions[i] < cursor.position() || positions[i] >= stream.size()) {
            return Result::failed(std::string("sheet ").append(std::to_string(i + 1)).append(" lies outside the workbook stream"));
        }
        cursor = ByteCursor(stream);
        cursor.take(positions[i]);
        BiffSheet& sheet = book.sheets[i];
        const bool read = substream(kWorksheetSubstream, [&](const Record& r) {
            if (r.id != rec::kCodeName) return true;
            ByteCursor fields(r.data);
            const auto name = readUnicodeString(fields, false);
            if (name) sheet.codeName = *name;
            return name.has_value();
        });
        if (!read) return Result::failed(std::string("sheet ").append(std::to_string(i + 1)).append(" is damaged"));
    }
    return {std::move(book), {}};
}

}  // namespace kq::ole
