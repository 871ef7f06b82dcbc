#include "addin/dialogs/win32/titles_win32.h"

#include <stdexcept>
#include <string>

#include "addin/core/texts.h"
#include "common/win32/form_window.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;
using namespace titles_design;

constexpr wchar_t kClass[] = L"KqTitles";
// A toolbar button, in pixels: room for a 10 x 10 image and its frame.
constexpr int kToolSize = 18;
constexpr int kLabelHeight = 240;

std::string_view tipOf(RowCommand command) {
    switch (command) {
        case RowCommand::up: return texts::kToolUp;
        case RowCommand::down: return texts::kToolDown;
        case RowCommand::insert: return texts::kToolInsert;
        case RowCommand::remove: return texts::kToolDelete;
    }
    return {};
}

Glyph glyphOf(RowCommand command) {
    switch (command) {
        case RowCommand::up: return Glyph::up;
        case RowCommand::down: return Glyph::down;
        case RowCommand::insert: return Glyph::insert;
        case RowCommand::remove: return Glyph::remove;
    }
    return Glyph::up;
}

}  // namespace

int u_Titles::naturalWidth() {
    // A toolbar is as wide as its buttons and 2 pixels.
    return screenTwips().x(kLabelWidth + kRowWidth) + static_cast<int>(kRowCommands.size()) * kToolSize + 2 +
           GetSystemMetrics(SM_CXVSCROLL);
}

HWND u_Titles::create(HWND parent, const RECT& rect, HFONT font, int id) {
    font_ = font;
    id_ = id;
    return createCompoundControl(*this, parent, {.windowClass = kClass, .rect = rect, .id = id});
}

bool u_Titles::OnCreate(const CREATESTRUCTW& cs) {
    const Twips t = screenTwips();
    panel_ = kq::win32::createPanel(hwnd(), {0, 0, cs.cx, cs.cy}, id_ + titles_ids::kPanel);
    if (!panel_) return false;
    scroll_ = kq::win32::createChild(hwnd(), {.windowClass = L"SCROLLBAR",
                                              .style = WS_VISIBLE | SBS_VERT,
                                              .rect = {cs.cx - GetSystemMetrics(SM_CXVSCROLL), 0, cs.cx, cs.cy},
                                              .id = id_ + titles_ids::kScroll});
    add_ = createGlyphButton(panel(), id_ + titles_ids::kAdd, Glyph::add, pixelRect(t, {0, 0, kAddWidth, kAddHeight}),
                             wide(texts::kToolAdd), true);
    if (!scroll_ || !add_) return false;
    SendMessageW(add_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    tips_.emplace(hwnd());
    for (std::size_t k = 0; k < static_cast<std::size_t>(model_.TitleCount()); ++k) addRow(k);

    onModel_[0] = model_.rowAdded.connect([this](std::size_t k) { addRow(k); });
    onModel_[1] = model_.rowRemoving.connect([this](std::size_t k) { removeRow(k); });
    onModel_[2] = model_.arranged.connect([this] { layOut(); });
    onModel_[3] = model_.focusRow.connect([this](std::size_t k) {
        if (k < rows_.size()) rows_[k]->title->focusTitle();
    });
    OnSize(SIZE_RESTORED, cs.cx, cs.cy);
    return true;
}

void u_Titles::addRow(std::size_t k) {
    const Twips t = screenTwips();
    // Ids past the 16 bits a notification carries wrap round; the list tells its controls apart by handle.
    const int rowId = id_ + titles_ids::kFirstRow + static_cast<int>(k) * titles_ids::kRowIds;
    auto windows = std::make_unique<RowWindows>();
    windows->label.reset(kq::win32::createChild(panel(), {.windowClass = L"STATIC",
                                                          .text = std::to_wstring(k + 1),
                                                          .style = WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                                          .rect = pixelRect(t, {0, 0, kLabelWidth, kLabelHeight}),
                                                          .id = rowId + titles_ids::kLabel,
                                                          .font = font_}));
    windows->title = std::make_unique<u_Title>(model_.row(k));
    bool made = windows->label && windows->title->create(panel(), {t.x(kLabelWidth), 0}, font_, rowId);
    for (std::size_t c = 0; c < kRowCommands.size(); ++c) {
        windows->tools[c].reset(createGlyphButton(panel(), rowId + titles_ids::kFirstTool + static_cast<int>(c),
                                                  glyphOf(kRowCommands[c]), {0, 0, kToolSize, kToolSize}));
        made = made && windows->tools[c];
        tips_->add(windows->tools[c].get(), tipOf(kRowCommands[c]));
    }
    // A row added at the user's command fails as that command; one of the first, as the list's creation.
    if (!made) throw std::runtime_error("a heading row could not be made");
    rows_.push_back(std::move(windows));
}

void u_Titles::removeRow(std::size_t k) {
    if (k < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(k));
}

bool u_Titles::OnSize(UINT, int width, int height) {
    width_ = width;
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(scroll_, width - scrollWidth, 0, scrollWidth, height, TRUE);
    model_.resized(screenTwips().fromY(height));
    return true;
}

void u_Titles::layOut() {
    const Twips t = screenTwips();
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        RowWindows& row = *rows_[k];
        const int top = model_.rowTop(k);
        MoveWindow(row.label.get(), 0, t.y(top + kLabelOffset), t.x(kLabelWidth), t.y(kLabelHeight), TRUE);
        MoveWindow(row.title->hwnd(), t.x(kLabelWidth), t.y(top), t.x(kRowWidth), t.y(kRowHeight), TRUE);
        const int toolsLeft = t.x(kLabelWidth + kRowWidth);
        for (std::size_t c = 0; c < kRowCommands.size(); ++c) {
            MoveWindow(row.tools[c].get(), toolsLeft + static_cast<int>(c) * kToolSize, t.y(top) + 1, kToolSize,
                       kToolSize, TRUE);
        }
        EnableWindow(row.tools[0].get(), model_.upEnabled(k));
        EnableWindow(row.tools[1].get(), model_.downEnabled(k));
    }
    MoveWindow(add_, 0, t.y(model_.addTop()), t.x(kAddWidth), t.y(kAddHeight), TRUE);
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(panel(), 0, t.y(model_.panelTop()), width_ - scrollWidth, t.y(model_.panelHeight()), TRUE);

    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = model_.scrollMax();
    info.nPage = 1;
    info.nPos = model_.scrollValue();
    SetScrollInfo(scroll_, SB_CTL, &info, TRUE);
    EnableWindow(scroll_, model_.scrollEnabled());
}

bool u_Titles::OnCommand(int, UINT code, HWND control) {
    if (code != BN_CLICKED) return true;
    if (control == add_) {
        model_.add();
        return true;
    }
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        for (std::size_t c = 0; c < kRowCommands.size(); ++c) {
            if (rows_[k]->tools[c].get() != control) continue;
            // The command may remove this very row: nothing of it is touched afterwards.
            model_.rowCommand(kRowCommands[c], k);
            return true;
        }
    }
    return true;
}

void u_Titles::scrolled(WORD request) {
    int value = model_.scrollValue();
    switch (request) {
        case SB_LINEUP:
        case SB_PAGEUP:
            --value;
            break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            ++value;
            break;
        case SB_TOP:
            value = 0;
            break;
        case SB_BOTTOM:
            value = model_.scrollMax();
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_TRACKPOS;
            GetScrollInfo(scroll_, SB_CTL, &info);
            value = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    model_.scrollTo(value);
}

std::optional<LRESULT> u_Titles::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_VSCROLL && reinterpret_cast<HWND>(lParam) == scroll_) {
        scrolled(LOWORD(wParam));
        return 0;
    }
    if (msg == WM_DRAWITEM && drawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
    return std::nullopt;
}

}  // namespace kq::addin::dialogs::win32
