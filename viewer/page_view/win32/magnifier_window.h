#pragma once
// The round loupe that follows the pointer while the left button is held on
// the page view: the page around the pointer enlarged under the translucent
// lens picture. It takes neither the mouse nor the activation; the page view
// moves it and closes it.

#include "common/win32/windows_api.h"

#include <optional>

#include "common/form_layout.h"
#include "common/win32/handles.h"
#include "common/win32/buffered_paint_window.h"

namespace kq::viewer::win32 {

// What the loupe enlarges.
struct LoupeSource {
    HBITMAP page = nullptr;  // the page at its natural size; none shows the lens alone
    SIZE pixels{};           // the bitmap's size
    double width = 0;        // the page's natural size, twips
    double height = 0;
    COLORREF background = RGB(255, 255, 255);  // beside the page
};

class frmZoom final : public kq::win32::BufferedPaintWindow {
public:
    explicit frmZoom(Twips screen);

    // The round window, hidden, owned by `owner`; false when it cannot be made.
    bool create(HWND owner);
    // Draws the part of `page` under the pointer at (x, y), twips of the view
    // from the page's top-left corner at the view's scale `zoom`, centres the
    // loupe on `cursor` (screen pixels) and shows it.
    void SetPosition(double x, double y, double zoom, const LoupeSource& page, POINT cursor);
    SIZE pixels() const { return size_; }

protected:
    bool OnCreate(const CREATESTRUCTW&) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    HBITMAP keptPicture(const RECT& client) override;

private:
    void draw(double x, double y, double zoom, const LoupeSource& page);

    Twips screen_;
    SIZE size_{};
    kq::win32::Bitmap lens_;     // the lens picture at the loupe's size
    kq::win32::Bitmap surface_;  // what the loupe shows, kept between moves
};

}  // namespace kq::viewer::win32
