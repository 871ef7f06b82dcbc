#pragma once
// A simulated workbook: its sheets in tab order, its defined names, custom
// document properties and its one window with the sheet selection.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "host/sim/a1_address.h"
#include "host/sim/macro_player.h"
#include "host/sim/range_geometry.h"
#include "host/sim/sim_properties.h"
#include "host/sim/sim_sheet.h"

namespace kq::host::sim {

class SimApplication;
class SimWorkbook;

// A workbook-level name referring to areas of one worksheet.
struct DefinedName {
    std::string name;
    std::shared_ptr<SimWorksheet> sheet;  // empty once that sheet was deleted
    std::vector<CellRect> areas;          // empty once its cells were deleted (#REF!)
    bool broken() const { return !sheet || areas.empty(); }
};

// The workbook's window. Add-in workbooks have none.
class SimWindow final : public Window {
public:
    explicit SimWindow(std::weak_ptr<SimWorkbook> book) : book_(std::move(book)) {}

    std::vector<SheetPtr> SelectedSheets() override;
    std::int32_t WindowState() override { return state_; }
    std::int32_t View() override { return view_; }
    // Normal, page-break preview or page layout (3); anything else fails (1004).
    void SetView(std::int32_t view) override;

    void setWindowState(std::int32_t state) { state_ = state; }
    std::shared_ptr<SimWorkbook> book() const { return book_.lock(); }

private:
    std::weak_ptr<SimWorkbook> book_;
    std::int32_t state_ = xlMaximized;
    std::int32_t view_ = xlNormalView;
};

class SimWorkbook final : public Workbook, public std::enable_shared_from_this<SimWorkbook> {
public:
    // A workbook of `app`, not yet among its open workbooks (SimApplication
    // makes and adopts them). Add-in workbooks have no window.
    static std::shared_ptr<SimWorkbook> create(std::weak_ptr<SimApplication> app, GridSize grid, std::string name,
                                               std::string path, bool isAddin);
    SimWorkbook(std::weak_ptr<SimApplication> app, GridSize grid, std::string name, std::string path, bool isAddin);

    // The façade. Once the workbook is closed every call fails (kObjectDisconnected).
    std::string Name() override;
    std::string Path() override;
    std::vector<WorksheetPtr> Worksheets() override;
    WorksheetPtr FindWorksheet(const std::string& name) override;
    DocumentPropertiesPtr CustomDocumentProperties() override;
    // Raises WorkbookBeforeSave, then writes the fixture file to Path\Name when
    // the workbook has a path (fails with 1004 when read-only or not writable).
    void Save() override;

    // Sheets, in tab order. New sheets go to the end.
    std::shared_ptr<SimWorksheet> addWorksheet(const std::string& name);
    std::shared_ptr<SimChartSheet> addChartSheet(const std::string& name);
    const std::vector<std::shared_ptr<SimSheetBase>>& sheets() const { return sheets_; }
    // By name, letter case ignored; nullptr when there is none (of that kind).
    std::shared_ptr<SimSheetBase> sheet(std::string_view name) const;
    std::shared_ptr<SimWorksheet> worksheet(std::string_view name) const;
    // As the user deleting a tab: the sheet's objects fail from now on, names
    // that referred to it break; the last sheet cannot go (1004). When it was
    // active, its neighbour becomes active (SheetActivate).
    void deleteSheet(std::string_view name);

    // Names, letter case ignored. `refersTo` is a sheet-qualified address such
    // as "Sheet1!$A$1:$B$2"; a name defined again is replaced.
    void defineName(const std::string& name, std::string_view refersTo);
    const std::vector<DefinedName>& names() const { return names_; }
    const DefinedName* findName(std::string_view name) const;

    std::shared_ptr<SimProperties> properties() const { return properties_; }
    std::shared_ptr<SimWindow> window() const { return window_; }

    // The active sheet and the selected (grouped) sheets of the window.
    std::shared_ptr<SimSheetBase> activeSheet() const { return activeSheet_; }
    // Tab order.
    std::vector<std::shared_ptr<SimSheetBase>> selectedSheets() const;
    // As the user grouping tabs: the first given becomes the active sheet
    // (SheetActivate when it changes); the workbook is activated when needed.
    void selectSheets(const std::vector<std::shared_ptr<SimSheetBase>>& sheets);
    void selectSheets(const std::vector<std::string>& names);
    // The same without activation or events, for a workbook being read.
    void restoreSelection(const std::vector<std::shared_ptr<SimSheetBase>>& sheets);

    bool isAddin() const { return isAddin_; }
    // The modules of the workbook's macro project, in the project's order;
    // the host runs their public Subs by name (SimApplication::RunMacro).
    std::vector<MacroModule>& macroModules() { return macroModules_; }
    void setMacroModules(std::vector<MacroModule> modules) { macroModules_ = std::move(modules); }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isOpen() const { return open_; }
    GridSize grid() const { return grid_; }
    std::shared_ptr<SimApplication> app() const { return app_.lock(); }
    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }
    // The folder and file name the workbook is saved to from now on.
    void setLocation(std::string path, std::string name);
    // Path\Name.
    std::string fullName() const;

    // For the model: a sheet of this workbook became active or was edited.
    void activateSheet(const SimSheetBase& sheet);
    void sheetEdited(const SimWorksheet& sheet, const StructuralEdit& edit);
    // Another sheet than `except` has that name (letter case ignored).
    bool nameTaken(std::string_view name, const SimSheetBase* except) const;
    void markClosed();

private:
    void addSheet(const std::shared_ptr<SimSheetBase>& sheet);
    void requireOpen() const;
    void changeActiveSheet(const std::shared_ptr<SimSheetBase>& sheet);

    std::weak_ptr<SimApplication> app_;
    GridSize grid_;
    std::string name_;
    std::string path_;
    bool isAddin_;
    bool readOnly_ = false;
    bool open_ = true;
    std::vector<std::shared_ptr<SimSheetBase>> sheets_;
    std::vector<DefinedName> names_;
    std::shared_ptr<SimProperties> properties_ = std::make_shared<SimProperties>();
    std::shared_ptr<SimWindow> window_;
    std::shared_ptr<SimSheetBase> activeSheet_;
    std::vector<std::shared_ptr<SimSheetBase>> selected_;
    std::vector<MacroModule> macroModules_;
};

}  // namespace kq::host::sim
