#pragma once
// A heading row as a child window: the title (a text box with remembered
// entries), the value box with its menu button, and the value-type list.

#include "common/win32/windows_api.h"

#include <memory>

#include "addin/dialogs/title_model.h"
#include "addin/dialogs/win32/text_box_with_list_win32.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The parts' ids follow the row's own: the row's id + these.
namespace title_ids {
inline constexpr int kTitle = 1;  // the title box's control; its box and button follow it
inline constexpr int kTitleBox = kTitle + 1;
inline constexpr int kTitleButton = kTitle + 2;
inline constexpr int kValue = 4;
inline constexpr int kValueButton = 5;
inline constexpr int kValueType = 6;
}  // namespace title_ids

// The row's design size, which it always takes: 4455 x 300 twips.
inline constexpr int kTitleWidth = 4455;
inline constexpr int kTitleHeight = 300;

class u_Title final : public kq::win32::Window {
public:
    // The model outlives the window.
    explicit u_Title(TitleModel& model) : model_(model) {}

    // Makes the row with its top-left corner at `at` (pixels of the parent).
    HWND create(HWND parent, POINT at, HFONT font, int id);
    void focusTitle() const;
    HWND titleBox() const { return titleBox_ ? titleBox_->box() : nullptr; }
    HWND valueBox() const { return value_; }
    HWND valueButton() const { return button_; }
    HWND valueType() const { return type_; }

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void show();

    TitleModel& model_;
    Connection onShown_;
    HFONT font_ = nullptr;
    int id_ = 0;
    std::unique_ptr<u_TextBoxWithList> titleBox_;
    Connection onTitleLeft_;
    HWND value_ = nullptr;
    kq::win32::Subclass valueHook_;
    HWND button_ = nullptr;
    HWND type_ = nullptr;
    kq::win32::Brush white_;
    bool showing_ = false;
};

}  // namespace kq::addin::dialogs::win32
