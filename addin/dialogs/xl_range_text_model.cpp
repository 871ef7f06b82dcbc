#include "addin/dialogs/xl_range_text_model.h"

#include <utility>

#include "addin/core/texts.h"

namespace kq::addin::dialogs {

XlRangeTextModel::XlRangeTextModel(SheetContext context) : context_(std::move(context)) {}

void XlRangeTextModel::Text(std::string_view text) {
    if (text == text_) return;
    text_ = std::string(text);
    changed();
}

void XlRangeTextModel::edited(std::string_view text) { Text(text); }

void XlRangeTextModel::changed() {
    shown();
    Change();
}

void XlRangeTextModel::Enabled(bool enabled) {
    enabled_ = enabled;
    shown();
}

void XlRangeTextModel::ForeColor(std::uint32_t colour) {
    foreColor_ = colour;
    // A fore colour set while disabled reaches the box only when set again once enabled.
    if (enabled_) shownFore_ = colour;
    shown();
}

void XlRangeTextModel::BackColor(std::uint32_t colour) {
    backColor_ = colour;
    shown();
}

void XlRangeTextModel::pick() {
    const std::string address = PointOutRange(
        context_, {std::string(texts::kRangePrompt), std::string(texts::kRangeBoxTitle), text_},
        [this] { parentVisible(false); }, [this] { parentVisible(true); });
    if (!address.empty()) Text(address);
}

}  // namespace kq::addin::dialogs
