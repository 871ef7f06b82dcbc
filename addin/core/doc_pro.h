#pragma once
// One sheet watch: a worksheet marked for print recording, with its ids, its
// category, the range to record and its headings. The collection (doc_pros.h)
// creates the records and moves them to and from the workbook's custom document
// properties; the stored text form is made here, next to the values it holds.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "host/host.h"

namespace kq::addin {

// Custom document properties of watches are named this, "_" and the sheet's name.
inline constexpr std::string_view kSheetWatchPropertyKey = "KEZ_QUORVEX_INFO";
// What a value source reads once the cells it referred to were deleted.
inline constexpr std::string_view kDeletedRangeText = "#REF";

class c_Xl_DocPro {
public:
    bool Released() const { return released_; }
    void Released(bool value) { released_ = value; }

    const host::WorkbookPtr& Book() const { return book_; }
    void Book(host::WorkbookPtr book) { book_ = std::move(book); }

    // Empty once the sheet was deleted or its workbook closed.
    host::WorksheetPtr Sheet() const;

    // Number of headings; 0 when there are none.
    int TitleCount() const { return static_cast<int>(titles_.size()); }
    // Keeps the headings that fit; new ones have an empty title and source and type 0.
    void TitleCount(int count);

    void Sheet(host::WorksheetPtr sheet) { sheet_ = std::move(sheet); }

    const std::string& SheetId() const { return sheetId_; }
    void SheetId(std::string id) { sheetId_ = std::move(id); }
    const std::string& VersionId() const { return versionId_; }
    void VersionId(std::string id) { versionId_ = std::move(id); }
    const std::string& Category() const { return category_; }
    void Category(std::string_view category);

    // The absolute address of the range to record, "#REF" when its cells were
    // deleted, a text the sheet could not resolve, or "" for the print area.
    std::string SaveRange() const;
    // A text the record's sheet resolves (an address, a defined name) is kept as
    // the range itself, so it follows inserted and deleted rows; any other text
    // is kept as it is.
    void SaveRange(std::string_view text);

    // Headings, from 1. Reading outside 1 to TitleCount throws std::out_of_range;
    // writing past the end grows all heading lists to the index.
    const std::string& TitleText(int index) const;
    void TitleText(int index, std::string_view title);
    // As SaveRange: an address, "#REF", or the literal text.
    std::string ValueRange(int index) const;
    void ValueRange(int index, std::string_view source);
    // 0 the cells' values, 1 their displayed texts; always 0 for a literal source.
    std::int32_t CellLinkValueType(int index) const;
    void CellLinkValueType(int index, std::int32_t type);

private:
    // A range on the sheet, or a text that named none. An empty range pointer
    // stands for the host's Nothing.
    using Source = std::variant<std::string, host::RangePtr>;
    struct Heading {
        std::string title;
        Source source;
        std::int32_t type = 0;
    };

    Source resolve(std::string_view text) const;
    static std::string read(const Source& source);
    const Heading& at(int index) const;
    Heading& grownTo(int index);

    host::WorkbookPtr book_;
    host::WorksheetPtr sheet_;
    std::string sheetId_;
    std::string versionId_;
    std::string category_;
    Source saveRange_;
    std::vector<Heading> titles_;
    bool released_ = false;
};

// The property name of a watch on the sheet of that name.
std::string SheetWatchPropertyName(std::string_view sheetName);
// The six-field stored form of a record: released flag, category, sheet id,
// version id, save range, headings; TAB between fields.
std::string SheetWatchPropertyValue(const c_Xl_DocPro& record);

}  // namespace kq::addin
