#pragma once
// The simulated host application: its facts (version, path, user, printer),
// its open workbooks and what is active, the status bar, events, the OnTime
// queue, the range input box, built-in controls and the COM add-in list.
//
// Besides the façade it offers the actions a user takes (open, new, activate,
// group sheets, print, close), each raising the events the host raises for it,
// and the handles a test needs: scripted input-box answers, macros that OnTime
// can run, the status bar's history.
//
// Event order, where one action raises several: the old window's
// WindowDeactivate; then WorkbookOpen or NewWorkbook; then WorkbookActivate and
// WindowActivate of the new active workbook; a sheet activation raises
// SheetActivate. No event is raised while EnableEvents is off.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "common/prompts.h"
#include "host/host.h"
#include "host/sim/a1_address.h"
#include "host/sim/sim_clipboard.h"
#include "host/sim/sim_command_bars.h"
#include "host/sim/sim_workbook.h"

namespace kq::host::sim {

class SimRange;

class SimAddIn final : public AddInEntry {
public:
    explicit SimAddIn(std::string progId) : progId_(std::move(progId)) {}
    std::string ProgId() override { return progId_; }
    bool Connect() override { return connected_; }
    void SetConnect(bool connected) override { connected_ = connected; }
    LateBoundPtr Object() override { return object_; }
    void SetObject(const LateBoundPtr& object) override { object_ = object; }

private:
    std::string progId_;
    bool connected_ = true;
    LateBoundPtr object_;
};

// The host's print commands, numbered as the add-in notes the print kind.
enum class PrintCommand : std::int32_t { other = 0, print = 1, quickPrint = 2, preview = 3 };

struct OnTimeEntry {
    double when = 0;
    std::string procedure;
};

// A copy the host made for a caller: the range, and whether it was copied as
// a picture (CopyPicture) or as cells (Copy).
struct CopyCall {
    RangePtr range;
    bool picture = false;
};

struct InputBoxCall {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

class SimApplication final : public Application, public std::enable_shared_from_this<SimApplication> {
public:
    // `files` is where workbooks are opened from and saved to; it must outlive
    // the application. Without it, opening a file fails as for a missing file
    // and saving a workbook with a path fails. The version decides the grid:
    // below 12, 65536 x 256.
    static std::shared_ptr<SimApplication> create(FileSystem& files, std::string version = "16.0");
    static std::shared_ptr<SimApplication> create(std::string version = "16.0");
    SimApplication(FileSystem& files, std::string version);

    // The façade.
    std::string Version() override { return version_; }
    std::string Path() override { return path_; }
    std::int32_t hInstance() override { return hInstance_; }
    std::string Caption() override { return caption_; }
    std::string UserName() override { return userName_; }
    std::string ActivePrinter() override { return activePrinter_; }
    std::int32_t WindowState() override { return windowState_; }
    std::vector<WorkbookPtr> Workbooks() override;
    WorkbookPtr FindWorkbook(const std::string& name) override;
    // Opens a fixture file, or a 97-2003 workbook file (a compound file): its
    // sheets, empty, and its macro project, whose macros RunMacro plays; it is
    // an add-in when its workbook stream says so. A file named *.xla that is
    // neither opens as an add-in workbook with one empty sheet. Add-in
    // workbooks are not listed by Workbooks, get no window and are never
    // active: opening one raises WorkbookOpen only. They stay open until the
    // host closes.
    WorkbookPtr OpenWorkbook(const std::string& path, bool readOnly) override;
    WorkbookPtr ActiveWorkbook() override;
    SheetPtr ActiveSheet() override;
    WindowPtr ActiveWindow() override;
    RangePtr ActiveCell() override;
    RangePtr Selection() override;
    void SetStatusBar(const std::optional<std::string>& text) override;
    bool ScreenUpdating() override { return screenUpdating_; }
    void SetScreenUpdating(bool on) override { screenUpdating_ = on; }
    bool EnableEvents() override { return enableEvents_; }
    void SetEnableEvents(bool on) override { enableEvents_ = on; }
    void ClearCutCopyMode() override {}
    void OnTime(double when, const std::string& procedure) override;
    // Answers with the next scripted answer; throws std::logic_error when the
    // test scripted none. An answer on another sheet leaves that sheet active,
    // as the user clicked its tab to point at its cells.
    RangePtr InputBoxRange(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) override;
    RangePtr Intersect(const RangePtr& a, const RangePtr& b) override;
    RangePtr Union(const std::vector<RangePtr>& ranges) override;
    CommandBarControlPtr FindControl(std::int32_t id) override;
    CommandBarsPtr CommandBars() override { return bars_; }
    AddInEntryPtr COMAddIn(const std::string& progId) override;
    std::unique_ptr<EventConnection> Advise(ApplicationEvents& sink) override;

    // Host facts.
    GridSize grid() const { return grid_; }
    void setPath(std::string path) { path_ = std::move(path); }
    void setHInstance(std::int32_t value) { hInstance_ = value; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }
    void setUserName(std::string name) { userName_ = std::move(name); }
    void setActivePrinter(std::string printer) { activePrinter_ = std::move(printer); }
    void setWindowState(std::int32_t state) { windowState_ = state; }
    FileSystem& files() { return files_; }
    // Where Range.CopyPicture and Range.Copy put what they copy; without one
    // they fail (1004), as the host does when it cannot open the clipboard.
    void setClipboard(std::shared_ptr<SimClipboard> clipboard) { clipboard_ = std::move(clipboard); }
    SimClipboard* clipboard() const { return clipboard_.get(); }
    // While kept, every successful copy is listed, so that the same copies can
    // be made again without the caller that asked for them: how much of a
    // caller's time is the host's own drawing and copying. Turning keeping on
    // starts a new list; turning it off keeps the list.
    void keepCopies(bool on) {
        if (on) copies_.clear();
        keepingCopies_ = on;
    }
    bool keepingCopies() const { return keepingCopies_; }
    void copied(CopyCall call) {
        if (keepingCopies_) copies_.push_back(std::move(call));
    }
    const std::vector<CopyCall>& copies() const { return copies_; }

    // Workbooks, set up without events: an empty workbook (no sheets yet), or
    // one read from fixture text (throws FixtureError when it is damaged). The
    // first workbook with a window becomes active.
    std::shared_ptr<SimWorkbook> addWorkbook(const std::string& name, const std::string& path = {});
    std::shared_ptr<SimWorkbook> loadWorkbook(std::string_view fixtureText);
    // All open workbooks, add-ins included, in the order they were opened.
    const std::vector<std::shared_ptr<SimWorkbook>>& books() const { return books_; }
    std::shared_ptr<SimWorkbook> activeBook() const { return activeBook_; }

    // User actions, with their events.
    std::shared_ptr<SimWorkbook> newWorkbook();  // "BookN" with one sheet "Sheet1"
    std::shared_ptr<SimWorkbook> openWorkbook(const std::string& path, bool readOnly = false);
    // Files of that name (letter case ignored) are refused (1004), as by a
    // host whose security settings block them.
    void refuseToOpen(std::string name) { refusedNames_.push_back(std::move(name)); }
    void activateWorkbook(const std::shared_ptr<SimWorkbook>& book);
    void closeWorkbook(const std::shared_ptr<SimWorkbook>& book);
    // Raises WorkbookBeforePrint for the active workbook.
    void print();
    int printCount() const { return printCount_; }
    // A print by one of the host's print commands, or started some other way
    // (a macro's PrintOut): the hooks on the commands hear of it first, as
    // the hooked controls and the ribbon's repurposed commands do, then
    // WorkbookBeforePrint, then the print. The host is busy until idle() is called.
    void printBy(PrintCommand command);
    // Something that learns of a print command before the host carries it
    // out; a print started some other way reaches no hook.
    void hookPrintCommands(std::function<void(PrintCommand)> hook);
    // The host has nothing to do: it runs its OnTime queue (see runOnTime).
    int idle() { return runOnTime(); }

    // The status bar: empty while the host shows its own text. Its history
    // holds at least the last kStatusBarHistoryKept texts, and not many more,
    // so that a host that runs long keeps no more than that.
    static constexpr std::size_t kStatusBarHistoryKept = 1024;
    const std::optional<std::string>& statusBar() const { return statusBar_; }
    const std::vector<std::optional<std::string>>& statusBarHistory() const { return statusBarHistory_; }

    // Runs a macro by name, as Application.Run and the OnTime queue do:
    // "Book.xla!Macro", "'Book name.xls'!Module.Macro" or just "Macro" (then
    // every open workbook is searched, add-ins included); letter case ignored.
    // A macro registered by a test under that exact name runs instead of the
    // workbooks' own, while the workbook it names is open. The workbooks' own
    // are the public Subs of their macro projects, played by MacroModule.
    // Throws HostError 1004 when no open workbook has the macro, and
    // MacroError when its source holds what the player does not know; its
    // own run-time errors that it does not trap leave as HostError.
    void RunMacro(const std::string& name);
    // Where the macros' MsgBox shows; a macro's message without prompts is a
    // mistake of the test (std::logic_error). Not owned.
    void setPrompts(Prompts* prompts) { prompts_ = prompts; }
    // Application.EnableCancelKey as the macros last set it (xlInterrupt, 1, at start).
    std::int32_t enableCancelKey() const { return enableCancelKey_; }

    // OnTime. Stand-in macros are registered by the name OnTime is given, such
    // as "Kez_Quorvex.xla!WorkbookAfterPrint" (letter case ignored); a macro
    // qualified by a workbook runs only while that workbook is open.
    void registerMacro(const std::string& name, std::function<void()> macro);
    // A host that refuses every OnTime call (1004), as one that cannot schedule.
    void refuseOnTime(bool refuse) { refuseOnTime_ = refuse; }
    const std::vector<OnTimeEntry>& onTimeQueue() const { return onTime_; }
    // Runs the queue in time order through RunMacro, also what the macros
    // schedule meanwhile, as the idle host would; returns how many ran. A
    // macro that cannot run is dropped and throws HostError 1004.
    int runOnTime();

    // Scripted answers of the range input box, in order: an address as the user
    // would point it out (on the active sheet unless qualified, such as
    // "Sheet2!B2"), or cancel.
    void answerInputBox(std::string address);
    void cancelInputBox();
    const std::vector<InputBoxCall>& inputBoxCalls() const { return inputBoxCalls_; }

    // Built-in controls (made on first use, enabled) and COM add-ins. The
    // print controls print the active workbook when they are clicked.
    std::shared_ptr<SimControl> control(std::int32_t id);
    const std::shared_ptr<SimCommandBars>& commandBars() const { return bars_; }
    std::shared_ptr<SimAddIn> addComAddIn(const std::string& progId);

    // For the model: raises an event to every advised sink, unless events are off.
    void raise(const std::function<void(ApplicationEvents&)>& event);
    void unadvise(int cookie);

private:
    std::shared_ptr<SimWorkbook> adopt(std::shared_ptr<SimWorkbook> book);
    std::shared_ptr<SimWorkbook> readBook(const std::string& path);
    std::shared_ptr<SimWorkbook> readMacroWorkbook(const std::string& path, const std::vector<std::uint8_t>& bytes);
    class MacroAccess;
    void announce(const std::shared_ptr<SimWorkbook>& book, bool isNew);
    static std::shared_ptr<SimRange> simRange(const RangePtr& range);

    FileSystem& files_;
    std::shared_ptr<SimClipboard> clipboard_;
    bool keepingCopies_ = false;
    std::vector<CopyCall> copies_;
    std::string version_;
    GridSize grid_;
    std::string path_ = "C:\\Program Files\\SimHost";
    std::int32_t hInstance_ = 0x00400000;  // a 32-bit host; 0 means 64-bit
    std::string caption_ = "Simulated Host";
    std::string userName_ = "user";
    std::string activePrinter_ = "Sim Printer on Ne00:";
    std::int32_t windowState_ = xlMaximized;
    bool screenUpdating_ = true;
    bool enableEvents_ = true;
    std::optional<std::string> statusBar_;
    std::vector<std::optional<std::string>> statusBarHistory_;

    std::vector<std::shared_ptr<SimWorkbook>> books_;
    std::shared_ptr<SimWorkbook> activeBook_;
    int newBookNumber_ = 0;
    int printCount_ = 0;

    std::vector<std::pair<int, ApplicationEvents*>> sinks_;
    int nextCookie_ = 1;

    std::vector<OnTimeEntry> onTime_;
    bool refuseOnTime_ = false;
    std::vector<std::string> refusedNames_;
    std::vector<std::function<void(PrintCommand)>> printHooks_;
    std::vector<std::pair<std::string, std::function<void()>>> macros_;
    Prompts* prompts_ = nullptr;
    std::int32_t enableCancelKey_ = 1;
    std::deque<std::optional<std::string>> inputBoxAnswers_;
    std::vector<InputBoxCall> inputBoxCalls_;
    std::shared_ptr<SimCommandBars> bars_ = SimCommandBars::create();
    std::vector<std::shared_ptr<SimAddIn>> addIns_;
};

}  // namespace kq::host::sim
