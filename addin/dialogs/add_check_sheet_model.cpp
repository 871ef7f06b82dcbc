#include "addin/dialogs/add_check_sheet_model.h"

#include <algorithm>
#include <utility>

#include "addin/core/doc_pros.h"
#include "addin/core/runtime_error.h"
#include "addin/core/texts.h"
#include "addin/recording/save_history.h"
#include "common/text_codec.h"

namespace kq::addin::dialogs {

namespace {

bool hasSeparator(std::string_view text) { return text.find_first_of("|/") != std::string_view::npos; }

// The cells of a range, across all of its areas.
long long cellCount(host::Range& range) {
    long long cells = 0;
    for (const host::RangePtr& area : range.Areas()) cells += area->Count();
    return cells;
}

}  // namespace

std::string StatusVersionText(const std::string& version, const vb::DateTime& updated) {
    return "Version=" + version + " Update=" + vb::FormatDate(updated, "yyyy/m/d");
}

AddCheckSheetModel::AddCheckSheetModel(RegistrationServices services, host::WorkbookPtr book, host::WorksheetPtr sheet)
    : services_(std::move(services)),
      book_(std::move(book)),
      context_{services_.state.g_Application, std::move(sheet), &services_.prompts},
      useCategory_({services_.lists, services_.prompts, services_.editList}, kCategoryListName, texts::kNoCategory),
      txtSaveRange_(context_),
      useTitles_(context_, {services_.lists, services_.prompts, services_.editList}) {
    Form_Load();
}

void AddCheckSheetModel::saveRangeChanged() {
    if (loading_) return;
    if (saveType_ != 1) {
        saveType_ = 1;
        shown();
    }
    UpdateOKButton();
}

std::string AddCheckSheetModel::Caption() const { return GetAppTitle() + std::string(texts::kRegistrationCaption); }

void AddCheckSheetModel::Form_Load() {
    loading_ = true;
    const std::shared_ptr<c_Xl_DocPro> record = services_.state.g_DocPros().Find(context_.sheet);
    if (!record) {
        useCategory_.Text("");
        saveType_ = 0;
        txtSaveRange_.Text("");
        TitleModel& first = *useTitles_.Item(1);
        first.TitleText("");
        first.ValueText("");
        first.CellLinkValueType(0);
    } else {
        useCategory_.Text(record->Category());
        const std::string saveRange = record->SaveRange();
        saveType_ = saveRange.empty() ? 0 : 1;
        txtSaveRange_.Text(saveRange);
        useTitles_.TitleCount(record->TitleCount());
        for (int i = 1; i <= record->TitleCount(); ++i) {
            TitleModel& row = *useTitles_.Item(i);
            row.TitleText(record->TitleText(i));
            row.ValueText(record->ValueRange(i));
            row.CellLinkValueType(record->CellLinkValueType(i));
        }
    }
    loading_ = false;
    UpdateOKButton();
}

void AddCheckSheetModel::UpdateOKButton() {
    bool enabled = true;
    if (saveType_ == 1 && context_.addressOf(txtSaveRange_.Text()).empty()) {
        enabled = false;
    } else {
        for (int i = 1; i <= useTitles_.TitleCount(); ++i) {
            const TitleModel& row = *useTitles_.Item(i);
            if (!row.TitleText().empty() && row.ValueText().empty()) {
                enabled = false;
                break;
            }
        }
    }
    okEnabled_ = enabled;
    shown();
}

void AddCheckSheetModel::optSaveType_Click(int index) {
    saveType_ = index == 1 ? 1 : 0;
    shown();
    if (!loading_) UpdateOKButton();
}

void AddCheckSheetModel::helpKey() {
    if (services_.help) services_.help();
}

void AddCheckSheetModel::homePagePanel() {
    if (services_.homePage) services_.homePage();
}

void AddCheckSheetModel::leave(RegistrationExit how) {
    exit_ = how;
    closing();
}

bool AddCheckSheetModel::fail(std::string_view line) {
    context_.refuse(CheckFailure(line));
    return false;
}

void AddCheckSheetModel::cmdOK_Click() {
    try {
        registerWatch();
    } catch (...) {
        // Whatever failed, nothing is reported as registered and the user may try again.
        const RuntimeError error = CurrentRuntimeError();
        context_.refuse("err(" + std::to_string(error.number) + ") " + error.description);
    }
}

std::optional<std::string> AddCheckSheetModel::checkedSaveRange() {
    if (saveType_ == 0) return std::string();
    std::string address = context_.addressOf(txtSaveRange_.Text());
    if (address.empty()) {
        fail(texts::kRangeInvalid);
        focusRange();
        return std::nullopt;
    }
    return address;
}

std::optional<AddCheckSheetModel::Headings> AddCheckSheetModel::checkedHeadings() {
    Headings accepted;
    std::vector<std::string> keys;
    for (int i = 1; i <= useTitles_.TitleCount(); ++i) {
        const TitleModel& row = *useTitles_.Item(i);
        const std::string title = row.TitleText();
        const std::string value = row.ValueText();
        if (title.empty() || value.empty()) continue;
        const auto refuse = [&](std::string_view line) {
            fail(line);
            useTitles_.TitleSetFocus(i);
            return std::nullopt;
        };
        if (hasSeparator(title) || hasSeparator(value)) return refuse(texts::kTitleForbidden);
        std::string key = services_.upperCase(title);
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) return refuse(texts::kTitleDuplicate);
        keys.push_back(std::move(key));
        // Cells that were deleted: stored as it reads, the heading would show
        // the literal "#REF" in every later history.
        if (value == kDeletedRangeText) return refuse(texts::kHeadingCellsDeleted);
        if (const host::RangePtr range = context_.rangeOf(value)) {
            if (cellCount(*range) > kHeadingCellLimit) return refuse(texts::kHeadingTooManyCells);
        }
        accepted.titles.push_back(title);
        accepted.values.push_back(value);
        accepted.types.push_back(row.CellLinkValueType());
    }
    return accepted;
}

void AddCheckSheetModel::registerWatch() {
    const std::string category = useCategory_.Text();
    const std::optional<std::string> saveRange = checkedSaveRange();
    if (!saveRange) return;
    const std::optional<Headings> headings = checkedHeadings();
    if (!headings) return;

    // The record as it is to be stored, made before anything changes.
    c_Xl_DocPros& watches = services_.state.g_DocPros();
    const std::shared_ptr<c_Xl_DocPro> existing = watches.Find(context_.sheet);
    std::shared_ptr<c_Xl_DocPro> candidate;
    if (existing) {
        candidate = std::make_shared<c_Xl_DocPro>(*existing);
        candidate->Category(category);
        candidate->SaveRange(*saveRange);
        const int count = static_cast<int>(headings->titles.size());
        candidate->TitleCount(count);
        for (int i = 1; i <= count; ++i) {
            const auto at = static_cast<std::size_t>(i - 1);
            candidate->TitleText(i, headings->titles[at]);
            candidate->ValueRange(i, headings->values[at]);
            candidate->CellLinkValueType(i, headings->types[at]);
        }
        candidate->Released(false);
    } else {
        const std::string id = watches.CalcNewId();
        candidate = NewDocPro(book_, context_.sheet, category, id, id, *saveRange, headings->titles, headings->values,
                              headings->types);
    }
    if (utf8ToUtf16(SheetWatchPropertyValue(*candidate)).size() > host::kTextPropertyMaxLength) {
        fail(texts::WatchTooLong(host::kTextPropertyMaxLength));
        return;
    }

    const std::string before = storedValue();
    std::int32_t flags = store(existing, candidate);
    // A store that keeps the version may still have changed what is stored
    // (the save range, a value source, the release): that too needs saving.
    if ((flags & store_flags::kSameVersion) && storedValue() != before) {
        flags += store_flags::kNewVersion - store_flags::kSameVersion;
    }
    tell(flags);
    useCategory_.CheckAndSaveTextToList();
    leave(RegistrationExit::registered);
}

std::int32_t AddCheckSheetModel::store(const std::shared_ptr<c_Xl_DocPro>& existing,
                                       const std::shared_ptr<c_Xl_DocPro>& candidate) {
    c_Xl_DocPros& watches = services_.state.g_DocPros();
    std::optional<c_Xl_DocPro> previous;
    if (existing) {
        previous = *existing;
        *existing = *candidate;
    } else {
        watches.Add(candidate);
    }
    try {
        return watches.SaveToDocProps(book_, context_.sheet);
    } catch (...) {
        if (!existing) {
            watches.Remove(candidate);
            throw;
        }
        *existing = *previous;
        // The store may have taken the old property away before it failed:
        // it comes back where the workbook lets it.
        try {
            watches.SaveToDocProps(book_, context_.sheet);
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
}

std::string AddCheckSheetModel::storedValue() const {
    std::string value;
    host::ignoreErrors([&] {
        value = book_->CustomDocumentProperties()->ValueOf(SheetWatchPropertyName(context_.sheet->Name()));
    });
    return value;
}

void AddCheckSheetModel::tell(std::int32_t flags) {
    c_Setting* setting = services_.state.g_Setting.get();
    if (!setting || !setting->ShowMessageWhenAdd() || !services_.msgBoxEx) return;
    static constexpr std::pair<std::int32_t, std::string_view> kMessages[] = {
        {store_flags::kNewVersion, texts::kWatchUpdated},
        {store_flags::kWritten, texts::kWatchStarted},
        {store_flags::kSameVersion, texts::kWatchUnchanged},
    };
    std::optional<std::int32_t> last;
    for (const auto& [bit, text] : kMessages) {
        if (!(flags & bit)) continue;
        last = services_.msgBoxEx({.Prompt = std::string(text),
                                   .Buttons = msgbox::kNotice | msgbox::kOkOnly |
                                              msgbox::kTopmost,
                                   .Title = GetAppTitle(),
                                   .ShowCheck = true,
                                   .CheckValue = true,
                                   .CheckCaption = std::string(texts::kShowNextTime)});
    }
    if (last && !(*last & msgbox::kChecked)) setting->ShowMessageWhenAdd(false);
}

}  // namespace kq::addin::dialogs
