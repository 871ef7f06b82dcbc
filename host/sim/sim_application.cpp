#include "host/sim/sim_application.h"

#include <algorithm>
#include <stdexcept>

#include "common/ole/macro_workbook.h"
#include "common/text_codec.h"
#include "host/sim/fixture.h"
#include "host/sim/name_compare.h"
#include "host/sim/sim_range.h"

namespace kq::host::sim {
namespace {

class SinkConnection final : public EventConnection {
public:
    SinkConnection(std::weak_ptr<SimApplication> app, int cookie) : app_(std::move(app)), cookie_(cookie) {}
    ~SinkConnection() override {
        if (const auto app = app_.lock()) app->unadvise(cookie_);
    }

private:
    std::weak_ptr<SimApplication> app_;
    int cookie_;
};

// "C:\books\Sales.xls" -> ("C:\books", "Sales.xls").
std::pair<std::string, std::string> splitPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && sameName(text.substr(text.size() - end.size()), end);
}

HostError cannotOpen(const std::string& why) { return HostError(err::kApplicationDefined, why); }

HostError cannotRun(const std::string& macro) {
    return HostError(err::kApplicationDefined, "Cannot run the macro '" + macro + "'");
}

bool isCompoundFile(std::string_view bytes) { return bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"); }

// "'My Book.xls'!Module.Macro" -> ("My Book.xls", "Module", "Macro").
struct MacroName {
    std::string book;
    std::string module;
    std::string procedure;
};

MacroName splitMacroName(const std::string& name) {
    MacroName parts;
    std::string rest = name;
    if (const std::size_t bang = name.rfind('!'); bang != std::string::npos) {
        parts.book = name.substr(0, bang);
        if (parts.book.size() >= 2 && parts.book.front() == '\'' && parts.book.back() == '\'') {
            parts.book = parts.book.substr(1, parts.book.size() - 2);
        }
        rest = name.substr(bang + 1);
    }
    if (const std::size_t dot = rest.find('.'); dot != std::string::npos) {
        parts.module = rest.substr(0, dot);
        rest = rest.substr(dot + 1);
    }
    parts.procedure = rest;
    return parts;
}

// For a host that was given no files: nothing exists and nothing can be made.
class NoFiles final : public FileSystem {
public:
    PathKind kind(const std::string&) override { return PathKind::missing; }
    bool createDirectory(const std::string&) override { return false; }
    bool removeFile(const std::string&) override { return false; }
    bool moveFile(const std::string&, const std::string&) override { return false; }
    std::unique_ptr<ByteSource> openForReading(const std::string&) override { return nullptr; }
    std::optional<FolderListing> listFolder(const std::string&) override { return std::nullopt; }
    std::unique_ptr<ByteSink> createNew(const std::string&) override { return nullptr; }
    std::optional<std::string> tempFolder() override { return std::nullopt; }
    std::optional<std::string> createUniqueFile(const std::string&, const std::string&) override { return std::nullopt; }
};

}  // namespace

std::shared_ptr<SimApplication> SimApplication::create(FileSystem& files, std::string version) {
    auto app = std::make_shared<SimApplication>(files, std::move(version));
    // Without a workbook the host's print commands have nothing to print.
    const auto printActive = [weak = std::weak_ptr<SimApplication>(app)] {
        const auto host = weak.lock();
        if (host && host->activeBook()) host->print();
    };
    for (const std::int32_t id : {kControlPrint, kControlQuickPrint, kControlPreview}) app->bars_->setCommand(id, printActive);
    return app;
}

std::shared_ptr<SimApplication> SimApplication::create(std::string version) {
    static NoFiles noFiles;
    return create(noFiles, std::move(version));
}

SimApplication::SimApplication(FileSystem& files, std::string version)
    : files_(files), version_(std::move(version)), grid_(gridForVersion(version_)) {}

std::vector<WorkbookPtr> SimApplication::Workbooks() {
    std::vector<WorkbookPtr> listed;
    for (const auto& book : books_) {
        if (!book->isAddin()) listed.push_back(book);
    }
    return listed;
}

WorkbookPtr SimApplication::FindWorkbook(const std::string& name) {
    const auto it = std::find_if(books_.begin(), books_.end(), [&](const auto& b) { return sameName(b->Name(), name); });
    return it == books_.end() ? nullptr : *it;
}

WorkbookPtr SimApplication::OpenWorkbook(const std::string& path, bool readOnly) { return openWorkbook(path, readOnly); }

WorkbookPtr SimApplication::ActiveWorkbook() { return activeBook_; }

SheetPtr SimApplication::ActiveSheet() {
    if (!activeBook_ || !activeBook_->activeSheet()) return nullptr;
    return activeBook_->activeSheet()->hostSheet();
}

WindowPtr SimApplication::ActiveWindow() { return activeBook_ ? activeBook_->window() : nullptr; }

RangePtr SimApplication::ActiveCell() {
    const auto sheet = activeBook_ ? std::dynamic_pointer_cast<SimWorksheet>(activeBook_->activeSheet()) : nullptr;
    if (!sheet) return nullptr;
    return std::make_shared<SimRange>(sheet, std::vector{sheet->activeCell()});
}

RangePtr SimApplication::Selection() {
    if (!activeBook_ || !activeBook_->activeSheet()) return nullptr;
    const auto sheet = std::dynamic_pointer_cast<SimWorksheet>(activeBook_->activeSheet());
    if (!sheet || sheet->shapeSelected()) throw HostError(err::kTypeMismatch, "Type mismatch: the selection is no range");
    return std::make_shared<SimRange>(sheet, sheet->selection());
}

void SimApplication::SetStatusBar(const std::optional<std::string>& text) {
    statusBar_ = text;
    if (statusBarHistory_.size() == 2 * kStatusBarHistoryKept) {
        statusBarHistory_.erase(statusBarHistory_.begin(), statusBarHistory_.begin() + kStatusBarHistoryKept);
    }
    statusBarHistory_.push_back(text);
}

void SimApplication::OnTime(double when, const std::string& procedure) {
    if (refuseOnTime_) throw HostError(err::kApplicationDefined, "Method 'OnTime' of object '_Application' failed");
    onTime_.push_back({when, procedure});
}

RangePtr SimApplication::InputBoxRange(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText) {
    inputBoxCalls_.push_back({prompt, title, defaultText});
    if (inputBoxAnswers_.empty()) throw std::logic_error("the input box was shown but the test scripted no answer");
    const std::optional<std::string> answer = std::move(inputBoxAnswers_.front());
    inputBoxAnswers_.pop_front();
    if (!answer) return nullptr;
    const auto sheet = activeBook_ ? std::dynamic_pointer_cast<SimWorksheet>(activeBook_->activeSheet()) : nullptr;
    if (!sheet) throw std::logic_error("the input box needs an active worksheet");
    // The user may point at cells of another sheet of the workbook.
    const auto areas = parseAddress(*answer, grid_);
    const auto target = areas && areas->front().sheet ? activeBook_->worksheet(*areas->front().sheet) : sheet;
    if (!target) throw std::logic_error("the scripted answer names no worksheet: " + *answer);
    RangePtr range = target->Range(*answer);
    // Pointing at cells of another sheet means clicking its tab first: that sheet stays active.
    if (target != sheet) target->activate();
    return range;
}

RangePtr SimApplication::Intersect(const RangePtr& a, const RangePtr& b) {
    const auto x = simRange(a);
    const auto y = simRange(b);
    if (x->sheet() != y->sheet()) throw HostError(err::kApplicationDefined, "Intersect takes ranges of one sheet");
    auto overlaps = intersectAreas(x->areas(), y->areas());
    if (overlaps.empty()) return nullptr;
    return std::make_shared<SimRange>(x->sheet(), std::move(overlaps));
}

RangePtr SimApplication::Union(const std::vector<RangePtr>& ranges) {
    if (ranges.empty()) throw HostError(err::kInvalidCall, "Invalid procedure call or argument");
    std::shared_ptr<SimWorksheet> sheet;
    std::vector<CellRect> areas;
    for (const RangePtr& range : ranges) {
        const auto r = simRange(range);
        if (sheet && r->sheet() != sheet) throw HostError(err::kApplicationDefined, "Union takes ranges of one sheet");
        sheet = r->sheet();
        areas.insert(areas.end(), r->areas().begin(), r->areas().end());
    }
    return std::make_shared<SimRange>(sheet, mergeAreas(std::move(areas)));
}

CommandBarControlPtr SimApplication::FindControl(std::int32_t id) { return bars_->FindControl({.Id = id, .Tag = {}}); }

AddInEntryPtr SimApplication::COMAddIn(const std::string& progId) {
    const auto it = std::find_if(addIns_.begin(), addIns_.end(), [&](const auto& a) { return sameName(a->ProgId(), progId); });
    if (it == addIns_.end()) throw HostError(err::kSubscriptOutOfRange, "Subscript out of range");
    return *it;
}

std::unique_ptr<EventConnection> SimApplication::Advise(ApplicationEvents& sink) {
    const int cookie = nextCookie_++;
    sinks_.emplace_back(cookie, &sink);
    return std::make_unique<SinkConnection>(weak_from_this(), cookie);
}

std::shared_ptr<SimWorkbook> SimApplication::addWorkbook(const std::string& name, const std::string& path) {
    return adopt(SimWorkbook::create(weak_from_this(), grid_, name, path, false));
}

std::shared_ptr<SimWorkbook> SimApplication::loadWorkbook(std::string_view fixtureText) {
    return adopt(readFixture(fixtureText, shared_from_this()));
}

std::shared_ptr<SimWorkbook> SimApplication::newWorkbook() {
    std::string name;
    do {
        name = "Book" + std::to_string(++newBookNumber_);
    } while (FindWorkbook(name));
    auto book = SimWorkbook::create(weak_from_this(), grid_, name, "", false);
    book->addWorksheet("Sheet1");
    books_.push_back(book);
    announce(book, true);
    return book;
}

std::shared_ptr<SimWorkbook> SimApplication::openWorkbook(const std::string& path, bool readOnly) {
    const auto [folder, name] = splitPath(path);
    for (const auto& open : books_) {
        if (!sameName(open->Name(), name)) continue;
        if (!sameName(open->fullName(), path)) throw cannotOpen("A workbook named '" + name + "' is already open");
        if (!open->isAddin()) activateWorkbook(open);
        return open;
    }
    const auto refusedName = [&name = name](const auto& refused) { return sameName(refused, name); };
    if (std::any_of(refusedNames_.begin(), refusedNames_.end(), refusedName)) {
        throw cannotOpen("'" + path + "' cannot be opened: the host's settings block it");
    }
    auto book = readBook(path);
    book->setLocation(folder, name);
    book->setReadOnly(readOnly);
    books_.push_back(book);
    announce(book, false);
    return book;
}

std::shared_ptr<SimWorkbook> SimApplication::readBook(const std::string& path) {
    const auto source = files_.kind(path) == PathKind::file ? files_.openForReading(path) : nullptr;
    if (!source) throw cannotOpen("'" + path + "' could not be found");
    std::string text(static_cast<std::size_t>(source->size()), '\0');
    if (!text.empty() && !source->readAt(0, text.data(), text.size())) throw cannotOpen("'" + path + "' could not be read");
    const bool isAddin = endsWithIgnoringCase(path, ".xla");
    if (looksLikeFixture(text)) {
        try {
            return readFixture(text, shared_from_this(), isAddin);
        } catch (const FixtureError& e) {
            throw cannotOpen("'" + path + "' is damaged: " + e.what());
        }
    }
    if (isCompoundFile(text)) return readMacroWorkbook(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    // Any other add-in file: the simulated host cannot read it, only hold it
    // open so that macros registered by the test can run.
    if (!isAddin) throw cannotOpen("The file format of '" + path + "' is not recognised");
    auto book = SimWorkbook::create(weak_from_this(), grid_, "", "", true);
    book->addWorksheet("Sheet1");
    return book;
}

// A 97-2003 workbook file: its sheets (without cells) and its macro project.
// The project's texts are read in the system's code page, which is the one
// the host would compile them in.
std::shared_ptr<SimWorkbook> SimApplication::readMacroWorkbook(const std::string& path,
                                                              const std::vector<std::uint8_t>& bytes) {
    const auto file = ole::readMacroWorkbook(bytes, systemAnsiCodec());
    if (!file) throw cannotOpen("'" + path + "' is damaged: " + file.damage);
    if (file->workbook.sheets.empty()) throw cannotOpen("'" + path + "' is damaged: it has no sheet");
    auto book = SimWorkbook::create(weak_from_this(), grid_, "", "", file->workbook.addIn);
    for (const ole::BiffSheet& sheet : file->workbook.sheets) book->addWorksheet(sheet.name);
    std::vector<MacroModule> modules;
    if (file->project) {
        for (const ole::VbaModule& module : file->project->modules) {
            const std::string source(module.source.begin(), module.source.end());
            modules.emplace_back(module.name, systemAnsiCodec().fromAnsi(source));
        }
    }
    book->setMacroModules(std::move(modules));
    return book;
}

// What the macros reach of this host.
class SimApplication::MacroAccess final : public MacroHost {
public:
    explicit MacroAccess(SimApplication& app) : app_(app) {}
    LateBoundPtr comAddInObject(const std::string& progId) override { return app_.COMAddIn(progId)->Object(); }
    void setEnableCancelKey(std::int32_t mode) override { app_.enableCancelKey_ = mode; }
    void msgBox(const std::string& prompt, std::int32_t buttons, const std::string& title) override {
        if (!app_.prompts_) throw std::logic_error("a macro showed a message but the test gave the host no prompts");
        app_.prompts_->message(prompt, title, static_cast<unsigned>(buttons));
    }

private:
    SimApplication& app_;
};

void SimApplication::RunMacro(const std::string& name) {
    const MacroName parts = splitMacroName(name);
    std::vector<std::shared_ptr<SimWorkbook>> books;
    for (const auto& book : books_) {
        if (parts.book.empty() || sameName(book->Name(), parts.book)) books.push_back(book);
    }
    if (!parts.book.empty() && books.empty()) throw cannotRun(name);

    const auto registered = std::find_if(macros_.begin(), macros_.end(), [&](const auto& m) { return sameName(m.first, name); });
    if (registered != macros_.end()) {
        const auto run = registered->second;  // the macro may register others meanwhile
        run();
        return;
    }
    for (const auto& book : books) {
        for (MacroModule& module : book->macroModules()) {
            if (!parts.module.empty() && !sameName(module.name(), parts.module)) continue;
            if (!module.hasPublicSub(parts.procedure)) continue;
            MacroAccess access(*this);
            module.run(parts.procedure, access);
            return;
        }
    }
    throw cannotRun(name);
}

// The events of a workbook that has just been opened or made.
void SimApplication::announce(const std::shared_ptr<SimWorkbook>& book, bool isNew) {
    const auto previous = book->isAddin() ? nullptr : activeBook_;
    if (previous) raise([&](ApplicationEvents& e) { e.WindowDeactivate(previous, previous->window()); });
    if (!book->isAddin()) activeBook_ = book;
    raise([&](ApplicationEvents& e) { isNew ? e.NewWorkbook(book) : e.WorkbookOpen(book); });
    if (book->isAddin()) return;
    raise([&](ApplicationEvents& e) { e.WorkbookActivate(book); });
    raise([&](ApplicationEvents& e) { e.WindowActivate(book, book->window()); });
}

void SimApplication::activateWorkbook(const std::shared_ptr<SimWorkbook>& book) {
    if (std::find(books_.begin(), books_.end(), book) == books_.end()) throw std::invalid_argument("the workbook is not open");
    if (book->isAddin()) throw HostError(err::kApplicationDefined, "An add-in workbook has no window to activate");
    if (activeBook_ == book) return;
    const auto previous = activeBook_;
    if (previous) raise([&](ApplicationEvents& e) { e.WindowDeactivate(previous, previous->window()); });
    activeBook_ = book;
    raise([&](ApplicationEvents& e) { e.WorkbookActivate(book); });
    raise([&](ApplicationEvents& e) { e.WindowActivate(book, book->window()); });
}

void SimApplication::closeWorkbook(const std::shared_ptr<SimWorkbook>& book) {
    const auto it = std::find(books_.begin(), books_.end(), book);
    if (it == books_.end()) throw std::invalid_argument("the workbook is not open");
    if (activeBook_ == book) raise([&](ApplicationEvents& e) { e.WindowDeactivate(book, book->window()); });
    books_.erase(it);
    book->markClosed();
    if (activeBook_ != book) return;
    activeBook_.reset();
    const auto next = std::find_if(books_.rbegin(), books_.rend(), [](const auto& b) { return !b->isAddin(); });
    if (next != books_.rend()) activateWorkbook(*next);
}

void SimApplication::print() {
    if (!activeBook_) throw std::logic_error("there is nothing to print without a workbook");
    ++printCount_;
    const auto book = activeBook_;
    raise([&](ApplicationEvents& e) { e.WorkbookBeforePrint(book); });
}

void SimApplication::printBy(PrintCommand command) {
    if (command != PrintCommand::other) {
        const auto hooks = printHooks_;  // a hook may add another meanwhile
        for (const auto& hook : hooks) hook(command);
    }
    print();
}

void SimApplication::hookPrintCommands(std::function<void(PrintCommand)> hook) { printHooks_.push_back(std::move(hook)); }

void SimApplication::registerMacro(const std::string& name, std::function<void()> macro) {
    macros_.emplace_back(name, std::move(macro));
}

int SimApplication::runOnTime() {
    int ran = 0;
    while (!onTime_.empty()) {
        const auto next = std::min_element(onTime_.begin(), onTime_.end(),
                                           [](const OnTimeEntry& a, const OnTimeEntry& b) { return a.when < b.when; });
        const std::string procedure = next->procedure;
        onTime_.erase(next);
        RunMacro(procedure);
        ++ran;
    }
    return ran;
}

void SimApplication::answerInputBox(std::string address) { inputBoxAnswers_.emplace_back(std::move(address)); }

void SimApplication::cancelInputBox() { inputBoxAnswers_.emplace_back(std::nullopt); }

std::shared_ptr<SimControl> SimApplication::control(std::int32_t id) { return bars_->builtIn(id); }

std::shared_ptr<SimAddIn> SimApplication::addComAddIn(const std::string& progId) {
    addIns_.push_back(std::make_shared<SimAddIn>(progId));
    return addIns_.back();
}

void SimApplication::raise(const std::function<void(ApplicationEvents&)>& event) {
    if (!enableEvents_) return;
    // A handler may disconnect sinks (its own included) while the event goes round.
    std::vector<int> cookies;
    for (const auto& [cookie, sink] : sinks_) cookies.push_back(cookie);
    for (int cookie : cookies) {
        const auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return s.first == cookie; });
        if (it != sinks_.end()) event(*it->second);
    }
}

void SimApplication::unadvise(int cookie) {
    std::erase_if(sinks_, [&](const auto& s) { return s.first == cookie; });
}

std::shared_ptr<SimWorkbook> SimApplication::adopt(std::shared_ptr<SimWorkbook> book) {
    for (const auto& open : books_) {
        if (sameName(open->Name(), book->Name())) throw HostError(err::kApplicationDefined, "A workbook named '" + book->Name() + "' is already open");
    }
    books_.push_back(book);
    if (!activeBook_ && !book->isAddin()) activeBook_ = book;
    return book;
}

std::shared_ptr<SimRange> SimApplication::simRange(const RangePtr& range) {
    if (!range) throw HostError(err::kInvalidCall, "Invalid procedure call or argument");
    auto sim = std::dynamic_pointer_cast<SimRange>(range);
    if (!sim) throw HostError(err::kTypeMismatch, "Type mismatch: not a range of this host");
    return sim;
}

}  // namespace kq::host::sim
