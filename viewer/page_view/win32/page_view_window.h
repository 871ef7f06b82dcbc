#pragma once
// The page view and the page panel under it. The view shows the page of the
// history chosen in the file list, scaled to fit and never enlarged, with
// its shadow and frame, or the red cross when there is none to show; the
// panel holds the page buttons, the page number and the history's comments
// and error lines. Holding the left button on the page shows it enlarged in
// the round loupe that follows the pointer until the button goes up.

#include "common/win32/windows_api.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/form_layout.h"
#include "common/signal.h"
#include "common/win32/buffered_paint_window.h"
#include "common/win32/handles.h"
#include "common/win32/message_loop.h"
#include "common/win32/window.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/page_view/win32/magnifier_window.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

// The page at its natural size, drawn once from the history's metafile when
// the page is loaded; every drawing of the view scales it from here.
class PageImage {
public:
    // Empty (the cross shows) when the bytes are no metafile or its frame is
    // empty or absurd.
    static PageImage draw(const std::vector<std::uint8_t>& metafile, const Twips& screen);

    bool empty() const { return !bitmap_; }
    // Twips, as the metafile's frame gives them.
    std::optional<std::pair<double, double>> naturalSize() const;
    HBITMAP bitmap() const { return bitmap_.get(); }
    SIZE pixels() const { return pixels_; }

private:
    kq::win32::Bitmap bitmap_;
    SIZE pixels_{};
    double naturalWidth_ = 0;
    double naturalHeight_ = 0;
};

// The page scaled into its place in the view (halftone), with its shadow
// along the right and bottom edges and its frame.
void drawPage(HDC dc, const PageFit& fit, const PageImage& image, const PictureList& shadow, const Twips& screen);

// The page shown and its neighbours, each drawn at its natural size and
// composed into a view with its shadow and frame. The neighbours are drawn
// ahead while the viewer is idle; a page is found again by the bytes it was
// drawn from, so a turn shows exactly what the bytes it read draw.
class PagePictures {
public:
    // `shadow` outlives the pictures.
    PagePictures(const PictureList& shadow, Twips screen) : shadow_(shadow), screen_(screen) {}

    // The page loaded, shown from now on: drawn ahead, or drawn now. Pages
    // drawn ahead that are not its neighbours go.
    void show(const LoadedPage& page);
    const PageImage& shown() const;
    // The view of `client` pixels with the page shown, composed once for
    // that size and kept; null when `drawing` shows no page or the system
    // has no room for the view.
    HBITMAP picture(SIZE client, const PageDrawing& drawing);
    // Draws one neighbour of the page shown ahead for a view of `client`
    // pixels, reading it through `reader`. False when none is left to draw.
    bool prepareAhead(PageReader& reader, SIZE client);

private:
    struct Picture {
        std::string path;
        int page = 0;
        std::vector<std::uint8_t> metafile;
        PageImage image;
        kq::win32::Bitmap view;
        SIZE viewSize{};
        PageFit fit;
    };
    void compose(Picture& picture, SIZE client, const PageFit& fit) const;
    void forgetOthers();

    const PictureList& shadow_;
    Twips screen_;
    std::vector<std::unique_ptr<Picture>> pictures_;
    Picture* shown_ = nullptr;
    // The history and page shown, and its page count: whose neighbours to draw ahead.
    std::string shownPath_;
    int shownPage_ = 0;
    int pageCount_ = 0;
    PageImage none_;
};

// Drawn aside and shown at once, so a splitter drag does not flicker.
class PageViewArea final : public kq::win32::BufferedPaintWindow {
public:
    // `pictures` outlives the view.
    PageViewArea(HistoryBrowser& browser, const ViewerPictures& pictures, Twips screen);

    bool create(HWND parent, int id);
    void place(const RECT& pixels);
    // The browser loaded another page (or none): drawn anew from it.
    void update();
    // The loupe goes, if it is shown; the main window closes it as it closes.
    void closeMagnifier();
    // The loupe while the left button is held on the page; null otherwise.
    HWND magnifier() const { return magnifier_ ? magnifier_->hwnd() : nullptr; }

protected:
    // The cross or nothing but the background, where no page is shown.
    void paint(HDC dc, const RECT& client) override;
    HBITMAP keptPicture(const RECT& client) override;
    bool OnMouseDown(kq::win32::MouseButton button, POINT at, UINT keys) override;
    bool OnMouseMove(POINT at, UINT keys) override;
    bool OnMouseUp(kq::win32::MouseButton button, POINT at, UINT keys) override;
    bool OnCaptureLost(HWND taker) override;
    void OnDestroy() override;

private:
    // What the view shows at its size now.
    PageDrawing drawing();
    // The loupe redrawn for the pointer at `at` (client pixels); closed
    // when the page it enlarges is no longer shown.
    void moveMagnifier(POINT at);

    // One neighbour of the page shown drawn ahead when the thread is idle,
    // after the page or the view's size changed.
    void prepareAhead();

    HistoryBrowser& browser_;
    Twips screen_;
    PagePictures pages_;
    kq::win32::IdleTask ahead_;
    std::unique_ptr<frmZoom> magnifier_;
};

class PagePanel final : public kq::win32::Window {
public:
    // `pictures` and `font` outlive the panel.
    PagePanel(HistoryBrowser& browser, const ViewerPictures& pictures, HFONT font, Twips screen);

    bool create(HWND parent, int id);
    // The panel and its controls where the layout has them.
    void place(const RECT& pixels, const WindowLayout& layout);
    // The page number, the buttons' states and the texts of the page loaded.
    void update();

    HWND pageButtons() const { return buttons_; }
    HWND pageNumber() const { return number_; }
    HWND commentLabel() const { return commentLabel_; }
    HWND comments() const { return comments_; }
    HWND errorLabel() const { return errorLabel_; }
    HWND errors() const { return errors_; }

    // A page button turned the page.
    Signal<BrowserChange> changed;

protected:
    bool OnCommand(int id, UINT code, HWND control) override;

private:
    // The caption's width in pixels in the panel's font.
    int captionWidth(HWND label) const;

    HistoryBrowser& browser_;
    const ViewerPictures& pictures_;
    HFONT font_;
    Twips screen_;
    HWND buttons_ = nullptr;
    HWND number_ = nullptr;
    HWND commentLabel_ = nullptr;
    HWND comments_ = nullptr;
    HWND errorLabel_ = nullptr;
    HWND errors_ = nullptr;
};

}  // namespace kq::viewer::win32
