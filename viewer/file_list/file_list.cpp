#include "viewer/file_list/file_list.h"

#include <algorithm>
#include <array>
#include <map>

#include "common/vb.h"
#include "viewer/file_list/version_names.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

constexpr double kColumnStartWidth = 300;
constexpr double kWidthAllowance = 300;
constexpr double kWidestColumn = 10000;
constexpr double kNoResultsWidth = 3000;
constexpr int kDateColumn = 20;

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string groupedThousands(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// The fixed column k's switch among the view settings; the date has none.
std::optional<ColumnSwitch> switchOf(int k) {
    if (k == kDateColumn) return std::nullopt;
    return static_cast<ColumnSwitch>(k + 1);
}

}  // namespace

int compareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(upperAscii(a[i]));
        const auto y = static_cast<unsigned char>(upperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::string sizeText(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes / 1000 + (bytes % 1000 != 0 ? 1 : 0);
    return groupedThousands(kilobytes) + std::string(texts::kKilobytes);
}

std::string listDateText(double oleDate) {
    const std::optional<vb::DateTime> date = vb::FromOleDate(oleDate);
    return date ? vb::FormatDate(*date, texts::kListDateFormat) : std::string(texts::kUnknown);
}

std::string fixedCellText(int k, const std::string& path, const ListedHistory& history) {
    const HistoryFileHeader& h = history.header;
    switch (k) {
        case 1: return h.strBookPath;
        case 2: return h.strBookName;
        case 3: return h.strSheetName;
        case 4: return h.strCategory;
        case 5: return h.strSheetId;
        case 6: return h.strVersionId;
        case 7: return h.strHistoryId;
        case 8: return h.strSaveRange.empty() ? std::string(texts::kAutomaticRange) : h.strSaveRange;
        case 9: return h.strVersion;
        case 10: return GetOSVersionName(h.lngOSVersion);
        case 11: return GetExcelVersionName(h.dblExcelVersion);
        case 12: return h.strExcelUserName;
        case 13: return h.strPrinterName;
        case 14: return std::to_string(h.intPageCount);
        case 15: return std::to_string(h.intShapeCount);
        case 16: return std::to_string(h.intCommentCount);
        case 17: return std::to_string(h.intErrorCount);
        case 18: return path.substr(path.rfind('\\') + 1);
        case 19: return sizeText(history.size);
        case 20: return listDateText(h.datPrintDate);
        default: return {};
    }
}

std::optional<std::size_t> FileList::rowOf(std::string_view path) const {
    if (placeholder_ != Placeholder::none) return std::nullopt;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == path) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> FileList::firstRow() const {
    if (placeholder_ != Placeholder::none || rows_.empty()) return std::nullopt;
    return 0;
}

void FileList::columnClick(std::size_t column, const TextOrder& order) {
    if (std::optional<Sorting> sorting = sortingFor(column, order)) sortAs(std::move(*sorting));
}

std::optional<FileList::Sorting> FileList::sortingFor(std::size_t column, const TextOrder& order) const {
    if (placeholder_ != Placeholder::none || column >= columns_.size()) return std::nullopt;
    const bool descending = sortColumn_ == column ? !descending_ : true;
    return Sorting{column, descending, sortedRows(column, descending, order)};
}

void FileList::sortAs(Sorting sorting) {
    if (sorting.rows.size() != rows_.size()) return;
    std::vector<FileListRow> sorted;
    sorted.reserve(rows_.size());
    for (const std::size_t row : sorting.rows) sorted.push_back(std::move(rows_[row]));
    rows_ = std::move(sorted);
    sortColumn_ = sorting.column;
    descending_ = sorting.descending;
}

// Rows of equal texts keep their order.
std::vector<std::size_t> FileList::sortedRows(std::size_t column, bool descending, const TextOrder& order) const {
    std::vector<std::size_t> rows(rows_.size());
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = i;
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
        const int cmp = order(rows_[a].cells[column], rows_[b].cells[column]);
        return descending ? cmp > 0 : cmp < 0;
    });
    return rows;
}

void FileList::showSearching() {
    placeholder_ = Placeholder::searching;
    rows_.assign(1, {"", {std::string(texts::kSearching)}, false});
}

FileList FileList::build(const Card* selected, const ViewSettings& settings, const ListedHistoryReader& read,
                         const SearchFilter& search, TextWidths& widths, const TextOrder& order) {
    FileList list;
    if (!selected) {
        list.placeholder_ = Placeholder::noCard;
        list.columns_.push_back(
            {FileListColumn::Kind::filler, "", 0, widths.textWidth(texts::kNoCard) + kWidthAllowance});
        list.rows_.push_back({"", {std::string(texts::kNoCard)}, false});
        return list;
    }

    // Columns are gathered as rows are read: headings by the first occurrence
    // of their title, the fixed ones by number. Cells a row does not fill read "---".
    std::vector<FileListColumn> headings;
    std::map<std::string, std::size_t, std::less<>> headingIndex;
    std::array<std::optional<FileListColumn>, kDateColumn> fixed;
    struct Filled {
        std::string key;
        std::vector<std::optional<std::string>> headingCells;  // by heading column
        std::array<std::string, kDateColumn> fixedCells;       // by fixed column k - 1
        bool error = false;
    };
    std::vector<Filled> filled;
    const auto widen = [&](FileListColumn& column, const std::string& value) {
        if (value.empty()) return;
        const double w = std::min(widths.textWidth(value) + kWidthAllowance, kWidestColumn);
        if (w > column.width) column.width = w;
    };

    for (const std::string& path : selected->files()) {
        if (!hasHistoryExtension(path) || (search && !search(path))) continue;
        const std::optional<ListedHistory> history = read(path);
        if (!history) continue;  // unreadable: passed over, the list goes on
        Filled row{path, {}, {}, history->header.intErrorCount > 0};
        if (settings.column(ColumnSwitch::DataTitle)) {
            for (const UserHeadingRecord& heading : history->headings) {
                auto [it, added] = headingIndex.try_emplace(heading.strTitle, headings.size());
                if (added) headings.push_back({FileListColumn::Kind::heading, heading.strTitle, 0, kColumnStartWidth});
                if (row.headingCells.size() <= it->second) row.headingCells.resize(it->second + 1);
                row.headingCells[it->second] = heading.strValue;  // a later heading of the same title wins
                widen(headings[it->second], heading.strValue);
            }
        }
        for (int k = 1; k <= kDateColumn; ++k) {
            const std::optional<ColumnSwitch> on = switchOf(k);
            if (on && !settings.column(*on)) continue;
            const auto at = static_cast<std::size_t>(k - 1);
            if (!fixed[at]) {
                fixed[at] = FileListColumn{FileListColumn::Kind::fixed, std::string(texts::kFixedColumnCaptions[at]),
                                           k, kColumnStartWidth};
            }
            std::string value = fixedCellText(k, path, *history);
            widen(*fixed[at], value);
            row.fixedCells[at] = std::move(value);
        }
        filled.push_back(std::move(row));
    }

    const std::size_t headingCount = headings.size();
    list.columns_ = std::move(headings);
    for (auto& column : fixed) {
        if (column) list.columns_.push_back(std::move(*column));
    }
    list.columns_.push_back({FileListColumn::Kind::filler, "", 0, kColumnStartWidth});

    if (filled.empty()) {
        list.placeholder_ = Placeholder::noResults;
        list.columns_.front().width = kNoResultsWidth;
        list.rows_.push_back({"", {std::string(texts::kNoResults)}, false});
        return list;
    }

    list.rows_.reserve(filled.size());
    for (Filled& f : filled) {
        FileListRow row{std::move(f.key), {}, f.error};
        row.cells.reserve(list.columns_.size());
        for (std::size_t c = 0; c < headingCount; ++c) {
            std::optional<std::string>* cell = c < f.headingCells.size() ? &f.headingCells[c] : nullptr;
            row.cells.push_back(cell && *cell ? std::move(**cell) : std::string(texts::kMissingCell));
        }
        for (std::size_t c = headingCount; c + 1 < list.columns_.size(); ++c) {
            row.cells.push_back(std::move(f.fixedCells[static_cast<std::size_t>(list.columns_[c].fixedColumn - 1)]));
        }
        row.cells.emplace_back();  // the filler
        list.rows_.push_back(std::move(row));
    }
    // Newest print first: the date column's text sorts chronologically.
    const std::size_t date = list.columns_.size() - 2;
    list.sortAs({date, true, list.sortedRows(date, true, order)});
    return list;
}

}  // namespace kq::viewer
