#pragma once
// One heading of a sheet watch as the registration dialog edits it, a row of
// the heading list: a title (a text box with remembered entries, list
// "TITLE"), a value (typed text or the address of cells pointed out on the
// sheet) and a value type (the cells' values or their displayed texts).
// Titles and values never give out "|" or "/", which separate headings in the
// stored watch.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "addin/dialogs/sheet_context.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "common/popup_menu.h"
#include "common/signal.h"

namespace kq::addin::dialogs {

// A heading's value may take the texts of this many cells at most.
inline constexpr int kHeadingCellLimit = 10;
inline constexpr std::string_view kTitleListName = "TITLE";

// Ids of the value menu.
namespace value_menu {
inline constexpr int kCellReference = 10;
inline constexpr int kDirectInput = 30;
inline constexpr int kClear = 99;
}  // namespace value_menu

// The text without "|" and "/".
std::string withoutSeparators(std::string_view text);

class TitleModel {
public:
    TitleModel(SheetContext context, TextBoxWithListModel::Services listServices);
    // Remembers the title in the list "TITLE", as a row does whenever it goes.
    ~TitleModel();
    TitleModel(const TitleModel&) = delete;
    TitleModel& operator=(const TitleModel&) = delete;

    // 0 the cells' values, 1 their displayed texts. Setting it raises nothing.
    std::int32_t CellLinkValueType() const { return valueType_; }
    void CellLinkValueType(std::int32_t type);
    std::string TitleText() const { return withoutSeparators(titleBox_.Text()); }
    void TitleText(std::string_view title);
    std::string ValueText() const { return withoutSeparators(valueBox_); }
    void ValueText(std::string_view value);

    // After every change of the title or the value, once the enabled states follow.
    Signal<> Change;
    // Around the host's range input box: the dialog hides and shows again.
    Signal<> StartRangeLink;
    Signal<> EndRangeLink;

    // The window's side.
    TextBoxWithListModel& titleBox() { return titleBox_; }
    const std::string& valueBox() const { return valueBox_; }
    bool valueEnabled() const { return valueEnabled_; }
    bool typeEnabled() const { return typeEnabled_; }
    // Raised when the value box's text or an enabled state changed.
    Signal<> shown;
    void valueEdited(std::string_view text) { ValueText(text); }
    void valueTypeChosen(std::int32_t type) { CellLinkValueType(type); }
    // The focus left a box: "|" and "/" are refused and taken out.
    void titleLeft();
    void valueLeft();
    PopupMenu ShowValueMenu() const;
    void valueMenuChosen(int id);

    // Whether the text names cells on the sheet.
    bool IsCellAddress(std::string_view text) const { return !context_.addressOf(text).empty(); }
    // The address of cells the user points out; "" when cancelled or refused.
    std::string SelectCellRange();

private:
    void RefreshControls();
    void contentChanged();
    // Shows the message and gives the text without separators, or nothing when it had none.
    std::optional<std::string> refusedSeparators(const std::string& text) const;

    SheetContext context_;
    TextBoxWithListModel titleBox_;
    Connection onTitleChange_ = titleBox_.Change.connect([this] { contentChanged(); });
    std::string valueBox_;
    std::int32_t valueType_ = 0;
    bool valueEnabled_ = false;
    bool typeEnabled_ = false;
};

}  // namespace kq::addin::dialogs
