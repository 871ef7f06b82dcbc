#include "addin/dialogs/text_box_with_list_model.h"

#include <utility>

#include "addin/core/texts.h"
#include "addin/dialogs/remembered_list.h"

namespace kq::addin::dialogs {

TextBoxWithListModel::TextBoxWithListModel(Services services, std::string_view saveRegKey,
                                           std::string_view whenNullString)
    : services_(std::move(services)), saveRegKey_(saveRegKey), whenNullString_(whenNullString) {}

std::string TextBoxWithListModel::SaveRegKey() const {
    return saveRegKey_.empty() ? std::string(kNoListName) : saveRegKey_;
}

std::string TextBoxWithListModel::Text() const {
    if (!whenNullString_.empty() && boxText_ == whenNullString_) return {};
    return boxText_;
}

void TextBoxWithListModel::Text(std::string_view value) {
    bool changed = false;
    busy_ = true;
    if (!value.empty() && value != whenNullString_) {
        changed = value != boxText_;
        show(value, false);
    } else {
        changed = !boxText_.empty() && boxText_ != whenNullString_;
        show(whenNullString_, true);
    }
    busy_ = false;
    if (changed) Change();
}

void TextBoxWithListModel::edited(std::string_view boxText) {
    if (busy_ || boxText == boxText_) return;
    boxText_ = std::string(boxText);
    show(boxText_, Text() == whenNullString_);
    Change();
}

void TextBoxWithListModel::show(std::string_view text, bool grey) {
    if (text == boxText_ && grey == grey_) return;
    boxText_ = std::string(text);
    grey_ = grey;
    shown();
}

void TextBoxWithListModel::CheckAndSaveTextToList() {
    RememberedList(services_.lists, SaveRegKey()).append(Text());
}

PopupMenu TextBoxWithListModel::ShowListMenu() {
    entries_ = RememberedList(services_.lists, SaveRegKey()).menuEntries();
    MenuItem remembered{MenuItem::Kind::popup, 0, std::string(texts::kMenuRememberedList), entries_.empty()};
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        remembered.items.push_back(MenuItem::command(list_menu::kFirstEntry + static_cast<int>(n), menuText(entries_[n])));
    }
    remembered.items.push_back(MenuItem::separator());
    remembered.items.push_back(MenuItem::command(list_menu::kEditList, texts::kMenuEditList));
    return {std::move(remembered), MenuItem::separator(), MenuItem::command(list_menu::kDirectInput, texts::kMenuDirectInput),
            MenuItem::separator(), MenuItem::command(list_menu::kClear, texts::kMenuClear)};
}

void TextBoxWithListModel::menuChosen(int id) {
    if (id >= list_menu::kFirstEntry && id <= list_menu::kLastEntry) {
        const auto n = static_cast<std::size_t>(id - list_menu::kFirstEntry);
        if (n < entries_.size()) Text(entries_[n]);
    } else if (id == list_menu::kEditList) {
        if (services_.editList) services_.editList(SaveRegKey());
    } else if (id == list_menu::kDirectInput) {
        services_.prompts.message(texts::kDirectInputHint, GetAppTitle(), mb::kOkOnly | mb::kIconInformation);
    } else if (id == list_menu::kClear) {
        Text("");
    }
}

}  // namespace kq::addin::dialogs
