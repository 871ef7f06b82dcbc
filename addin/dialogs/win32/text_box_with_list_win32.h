#pragma once
// The text box with remembered entries as a child window, and the editor of
// a remembered list as a modal dialog.

#include "common/win32/windows_api.h"

#include <string>

#include "addin/dialogs/list_editor_model.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The parts' ids follow the control's own, so that every control of a
// dialog has an id of its own for a driver to find it by.
namespace text_box_ids {
inline constexpr int kBox = 1;     // the control's id + 1
inline constexpr int kButton = 2;  // the control's id + 2
}  // namespace text_box_ids

class u_TextBoxWithList final : public kq::win32::Window {
public:
    // The model outlives the window.
    explicit u_TextBoxWithList(TextBoxWithListModel& model) : model_(model) {}

    // Makes the control at `rect` (pixels of the parent's client area).
    HWND create(HWND parent, const RECT& rect, HFONT font, int id);
    HWND box() const { return box_; }
    HWND button() const { return button_; }
    void focusBox() const { SetFocus(box_); }

    // Runs when the focus has left the box and the box has taken its text.
    Signal<> left;

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void show();
    void dropDown();

    TextBoxWithListModel& model_;
    Connection onShown_;
    HFONT font_ = nullptr;
    int id_ = 0;
    HWND box_ = nullptr;
    kq::win32::Subclass boxHook_;
    HWND button_ = nullptr;
    bool showing_ = false;
};

namespace list_editor_ids {
inline constexpr int kList = 101;
inline constexpr int kUp = 102;
inline constexpr int kDown = 103;
inline constexpr int kDelete = 104;
}  // namespace list_editor_ids

// Shows the editor of the list modally, owned by `owner` (the dialog that
// holds the box). Gives true when the list was written.
bool frmForTextBoxWithList(HWND owner, SettingsStore& lists, Prompts& prompts, const std::string& saveRegKey);

}  // namespace kq::addin::dialogs::win32
