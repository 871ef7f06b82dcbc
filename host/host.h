#pragma once
// The part of the spreadsheet host's object model that the add-ins use.
//
// Two implementations stand behind these interfaces: host/dispatch/ reaches the
// real host late-bound through IDispatch, host/sim/ is the simulated host that
// the tests and simhost.exe run. Objects are shared pointers; an empty pointer
// is the host's Nothing. A failing call of the host throws HostError, as a
// run-time error would reach the caller: code that the program runs "with
// errors ignored" catches it (see ignoreErrors below).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "common/runtime_errors.h"

namespace kq::host {

// A run-time error of the host, with its number and description.
class HostError : public std::runtime_error {
public:
    HostError(std::int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    std::int32_t number() const { return number_; }

private:
    std::int32_t number_;
};

// The host's error numbers are the runtime's: both hosts raise the same ones.
namespace err = runtime_errors;

// The error the runtime raises under that number, with its own description.
inline HostError runtimeError(std::int32_t number) {
    return HostError(number, std::string(err::description(number)));
}

// Runs `step`; a HostError it throws is swallowed. Returns false when it threw.
inline bool ignoreErrors(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const HostError&) {
        return false;
    }
}

// A cell's value as the host types it.
struct Empty {
    friend bool operator==(Empty, Empty) = default;
};
struct CellError {  // #N/A, #REF! and the like, by the host's error code (2042 is #N/A)
    std::int32_t code = 0;
    friend bool operator==(CellError, CellError) = default;
};
struct Date {  // an OLE Automation date
    double value = 0;
    friend bool operator==(Date, Date) = default;
};
using Value = std::variant<Empty, double, std::string, bool, Date, CellError>;

class Application;
class Workbook;
class Sheet;
class Worksheet;
class Range;
class Window;
class PageSetup;
class Shape;
class Comment;
class DocumentProperties;
class CommandBars;
class CommandBar;
class CommandBarControl;
class AddInEntry;
class LateBound;
using ApplicationPtr = std::shared_ptr<Application>;
using WorkbookPtr = std::shared_ptr<Workbook>;
using SheetPtr = std::shared_ptr<Sheet>;
using WorksheetPtr = std::shared_ptr<Worksheet>;
using RangePtr = std::shared_ptr<Range>;
using WindowPtr = std::shared_ptr<Window>;
using PageSetupPtr = std::shared_ptr<PageSetup>;
using ShapePtr = std::shared_ptr<Shape>;
using CommentPtr = std::shared_ptr<Comment>;
using DocumentPropertiesPtr = std::shared_ptr<DocumentProperties>;
using CommandBarsPtr = std::shared_ptr<CommandBars>;
using CommandBarPtr = std::shared_ptr<CommandBar>;
using CommandBarControlPtr = std::shared_ptr<CommandBarControl>;
using AddInEntryPtr = std::shared_ptr<AddInEntry>;
using LateBoundPtr = std::shared_ptr<LateBound>;

// Host constants the add-ins pass or compare.
inline constexpr std::int32_t xlMaximized = -4137;
inline constexpr std::int32_t xlMinimized = -4140;
inline constexpr std::int32_t xlNormal = -4143;
inline constexpr std::int32_t xlNormalView = 1;
inline constexpr std::int32_t xlPageBreakPreview = 2;
inline constexpr std::int32_t xlDownThenOver = 1;
inline constexpr std::int32_t xlOverThenDown = 2;
inline constexpr std::int32_t xlPrintNoComments = -4142;
inline constexpr std::int32_t xlAutomatic = -4105;
inline constexpr std::int32_t xlPrinter = 2;
inline constexpr std::int32_t xlPicture = -4147;
inline constexpr std::int32_t xlWorksheet = -4167;  // Sheet::Type of a worksheet
inline constexpr std::int32_t xlChart = -4109;      // Sheet::Type of a chart sheet
inline constexpr std::int32_t msoGroup = 6;         // Shape::Type of a group
inline constexpr std::int32_t msoPropertyTypeString = 4;
// The longest value, in UTF-16 characters, a text custom document property
// holds: the host refuses to add a longer one.
inline constexpr std::size_t kTextPropertyMaxLength = 255;

// Command bars: the types of controls, how a button shows, its pressed state,
// where a bar stands and what its user may not change.
inline constexpr std::int32_t msoControlButton = 1;
inline constexpr std::int32_t msoControlPopup = 10;
inline constexpr std::int32_t msoButtonIcon = 1;
inline constexpr std::int32_t msoButtonIconAndCaption = 3;
inline constexpr std::int32_t msoButtonUp = 0;
inline constexpr std::int32_t msoButtonDown = -1;
inline constexpr std::int32_t msoBarLeft = 0;
inline constexpr std::int32_t msoBarTop = 1;
inline constexpr std::int32_t msoBarRight = 2;
inline constexpr std::int32_t msoBarBottom = 3;
inline constexpr std::int32_t msoBarFloating = 4;
inline constexpr std::int32_t msoBarNoCustomize = 1;

// An object reached late-bound by name: the add-in object that the ribbon
// bridge and the helper workbook's macro call.
class LateBound {
public:
    virtual ~LateBound() = default;
    // Calls a method or reads a property by name (letter case ignored); by-reference
    // arguments come back changed in `args`.
    virtual Value Invoke(const std::string& name, std::vector<Value>& args) = 0;
};

// Handlers of the application events the add-in sinks. None cancels.
class ApplicationEvents {
public:
    virtual ~ApplicationEvents() = default;
    virtual void WorkbookBeforePrint(const WorkbookPtr& wb) = 0;
    virtual void WorkbookBeforeSave(const WorkbookPtr& wb) = 0;
    virtual void WorkbookOpen(const WorkbookPtr& wb) = 0;
    virtual void NewWorkbook(const WorkbookPtr& wb) = 0;
    virtual void WorkbookActivate(const WorkbookPtr& wb) = 0;
    virtual void WindowActivate(const WorkbookPtr& wb, const WindowPtr& wn) = 0;
    virtual void WindowDeactivate(const WorkbookPtr& wb, const WindowPtr& wn) = 0;
    virtual void SheetActivate(const SheetPtr& sh) = 0;
};

// Keeps an event sink connected while it lives.
class EventConnection {
public:
    virtual ~EventConnection() = default;
};

class Application {
public:
    virtual ~Application() = default;

    virtual std::string Version() = 0;   // "16.0"
    virtual std::string Path() = 0;      // folder of the host program
    virtual std::int32_t hInstance() = 0;  // 0 in a 64-bit host
    virtual std::string Caption() = 0;
    virtual std::string UserName() = 0;
    virtual std::string ActivePrinter() = 0;
    virtual std::int32_t WindowState() = 0;

    virtual std::vector<WorkbookPtr> Workbooks() = 0;
    // The open workbook of that name (letter case ignored), or empty.
    virtual WorkbookPtr FindWorkbook(const std::string& name) = 0;
    virtual WorkbookPtr OpenWorkbook(const std::string& path, bool readOnly) = 0;
    virtual WorkbookPtr ActiveWorkbook() = 0;
    virtual SheetPtr ActiveSheet() = 0;
    virtual WindowPtr ActiveWindow() = 0;
    virtual RangePtr ActiveCell() = 0;
    // The selection as a cell range: empty when nothing is selected; a selection
    // that is no cell range (a shape, say) throws a type mismatch.
    virtual RangePtr Selection() = 0;

    // Empty gives the status bar back to the host.
    virtual void SetStatusBar(const std::optional<std::string>& text) = 0;
    virtual bool ScreenUpdating() = 0;
    virtual void SetScreenUpdating(bool on) = 0;
    virtual bool EnableEvents() = 0;
    virtual void SetEnableEvents(bool on) = 0;
    virtual void ClearCutCopyMode() = 0;

    // Runs the macro `procedure` once the host is idle at or after `when` (an OLE date).
    virtual void OnTime(double when, const std::string& procedure) = 0;
    // The host's range input box (Type 8): the range the user pointed out, or empty when cancelled.
    virtual RangePtr InputBoxRange(const std::string& prompt, const std::string& title,
                                   const std::string& defaultText) = 0;
    // Empty when the ranges share no cell.
    virtual RangePtr Intersect(const RangePtr& a, const RangePtr& b) = 0;
    virtual RangePtr Union(const std::vector<RangePtr>& ranges) = 0;

    // The built-in command-bar control of that Id, or empty.
    virtual CommandBarControlPtr FindControl(std::int32_t id) = 0;
    // The menus and toolbars of hosts before 12.
    virtual CommandBarsPtr CommandBars() = 0;
    // The entry of the host's COM add-in list with that ProgID (throws when absent).
    virtual AddInEntryPtr COMAddIn(const std::string& progId) = 0;

    virtual std::unique_ptr<EventConnection> Advise(ApplicationEvents& sink) = 0;
};

// An entry of the host's COM add-in list (also the AddInInst of the connection).
class AddInEntry {
public:
    virtual ~AddInEntry() = default;
    virtual std::string ProgId() = 0;
    virtual bool Connect() = 0;
    virtual void SetConnect(bool connected) = 0;
    // The object the add-in published, or empty.
    virtual LateBoundPtr Object() = 0;
    // What the add-in publishes at connection (AddInInst.Object = Me).
    virtual void SetObject(const LateBoundPtr& object) = 0;
};

// What FindControl and FindControls look for: controls that match all that is given.
struct ControlCriteria {
    std::optional<std::int32_t> Id;
    std::optional<std::string> Tag;
};

// The host's command bars: the worksheet menu bar first, then the toolbars.
class CommandBars {
public:
    virtual ~CommandBars() = default;
    // From 1; throws for an index beyond the last.
    virtual CommandBarPtr Item(std::int32_t index) = 0;
    // The bar of that name (letter case ignored), or empty.
    virtual CommandBarPtr FindBar(const std::string& name) = 0;
    // A new toolbar; throws when a bar of that name exists.
    virtual CommandBarPtr Add(const std::string& Name, std::int32_t Position, bool MenuBar, bool Temporary) = 0;
    // The first control of any bar (popups' menus included) that matches, or empty.
    virtual CommandBarControlPtr FindControl(const ControlCriteria& criteria) = 0;
    // Every control that matches, in the bars' order; none gives an empty list.
    virtual std::vector<CommandBarControlPtr> FindControls(const ControlCriteria& criteria) = 0;
};

// A menu bar, a toolbar, or the menu a popup control opens.
class CommandBar {
public:
    virtual ~CommandBar() = default;
    virtual std::string Name() = 0;
    virtual std::int32_t Position() = 0;  // msoBar*
    virtual void SetPosition(std::int32_t position) = 0;
    virtual std::int32_t RowIndex() = 0;
    virtual void SetRowIndex(std::int32_t row) = 0;
    virtual std::int32_t Left() = 0;
    virtual void SetLeft(std::int32_t left) = 0;
    virtual std::int32_t Top() = 0;
    virtual void SetTop(std::int32_t top) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual std::int32_t Protection() = 0;
    virtual void SetProtection(std::int32_t protection) = 0;
    virtual std::vector<CommandBarControlPtr> Controls() = 0;
    // A new control of that type (msoControl*) before the control at `Before`
    // (from 1), or at the end.
    virtual CommandBarControlPtr AddControl(std::int32_t Type, std::optional<std::int32_t> Before, bool Temporary) = 0;
    // The first of this bar's own controls that matches, or empty.
    virtual CommandBarControlPtr FindControl(const ControlCriteria& criteria) = 0;
    virtual void Delete() = 0;
};

// The Click of a command-bar button, before the host carries out the control's
// own command; CancelDefault keeps that command from running.
class ButtonEvents {
public:
    virtual ~ButtonEvents() = default;
    virtual void Click(const CommandBarControlPtr& Ctrl, bool& CancelDefault) = 0;
};

// A button or a popup of a command bar. Members of the other kind throw.
class CommandBarControl {
public:
    virtual ~CommandBarControl() = default;
    virtual bool Enabled() = 0;
    virtual std::int32_t Id() = 0;  // the host's own command; 1 for a button an add-in made
    virtual std::int32_t Type() = 0;
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual std::string Tag() = 0;
    virtual void SetTag(const std::string& tag) = 0;
    virtual std::string OnAction() = 0;
    virtual void SetOnAction(const std::string& action) = 0;
    virtual bool BeginGroup() = 0;
    virtual void SetBeginGroup(bool begins) = 0;
    // Buttons.
    virtual std::int32_t Style() = 0;  // msoButton*
    virtual void SetStyle(std::int32_t style) = 0;
    virtual std::int32_t FaceId() = 0;
    virtual void SetFaceId(std::int32_t faceId) = 0;
    virtual std::int32_t State() = 0;  // msoButtonUp or msoButtonDown
    virtual void SetState(std::int32_t state) = 0;
    // The face to the clipboard as a bitmap, and a picture from the clipboard as the face.
    virtual void CopyFace() = 0;
    virtual void PasteFace() = 0;
    // Popups: the menu they open.
    virtual CommandBarPtr CommandBar() = 0;
    // A copy of the control on `Bar`, at its end.
    virtual CommandBarControlPtr Copy(const CommandBarPtr& Bar) = 0;
    virtual void Delete() = 0;
    // Connects `events` to the Click of this control and of every other
    // control with its tag (a built-in control without a tag: with its Id),
    // in every bar, until the result goes.
    virtual std::unique_ptr<EventConnection> AdviseClick(ButtonEvents& events) = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual std::string Name() = 0;
    virtual std::string Path() = 0;  // "" for a workbook never saved
    virtual std::vector<WorksheetPtr> Worksheets() = 0;
    // The worksheet of that name (letter case ignored), or empty.
    virtual WorksheetPtr FindWorksheet(const std::string& name) = 0;
    virtual DocumentPropertiesPtr CustomDocumentProperties() = 0;
    virtual void Save() = 0;
};

// The workbook's custom document properties, in their order.
class DocumentProperties {
public:
    virtual ~DocumentProperties() = default;
    virtual int Count() = 0;
    virtual std::string Name(int index) = 0;  // index from 1
    // The value as text; throws when it cannot be read as text.
    virtual std::string Value(int index) = 0;
    // The value of the property of that name (exact); throws when there is none.
    virtual std::string ValueOf(const std::string& name) = 0;
    virtual void Add(const std::string& name, bool linkToContent, std::int32_t type, const std::string& value) = 0;
    // Throws when there is no property of that name.
    virtual void Delete(const std::string& name) = 0;
};

// Any sheet of a workbook: a worksheet or a chart sheet.
class Sheet {
public:
    virtual ~Sheet() = default;
    virtual std::string Name() = 0;
    // xlWorksheet or xlChart; throws (or gives 0) for a sheet that was deleted
    // or whose workbook was closed.
    virtual std::int32_t Type() = 0;
    // The worksheet behind this sheet, or empty for a chart sheet.
    virtual WorksheetPtr AsWorksheet() = 0;
};

class Worksheet : public Sheet {
public:
    virtual WorkbookPtr Parent() = 0;
    // The range a text names on this sheet: an A1 address of one or more areas,
    // or a defined name. Throws for anything else, also for other sheets' cells.
    virtual RangePtr Range(const std::string& text) = 0;
    virtual RangePtr Cells(std::int32_t row, std::int32_t column) = 0;
    virtual RangePtr UsedRange() = 0;
    virtual PageSetupPtr PageSetup() = 0;
    // The page breaks as the host reports them (in page-break preview): the
    // cell at the top-left of the page that each break starts.
    virtual std::vector<RangePtr> HPageBreaks() = 0;
    virtual std::vector<RangePtr> VPageBreaks() = 0;
    virtual std::vector<ShapePtr> Shapes() = 0;
    virtual std::vector<CommentPtr> Comments() = 0;
    virtual void Activate() = 0;
};

class Range {
public:
    virtual ~Range() = default;
    // Absolute A1 address, areas joined by ","; throws when the cells were deleted.
    virtual std::string Address() = 0;
    virtual std::vector<RangePtr> Areas() = 0;
    virtual std::int32_t Count() = 0;  // cells
    virtual std::int32_t Row() = 0;    // first row of the first area
    virtual std::int32_t Column() = 0;
    virtual std::int32_t RowsCount() = 0;  // rows of the first area
    virtual std::int32_t ColumnsCount() = 0;
    // The cell at (row, column) counted from the range's top-left cell, from 1.
    virtual RangePtr Cells(std::int32_t row, std::int32_t column) = 0;
    // The index-th cell (from 1) in the range's own order: left to right, then down.
    virtual RangePtr Item(std::int32_t index) = 0;
    virtual RangePtr Offset(std::int32_t rows, std::int32_t columns) = 0;
    virtual RangePtr EntireRow() = 0;
    virtual RangePtr EntireColumn() = 0;
    virtual Value CellValue() = 0;        // the value of the first cell
    virtual std::string Text() = 0;       // the displayed text of the first cell
    virtual WorksheetPtr Parent() = 0;
    virtual void Activate() = 0;
    virtual void Select() = 0;
    virtual void CopyPicture(std::int32_t appearance, std::int32_t format) = 0;
    virtual void Copy() = 0;
};

class Window {
public:
    virtual ~Window() = default;
    virtual std::vector<SheetPtr> SelectedSheets() = 0;
    virtual std::int32_t WindowState() = 0;
    virtual std::int32_t View() = 0;
    virtual void SetView(std::int32_t view) = 0;
};

class PageSetup {
public:
    virtual ~PageSetup() = default;
    virtual std::string PrintArea() = 0;
    virtual std::string PrintTitleRows() = 0;
    virtual std::string PrintTitleColumns() = 0;
    virtual std::string LeftHeader() = 0;
    virtual std::string CenterHeader() = 0;
    virtual std::string RightHeader() = 0;
    virtual std::string LeftFooter() = 0;
    virtual std::string CenterFooter() = 0;
    virtual std::string RightFooter() = 0;
    virtual double LeftMargin() = 0;
    virtual double RightMargin() = 0;
    virtual double TopMargin() = 0;
    virtual double BottomMargin() = 0;
    virtual double HeaderMargin() = 0;
    virtual double FooterMargin() = 0;
    virtual bool CenterHorizontally() = 0;
    virtual bool CenterVertically() = 0;
    virtual std::int32_t Orientation() = 0;
    virtual std::int32_t PaperSize() = 0;
    virtual std::int32_t FirstPageNumber() = 0;
    virtual std::int32_t Order() = 0;
    virtual std::int32_t PrintComments() = 0;
};

class Shape {
public:
    virtual ~Shape() = default;
    virtual std::string Name() = 0;
    virtual bool Visible() = 0;
    virtual std::int32_t Type() = 0;
    virtual RangePtr TopLeftCell() = 0;
    virtual RangePtr BottomRightCell() = 0;
    virtual std::vector<ShapePtr> GroupItems() = 0;
    // The four places a shape's text can be read from; each throws when the
    // shape has no such source.
    virtual std::string DrawingObjectCaption() = 0;
    virtual std::string DrawingObjectObjectText() = 0;
    virtual std::string DrawingObjectObjectCaption() = 0;
    virtual std::string TextEffectText() = 0;
};

class Comment {
public:
    virtual ~Comment() = default;
    virtual RangePtr Parent() = 0;  // the commented cell
    virtual std::string Text() = 0;
    virtual std::string Author() = 0;
};

}  // namespace kq::host
