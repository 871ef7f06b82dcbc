#pragma once
// The sheet registration dialog's logic: it puts the worksheet it was opened
// for under watch, or edits the watch it has. It collects a category (a text
// box with remembered entries, list "CATEGORY"), the range to record
// (automatic or a fixed range) and the headings, checks them on OK, makes or
// updates the sheet's record, stores it into the workbook's properties and
// tells the user what happened.
//
// Every resolve, find, add and store goes to the workbook and sheet the dialog
// was opened for, never to whatever sheet the host shows meanwhile.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "addin/core/addin_state.h"
#include "addin/core/this_sheet_check.h"
#include "addin/dialogs/sheet_context.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "addin/dialogs/titles_model.h"
#include "addin/dialogs/xl_range_text_model.h"
#include "common/letter_case.h"
#include "common/msgbox_ex.h"
#include "common/prompts.h"
#include "common/settings_store.h"
#include "common/vb.h"

namespace kq::addin::dialogs {

inline constexpr std::string_view kCategoryListName = "CATEGORY";

struct RegistrationServices {
    AddinState& state;
    Prompts& prompts;
    SettingsStore& lists;
    // The add-in's own message box, owned by the dialog.
    std::function<std::int32_t(const MsgBoxExArgs&)> msgBoxEx;
    // Shows the editor of a remembered list, owned by the dialog.
    std::function<void(const std::string& listName)> editList;
    // F1, and the home-page panel of the status bar; the dialog stays open.
    std::function<void()> help;
    std::function<void()> homePage;
    // Letters in upper case as the system maps them: titles that differ only
    // in letter case are one key, as the runtime's collections take them.
    UpperCase upperCase;
};

// "Version=1.05.0.03 Update=2024/1/31": the status bar's first panel, from the
// version as LibraryVersionText gives it.
std::string StatusVersionText(const std::string& version, const vb::DateTime& updated);

class AddCheckSheetModel {
public:
    // Loads the sheet's record, or the empty defaults for a new watch.
    AddCheckSheetModel(RegistrationServices services, host::WorkbookPtr book, host::WorksheetPtr sheet);
    AddCheckSheetModel(const AddCheckSheetModel&) = delete;
    AddCheckSheetModel& operator=(const AddCheckSheetModel&) = delete;

    std::string Caption() const;
    TextBoxWithListModel& useCategory() { return useCategory_; }
    XlRangeTextModel& txtSaveRange() { return txtSaveRange_; }
    TitlesModel& useTitles() { return useTitles_; }
    // 0 automatic, 1 a fixed range.
    int optSaveType() const { return saveType_; }
    bool okEnabled() const { return okEnabled_; }
    // Set once the dialog is to close.
    std::optional<RegistrationExit> exit() const { return exit_; }

    // What the user does.
    void optSaveType_Click(int index);
    // Checks, stores and tells; on a refusal or a failure the dialog stays open.
    void cmdOK_Click();
    void cmdCancel_Click() { leave(RegistrationExit::cancelled); }
    void helpKey();
    void settingLink() { leave(RegistrationExit::openSettings); }
    void versionPanel() { leave(RegistrationExit::openAbout); }
    void homePagePanel();

    // The window's side.
    Signal<> shown;         // the save type or the OK button changed
    Signal<> focusRange;    // a check failed on the save range
    Signal<bool> visible;   // hidden around the host's range input box
    Signal<> closing;       // exit() is set: the window closes

    // Enables OK when a fixed range resolves and no titled heading lacks its value.
    void UpdateOKButton();

private:
    struct Headings {
        std::vector<std::string> titles;
        std::vector<std::string> values;
        std::vector<std::int32_t> types;
    };

    void Form_Load();
    void saveRangeChanged();
    void leave(RegistrationExit how);
    void registerWatch();
    // The checks of OK; none when one failed (it has told the user).
    std::optional<std::string> checkedSaveRange();
    std::optional<Headings> checkedHeadings();
    bool fail(std::string_view line);
    // Stores the candidate in place of the sheet's record (or as its new one);
    // gives the store's flags and puts the records back when it fails.
    std::int32_t store(const std::shared_ptr<c_Xl_DocPro>& existing, const std::shared_ptr<c_Xl_DocPro>& candidate);
    std::string storedValue() const;
    void tell(std::int32_t flags);

    RegistrationServices services_;
    host::WorkbookPtr book_;
    SheetContext context_;
    TextBoxWithListModel useCategory_;
    XlRangeTextModel txtSaveRange_;
    TitlesModel useTitles_;
    // A typed save range chooses the fixed range; the parts' range input boxes hide the dialog.
    std::array<Connection, 4> onParts_{
        txtSaveRange_.Change.connect([this] { saveRangeChanged(); }),
        txtSaveRange_.parentVisible.connect([this](bool show) { visible(show); }),
        useTitles_.parentVisible.connect([this](bool show) { visible(show); }),
        useTitles_.Change.connect([this](int) { UpdateOKButton(); }),
    };
    int saveType_ = 0;
    bool okEnabled_ = false;
    bool loading_ = false;
    std::optional<RegistrationExit> exit_;
};

}  // namespace kq::addin::dialogs
