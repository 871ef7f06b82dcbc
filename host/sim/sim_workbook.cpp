#include "host/sim/sim_workbook.h"

#include <algorithm>
#include <stdexcept>

#include "host/sim/fixture.h"
#include "host/sim/name_compare.h"
#include "host/sim/sim_application.h"

namespace kq::host::sim {
namespace {

bool isNameCharacter(char c, bool first) {
    const auto u = static_cast<unsigned char>(c);
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '\\' || u >= 0x80;
    return first ? letter : letter || (c >= '0' && c <= '9') || c == '.';
}

// A defined name may not look like an address, or the host could not tell them apart.
bool validDefinedName(std::string_view name, GridSize grid) {
    if (name.empty() || !isNameCharacter(name.front(), true)) return false;
    if (!std::all_of(name.begin() + 1, name.end(), [](char c) { return isNameCharacter(c, false); })) return false;
    return !parseAddress(name, grid);
}

HostError disconnected() {
    return HostError(err::kObjectDisconnected, "The object invoked has disconnected from its clients");
}

}  // namespace

std::vector<SheetPtr> SimWindow::SelectedSheets() {
    const auto owner = book();
    if (!owner || !owner->isOpen()) throw disconnected();
    std::vector<SheetPtr> sheets;
    for (const auto& sheet : owner->selectedSheets()) sheets.push_back(sheet->hostSheet());
    return sheets;
}

void SimWindow::SetView(std::int32_t view) {
    if (view < xlNormalView || view > 3) throw HostError(err::kApplicationDefined, "Unable to set the View property");
    view_ = view;
}

std::shared_ptr<SimWorkbook> SimWorkbook::create(std::weak_ptr<SimApplication> app, GridSize grid, std::string name,
                                                 std::string path, bool isAddin) {
    auto book = std::make_shared<SimWorkbook>(std::move(app), grid, std::move(name), std::move(path), isAddin);
    if (!isAddin) book->window_ = std::make_shared<SimWindow>(book);
    return book;
}

SimWorkbook::SimWorkbook(std::weak_ptr<SimApplication> app, GridSize grid, std::string name, std::string path,
                         bool isAddin)
    : app_(std::move(app)), grid_(grid), name_(std::move(name)), path_(std::move(path)), isAddin_(isAddin) {}

std::string SimWorkbook::Name() {
    requireOpen();
    return name_;
}

std::string SimWorkbook::Path() {
    requireOpen();
    return path_;
}

std::vector<WorksheetPtr> SimWorkbook::Worksheets() {
    requireOpen();
    std::vector<WorksheetPtr> worksheets;
    for (const auto& sheet : sheets_) {
        if (auto ws = std::dynamic_pointer_cast<SimWorksheet>(sheet)) worksheets.push_back(std::move(ws));
    }
    return worksheets;
}

WorksheetPtr SimWorkbook::FindWorksheet(const std::string& name) {
    requireOpen();
    return worksheet(name);
}

DocumentPropertiesPtr SimWorkbook::CustomDocumentProperties() {
    requireOpen();
    return properties_;
}

void SimWorkbook::Save() {
    requireOpen();
    const auto application = app();
    if (!application) throw disconnected();
    application->raise([&](ApplicationEvents& events) { events.WorkbookBeforeSave(shared_from_this()); });
    if (path_.empty()) return;
    if (readOnly_) throw HostError(err::kApplicationDefined, "'" + name_ + "' is read-only");
    const std::string text = writeFixture(*this);
    FileSystem& files = application->files();
    files.removeFile(fullName());
    const auto sink = files.createNew(fullName());
    if (!sink || !sink->write(text.data(), text.size())) {
        throw HostError(err::kApplicationDefined, "Cannot save '" + fullName() + "'");
    }
}

std::shared_ptr<SimWorksheet> SimWorkbook::addWorksheet(const std::string& name) {
    auto sheet = std::make_shared<SimWorksheet>(weak_from_this(), "", grid_);
    sheet->rename(name);  // the host's rules for sheet names
    addSheet(sheet);
    return sheet;
}

std::shared_ptr<SimChartSheet> SimWorkbook::addChartSheet(const std::string& name) {
    auto sheet = std::make_shared<SimChartSheet>(weak_from_this(), "");
    sheet->rename(name);
    addSheet(sheet);
    return sheet;
}

void SimWorkbook::addSheet(const std::shared_ptr<SimSheetBase>& sheet) {
    requireOpen();
    sheets_.push_back(sheet);
    if (!activeSheet_) {
        activeSheet_ = sheet;
        selected_ = {sheet};
    }
}

std::shared_ptr<SimSheetBase> SimWorkbook::sheet(std::string_view name) const {
    const auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& s) { return sameName(s->name(), name); });
    return it == sheets_.end() ? nullptr : *it;
}

std::shared_ptr<SimWorksheet> SimWorkbook::worksheet(std::string_view name) const {
    return std::dynamic_pointer_cast<SimWorksheet>(sheet(name));
}

void SimWorkbook::deleteSheet(std::string_view name) {
    requireOpen();
    const auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& s) { return sameName(s->name(), name); });
    if (it == sheets_.end()) throw HostError(err::kSubscriptOutOfRange, "Subscript out of range");
    if (sheets_.size() == 1) throw HostError(err::kApplicationDefined, "A workbook must contain at least one sheet");
    const auto victim = *it;
    const auto at = static_cast<std::size_t>(it - sheets_.begin());
    victim->markGone();
    sheets_.erase(it);
    for (DefinedName& n : names_) {
        if (n.sheet == victim) n.sheet.reset();
    }
    std::erase(selected_, victim);
    if (activeSheet_ == victim) {
        selected_.clear();
        changeActiveSheet(sheets_[std::min(at, sheets_.size() - 1)]);
    }
    if (selected_.empty()) selected_ = {activeSheet_};
}

void SimWorkbook::defineName(const std::string& name, std::string_view refersTo) {
    requireOpen();
    const auto parsed = parseAddress(refersTo, grid_);
    std::shared_ptr<SimWorksheet> target;
    std::vector<CellRect> areas;
    for (const QualifiedArea& area : parsed.value_or(std::vector<QualifiedArea>{})) {
        const auto ws = area.sheet ? worksheet(*area.sheet) : nullptr;
        if (!ws || (target && ws != target)) {
            throw HostError(err::kApplicationDefined, "A name refers to areas of one worksheet: " + std::string(refersTo));
        }
        target = ws;
        areas.push_back(area.rect);
    }
    if (!target || !validDefinedName(name, grid_)) {
        throw HostError(err::kApplicationDefined, "Cannot define the name '" + name + "'");
    }
    std::erase_if(names_, [&](const DefinedName& n) { return sameName(n.name, name); });
    names_.push_back({name, target, std::move(areas)});
}

const DefinedName* SimWorkbook::findName(std::string_view name) const {
    const auto it = std::find_if(names_.begin(), names_.end(), [&](const DefinedName& n) { return sameName(n.name, name); });
    return it == names_.end() ? nullptr : &*it;
}

std::vector<std::shared_ptr<SimSheetBase>> SimWorkbook::selectedSheets() const {
    std::vector<std::shared_ptr<SimSheetBase>> inTabOrder;
    for (const auto& sheet : sheets_) {
        if (std::find(selected_.begin(), selected_.end(), sheet) != selected_.end()) inTabOrder.push_back(sheet);
    }
    return inTabOrder;
}

void SimWorkbook::selectSheets(const std::vector<std::shared_ptr<SimSheetBase>>& sheets) {
    requireOpen();
    if (sheets.empty()) throw std::invalid_argument("select at least one sheet");
    for (const auto& sheet : sheets) {
        if (std::find(sheets_.begin(), sheets_.end(), sheet) == sheets_.end()) {
            throw std::invalid_argument("the sheet is not in this workbook");
        }
    }
    if (isAddin_) throw HostError(err::kApplicationDefined, "The sheets of an add-in workbook cannot be selected");
    const auto application = app();
    if (application && application->activeBook() != shared_from_this()) application->activateWorkbook(shared_from_this());
    selected_ = sheets;
    changeActiveSheet(sheets.front());
}

void SimWorkbook::selectSheets(const std::vector<std::string>& names) {
    std::vector<std::shared_ptr<SimSheetBase>> chosen;
    for (const std::string& name : names) {
        auto s = sheet(name);
        if (!s) throw std::invalid_argument("no sheet named " + name);
        chosen.push_back(std::move(s));
    }
    selectSheets(chosen);
}

void SimWorkbook::restoreSelection(const std::vector<std::shared_ptr<SimSheetBase>>& sheets) {
    if (sheets.empty()) throw std::invalid_argument("select at least one sheet");
    selected_ = sheets;
    activeSheet_ = sheets.front();
}

void SimWorkbook::setLocation(std::string path, std::string name) {
    path_ = std::move(path);
    name_ = std::move(name);
}

std::string SimWorkbook::fullName() const {
    if (path_.empty()) return name_;
    return path_ + (path_.ends_with('\\') ? "" : "\\") + name_;
}

void SimWorkbook::activateSheet(const SimSheetBase& target) {
    requireOpen();
    const auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s.get() == &target; });
    if (it == sheets_.end()) throw std::invalid_argument("the sheet is not in this workbook");
    if (isAddin_) throw HostError(err::kApplicationDefined, "The sheets of an add-in workbook cannot be activated");
    const auto application = app();
    if (application && application->activeBook() != shared_from_this()) application->activateWorkbook(shared_from_this());
    if (std::find(selected_.begin(), selected_.end(), *it) == selected_.end()) selected_ = {*it};
    changeActiveSheet(*it);
}

void SimWorkbook::changeActiveSheet(const std::shared_ptr<SimSheetBase>& sheet) {
    if (activeSheet_ == sheet) return;
    activeSheet_ = sheet;
    const auto application = app();
    if (application && application->activeBook() == shared_from_this()) {
        application->raise([&](ApplicationEvents& events) { events.SheetActivate(sheet->hostSheet()); });
    }
}

void SimWorkbook::sheetEdited(const SimWorksheet& sheet, const StructuralEdit& edit) {
    for (DefinedName& n : names_) {
        if (n.sheet.get() == &sheet) n.areas = movedAreas(n.areas, edit, grid_);
    }
}

bool SimWorkbook::nameTaken(std::string_view name, const SimSheetBase* except) const {
    return std::any_of(sheets_.begin(), sheets_.end(),
                       [&](const auto& s) { return s.get() != except && sameName(s->name(), name); });
}

void SimWorkbook::markClosed() {
    open_ = false;
    for (const auto& sheet : sheets_) sheet->markGone();
}

void SimWorkbook::requireOpen() const {
    if (!open_) throw disconnected();
}

}  // namespace kq::host::sim
