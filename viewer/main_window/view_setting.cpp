#include "viewer/main_window/view_setting.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "common/vb.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

const char* flagText(bool on) { return on ? "1" : "0"; }

}  // namespace

c_Setting_View::c_Setting_View(SettingsStore& store) : store_(store) { LoadViewSetting(); }

void c_Setting_View::LoadViewSetting() {
    // Every value is read as a number; a missing one as its default text.
    const auto number = [&](std::string_view name, std::string_view fallback) {
        const std::optional<std::string> text = store_.read(texts::kViewSection, name);
        return vb::Val(text ? *text : fallback);
    };

    MinMaxAvgSum = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        // Only exactly 1 is True: "True", "-1" and "2" are not.
        columns[i] = number(texts::kColumnSwitchNames[i], i == 0 ? "1" : "0") == 1;
    }
    // A number that does not fit the variable (an infinity included) gives the default.
    const std::int16_t style = vb::CInt(number(texts::kViewStyle, "0")).value_or(kThreeColumns);
    ViewStyle = style == kThreeColumns ? kThreeColumns : kTwoColumns;
    const std::int16_t grouping = vb::CInt(number(texts::kCardsCategoryType, "2")).value_or(2);
    CardsCategoryType = grouping >= 1 && grouping <= 4 ? static_cast<Grouping>(grouping) : Grouping::sheet;

    float* const positions[] = {&Positon1, &Positon2, &Positon3};
    static constexpr std::string_view kDefaults[] = {"3000", "6000", "2000"};
    for (std::size_t i = 0; i < 3; ++i) {
        const double value = number(texts::kPositionNames[i], kDefaults[i]);
        const bool fits = std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
        *positions[i] = static_cast<float>(fits ? value : vb::Val(kDefaults[i]));
    }
}

void c_Setting_View::SaveViewSetting() {
    store_.write(texts::kViewSection, texts::kMinMaxAvgSum, flagText(false));
    for (int i = 0; i < kColumnSwitchCount; ++i) {
        store_.write(texts::kViewSection, texts::kColumnSwitchNames[static_cast<std::size_t>(i)],
                     flagText(columns[static_cast<std::size_t>(i)]));
    }
    store_.write(texts::kViewSection, texts::kViewStyle, std::to_string(ViewStyle));
    store_.write(texts::kViewSection, texts::kCardsCategoryType, std::to_string(static_cast<int>(CardsCategoryType)));
    const float positions[] = {Positon1, Positon2, Positon3};
    for (std::size_t i = 0; i < 3; ++i) {
        store_.write(texts::kViewSection, texts::kPositionNames[i], vb::SingleText(positions[i]));
    }
}

}  // namespace kq::viewer
