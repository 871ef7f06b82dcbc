#pragma once
// The text box with remembered entries: a one-line box that shows a grey
// placeholder while it is empty, and a drop-down button whose menu offers the
// texts remembered under its list name (remembered_list.h), a way to edit
// that list, a hint for typing and a way to clear the box. This is the
// control's logic; its window (win32/) shows the box as the model says and
// tells it what the user did.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/popup_menu.h"
#include "common/prompts.h"
#include "common/settings_store.h"
#include "common/signal.h"

namespace kq::addin::dialogs {

// Ids of the drop-down menu.
namespace list_menu {
inline constexpr int kFirstEntry = 101;  // entry n (from 1) is 100 + n
inline constexpr int kLastEntry = 998;
inline constexpr int kEditList = 999;
inline constexpr int kDirectInput = 1000;
inline constexpr int kClear = 9999;
}  // namespace list_menu

class TextBoxWithListModel {
public:
    struct Services {
        SettingsStore& lists;
        Prompts& prompts;
        // Shows the list editor for the list of that name, modally.
        std::function<void(const std::string& listName)> editList;
    };

    // A new box is empty, not grey-placeholdered: the placeholder shows from
    // the first assignment of Text or the first time the focus leaves.
    TextBoxWithListModel(Services services, std::string_view saveRegKey, std::string_view whenNullString);

    // "" while the placeholder shows.
    std::string Text() const;
    // Shows the value, or the placeholder for "" or the placeholder's text;
    // raises Change when the entry shown changed.
    void Text(std::string_view value);
    // The list's value name; "NOTITLE" while none is set.
    std::string SaveRegKey() const;
    void SaveRegKey(std::string_view name) { saveRegKey_ = std::string(name); }
    // The placeholder. Setting it does not repaint the box.
    const std::string& WhenNullString() const { return whenNullString_; }
    void WhenNullString(std::string_view text) { whenNullString_ = std::string(text); }
    // Remembers the text shown, unless it is the placeholder or remembered already.
    void CheckAndSaveTextToList();

    // Raised after the user changed the box, and by Text when the entry changed.
    Signal<> Change;

    // The window's side.
    const std::string& boxText() const { return boxText_; }
    bool grey() const { return grey_; }
    // Raised whenever boxText or grey changed: the window shows them again.
    Signal<> shown;
    // The user changed the box's text.
    void edited(std::string_view boxText);
    // The focus left the box.
    void focusLost() { Text(boxText_); }
    // The drop-down menu, built afresh from the stored list.
    PopupMenu ShowListMenu();
    // Acts on the id chosen from the last menu built.
    void menuChosen(int id);

private:
    void show(std::string_view text, bool grey);

    Services services_;
    std::string saveRegKey_;
    std::string whenNullString_;
    std::string boxText_;
    bool grey_ = true;
    bool busy_ = false;
    std::vector<std::string> entries_;
};

}  // namespace kq::addin::dialogs
