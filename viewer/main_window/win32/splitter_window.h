#pragma once
// One part of a splitter of the main window: a grip (its small picture) or a
// bar (the long strip that takes the mouse). The parts pass the mouse to the
// layout's splitter drag in twips relative to themselves; the bar holds the
// mouse while its button is down, so the drag goes on wherever the pointer
// goes, and a drag whose hold is taken away ends as a release does.

#include "common/win32/windows_api.h"

#include <optional>

#include "common/form_layout.h"
#include "common/signal.h"
#include "common/win32/window.h"
#include "viewer/main_window/layout.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

class SplitterPart final : public kq::win32::Window {
public:
    // `index` as the layout numbers the parts: even a grip, odd a bar.
    // `grip` holds a grip's picture and outlives the part.
    SplitterPart(int index, MainLayout& layout, const PictureList& grip, Twips twips);

    bool create(HWND parent, int id);
    void place(const RECT& pixels, bool visible);

    // A drag moved the panes: the layout ran a pass.
    Signal<BrowserChange> changed;

protected:
    bool OnPaint() override;
    bool OnMouseDown(kq::win32::MouseButton button, POINT at, UINT keys) override;
    bool OnMouseMove(POINT at, UINT keys) override;
    bool OnMouseUp(kq::win32::MouseButton button, POINT at, UINT keys) override;
    bool OnCaptureLost(HWND taker) override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool isGrip() const { return index_ % 2 == 0; }
    double xTwips(POINT at) const;
    double yTwips(POINT at) const;
    void passRan(bool ran);

    int index_;
    MainLayout& layout_;
    const PictureList& grip_;
    Twips twips_;
};

}  // namespace kq::viewer::win32
