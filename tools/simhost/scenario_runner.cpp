// Scenario scripts
// ================
//
// One command a line. Blank lines and lines whose first word starts with #
// are skipped. Words are separated by blanks; a word in "double quotes" may
// hold blanks and the escapes \" \\ \t \r \n. ${NAME} anywhere in a word is
// replaced by the value given on simhost's command line with -D NAME=value
// (the add-in's path, say), taken as it is: blanks in it do not split the
// word. Relative paths are taken from the script's folder.
//
// The host is made at the first command that needs it; before that:
//   version <text>            Application.Version (default 16.0); it also decides the grid
// Host facts, at any time:
//   path <text>               Application.Path
//   hinstance <number>        Application.hInstance (0: a 64-bit host)
//   caption <text>            Application.Caption
//   user <text>               Application.UserName
//   printer <text>            Application.ActivePrinter
//   windowstate maximized|minimized|normal
//                             Application.WindowState
// Add-ins:
//   register <dll>            LoadLibrary and DllRegisterServer, as an installer does
//   unregister <dll>          DllUnregisterServer
//   load                      the host's start-up: connects every COM add-in registered
//                             for the current user with LoadBehavior 3
//   macro <name> <progId> <method>
//                             a macro that OnTime can run by that name: it calls the
//                             method of COMAddIns(progId).Object late-bound, as the
//                             helper workbook's macro does
//   call <progId> <method> [argument...]
//                             calls the method of COMAddIns(progId).Object late-bound;
//                             arguments: 12 (a Long), 1.5 (a Double), True, False, or
//                             text; all go by reference. Records the result and, when
//                             there are arguments, their values afterwards
//   expect <value>            the last call's result, as recorded (texts without
//                             quotes), or "error <number>"
//   quit                      the host closes: add-ins disconnect (also at the end)
// The ribbon (hosts 12 and later; see ribbon_host.h):
//   press <id>                a click on the ribbon control of that id: a button's
//                             onAction, a toggle button's or check box's with its new state
//   builtin <idMso>           the user runs a built-in print command (FilePrint,
//                             FilePrintQuick, FilePrintPreview, PrintPreviewFullScreen): the
//                             onAction of the add-in that repurposes it, with CancelDefault
//                             by reference, then, unless cancelled, the print as
//                             "print print|quick|preview" makes it
// The user's registry, for what an add-in reads at connection:
//   regset <key> <name> <text>  a text value under HKEY_CURRENT_USER
//   regdelete <key>           removes the key with everything below it
// The user:
//   open <fixture> [readonly] opens a workbook fixture (tests/data/sim format) or a
//                             97-2003 workbook file
//   open-resource <dll> <type> <id> <name>
//                             the resource of that type and number of a library,
//                             written to <name> in the temp folder, opened read-only
//                             and deleted, as the add-in opens its helper workbook
//   refuse-open <name>        the host refuses to open files of that name from now on,
//                             as one whose security settings block them
//   new                       a new workbook
//   book <name>               activates an open workbook
//   sheet <name>              activates a sheet of the active workbook
//   group <sheet>...          selects those sheets together; the first becomes active
//   select <address>          selects cells on the active sheet
//   select-shape              selects a shape instead of cells
//   input <address>|cancel    the answer to the next range input box
//   control <id> on|off       enables or disables a built-in control
//   click <tag>|<id> [<bar>]  clicks the first control with that tag (or Id), in that
//                             bar only when one is named
//   barset <bar> <property> <value>
//                             moves or hides a bar: position, row, left, top (numbers),
//                             visible (on or off)
//   clip <text>               puts the text on the clipboard, as the user copies it
//   print                     prints the active workbook (WorkbookBeforePrint)
//   print print|quick|preview|macro
//                             the user's print, quick print or preview, or a macro's
//                             print: the print hooks hear of the command (not of a
//                             macro's), then WorkbookBeforePrint and the print
//   print-hook <progId> <method>
//                             the host's print commands first hand their kind (1 print,
//                             2 quick print, 3 preview) to that method of
//                             COMAddIns(progId).Object, as a Long by reference, as
//                             the ribbon's repurposed commands do
//   ontime                    the idle host runs its OnTime queue
//   idle                      the host is idle: it dispatches what is waiting and
//                             runs its OnTime queue
//   run <macro>               runs a macro of an open workbook by name, as
//                             Application.Run does ("Book.xla!Macro")
//   save [<book>]             saves the active (or the named) workbook
//   close [<book>]            closes it
//   box <answer>...           how to answer the next message box: ok, cancel, yes, no,
//                             abort, retry, ignore, close, click:<caption>,
//                             tick:<caption>, untick:<caption> (OK when nothing is said)
//   idle <milliseconds>       the host dispatches window messages for that long
//                             (and leaves its OnTime queue alone)
// Looking:
//   show properties [<book>]  the custom document properties
//   show statusbar | workbooks | sheets | ontime | addins | bars | clipboard
//   show controls <tag>       the controls with that tag, wherever they stand
//   show ribbon               every add-in's ribbon controls with their labels, pictures
//                             (kind, size, hash of the pixels), pressed states and tips; what
//                             the ribbon keeps from before is not asked for again
//   show files <folder>       how many files the folder holds
//   show temp <name>          whether the temp folder holds a file of that name
//   show histories <folder>   each history file of the folder as the project's reader
//                             reads it: sheet, category, pages, time of the print
//   show registry <key>       the values of a key under HKEY_CURRENT_USER, by name
//   show registration <progId> the values of the add-in's entry in the host's add-in list
//   show memory               the process's working set and private bytes
//   show unload <dll>         whether the COM server library, as loaded in the host, has
//                             objects alive (after quit: what the add-in failed to release)
//   show windows <dll>        the top-level windows that library made which stand now
//   echo <text>
//   timeout <seconds>         the longest any later command may take (default 60)
// Measuring (for benchmarks; the figures differ from run to run):
//   time <command...>         runs the command and says how long it took, in microseconds
//   copies keep               lists the host's CopyPicture and Copy calls from now on
//   copies replay             stops listing and makes the listed copies again, in
//                             order, with no add-in asking (as often as it is said)
// The add-ins' own dialogs, never answered automatically:
//   start <command>           runs the command (a call, say, that opens a dialog) while
//   ...                       the lines up to `end` act on what it shows, one at each idle
//   end                       moment of the host's window (see dialog_driver.h for the
//                             dialog lines); what the command itself records follows `end`
//
// The transcript has each command as written after "> ", and what it did
// indented below it; message boxes appear where they were shown:
//   box "<title>" "<text>"... [x] "<check box>" icon stop buttons ok,cancel
//   answer ok

#include "tools/simhost/scenario_runner.h"

#include "common/win32/windows_api.h"

#include <psapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "common/history_reader.h"
#include "common/text_codec.h"
#include "common/vb.h"
#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "common/win32/handles.h"
#include "common/win32/message_prompts.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "host/dispatch/variant_convert.h"
#include "host/sim/fixture.h"
#include "host/sim/name_compare.h"
#include "host/sim/sim_application.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tools/simhost/addin_loader.h"
#include "tools/simhost/bar_script.h"
#include "tools/simhost/box_watcher.h"
#include "tools/simhost/com_registration.h"
#include "tools/simhost/dialog_driver.h"
#include "tools/simhost/heap_census.h"
#include "tools/simhost/host_objects.h"
#include "tools/simhost/program_window.h"
#include "tools/simhost/ribbon_host.h"
#include "tools/simhost/host_window.h"

namespace kq::simhost {

namespace sim = kq::host::sim;
using host::HostError;

namespace {

constexpr double kFirstRibbonHost = 12;

// A mistake of the script, not of the host or the add-ins.
class Misuse : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value in the transcript: texts quoted and escaped.
std::string shown(const host::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return quoted(*text);
    return host::dispatch::describe(value);
}

std::string plain(const host::Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return host::dispatch::describe(value);
}

host::Value argumentValue(const std::string& word) {
    if (word == "True") return true;
    if (word == "False") return false;
    if (!word.empty()) {
        char* end = nullptr;
        const double number = std::strtod(word.c_str(), &end);
        if (end && *end == '\0' && word.find_first_not_of("+-0123456789.eE") == std::string::npos) return number;
    }
    return word;
}

sim::PrintCommand printCommand(const std::string& word) {
    if (word == "print") return sim::PrintCommand::print;
    if (word == "quick") return sim::PrintCommand::quickPrint;
    if (word == "preview") return sim::PrintCommand::preview;
    return sim::PrintCommand::other;
}

std::int32_t windowState(const std::string& word) {
    if (word == "maximized") return host::xlMaximized;
    if (word == "minimized") return host::xlMinimized;
    return host::xlNormal;
}

void pumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
    }
}

}  // namespace

// The start-up add-ins the script's registrations listed and it has not
// unregistered yet; read by the watcher's thread when a step times out.
class RegisteredAddIns {
public:
    void changed(const std::vector<std::string>& before, const std::vector<std::string>& after) {
        const std::lock_guard lock(mutex_);
        for (const std::string& id : after) {
            if (!contains(before, id) && !contains(ids_, id)) ids_.push_back(id);
        }
        std::erase_if(ids_, [&](const std::string& id) { return !contains(after, id); });
    }
    std::vector<std::string> now() const {
        const std::lock_guard lock(mutex_);
        return ids_;
    }

private:
    static bool contains(const std::vector<std::string>& ids, const std::string& id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
    mutable std::mutex mutex_;
    std::vector<std::string> ids_;
};

struct ScenarioRunner::State {
    State(Transcript& t, std::string f)
        : out(t),
          folder(std::move(f)),
          watcher(t),
          driver({.out = t,
                  .runLine = [this](const ScriptLine& line) { runLine(line, false); },
                  .resolve = [this](const std::string& path) { return resolve(path); }}),
          window([this] { driver.beat(); }) {
        // A scenario cut short must not leave its add-ins for the next one's host to load.
        watcher.atTimeout([this] { forgetAddIns(registered.now()); });
    }
    ~State() { closeHost(); }

    Transcript& out;
    std::string folder;
    RegisteredAddIns registered;  // before the watcher, which may read it until it goes
    BoxWatcher watcher;
    DialogDriver driver;
    // The host's main window, shown once the host has started.
    HostWindow window;
    bool sound = true;
    std::chrono::milliseconds limit{60000};
    std::string version = "16.0";
    win32::Win32FileSystem files;
    // The macros' MsgBox: real boxes, which the watcher answers and records.
    win32::MessagePrompts prompts{nullptr};
    std::shared_ptr<sim::SimApplication> app;
    win32::ComPtr<ApplicationObject> appObject;
    // Before the loader, which tells it of every add-in until the loader goes.
    std::unique_ptr<RibbonHost> ribbons;
    std::unique_ptr<AddInLoader> loader;
    std::vector<std::string> addInIds;
    std::optional<std::string> lastResult;
    bool held = true;

    std::string resolve(const std::string& path) const {
        const bool absolute = path.size() > 1 && (path[1] == ':' || path[0] == '\\' || path[0] == '/');
        return absolute || folder.empty() ? path : folder + "\\" + path;
    }

    sim::SimApplication& host() {
        if (!app) {
            app = sim::SimApplication::create(files, version);
            // CopyPicture, Copy and CopyFace reach the system clipboard, where the add-in reads them.
            const auto clipboard = std::make_shared<sim::win32::Win32SimClipboard>();
            app->setClipboard(clipboard);
            app->commandBars()->setClipboard(clipboard);
            app->setPrompts(&prompts);
            appObject = ApplicationObject::create(app);
            if (!window.open(app->Caption())) throw std::runtime_error("the host's main window could not be made");
            driver.setHostWindow(window.hwnd());
        }
        return *app;
    }

    void closeHost() {
        if (loader) loader->unloadAll();
        loader.reset();
        ribbons.reset();
        if (appObject) appObject->disconnectAll();
        appObject.reset();
        app.reset();
        CoFreeUnusedLibraries();
    }

    host::AddInEntryPtr entryFor(const std::string& progId) {
        host::AddInEntryPtr entry;
        if (!host::ignoreErrors([&] { entry = host().COMAddIn(progId); })) {
            entry = host().addComAddIn(progId);
            addInIds.push_back(progId);
        }
        return entry;
    }

    std::shared_ptr<sim::SimWorkbook> activeBook() {
        auto book = host().activeBook();
        if (!book) throw Misuse("no workbook is active");
        return book;
    }

    std::shared_ptr<sim::SimWorkbook> bookNamed(const std::vector<std::string>& w, std::size_t at) {
        if (w.size() <= at) return activeBook();
        for (const auto& book : host().books()) {
            if (sim::sameName(book->Name(), w[at])) return book;
        }
        throw Misuse("no open workbook is called " + w[at]);
    }

    std::shared_ptr<sim::SimWorksheet> activeWorksheet() {
        auto sheet = activeBook()->activeSheet();
        auto ws = std::dynamic_pointer_cast<sim::SimWorksheet>(sheet);
        if (!ws) throw Misuse("the active sheet is no worksheet");
        return ws;
    }

    host::LateBoundPtr addInObject(const std::string& progId) {
        host::LateBoundPtr object = host().COMAddIn(progId)->Object();
        if (!object) throw HostError(host::err::kObjectNotSet, "Object variable or With block variable not set");
        return object;
    }

    // Hosts before 12 have no ribbon.
    bool hasRibbon() const { return std::strtod(version.c_str(), nullptr) >= kFirstRibbonHost; }
    void runBuiltIn(const std::string& idMso);
    // Runs one line as a command of its own: recorded, timed when `timed`
    // (a line of a block is timed with the command it belongs to), and its
    // failure recorded.
    void runLine(const ScriptLine& line, bool timed);
    // Runs a started command with the block of lines that act on its dialogs.
    void runStarted(const ScriptLine& start, std::vector<ScriptLine> block, const ScriptLine& end);
    void openResource(const std::vector<std::string>& w);
    void execute(const std::vector<std::string>& w);
    void hookPrints(const std::string& progId, const std::string& method);
    void showRegistry(const std::string& subkey);
    void showFiles(const std::string& folder);
    void showTemp(const std::string& name);
    void showHistories(const std::string& folder);
    void show(const std::vector<std::string>& w);
    void call(const std::vector<std::string>& w);
};

void ScenarioRunner::State::openResource(const std::vector<std::string>& w) {
    const std::wstring library = win32::wide(resolve(w[1]));
    const win32::Module module(
        LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) throw Misuse("cannot load " + w[1] + " for its resources");
    const std::wstring type = win32::wide(w[2]);
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(std::stoi(w[3])), type.c_str());
    HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) throw Misuse(w[1] + " has no resource " + w[2] + " " + w[3]);
    const auto folder = files.tempFolder();
    if (!folder) throw Misuse("the system names no temp folder");
    const std::string path = *folder + (folder->ends_with("\\") ? "" : "\\") + w[4];
    files.removeFile(path);
    {
        const auto sink = files.createNew(path);
        if (!sink || !sink->write(bytes, SizeofResource(module.get(), found))) throw Misuse("cannot write " + path);
    }
    // The file is deleted once open, as the add-in does; the host has read it whole.
    struct Remove {
        win32::Win32FileSystem& files;
        const std::string& path;
        ~Remove() { files.removeFile(path); }
    } remove{files, path};
    out.line("  opened " + quoted(host().openWorkbook(path, true)->Name()));
}

void ScenarioRunner::State::call(const std::vector<std::string>& w) {
    std::vector<host::Value> args;
    for (std::size_t i = 3; i < w.size(); ++i) args.push_back(argumentValue(w[i]));
    try {
        const host::Value result = addInObject(w[1])->Invoke(w[2], args);
        lastResult = plain(result);
        out.line("  result " + shown(result));
        if (!args.empty()) {
            std::string after = "  arguments";
            for (const auto& a : args) {
                after += ' ';
                after += shown(a);
            }
            out.line(after);
        }
    } catch (const HostError& e) {
        lastResult = "error " + std::to_string(e.number());
        throw;
    }
}

// The add-in hears of the command as the ribbon bridge will tell it; a
// failure of the call does not stop the host's own command.
void ScenarioRunner::State::hookPrints(const std::string& progId, const std::string& method) {
    host().hookPrintCommands([this, progId, method](sim::PrintCommand command) {
        try {
            std::vector<host::Value> kind{static_cast<double>(static_cast<std::int32_t>(command))};
            addInObject(progId)->Invoke(method, kind);
        } catch (const HostError& e) {
            out.line("  print hook " + method + ": error " + std::to_string(e.number()) + " " + escaped(e.what()));
        }
    });
}

void ScenarioRunner::State::showFiles(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAW found{};
    const win32::FindHandle search(FindFirstFileW(win32::wide(resolve(folder) + "\\*").c_str(), &found));
    if (search) {
        do {
            count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        } while (FindNextFileW(search.get(), &found));
    }
    out.line("  " + std::to_string(count) + (count == 1 ? " file" : " files"));
}

void ScenarioRunner::State::showTemp(const std::string& name) {
    const auto folder = files.tempFolder();
    if (!folder) throw Misuse("the system names no temp folder");
    const std::string path = *folder + (folder->ends_with("\\") ? "" : "\\") + name;
    out.line("  " + quoted(name) + (files.kind(path) == PathKind::file ? " in the temp folder" : " not in the temp folder"));
}

// In the order of their names, which begin with the sheet's and the print's ids.
void ScenarioRunner::State::showHistories(const std::string& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const std::wstring where = win32::wide(resolve(folder));
    const win32::FindHandle search(FindFirstFileW((where + L"\\*.tvk").c_str(), &found));
    if (search) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
        } while (FindNextFileW(search.get(), &found));
    }
    std::sort(names.begin(), names.end());
    for (const std::wstring& name : names) {
        std::string line = "  history " + quoted(win32::narrow(name));
        const auto source = files.openForReading(win32::narrow(where + L"\\" + name));
        std::vector<std::uint8_t> bytes(source ? static_cast<std::size_t>(source->size()) : 0);
        if (!source || (!bytes.empty() && !source->readAt(0, bytes.data(), bytes.size()))) {
            out.line(line + ": unreadable");
            continue;
        }
        MemorySource memory(bytes);
        const HistoryRead<HistoryRecords> read = readHistoryRecords(memory, systemAnsiCodec());
        if (!read) {
            out.line(line + ": damaged, " + escaped(read.damage));
            continue;
        }
        const HistoryFileHeader& h = read.value->header;
        const auto printed = vb::FromOleDate(h.datPrintDate);
        out.line(line + ": sheet " + quoted(h.strSheetName) + ", category " + quoted(h.strCategory) + ", " +
                 std::to_string(h.intPageCount) + (h.intPageCount == 1 ? " page" : " pages") + ", printed " +
                 (printed ? vb::FormatDate(*printed, "yyyy/mm/dd hh:nn:ss") : std::string("at no valid time")));
    }
}

// The values of a key of the current user, by name, so that the order is the same everywhere.
void ScenarioRunner::State::showRegistry(const std::string& subkey) {
    win32::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, win32::wide(subkey).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        out.line("  no such key");
        return;
    }
    std::map<std::string, std::string> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[8192];
        DWORD bytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &bytes) != ERROR_SUCCESS) break;
        std::string shownValue;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::wstring text(reinterpret_cast<const wchar_t*>(data), bytes / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            shownValue = quoted(win32::narrow(text));
        } else if (type == REG_DWORD && bytes == sizeof(DWORD)) {
            DWORD number = 0;
            std::memcpy(&number, data, sizeof number);
            shownValue = "dword " + std::to_string(number);
        } else {
            shownValue = "type " + std::to_string(type);
        }
        values[win32::narrow(std::wstring_view(name, nameLength))] = shownValue;
    }
    for (const auto& [name, value] : values) out.line("  value " + quoted(name) + " " + value);
}

void ScenarioRunner::State::show(const std::vector<std::string>& w) {
    const std::string& what = w[1];
    if (what == "properties") {
        for (const auto& p : bookNamed(w, 2)->properties()->all()) {
            out.line("  property " + quoted(p.name) + " type " + std::to_string(p.type) + " " +
                     (p.readable ? quoted(p.value) : std::string("unreadable")));
        }
    } else if (what == "statusbar") {
        const auto& bar = host().statusBar();
        out.line(bar ? "  statusbar " + quoted(*bar) : std::string("  statusbar (the host's own)"));
    } else if (what == "workbooks") {
        for (const auto& book : host().books()) {
            std::string line = "  workbook " + quoted(book->Name());
            if (book->isAddin()) line += " add-in";
            if (book == host().activeBook()) line += " active";
            out.line(line);
        }
    } else if (what == "sheets") {
        auto book = activeBook();
        const auto selected = book->selectedSheets();
        for (const auto& sheet : book->sheets()) {
            std::string line = "  sheet " + quoted(sheet->name());
            if (sheet == book->activeSheet()) line += " active";
            if (std::find(selected.begin(), selected.end(), sheet) != selected.end()) line += " selected";
            out.line(line);
        }
    } else if (what == "ontime") {
        for (const auto& entry : host().onTimeQueue()) out.line("  ontime " + quoted(entry.procedure));
    } else if (what == "registry") {
        showRegistry(w.size() > 2 ? w[2] : std::string());
    } else if (what == "registration") {
        showRegistry(win32::narrow(kAddInsKey) + "\\" + (w.size() > 2 ? w[2] : std::string()));
    } else if (what == "memory") {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof counters)) {
            throw Misuse("the process's memory cannot be read");
        }
        DWORD handles = 0;
        GetProcessHandleCount(GetCurrentProcess(), &handles);
        out.line("  memory working-set " + std::to_string(counters.WorkingSetSize) + " private " +
                 std::to_string(counters.PrivateUsage) + " pagefile " + std::to_string(counters.PagefileUsage) +
                 " handles " + std::to_string(handles) + " host-objects " +
                 std::to_string(win32::moduleLocks()));
        const HeapCensus heaps = takeHeapCensus();
        out.line("  heaps process committed " + std::to_string(heaps.process.committed) + " busy " +
                 std::to_string(heaps.process.busy) + " kilobyte-blocks " +
                 std::to_string(heaps.process.kilobyteBlocks) + " runtime committed " +
                 std::to_string(heaps.runtime.committed) + " busy " + std::to_string(heaps.runtime.busy));
    } else if (what == "unload") {
        const std::string path = resolve(w.size() > 2 ? w[2] : std::string());
        out.line(std::string("  library ")
                     .append(path.substr(path.find_last_of("\\/") + 1))
                     .append(": ")
                     .append(libraryUnloadState(path)));
    } else if (what == "windows") {
        const std::string path = resolve(w[2]);
        const auto windows = libraryWindows(path);
        const std::string name = path.substr(path.find_last_of("\\/") + 1);
        if (windows.empty()) out.line("  no window of " + name);
        for (const auto& [windowClass, caption] : windows) {
            out.line("  window of " + name + " " + quoted(windowClass) + " " + quoted(caption));
        }
    } else if (what == "ribbon") {
        if (ribbons) {
            ribbons->show();
        } else {
            out.line("  no ribbon");
        }
    } else if (what == "bars") {
        showBars(*host().commandBars(), out);
    } else if (what == "controls") {
        showControls(*host().commandBars(), w[2], out);
    } else if (what == "clipboard") {
        showClipboard(out);
    } else if (what == "files") {
        showFiles(w[2]);
    } else if (what == "temp") {
        showTemp(w[2]);
    } else if (what == "histories") {
        showHistories(w[2]);
    } else if (what == "addins") {
        for (const auto& id : addInIds) {
            auto entry = host().COMAddIn(id);
            out.line("  addin " + id + (entry->Connect() ? " connected" : " not connected") +
                     (entry->Object() ? " with an object" : " without an object"));
        }
    }
}

void ScenarioRunner::State::runBuiltIn(const std::string& idMso) {
    static constexpr std::pair<const char*, sim::PrintCommand> kPrintCommands[] = {
        {"FilePrint", sim::PrintCommand::print},
        {"FilePrintQuick", sim::PrintCommand::quickPrint},
        {"FilePrintPreview", sim::PrintCommand::preview},
        {"PrintPreviewFullScreen", sim::PrintCommand::preview},
    };
    const auto command = std::find_if(std::begin(kPrintCommands), std::end(kPrintCommands),
                                      [&](const auto& known) { return idMso == known.first; });
    if (command == std::end(kPrintCommands)) throw Misuse("simhost runs no built-in command " + idMso);
    host();
    if (ribbons && ribbons->runCommand(idMso) == RibbonHost::CommandFate::cancelled) return;
    out.line("  the host runs " + idMso);
    host().printBy(command->second);
}

void ScenarioRunner::State::execute(const std::vector<std::string>& w) {
    const std::string& c = w[0];
    if (c == "version") {
        if (app) throw Misuse("the host has started: version comes before anything that uses it");
        version = w[1];
    } else if (c == "path") {
        host().setPath(w[1]);
    } else if (c == "hinstance") {
        host().setHInstance(static_cast<std::int32_t>(std::stoll(w[1], nullptr, 0)));
    } else if (c == "caption") {
        host().setCaption(w[1]);
        window.setCaption(w[1]);
    } else if (c == "user") {
        host().setUserName(w[1]);
    } else if (c == "printer") {
        host().setActivePrinter(w[1]);
    } else if (c == "windowstate") {
        host().setWindowState(windowState(w[1]));
        window.showState(windowState(w[1]));
    } else if (c == "register" || c == "unregister") {
        const std::vector<std::string> before = startupAddIns();
        const std::string problem = callRegistrationEntry(resolve(w[1]), c == "unregister");
        registered.changed(before, startupAddIns());
        out.line(problem.empty() ? "  done" : "  failed: " + problem);
    } else if (c == "load") {
        host();
        if (!loader) {
            loader = std::make_unique<AddInLoader>(
                appObject.get(), [this](const std::string& id) { return entryFor(id); }, out);
            if (hasRibbon()) {
                ribbons = std::make_unique<RibbonHost>(
                    out, static_cast<int>(std::strtod(version.c_str(), nullptr)),
                    win32::ComPtr<IDispatch>::share(appObject.get()));
                loader->watch(ribbons.get());
            }
        }
        loader->loadAll();
    } else if (c == "regset") {
        const std::wstring value = win32::wide(w[3]);
        win32::RegistryKey key;
        LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, win32::wide(w[1]).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                      nullptr, key.put(), nullptr);
        if (result == ERROR_SUCCESS) {
            result = RegSetValueExW(key.get(), win32::wide(w[2]).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
        if (result != ERROR_SUCCESS) throw Misuse("cannot write the registry value");
    } else if (c == "regdelete") {
        SHDeleteKeyW(HKEY_CURRENT_USER, win32::wide(w[1]).c_str());
    } else if (c == "quit") {
        if (loader) loader->unloadAll();
        // What the add-ins added for this session only goes with the host.
        if (app) app->commandBars()->closeSession();
    } else if (c == "macro") {
        const std::string name = w[1], progId = w[2], method = w[3];
        host().registerMacro(name, [this, name, progId, method] {
            try {
                std::vector<host::Value> none;
                addInObject(progId)->Invoke(method, none);
            } catch (const HostError& e) {
                out.line("  macro " + name + ": error " + std::to_string(e.number()) + " " + escaped(e.what()));
            }
        });
    } else if (c == "call") {
        call(w);
    } else if (c == "expect") {
        std::string wanted = w[1];
        for (std::size_t i = 2; i < w.size(); ++i) wanted += " " + w[i];
        if (!lastResult || *lastResult != wanted) {
            held = false;
            out.line("  expectation failed: wanted " + quoted(wanted) + ", got " +
                     (lastResult ? quoted(*lastResult) : std::string("nothing")));
        }
    } else if (c == "open") {
        auto book = host().openWorkbook(resolve(w[1]), w.size() > 2);
        out.line("  opened " + quoted(book->Name()));
    } else if (c == "open-resource") {
        openResource(w);
    } else if (c == "run") {
        host().RunMacro(w[1]);
    } else if (c == "refuse-open") {
        host().refuseToOpen(w[1]);
    } else if (c == "new") {
        out.line("  new " + quoted(host().newWorkbook()->Name()));
    } else if (c == "book") {
        host().activateWorkbook(bookNamed(w, 1));
    } else if (c == "sheet") {
        auto sheet = activeBook()->sheet(w[1]);
        if (!sheet) throw Misuse("the active workbook has no sheet " + w[1]);
        sheet->activate();
    } else if (c == "group") {
        activeBook()->selectSheets(std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (c == "select") {
        auto ws = activeWorksheet();
        const auto areas = ws->resolve(w[1]);
        ws->select(areas, sim::cellRect(areas.front().top, areas.front().left));
    } else if (c == "select-shape") {
        activeWorksheet()->selectShape();
    } else if (c == "input") {
        if (w[1] == "cancel") {
            host().cancelInputBox();
        } else {
            host().answerInputBox(w[1]);
        }
    } else if (c == "control") {
        host().control(std::stoi(w[1]))->setEnabled(w[2] == "on");
    } else if (c == "click") {
        clickControl(*host().commandBars(), w[1], w.size() > 2 ? w[2] : std::string(), out);
    } else if (c == "barset") {
        setBar(*host().commandBars(), w[1], w[2], w[3]);
    } else if (c == "clip") {
        host().clipboard()->putText(w[1]);
    } else if (c == "print") {
        if (w.size() == 1) {
            host().print();
        } else {
            host().printBy(printCommand(w[1]));
        }
    } else if (c == "press") {
        if (!ribbons || !ribbons->press(w[1])) throw Misuse("no ribbon control has the id " + w[1]);
    } else if (c == "builtin") {
        runBuiltIn(w[1]);
    } else if (c == "print-hook") {
        hookPrints(w[1], w[2]);
    } else if (c == "ontime") {
        out.line("  ran " + std::to_string(host().runOnTime()));
    } else if (c == "save") {
        bookNamed(w, 1)->Save();
    } else if (c == "close") {
        host().closeWorkbook(bookNamed(w, 1));
    } else if (c == "box") {
        watcher.queueAnswer(BoxAnswer(w.begin() + 1, w.end()));
    } else if (c == "idle" && w.size() == 1) {
        pumpMessages(0);
        out.line("  ran " + std::to_string(host().idle()));
    } else if (c == "idle") {
        pumpMessages(static_cast<DWORD>(std::stoul(w[1])));
    } else if (c == "show") {
        show(w);
    } else if (c == "echo") {
        std::string text;
        for (std::size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
        out.line("  " + escaped(text));
    } else if (c == "time") {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        execute(std::vector<std::string>(w.begin() + 1, w.end()));
        QueryPerformanceCounter(&end);
        out.line("  took " + std::to_string((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart) + " us");
    } else if (c == "copies") {
        if (w[1] == "keep") {
            host().keepCopies(true);
        } else {
            host().keepCopies(false);
            const std::vector<sim::CopyCall>& copies = host().copies();
            for (const sim::CopyCall& copy : copies) {
                if (copy.picture) {
                    copy.range->CopyPicture(host::xlPrinter, host::xlPicture);
                } else {
                    copy.range->Copy();
                }
            }
            out.line("  replayed " + std::to_string(copies.size()));
        }
    } else if (c == "program-window") {
        if (w.size() > 2 && w[2] != "shown" && w[2] != "closed") throw Misuse("program-window ends in shown or closed");
        const ProgramWindowStep step = w.size() > 2 && w[2] == "shown" ? ProgramWindowStep::shown : ProgramWindowStep::closed;
        for (const std::string& seen : awaitProgramWindow(win32::wide(w[1]), step, window.hwnd(), limit)) {
            out.line(seen);
        }
    } else if (c == "timeout") {
        limit = std::chrono::milliseconds(static_cast<long long>(std::stod(w[1]) * 1000));
    }
}

ScenarioRunner::ScenarioRunner(Transcript& transcript, std::string scriptFolder)
    : state_(std::make_unique<State>(transcript, std::move(scriptFolder))) {}

ScenarioRunner::~ScenarioRunner() = default;

void ScenarioRunner::State::runLine(const ScriptLine& line, bool timed) {
    out.line("> " + line.source);
    if (timed) watcher.stepStarted(limit);
    try {
        execute(line.words);
        // Between the user's actions the host is idle and dispatches what is waiting.
        if (timed) pumpMessages(0);
    } catch (const HostError& e) {
        out.line("  error " + std::to_string(e.number()) + " " + escaped(e.what()));
    } catch (const sim::FixtureError& e) {
        out.line("  failure: the fixture is damaged, " + escaped(e.what()));
        sound = false;
    } catch (const std::exception& e) {
        out.line(std::string("  failure: ") + escaped(e.what()));
        sound = false;
    }
    if (timed) watcher.stepEnded();
}

void ScenarioRunner::State::runStarted(const ScriptLine& start, std::vector<ScriptLine> block, const ScriptLine& end) {
    ScriptLine command = start;
    command.words.erase(command.words.begin());
    out.line("> " + start.source);
    watcher.stepStarted(limit);
    host();
    driver.begin(std::move(block), limit);
    out.hold();
    try {
        execute(command.words);
        pumpMessages(0);
    } catch (const HostError& e) {
        out.line("  error " + std::to_string(e.number()) + " " + escaped(e.what()));
    } catch (const std::exception& e) {
        out.line(std::string("  failure: ") + escaped(e.what()));
        sound = false;
    }
    const std::size_t left = driver.finish();
    {
        const Transcript::Unheld unheld(out);
        out.line("> " + end.source);
    }
    out.release();
    if (left > 0) out.line("  failure: the command ended with " + std::to_string(left) + " line(s) of its block not run");
    if (!driver.sound()) sound = false;
    watcher.stepEnded();
}

bool ScenarioRunner::run(const std::vector<ScriptLine>& script) {
    State& s = *state_;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i].words.front() != "start") {
            s.runLine(script[i], true);
            continue;
        }
        // The parser has checked that every start has its end.
        std::size_t end = i + 1;
        while (script[end].words.front() != "end") ++end;
        s.runStarted(script[i], std::vector<ScriptLine>(script.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                        script.begin() + static_cast<std::ptrdiff_t>(end)),
                     script[end]);
        i = end;
    }
    bool sound = s.sound;
    s.out.line("> (end)");
    s.watcher.stepStarted(s.limit);
    s.closeHost();
    s.watcher.stepEnded();
    if (s.watcher.pendingAnswers() != 0) {
        s.out.line("  failure: answers were given for message boxes that never came");
        sound = false;
    }
    return sound && s.held;
}

}  // namespace kq::simhost
