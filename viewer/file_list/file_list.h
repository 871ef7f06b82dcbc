#pragma once
// The file list of the selected card: one row per history, one column per
// user-heading title, the fixed columns the user switched on, the date column
// and an empty filler. The window shows the columns, rows and widths as they
// stand here; rows are keyed by the history's full path.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/history_file.h"
#include "viewer/cards/card.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// A history as the list needs it: the header, the user headings and the
// file's length.
struct ListedHistory {
    HistoryFileHeader header;
    std::vector<UserHeadingRecord> headings;
    std::uint64_t size = 0;
};

// Reads what the list shows of a history; empty when the file cannot be
// opened or its header and headings cannot be read (such a file is passed over).
using ListedHistoryReader = std::function<std::optional<ListedHistory>(const std::string& path)>;
// Whether the current search lets a history through (always, without a search).
using SearchFilter = std::function<bool(const std::string& path)>;

// Widths of texts in the main window's font, in twips; the window measures.
class TextWidths {
public:
    virtual ~TextWidths() = default;
    virtual double textWidth(std::string_view text) = 0;
};

// The order of two cell texts, as the list control orders them: negative,
// zero or positive. Under Windows it is the system's order of the user's
// locale (win32/list_text_order.h); sorting may run off the window's thread.
using TextOrder = std::function<int(std::string_view, std::string_view)>;
// The portable order: letter case aside, byte by byte. It agrees with the
// system's on plain ASCII letters and digits, not on marks, full-width or
// half-width forms or kana.
int compareIgnoringCase(std::string_view a, std::string_view b);

// The cell texts of the fixed columns.
std::string sizeText(std::uint64_t bytes);  // "1,235 KB": thousands of bytes, rounded up
std::string listDateText(double oleDate);   // "2024/03/15(金) 10:15:30", "不明" for no date
std::string fixedCellText(int fixedColumn, const std::string& path, const ListedHistory& history);

struct FileListColumn {
    enum class Kind { heading, fixed, filler };
    Kind kind = Kind::filler;
    std::string caption;
    int fixedColumn = 0;  // 1 to 20 for a fixed column
    double width = 300;
    // Heading columns carry the "USER" picture in their header.
    bool userPicture() const { return kind == Kind::heading; }
    friend bool operator==(const FileListColumn&, const FileListColumn&) = default;
};

struct FileListRow {
    std::string key;  // the full path; "" for the placeholder row
    std::vector<std::string> cells;
    bool errorPicture = false;
};

class FileList {
public:
    enum class Placeholder {
        none,
        noCard,     // "なし": no card is selected
        noResults,  // "検索結果なし", grey: the card lists nothing
        searching,  // "検索中", grey: the list stands for the search under way
    };

    // Columns and rows in display order.
    const std::vector<FileListColumn>& columns() const { return columns_; }
    const std::vector<FileListRow>& rows() const { return rows_; }
    Placeholder placeholder() const { return placeholder_; }
    // The row of a history, by its full path.
    std::optional<std::size_t> rowOf(std::string_view path) const;
    // The row the rebuild selects: the first, when there is a history row.
    std::optional<std::size_t> firstRow() const;

    std::optional<std::size_t> sortColumn() const { return sortColumn_; }
    bool sortDescending() const { return descending_; }
    // A click on a column header: the sort column's order turns round, any
    // other column sorts descending.
    void columnClick(std::size_t column, const TextOrder& order);
    // The same in two halves: the new order of the rows is worked out from
    // the list as it stands, which long work may do while others only read
    // the list; then it is put in place. None for a click that sorts nothing.
    struct Sorting {
        std::size_t column = 0;
        bool descending = true;
        std::vector<std::size_t> rows;  // the row now at each place
    };
    std::optional<Sorting> sortingFor(std::size_t column, const TextOrder& order) const;
    void sortAs(Sorting sorting);

    // While a search runs: the columns as they stand, the one row "検索中".
    void showSearching();

    // Rebuilds the list for the selected card (none: "なし").
    static FileList build(const Card* selected, const ViewSettings& settings, const ListedHistoryReader& read,
                          const SearchFilter& search, TextWidths& widths, const TextOrder& order);

private:
    std::vector<std::size_t> sortedRows(std::size_t column, bool descending, const TextOrder& order) const;

    std::vector<FileListColumn> columns_;
    std::vector<FileListRow> rows_;
    Placeholder placeholder_ = Placeholder::none;
    std::optional<std::size_t> sortColumn_;
    bool descending_ = true;
};

}  // namespace kq::viewer
