#pragma once
// The registration dialog's model with a connected add-in's state: the
// settings in memory, the add-in's own message box answered from a script,
// Book1.xls with data on Sheet1.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/doc_pros.h"
#include "addin/dialogs/add_check_sheet_model.h"
#include "tests/addin/dialogs/dialog_test_world.h"
#include "tests/support/history_folder_world.h"

namespace kq::addin::dialogs::test {

// The message box answer "OK" with "次回も表示起動する" still ticked.
inline constexpr std::int32_t kOkTicked = msgbox::kOk | msgbox::kChecked;

struct RegistrationWorld : DialogWorld {
    RegistrationWorld() {
        state.g_Setting = std::make_shared<c_Setting>(settings, folders.services(), 16.0);
        sim.sheet1->setCell("A1", std::string("請求書"));
        sim.sheet1->setCell("B2", 45000.0);
    }

    RegistrationServices services() {
        return {.state = state,
                .prompts = prompts,
                .lists = lists,
                .msgBoxEx =
                    [this](const MsgBoxExArgs& args) {
                        boxes.push_back(args.Prompt);
                        boxFlags.push_back(args.Buttons);
                        if (boxAnswers.empty()) return kOkTicked;
                        const std::int32_t answer = boxAnswers.front();
                        boxAnswers.pop_front();
                        return answer;
                    },
                .editList = [this](const std::string& name) { editorOpenedFor.push_back(name); },
                .help = [this] { ++helps; },
                .homePage = [this] { ++homePages; },
                .upperCase = tableUpperCase};
    }

    // The dialog for Sheet1 of Book1.xls, as the this-sheet command opens it.
    std::unique_ptr<AddCheckSheetModel> open() {
        auto dialog = std::make_unique<AddCheckSheetModel>(services(), sim.book, sim.sheet1);
        bindings.push_back(dialog->focusRange.connect([this] { focus.push_back("range"); }));
        bindings.push_back(dialog->useTitles().focusRow.connect(
            [this](std::size_t row) { focus.push_back("row " + std::to_string(row + 1)); }));
        return dialog;
    }

    std::string property(const std::string& sheet = "Sheet1") {
        const auto* p = sim.book->properties()->find("KEZ_QUORVEX_INFO_" + sheet);
        return p ? p->value : "<none>";
    }
    std::shared_ptr<c_Xl_DocPro> record() { return state.g_DocPros().Find(sim.sheet1); }

    MemorySettingsStore settings;
    // The window's side of the dialogs opened; inert once a dialog has gone.
    std::vector<Connection> bindings;
    kq::test::HistoryFolderWorld folders;
    AddinState state{sim.app};
    std::vector<std::string> boxes;
    std::vector<std::int32_t> boxFlags;
    std::deque<std::int32_t> boxAnswers;
    std::vector<std::string> focus;
    int helps = 0;
    int homePages = 0;
};

// Sets the dialog's inputs as the user would.
struct Input {
    std::string category;
    std::string range;  // "" for automatic
    struct Heading {
        std::string title;
        std::string value;
        std::int32_t type = 0;
    };
    std::vector<Heading> headings;

    void into(AddCheckSheetModel& dialog) const {
        dialog.useCategory().Text(category);
        if (range.empty()) {
            dialog.optSaveType_Click(0);
        } else {
            dialog.txtSaveRange().edited(range);
        }
        dialog.useTitles().TitleCount(static_cast<int>(headings.size()));
        for (std::size_t k = 0; k < headings.size(); ++k) {
            TitleModel& row = dialog.useTitles().row(k);
            row.TitleText(headings[k].title);
            row.ValueText(headings[k].value);
            row.CellLinkValueType(headings[k].type);
        }
    }
};

}  // namespace kq::addin::dialogs::test
