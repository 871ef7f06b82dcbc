#pragma once
// The cell-range picker as a child window: a one-line box with a "..."
// button inside its right end.

#include "common/win32/windows_api.h"

#include "addin/dialogs/win32/box_with_button_win32.h"
#include "addin/dialogs/xl_range_text_model.h"
#include "common/win32/handles.h"

namespace kq::addin::dialogs::win32 {

class u_XlRangeText final : public BoxWithButton {
public:
    // The model outlives the window.
    explicit u_XlRangeText(XlRangeTextModel& model);

    void SetForcus() const { focusBox(); }

private:
    HWND createButton(int id) override;
    std::string boxText() const override { return model_.Text(); }
    void showState() override;
    void edited(const std::string& text) override { model_.edited(text); }
    void buttonClicked() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    XlRangeTextModel& model_;
    kq::win32::Brush back_;
};

}  // namespace kq::addin::dialogs::win32
