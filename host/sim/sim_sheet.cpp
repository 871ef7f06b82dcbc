#include "host/sim/sim_sheet.h"

#include <algorithm>
#include <stdexcept>

#include "host/sim/cell_text.h"
#include "host/sim/name_compare.h"
#include "host/sim/page_layout.h"
#include "host/sim/sheet_parts.h"
#include "host/sim/sim_range.h"
#include "host/sim/sim_workbook.h"

namespace kq::host::sim {
namespace {

using Axis = StructuralEdit::Axis;

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

HostError rangeFailed() { return HostError(err::kApplicationDefined, "The text names no range of this sheet"); }

void moveKeys(std::map<std::int32_t, double>& sizes, const StructuralEdit& edit, GridSize grid) {
    std::map<std::int32_t, double> moved;
    for (const auto& [index, size] : sizes) {
        if (const auto to = movedIndex(index, edit, grid)) moved.emplace(*to, size);
    }
    sizes = std::move(moved);
}

void moveKeys(std::set<std::int32_t>& breaks, const StructuralEdit& edit, GridSize grid) {
    std::set<std::int32_t> moved;
    for (std::int32_t index : breaks) {
        if (const auto to = movedIndex(index, edit, grid)) moved.insert(*to);
    }
    breaks = std::move(moved);
}

void markDeleted(ShapeData& shape) {
    shape.deleted = true;
    for (const auto& item : shape.items) markDeleted(*item);
}

// Moves the shapes with their cells; a shape whose cells are all gone goes too.
void moveShapes(std::vector<std::shared_ptr<ShapeData>>& shapes, const StructuralEdit& edit, GridSize grid) {
    std::erase_if(shapes, [&](const std::shared_ptr<ShapeData>& shape) {
        const auto moved = movedRect(shape->anchor, edit, grid);
        if (!moved) {
            markDeleted(*shape);
            return true;
        }
        shape->anchor = *moved;
        moveShapes(shape->items, edit, grid);
        return false;
    });
}

}  // namespace

void SimSheetBase::requireLive() const {
    if (gone_) throw HostError(err::kObjectRequired, "Object required: the sheet was deleted or its workbook closed");
}

void SimSheetBase::rename(const std::string& newName) {
    requireLive();
    const bool valid = !newName.empty() && characterCount(newName) <= 31 &&
                       newName.find_first_of(":\\/?*[]") == std::string::npos && newName.front() != '\'' &&
                       newName.back() != '\'';
    const auto owner = book();
    if (!valid || (owner && owner->nameTaken(newName, this))) {
        throw HostError(err::kApplicationDefined, "Cannot rename a sheet to '" + newName + "'");
    }
    name_ = newName;
}

void SimSheetBase::activate() {
    requireLive();
    if (const auto owner = book()) owner->activateSheet(*this);
}

std::string SimChartSheet::Name() {
    requireLive();
    return name();
}

std::int32_t SimChartSheet::Type() {
    requireLive();
    return xlChart;
}

WorksheetPtr SimChartSheet::AsWorksheet() { return nullptr; }

SimWorksheet::SimWorksheet(std::weak_ptr<SimWorkbook> book, std::string name, GridSize grid)
    : SimSheetBase(std::move(book), std::move(name)), edits_(grid) {}

std::string SimWorksheet::Name() {
    requireLive();
    return name();
}

std::int32_t SimWorksheet::Type() {
    requireLive();
    return xlWorksheet;
}

WorksheetPtr SimWorksheet::AsWorksheet() { return shared_from_this(); }

WorkbookPtr SimWorksheet::Parent() {
    requireLive();
    return book();
}

RangePtr SimWorksheet::Range(const std::string& text) { return rangeOf(resolve(text)); }

RangePtr SimWorksheet::Cells(std::int32_t row, std::int32_t column) {
    requireLive();
    const CellRect cell = cellRect(row, column);
    if (!fitsGrid(cell, grid())) throw HostError(err::kApplicationDefined, "Application-defined or object-defined error");
    return rangeOf({cell});
}

RangePtr SimWorksheet::UsedRange() {
    requireLive();
    return rangeOf({usedArea()});
}

CellRect SimWorksheet::usedArea() const {
    if (cells_.empty()) return cellRect(1, 1);
    CellRect box{cells_.begin()->first.first, grid().columns, cells_.rbegin()->first.first, 1};
    for (const auto& [pos, cell] : cells_) {
        box.left = std::min(box.left, pos.second);
        box.right = std::max(box.right, pos.second);
    }
    return box;
}

double SimWorksheet::rowPoints(std::int32_t row) const {
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? kStandardRowHeight : std::max(it->second, 0.0);
}

double SimWorksheet::columnPoints(std::int32_t column) const {
    const auto it = columnWidths_.find(column);
    return columnWidthPoints(it == columnWidths_.end() ? kStandardColumnWidth : it->second);
}

PageSetupPtr SimWorksheet::PageSetup() {
    requireLive();
    return std::make_shared<SimPageSetup>(shared_from_this());
}

// The view does not matter: the host lays out pages in normal view as well,
// and the add-in reads the breaks in page-break preview.
std::vector<RangePtr> SimWorksheet::HPageBreaks() {
    requireLive();
    const PageGrid pages = layOutPages(*this);
    std::vector<RangePtr> breaks;
    for (std::int32_t row : pages.rowStarts) breaks.push_back(rangeOf({cellRect(row, pages.area.left)}));
    return breaks;
}

std::vector<RangePtr> SimWorksheet::VPageBreaks() {
    requireLive();
    const PageGrid pages = layOutPages(*this);
    std::vector<RangePtr> breaks;
    for (std::int32_t column : pages.columnStarts) breaks.push_back(rangeOf({cellRect(pages.area.top, column)}));
    return breaks;
}

std::vector<ShapePtr> SimWorksheet::Shapes() {
    requireLive();
    std::vector<ShapePtr> shapes;
    for (const auto& shape : shapes_) shapes.push_back(std::make_shared<SimShape>(shared_from_this(), shape));
    return shapes;
}

std::vector<CommentPtr> SimWorksheet::Comments() {
    requireLive();
    std::vector<CommentPtr> comments;
    for (const auto& comment : comments_) comments.push_back(std::make_shared<SimComment>(shared_from_this(), comment));
    return comments;
}

void SimWorksheet::Activate() { activate(); }

void SimWorksheet::setCell(std::int32_t row, std::int32_t column, Value value, std::optional<std::string> text) {
    if (!fitsGrid(cellRect(row, column), grid())) throw std::invalid_argument("cell outside the grid");
    if (const auto* e = std::get_if<CellError>(&value); e && !errorName(e->code)) {
        throw std::invalid_argument("no error value has the code " + std::to_string(e->code));
    }
    if (std::holds_alternative<Empty>(value)) {
        cells_.erase({row, column});
        return;
    }
    cells_[{row, column}] = Cell{std::move(value), std::move(text)};
}

void SimWorksheet::setCell(std::string_view address, Value value, std::optional<std::string> text) {
    const auto areas = parseAddress(address, grid());
    if (!areas || areas->size() != 1 || areas->front().rect.cellCount() != 1) {
        throw std::invalid_argument("not one cell: " + std::string(address));
    }
    const CellRect& cell = areas->front().rect;
    setCell(cell.top, cell.left, std::move(value), std::move(text));
}

Value SimWorksheet::valueAt(std::int32_t row, std::int32_t column) const {
    const auto it = cells_.find({row, column});
    return it == cells_.end() ? Value{} : it->second.value;
}

std::string SimWorksheet::textAt(std::int32_t row, std::int32_t column) const {
    const auto it = cells_.find({row, column});
    if (it == cells_.end()) return "";
    return it->second.text ? *it->second.text : generalText(it->second.value);
}

void SimWorksheet::insertRows(std::int32_t before, std::int32_t count) { edit({Axis::rows, true, before, count}); }
void SimWorksheet::deleteRows(std::int32_t first, std::int32_t count) { edit({Axis::rows, false, first, count}); }
void SimWorksheet::insertColumns(std::int32_t before, std::int32_t count) { edit({Axis::columns, true, before, count}); }
void SimWorksheet::deleteColumns(std::int32_t first, std::int32_t count) { edit({Axis::columns, false, first, count}); }

void SimWorksheet::edit(const StructuralEdit& e) {
    requireLive();
    const GridSize g = grid();
    const std::int32_t max = e.axis == Axis::rows ? g.rows : g.columns;
    if (e.count < 1 || e.first < 1 || e.first > max || e.count > max - e.first + 1) {
        throw HostError(err::kApplicationDefined, "Insert or Delete method failed");
    }
    checkNothingPushedOff(e);

    CellMap moved;
    for (auto& [pos, cell] : cells_) {
        const bool rows = e.axis == Axis::rows;
        const auto to = movedIndex(rows ? pos.first : pos.second, e, g);
        if (!to) continue;
        moved.emplace(rows ? std::pair{*to, pos.second} : std::pair{pos.first, *to}, std::move(cell));
    }
    cells_ = std::move(moved);

    if (e.axis == Axis::rows) {
        moveKeys(rowHeights_, e, g);
        moveKeys(rowBreaks_, e, g);
    } else {
        moveKeys(columnWidths_, e, g);
        moveKeys(columnBreaks_, e, g);
    }
    // The print area and titles are names in the host: they move as ranges do.
    setup_.printArea = movedAreas(setup_.printArea, e, g);
    setup_.printTitleRows = movedAreas(setup_.printTitleRows, e, g);
    setup_.printTitleColumns = movedAreas(setup_.printTitleColumns, e, g);

    moveShapes(shapes_, e, g);
    std::erase_if(comments_, [&](const std::shared_ptr<CommentData>& c) {
        std::int32_t& at = e.axis == Axis::rows ? c->row : c->column;
        const auto to = movedIndex(at, e, g);
        if (!to) {
            c->deleted = true;
            return true;
        }
        at = *to;
        return false;
    });

    selection_ = movedAreas(selection_, e, g);
    if (selection_.empty()) selection_ = {cellRect(1, 1)};
    const auto active = movedRect(activeCell_, e, g);
    activeCell_ = active ? *active : cellRect(selection_.front().top, selection_.front().left);

    edits_.record(e);
    if (const auto owner = book()) owner->sheetEdited(*this, e);
}

void SimWorksheet::checkNothingPushedOff(const StructuralEdit& e) const {
    if (!e.insert) return;
    for (const auto& [pos, cell] : cells_) {
        if (!movedIndex(e.axis == Axis::rows ? pos.first : pos.second, e, grid())) {
            throw HostError(err::kApplicationDefined, "Cells that hold values cannot be shifted off the sheet");
        }
    }
}

void SimWorksheet::setPrintArea(std::string_view text) { setup_.printArea = text.empty() ? std::vector<CellRect>{} : resolve(text); }

void SimWorksheet::setPrintTitleRows(std::string_view text) { setup_.printTitleRows = resolveTitles(text, Axis::rows); }

void SimWorksheet::setPrintTitleColumns(std::string_view text) {
    setup_.printTitleColumns = resolveTitles(text, Axis::columns);
}

std::vector<CellRect> SimWorksheet::resolveTitles(std::string_view text, StructuralEdit::Axis axis) {
    if (text.empty()) return {};
    std::vector<CellRect> areas = resolve(text);
    for (CellRect& a : areas) {
        if (axis == Axis::rows) {
            a.left = 1;
            a.right = grid().columns;
        } else {
            a.top = 1;
            a.bottom = grid().rows;
        }
    }
    return mergeAreas(std::move(areas));
}

std::shared_ptr<ShapeData> SimWorksheet::addShape(ShapeData shape) {
    if (!fitsGrid(shape.anchor, grid())) throw std::invalid_argument("shape outside the grid");
    shapes_.push_back(std::make_shared<ShapeData>(std::move(shape)));
    return shapes_.back();
}

std::shared_ptr<CommentData> SimWorksheet::addComment(std::int32_t row, std::int32_t column, std::string author,
                                                      std::string text) {
    if (!fitsGrid(cellRect(row, column), grid())) throw std::invalid_argument("comment outside the grid");
    comments_.push_back(std::make_shared<CommentData>(CommentData{row, column, std::move(author), std::move(text)}));
    return comments_.back();
}

void SimWorksheet::select(const std::vector<CellRect>& areas, CellRect activeCell) {
    if (areas.empty()) throw std::invalid_argument("a selection has at least one area");
    selection_ = areas;
    activeCell_ = activeCell;
    shapeSelected_ = false;
}

std::vector<CellRect> SimWorksheet::resolve(std::string_view text) {
    requireLive();
    if (const auto parsed = parseAddress(text, grid())) {
        std::vector<CellRect> areas;
        for (const QualifiedArea& area : *parsed) {
            if (area.sheet && !sameName(*area.sheet, name())) throw rangeFailed();
            areas.push_back(area.rect);
        }
        return areas;
    }
    const auto owner = book();
    const DefinedName* defined = owner ? owner->findName(text) : nullptr;
    if (!defined || defined->broken() || defined->sheet.get() != this) throw rangeFailed();
    return defined->areas;
}

RangePtr SimWorksheet::rangeOf(std::vector<CellRect> areas) {
    return std::make_shared<SimRange>(shared_from_this(), std::move(areas));
}

}  // namespace kq::host::sim
