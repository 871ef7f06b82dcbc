#include "addin/dialogs/title_model.h"

#include <optional>
#include <utility>

#include "addin/core/texts.h"

namespace kq::addin::dialogs {

std::string withoutSeparators(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (c != '|' && c != '/') kept += c;
    }
    return kept;
}

TitleModel::TitleModel(SheetContext context, TextBoxWithListModel::Services listServices)
    : context_(std::move(context)), titleBox_(std::move(listServices), kTitleListName, "") {
    RefreshControls();
}

TitleModel::~TitleModel() {
    try {
        titleBox_.CheckAndSaveTextToList();
    } catch (...) {
        // A title that cannot be remembered is only not offered next time.
    }
}

void TitleModel::CellLinkValueType(std::int32_t type) {
    const std::int32_t index = type == 1 ? 1 : 0;
    if (index == valueType_) return;
    valueType_ = index;
    shown();
}

void TitleModel::TitleText(std::string_view title) {
    titleBox_.Text(title);
    RefreshControls();
}

void TitleModel::ValueText(std::string_view value) {
    if (value == valueBox_) return;
    valueBox_ = std::string(value);
    contentChanged();
}

void TitleModel::contentChanged() {
    RefreshControls();
    Change();
}

void TitleModel::RefreshControls() {
    // Disabling keeps the value and its type: only the look changes.
    valueEnabled_ = !titleBox_.Text().empty();
    typeEnabled_ = valueEnabled_ && IsCellAddress(valueBox_);
    shown();
}

std::optional<std::string> TitleModel::refusedSeparators(const std::string& text) const {
    if (text.find_first_of("|/") == std::string::npos) return std::nullopt;
    context_.refuse(texts::kSeparatorsRefused);
    return withoutSeparators(text);
}

void TitleModel::titleLeft() {
    if (const auto kept = refusedSeparators(titleBox_.Text())) titleBox_.Text(*kept);
}

void TitleModel::valueLeft() {
    if (const auto kept = refusedSeparators(valueBox_)) ValueText(*kept);
}

PopupMenu TitleModel::ShowValueMenu() const {
    return {MenuItem::command(value_menu::kCellReference, texts::kMenuCellReference), MenuItem::separator(),
            MenuItem::command(value_menu::kDirectInput, texts::kMenuDirectInput), MenuItem::separator(),
            MenuItem::command(value_menu::kClear, texts::kMenuClear)};
}

void TitleModel::valueMenuChosen(int id) {
    switch (id) {
        case value_menu::kCellReference:
            if (const std::string address = SelectCellRange(); !address.empty()) ValueText(address);
            return;
        case value_menu::kDirectInput:
            if (context_.prompts) {
                context_.prompts->message(texts::kDirectInputHint, GetAppTitle(), mb::kOkOnly | mb::kIconInformation);
            }
            return;
        case value_menu::kClear:
            ValueText("");
            return;
        default:
            return;
    }
}

std::string TitleModel::SelectCellRange() {
    std::string prompt(texts::kHeadingCellsPrompt);
    prompt += std::to_string(kHeadingCellLimit);
    prompt += texts::kHeadingCellsPromptEnd;
    return PointOutRange(
        context_, {std::move(prompt), std::string(texts::kRangeBoxTitle), valueBox_},
        [this] { StartRangeLink(); }, [this] { EndRangeLink(); });
}

}  // namespace kq::addin::dialogs
