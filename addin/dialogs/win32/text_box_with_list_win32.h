#pragma once
// The text box with remembered entries as a child window, and the editor of
// a remembered list as a modal dialog.

#include "common/win32/windows_api.h"

#include <string>

#include "addin/dialogs/list_editor_model.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "addin/dialogs/win32/box_with_button_win32.h"

namespace kq::addin::dialogs::win32 {

class u_TextBoxWithList final : public BoxWithButton {
public:
    // The model outlives the window.
    explicit u_TextBoxWithList(TextBoxWithListModel& model);

    // Runs when the focus has left the box and the box has taken its text.
    Signal<> left;

private:
    HWND createButton(int id) override;
    std::string boxText() const override { return model_.boxText(); }
    void edited(const std::string& text) override { model_.edited(text); }
    void focusLost() override;
    void buttonClicked() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    TextBoxWithListModel& model_;
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
