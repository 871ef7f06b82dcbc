#pragma once
// The viewer's view settings: which columns the file list shows, the window
// style, the card grouping and the three splitter positions. Read from the
// settings store once, when the run first needs them, and written back once,
// when the main window goes (or the session ends).

#include <array>
#include <cstdint>

#include "common/settings_store.h"

namespace kq::viewer {

// The column switches, numbered as the column menu's ids.
enum class ColumnSwitch : int {
    DataTitle = 1,
    BookPath,
    BookName,
    SheetName,
    Category,
    ID1,
    ID2,
    ID3,
    Area,
    Version,
    OSVersion,
    ExcelVersion,
    ExcelUserName,
    PrinterName,
    PageImageCount,
    ShapesCount,
    CommentCount,
    ErrorCount,
    FileName,
    FileSize,
};
inline constexpr int kColumnSwitchCount = 20;

// ViewStyle values.
inline constexpr std::int16_t kThreeColumns = 0;
inline constexpr std::int16_t kTwoColumns = 1;

// CardsCategoryType values: how histories are grouped into cards.
enum class Grouping : std::int16_t { all = 1, sheet = 2, version = 3, category = 4 };

struct ViewSettings {
    // Has no effect on the display; always False and always stored as "0".
    bool MinMaxAvgSum = false;
    std::array<bool, kColumnSwitchCount> columns{true};  // DataTitle on, the rest off
    // Splitter positions in twips: left of splitters 1 and 2, top of splitter 3.
    float Positon1 = 3000;
    float Positon2 = 6000;
    float Positon3 = 2000;
    std::int16_t ViewStyle = kThreeColumns;
    Grouping CardsCategoryType = Grouping::sheet;

    bool column(ColumnSwitch which) const { return columns[static_cast<std::size_t>(which) - 1]; }
    void setColumn(ColumnSwitch which, bool on) { columns[static_cast<std::size_t>(which) - 1] = on; }
    friend bool operator==(const ViewSettings&, const ViewSettings&) = default;
};

class c_Setting_View : public ViewSettings {
public:
    // Reads the section "View"; missing or unreadable values take their defaults.
    explicit c_Setting_View(SettingsStore& store);

    // Writes every value of the section in its fixed order.
    void SaveViewSetting();

private:
    void LoadViewSetting();

    SettingsStore& store_;
};

}  // namespace kq::viewer
