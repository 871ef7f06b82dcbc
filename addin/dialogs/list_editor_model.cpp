#include "addin/dialogs/list_editor_model.h"

#include <utility>

namespace kq::addin::dialogs {

ListEditorModel::ListEditorModel(SettingsStore& lists, Prompts& prompts, std::string_view saveRegKey)
    : list_(lists, saveRegKey), prompts_(prompts), rows_(list_.editorEntries()) {}

void ListEditorModel::select(std::optional<std::size_t> row) {
    selected_ = row && *row < rows_.size() ? row : std::nullopt;
}

ListEditorModel::Buttons ListEditorModel::buttons() const {
    if (!selected_) return {};
    const std::size_t index = *selected_ + 1;
    return {.up = index > 1, .down = index < rows_.size() && rows_.size() > 1, .remove = true};
}

void ListEditorModel::up() {
    if (!selected_) return;
    if (*selected_ == 0) {
        prompts_.beep();
        return;
    }
    swapWith(*selected_ - 1);
}

void ListEditorModel::down() {
    if (!selected_) return;
    if (*selected_ + 1 >= rows_.size()) {
        prompts_.beep();
        return;
    }
    swapWith(*selected_ + 1);
}

void ListEditorModel::swapWith(std::size_t other) { std::swap(rows_[*selected_], rows_[other]); }

void ListEditorModel::remove() {
    if (!selected_) return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected_));
    // The list view selects nothing once the selected row is gone.
    selected_.reset();
}

void ListEditorModel::ok() { list_.rewrite(rows_); }

}  // namespace kq::addin::dialogs
