#pragma once
// The editor of a remembered list: its entries as rows, moved up and down
// and deleted with the toolbar, written back as the whole list on OK.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "addin/dialogs/remembered_list.h"
#include "common/prompts.h"
#include "common/settings_store.h"

namespace kq::addin::dialogs {

class ListEditorModel {
public:
    // Loads the list of that name.
    ListEditorModel(SettingsStore& lists, Prompts& prompts, std::string_view saveRegKey);

    const std::string& SaveRegKey() const { return list_.name(); }
    const std::vector<std::string>& rows() const { return rows_; }
    // The selected row, from 0; none at first.
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> row);

    // Which toolbar buttons are enabled (RefreshButtons).
    struct Buttons {
        bool up = false;
        bool down = false;
        bool remove = false;
        friend bool operator==(const Buttons&, const Buttons&) = default;
    };
    Buttons buttons() const;

    // The toolbar. Without a selected row they do nothing; UP on the first
    // and DOWN on the last row only beep. The selection keeps its position.
    void up();
    void down();
    void remove();

    // Writes the rows as the list.
    void ok();

private:
    void swapWith(std::size_t other);

    RememberedList list_;
    Prompts& prompts_;
    std::vector<std::string> rows_;
    std::optional<std::size_t> selected_;
};

}  // namespace kq::addin::dialogs
