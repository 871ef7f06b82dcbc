#include "host/sim/sim_range.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "host/sim/sim_application.h"
#include "host/sim/sim_sheet.h"
#include "host/sim/sim_workbook.h"

namespace kq::host::sim {
namespace {

constexpr std::int32_t kScreen = 1;  // xlScreen, the other appearance of CopyPicture

HostError objectDefined() { return HostError(err::kApplicationDefined, "Application-defined or object-defined error"); }

}  // namespace

SimRange::SimRange(std::shared_ptr<SimWorksheet> sheet, std::vector<CellRect> areas)
    : sheet_(std::move(sheet)), areas_(std::move(areas)), editsSeen_(sheet_->edits().size()) {
    if (areas_.empty()) throw std::invalid_argument("a range has at least one area");
}

const std::vector<CellRect>& SimRange::areas() {
    sheet_->requireLive();
    const EditLog& edits = sheet_->edits();
    if (editsSeen_ < edits.size()) {
        areas_ = edits.catchUp(std::move(areas_), editsSeen_);
        editsSeen_ = edits.size();
    }
    if (areas_.empty()) throw HostError(err::kObjectRequired, "Object required: the range's cells were deleted");
    return areas_;
}

std::string SimRange::Address() { return formatAreas(areas(), sheet_->grid()); }

std::vector<RangePtr> SimRange::Areas() {
    std::vector<RangePtr> result;
    for (const CellRect& area : areas()) result.push_back(std::make_shared<SimRange>(sheet_, std::vector{area}));
    return result;
}

std::int32_t SimRange::Count() {
    std::int64_t count = 0;
    for (const CellRect& area : areas()) count += area.cellCount();
    if (count > std::numeric_limits<std::int32_t>::max()) throw HostError(err::kOverflow, "Overflow");
    return static_cast<std::int32_t>(count);
}

std::int32_t SimRange::Row() { return areas().front().top; }
std::int32_t SimRange::Column() { return areas().front().left; }
std::int32_t SimRange::RowsCount() { return areas().front().rowCount(); }
std::int32_t SimRange::ColumnsCount() { return areas().front().columnCount(); }

RangePtr SimRange::Cells(std::int32_t row, std::int32_t column) {
    const CellRect& first = areas().front();
    return cellAt(std::int64_t{first.top} + row - 1, std::int64_t{first.left} + column - 1);
}

// As the host's: counted in the first area, running on below it past its end.
RangePtr SimRange::Item(std::int32_t index) {
    const CellRect& first = areas().front();
    if (index < 1) throw objectDefined();
    const std::int64_t offset = index - 1;
    return cellAt(first.top + offset / first.columnCount(), first.left + offset % first.columnCount());
}

RangePtr SimRange::Offset(std::int32_t rows, std::int32_t columns) {
    std::vector<CellRect> moved;
    for (const CellRect& a : areas()) {
        const std::int64_t top = std::int64_t{a.top} + rows;
        const std::int64_t left = std::int64_t{a.left} + columns;
        const std::int64_t bottom = std::int64_t{a.bottom} + rows;
        const std::int64_t right = std::int64_t{a.right} + columns;
        const GridSize g = sheet_->grid();
        if (top < 1 || left < 1 || bottom > g.rows || right > g.columns) throw objectDefined();
        moved.push_back({static_cast<std::int32_t>(top), static_cast<std::int32_t>(left),
                         static_cast<std::int32_t>(bottom), static_cast<std::int32_t>(right)});
    }
    return std::make_shared<SimRange>(sheet_, std::move(moved));
}

RangePtr SimRange::EntireRow() {
    std::vector<CellRect> rows;
    for (const CellRect& a : areas()) rows.push_back({a.top, 1, a.bottom, sheet_->grid().columns});
    return std::make_shared<SimRange>(sheet_, std::move(rows));
}

RangePtr SimRange::EntireColumn() {
    std::vector<CellRect> columns;
    for (const CellRect& a : areas()) columns.push_back({1, a.left, sheet_->grid().rows, a.right});
    return std::make_shared<SimRange>(sheet_, std::move(columns));
}

Value SimRange::CellValue() {
    const CellRect& first = areas().front();
    return sheet_->valueAt(first.top, first.left);
}

std::string SimRange::Text() {
    const CellRect& first = areas().front();
    return sheet_->textAt(first.top, first.left);
}

WorksheetPtr SimRange::Parent() {
    sheet_->requireLive();
    return sheet_;
}

void SimRange::Activate() {
    const CellRect& first = areas().front();
    requireActiveSheet();
    const CellRect cell = cellRect(first.top, first.left);
    const auto& selection = sheet_->selection();
    const bool inSelection = std::any_of(selection.begin(), selection.end(),
                                         [&](const CellRect& a) { return contains(a, cell); });
    sheet_->select(inSelection ? selection : areas(), cell);
}

void SimRange::Select() {
    const CellRect& first = areas().front();
    requireActiveSheet();
    sheet_->select(areas(), cellRect(first.top, first.left));
}

// Either appearance gives the same picture here: the simulated screen and
// printer draw alike. Only the metafile format is simulated.
void SimRange::CopyPicture(std::int32_t appearance, std::int32_t format) {
    const CellRect area = copiedArea("CopyPicture");
    if ((appearance != kScreen && appearance != xlPrinter) || format != xlPicture) {
        throw HostError(err::kApplicationDefined, "CopyPicture method of Range class failed");
    }
    clipboardFor("CopyPicture").putPicture(drawRange(*sheet_, area));
    keepCopy(area, true);
}

void SimRange::Copy() {
    const CellRect area = copiedArea("Copy");
    clipboardFor("Copy").putText(clipboardText(*sheet_, area));
    keepCopy(area, false);
}

void SimRange::keepCopy(const CellRect& area, bool picture) {
    const auto book = sheet_->book();
    const auto app = book ? book->app() : nullptr;
    if (app && app->keepingCopies()) app->copied({std::make_shared<SimRange>(sheet_, std::vector{area}), picture});
}

CellRect SimRange::copiedArea(const char* method) {
    const auto& now = areas();
    if (now.size() != 1) {
        throw HostError(err::kApplicationDefined,
                        std::string(method).append(" cannot be used on a range of several areas"));
    }
    return now.front();
}

SimClipboard& SimRange::clipboardFor(const char* method) {
    const auto book = sheet_->book();
    const auto app = book ? book->app() : nullptr;
    SimClipboard* clipboard = app ? app->clipboard() : nullptr;
    if (!clipboard) throw HostError(err::kApplicationDefined, std::string(method).append(" method of Range class failed"));
    return *clipboard;
}

RangePtr SimRange::cellAt(std::int64_t row, std::int64_t column) {
    const GridSize g = sheet_->grid();
    if (row < 1 || column < 1 || row > g.rows || column > g.columns) throw objectDefined();
    return std::make_shared<SimRange>(sheet_,
                                      std::vector{cellRect(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column))});
}

// Cells can be activated and selected only on the active sheet of the active workbook.
void SimRange::requireActiveSheet() {
    const auto book = sheet_->book();
    const auto app = book ? book->app() : nullptr;
    if (!app || app->activeBook() != book || book->activeSheet().get() != static_cast<SimSheetBase*>(sheet_.get())) {
        throw HostError(err::kApplicationDefined, "Cells can be selected only on the active sheet");
    }
}

}  // namespace kq::host::sim
