#pragma once
// The history file: one per recorded sheet and print, written once by the
// recorder and read by the viewer. These types hold its records as the program
// sees them (UTF-8 text); history_writer and history_reader turn them into the
// stored bytes (ANSI code page, little-endian, no padding) and back.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq {

// A String field stores its byte count in 16 unsigned bits.
inline constexpr std::size_t kHistoryMaxStringBytes = 0xFFFF;
// The header keeps each block's record count in a signed 16-bit Integer.
inline constexpr std::size_t kHistoryMaxRecords = 0x7FFF;
// A Currency holds its value times this.
inline constexpr std::int64_t kHistoryCurrencyScale = 10000;
// Variant types: the writer stores only strings; Empty and Null read as empty text.
inline constexpr std::uint16_t kHistoryVariantEmpty = 0;
inline constexpr std::uint16_t kHistoryVariantNull = 1;
inline constexpr std::uint16_t kHistoryVariantString = 8;
// A header whose Strings are all empty.
inline constexpr std::size_t kHistoryEmptyHeaderBytes = 138;
// What a page record adds to its bytes: curSize, then the byte array's
// dimension count, element count and lower bound.
inline constexpr std::size_t kHistoryPageRecordOverhead = 18;
inline constexpr std::string_view kHistoryFileExtension = ".tvk";
// Whether a file name or path ends in the history extension, in any letter
// case (the system's names are not case-sensitive).
inline bool hasHistoryExtension(std::string_view name) {
    const std::string_view ext = kHistoryFileExtension;
    if (name.size() < ext.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        char c = name[name.size() - ext.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ext[i]) return false;
    }
    return true;
}
// How many names newHistoryFileName tries before it gives up.
inline constexpr int kHistoryNameAttempts = 10000;

// The parts of a history file, in file order.
enum class HistoryBlock { header, headings, pages, pageTexts, shapes, comments, errorLines };

struct HistoryFileHeader {
    std::string strVersion;
    double dblExcelVersion = 0;
    std::int32_t lngOSVersion = 0;
    std::string strCategory;
    std::string strSheetId;
    std::string strVersionId;
    std::string strHistoryId;
    std::string strSaveRange;
    std::string strBookPath;
    std::string strBookName;
    std::string strSheetName;
    std::string strExcelUserName;
    double datPrintDate = 0;  // OLE Automation date, local time
    std::string strPrinterName;
    std::string strLeftHeader;
    std::string strCenterHeader;
    std::string strRightHeader;
    std::string strLeftFooter;
    std::string strCenterFooter;
    std::string strRightFooter;
    std::string strPrintTitleRows;
    std::string strPrintTitleColumns;
    double dblLeftMargin = 0;
    double dblRightMargin = 0;
    double dblTopMargin = 0;
    double dblBottomMargin = 0;
    double dblHeaderMargin = 0;
    double dblFooterMargin = 0;
    bool blnCenterHorizontally = false;
    bool blnCenterVertically = false;
    std::int32_t lngOrientation = 0;
    std::int32_t lngPaperSize = 0;
    std::int32_t lngFirstPageNumber = 0;
    std::int32_t lngOrder = 0;
    // Filled by the reader; the writer sets them from the records it writes.
    std::int16_t intTitleCount = 0;
    std::int16_t intPageCount = 0;
    std::int16_t intTextCount = 0;
    std::int16_t intShapeCount = 0;
    std::int16_t intCommentCount = 0;
    std::int16_t intErrorCount = 0;

    friend bool operator==(const HistoryFileHeader&, const HistoryFileHeader&) = default;
};

struct UserHeadingRecord {
    std::string strTitle;
    std::string strSource;
    std::string strValue;
    std::int32_t lngCellLinkValueType = 0;  // 0 the cells' values, 1 their displayed texts

    friend bool operator==(const UserHeadingRecord&, const UserHeadingRecord&) = default;
};

// A page record as found in a file: its size and where its metafile bytes
// begin. The bytes themselves are read one page at a time (readHistoryPage).
struct PageImageRecord {
    std::uint64_t curSize = 0;  // bytes of bytData (stored times 10000)
    std::uint64_t bytDataOffset = 0;

    friend bool operator==(const PageImageRecord&, const PageImageRecord&) = default;
};

// A page text (one captured piece of a page) or an error line.
struct TextLineRecord {
    std::string strText;

    friend bool operator==(const TextLineRecord&, const TextLineRecord&) = default;
};

struct ShapeRecord {
    std::string strName;
    std::string varText;  // stored as a Variant holding a String
    std::string strTopLeftCell;
    std::string strBottomRightCell;

    friend bool operator==(const ShapeRecord&, const ShapeRecord&) = default;
};

struct CommentRecord {
    std::string varText;  // stored as a Variant holding a String, lines ended CR LF
    std::string strCell;
    std::string strAuthor;

    friend bool operator==(const CommentRecord&, const CommentRecord&) = default;
};

// Everything a history file holds but its page bytes.
struct HistoryRecords {
    HistoryFileHeader header;
    std::vector<UserHeadingRecord> headings;
    std::vector<TextLineRecord> pageTexts;
    std::vector<ShapeRecord> shapes;
    std::vector<CommentRecord> comments;
    std::vector<TextLineRecord> errorLines;

    friend bool operator==(const HistoryRecords&, const HistoryRecords&) = default;
};

// The name (without folder) of a new history file: sheet id, "_", version id,
// "_", history id, a suffix and ".tvk", the suffix being "", "(2)", "(3)", ...,
// the first for which `exists` says no. Empty when kHistoryNameAttempts names
// are all taken, so that a folder that answers "exists" to everything cannot
// keep the recorder looping.
inline std::optional<std::string> newHistoryFileName(std::string_view sheetId, std::string_view versionId,
                                                     std::string_view historyId,
                                                     const std::function<bool(const std::string&)>& exists) {
    std::string base;
    base.append(sheetId).append("_").append(versionId).append("_").append(historyId);
    for (int n = 1; n <= kHistoryNameAttempts; ++n) {
        std::string name = base;
        if (n > 1) {
            name.append("(").append(std::to_string(n)).append(")");
        }
        name.append(kHistoryFileExtension);
        if (!exists(name)) {
            return name;
        }
    }
    return std::nullopt;
}

}  // namespace kq
