#pragma once
// The cell-range picker as a child window: a one-line box with a "..."
// button inside its right end.

#include "common/win32/windows_api.h"

#include "addin/dialogs/xl_range_text_model.h"
#include "common/win32/handles.h"
#include "common/win32/subclass.h"
#include "common/win32/window.h"

namespace kq::addin::dialogs::win32 {

// The parts' ids follow the control's own.
namespace range_text_ids {
inline constexpr int kBox = 1;     // the control's id + 1
inline constexpr int kButton = 2;  // the control's id + 2
}  // namespace range_text_ids

class u_XlRangeText final : public kq::win32::Window {
public:
    // The model outlives the window.
    explicit u_XlRangeText(XlRangeTextModel& model) : model_(model) {}

    HWND create(HWND parent, const RECT& rect, HFONT font, int id);
    HWND box() const { return box_; }
    HWND button() const { return button_; }
    void SetForcus() const { SetFocus(box_); }

private:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void show();

    XlRangeTextModel& model_;
    Connection onShown_;
    HFONT font_ = nullptr;
    int id_ = 0;
    HWND box_ = nullptr;
    kq::win32::Subclass boxHook_;
    HWND button_ = nullptr;
    kq::win32::Brush back_;
    bool showing_ = false;
};

}  // namespace kq::addin::dialogs::win32
