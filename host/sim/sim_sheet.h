#pragma once
// The sheets of a simulated workbook: worksheets with cells, and chart sheets,
// which hold nothing the add-in reads but take part in tab order, selection and
// activation.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/sim/a1_address.h"
#include "host/sim/range_geometry.h"
#include "host/sim/sheet_data.h"

namespace kq::host::sim {

class SimWorkbook;

// What every sheet kind has: a name, its workbook, and the end of its life
// (deleted, or its workbook closed), after which the host's objects for it fail.
class SimSheetBase {
public:
    virtual ~SimSheetBase() = default;

    const std::string& name() const { return name_; }
    // As the user renaming the tab. The host's rules for sheet names apply: 1 to
    // 31 characters, none of : \ / ? * [ ], no quote first or last, unique in
    // the workbook (letter case ignored); another name fails (1004).
    void rename(const std::string& newName);
    // As the user clicking the tab: activates the workbook too when needed.
    void activate();

    std::shared_ptr<SimWorkbook> book() const { return book_.lock(); }
    bool gone() const { return gone_; }
    virtual bool isWorksheet() const = 0;
    virtual SheetPtr hostSheet() = 0;

    // Called by the workbook when the sheet is deleted or the workbook closed.
    void markGone() { gone_ = true; }
    // The façade's calls on a sheet that is gone fail (424) as the host's do.
    void requireLive() const;

protected:
    SimSheetBase(std::weak_ptr<SimWorkbook> book, std::string name) : book_(std::move(book)), name_(std::move(name)) {}

private:
    std::weak_ptr<SimWorkbook> book_;
    std::string name_;
    bool gone_ = false;
};

class SimChartSheet final : public Sheet, public SimSheetBase, public std::enable_shared_from_this<SimChartSheet> {
public:
    SimChartSheet(std::weak_ptr<SimWorkbook> book, std::string name) : SimSheetBase(std::move(book), std::move(name)) {}

    std::string Name() override;
    std::int32_t Type() override;
    WorksheetPtr AsWorksheet() override;

    bool isWorksheet() const override { return false; }
    SheetPtr hostSheet() override { return shared_from_this(); }
};

class SimWorksheet final : public Worksheet, public SimSheetBase, public std::enable_shared_from_this<SimWorksheet> {
public:
    using CellMap = std::map<std::pair<std::int32_t, std::int32_t>, Cell>;  // by (row, column)

    SimWorksheet(std::weak_ptr<SimWorkbook> book, std::string name, GridSize grid);

    // The façade.
    std::string Name() override;
    std::int32_t Type() override;
    WorksheetPtr AsWorksheet() override;
    WorkbookPtr Parent() override;
    RangePtr Range(const std::string& text) override;
    RangePtr Cells(std::int32_t row, std::int32_t column) override;
    RangePtr UsedRange() override;
    PageSetupPtr PageSetup() override;
    std::vector<RangePtr> HPageBreaks() override;
    std::vector<RangePtr> VPageBreaks() override;
    std::vector<ShapePtr> Shapes() override;
    std::vector<CommentPtr> Comments() override;
    void Activate() override;

    bool isWorksheet() const override { return true; }
    SheetPtr hostSheet() override { return shared_from_this(); }
    GridSize grid() const { return edits_.grid(); }

    // Cells. Empty values are not kept; `text` is what the cell shows when not
    // the general text of its value.
    void setCell(std::int32_t row, std::int32_t column, Value value, std::optional<std::string> text = {});
    void setCell(std::string_view address, Value value, std::optional<std::string> text = {});
    const CellMap& cells() const { return cells_; }
    Value valueAt(std::int32_t row, std::int32_t column) const;
    std::string textAt(std::int32_t row, std::int32_t column) const;

    // Whole rows and columns, as the user inserts and deletes them: cells,
    // ranges, names, shapes, comments, page setup, breaks and sizes move along.
    // An insert that would push a value off the grid fails (1004).
    void insertRows(std::int32_t before, std::int32_t count = 1);
    void deleteRows(std::int32_t first, std::int32_t count = 1);
    void insertColumns(std::int32_t before, std::int32_t count = 1);
    void deleteColumns(std::int32_t first, std::int32_t count = 1);
    const EditLog& edits() const { return edits_; }

    // Column widths in characters and row heights in points, where set (the
    // units are explained in page_layout.h); 0 hides the column or row.
    void setColumnWidth(std::int32_t column, double width) { columnWidths_[column] = width; }
    void setRowHeight(std::int32_t row, double height) { rowHeights_[row] = height; }
    const std::map<std::int32_t, double>& columnWidths() const { return columnWidths_; }
    const std::map<std::int32_t, double>& rowHeights() const { return rowHeights_; }
    // The size of any row or column in points, defaults included.
    double rowPoints(std::int32_t row) const;
    double columnPoints(std::int32_t column) const;
    // From the first to the last row and column that hold a value; A1 on an empty sheet.
    CellRect usedArea() const;

    // Page setup; the print area and titles take any address this sheet
    // resolves, the titles widened to whole rows or columns ("" clears).
    PageSetupData& setup() { return setup_; }
    const PageSetupData& setup() const { return setup_; }
    void setPrintArea(std::string_view text);
    void setPrintTitleRows(std::string_view text);
    void setPrintTitleColumns(std::string_view text);
    // Manual page breaks: the first row (column) of the page a break starts.
    // HPageBreaks and VPageBreaks report these together with the automatic
    // ones (see page_layout.h), inside the print area only.
    std::set<std::int32_t>& rowBreaks() { return rowBreaks_; }
    std::set<std::int32_t>& columnBreaks() { return columnBreaks_; }
    const std::set<std::int32_t>& rowBreaks() const { return rowBreaks_; }
    const std::set<std::int32_t>& columnBreaks() const { return columnBreaks_; }

    // Shapes in z-order, comments in the order they were added.
    std::shared_ptr<ShapeData> addShape(ShapeData shape);
    std::shared_ptr<CommentData> addComment(std::int32_t row, std::int32_t column, std::string author, std::string text);
    const std::vector<std::shared_ptr<ShapeData>>& shapes() const { return shapes_; }
    const std::vector<std::shared_ptr<CommentData>>& comments() const { return comments_; }

    // The sheet's own selection and active cell (A1 on a new sheet); the
    // application's Selection and ActiveCell show them while the sheet is active.
    void select(const std::vector<CellRect>& areas, CellRect activeCell);
    const std::vector<CellRect>& selection() const { return selection_; }
    CellRect activeCell() const { return activeCell_; }
    // A shape is selected instead of cells: the application's Selection is no range.
    void selectShape() { shapeSelected_ = true; }
    bool shapeSelected() const { return shapeSelected_; }

    // The areas a text names on this sheet (an address, or a defined name of
    // the workbook that refers here); throws HostError 1004 for anything else.
    std::vector<CellRect> resolve(std::string_view text);

private:
    void edit(const StructuralEdit& edit);
    void checkNothingPushedOff(const StructuralEdit& edit) const;
    std::vector<CellRect> resolveTitles(std::string_view text, StructuralEdit::Axis axis);
    RangePtr rangeOf(std::vector<CellRect> areas);

    EditLog edits_;
    CellMap cells_;
    std::map<std::int32_t, double> columnWidths_;
    std::map<std::int32_t, double> rowHeights_;
    PageSetupData setup_;
    std::set<std::int32_t> rowBreaks_;
    std::set<std::int32_t> columnBreaks_;
    std::vector<std::shared_ptr<ShapeData>> shapes_;
    std::vector<std::shared_ptr<CommentData>> comments_;
    std::vector<CellRect> selection_{cellRect(1, 1)};
    CellRect activeCell_ = cellRect(1, 1);
    bool shapeSelected_ = false;
};

}  // namespace kq::host::sim
