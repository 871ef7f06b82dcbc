#include "common/win32/control_kit.h"

#include <algorithm>
#include <vector>

#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/window.h"
#include "common/win32/window_text.h"

namespace kq::win32 {

namespace {

// Popups go into the menu that holds them and are destroyed with it.
bool appendItems(HMENU menu, const PopupMenu& items) {
    for (const MenuItem& item : items) {
        const UINT state = (item.grayed ? MF_GRAYED | MF_DISABLED : 0) | (item.checked ? MF_CHECKED : 0);
        switch (item.kind) {
            case MenuItem::Kind::separator:
                if (!AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) return false;
                break;
            case MenuItem::Kind::command:
                if (!AppendMenuW(menu, MF_STRING | state, static_cast<UINT_PTR>(item.id), wide(item.text).c_str())) {
                    return false;
                }
                break;
            case MenuItem::Kind::popup: {
                Menu submenu(CreatePopupMenu());
                if (!submenu || !appendItems(submenu.get(), item.items)) return false;
                if (!AppendMenuW(menu, MF_POPUP | state, reinterpret_cast<UINT_PTR>(submenu.get()),
                                 wide(item.text).c_str())) {
                    return false;
                }
                submenu.release();
                break;
            }
        }
    }
    return true;
}

void fillPolygon(HDC dc, std::initializer_list<POINT> points, COLORREF colour) {
    const Brush brush(CreateSolidBrush(colour));
    const Pen pen(CreatePen(PS_SOLID, 1, colour));
    const Selection useBrush = selectObject(dc, brush.get());
    const Selection usePen = selectObject(dc, pen.get());
    const std::vector<POINT> corners(points);
    Polygon(dc, corners.data(), static_cast<int>(corners.size()));
}

void line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width = 1) {
    const Pen pen(CreatePen(PS_SOLID, width, colour));
    const Selection usePen = selectObject(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void drawGlyph(HDC dc, Glyph glyph, int cx, int cy, COLORREF ink) {
    switch (glyph) {
        case Glyph::dropDown:
            fillPolygon(dc, {{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}}, ink);
            return;
        case Glyph::up:
            fillPolygon(dc, {{cx, cy - 3}, {cx + 4, cy + 2}, {cx - 4, cy + 2}}, ink);
            return;
        case Glyph::down:
            fillPolygon(dc, {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 3}}, ink);
            return;
        case Glyph::insert:
            line(dc, cx - 4, cy - 3, cx + 5, cy - 3, ink);
            line(dc, cx, cy - 1, cx, cy + 5, ink, 2);
            line(dc, cx - 3, cy + 2, cx + 4, cy + 2, ink, 2);
            return;
        case Glyph::remove:
            line(dc, cx - 3, cy - 3, cx + 4, cy + 4, ink, 2);
            line(dc, cx + 3, cy - 3, cx - 4, cy + 4, ink, 2);
            return;
        case Glyph::add:
            line(dc, cx, cy - 4, cx, cy + 5, ink, 2);
            line(dc, cx - 4, cy, cx + 5, cy, ink, 2);
            return;
    }
}

}  // namespace

COLORREF oleColour(std::uint32_t colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

Menu buildMenu(const PopupMenu& items) {
    Menu menu(CreatePopupMenu());
    if (!menu || !appendItems(menu.get(), items)) return Menu();
    return menu;
}

int showMenu(HWND owner, POINT at, const PopupMenu& items, UINT alignment) {
    const Menu menu = buildMenu(items);
    if (!menu) return 0;
    // Owned by the top-level window: a menu owned by another program's window
    // would not show at all.
    const HWND root = GetAncestor(owner, GA_ROOT);
    return static_cast<int>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | alignment, at.x, at.y, 0, root, nullptr));
}

int trackMenu(HWND button, const PopupMenu& items) {
    RECT r{};
    GetWindowRect(button, &r);
    return showMenu(button, {r.right, r.bottom}, items, TPM_RIGHTALIGN | TPM_TOPALIGN);
}

HWND createGlyphButton(HWND parent, int id, Glyph glyph, const RECT& rect, std::wstring_view caption, bool tabStop) {
    const HWND button = createChild(parent, {.windowClass = L"BUTTON",
                                             .text = std::wstring(caption),
                                             .style = static_cast<DWORD>(WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0)),
                                             .rect = rect,
                                             .id = id});
    // The button class leaves its user data to the program: it tells the glyph.
    if (button) SetWindowLongPtrW(button, GWLP_USERDATA, static_cast<LONG_PTR>(glyph) + 1);
    return button;
}

bool drawGlyphButton(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON) return false;
    const LONG_PTR tag = GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA);
    if (tag < 1 || tag > static_cast<LONG_PTR>(Glyph::add) + 1) return false;
    const auto glyph = static_cast<Glyph>(tag - 1);
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT r = item.rcItem;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const COLORREF ink = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    const int shift = pushed ? 1 : 0;
    const std::wstring caption = wide(windowText(item.hwndItem));
    if (caption.empty()) {
        drawGlyph(item.hDC, glyph, (r.left + r.right) / 2 + shift, (r.top + r.bottom) / 2 + shift, ink);
    } else {
        const int glyphX = r.left + 10 + shift;
        drawGlyph(item.hDC, glyph, glyphX, (r.top + r.bottom) / 2 + shift, ink);
        RECT text{glyphX + 8, r.top + shift, r.right - 2, r.bottom + shift};
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
        const Selection useFont = selectObject(item.hDC, font);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, ink);
        DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}

HWND createCompoundControl(Window& control, HWND parent, const CompoundControl& args) {
    return control.create({.name = args.windowClass, .background = args.background},
                          {.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                           .exStyle = WS_EX_CONTROLPARENT | args.exStyle,
                           .x = args.rect.left,
                           .y = args.rect.top,
                           .width = args.rect.right - args.rect.left,
                           .height = args.rect.bottom - args.rect.top,
                           .owner = parent,
                           .id = args.id});
}

HWND createTextBox(HWND parent, int id, const RECT& rect, HFONT font, Subclass& hook, DWORD extraStyle) {
    const HWND edit = createChild(parent, {.windowClass = L"EDIT",
                                           .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | extraStyle,
                                           .exStyle = WS_EX_CLIENTEDGE,
                                           .rect = rect,
                                           .id = id,
                                           .font = font});
    hook.attach(edit, [](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_CONTEXTMENU) return 0;
        return std::nullopt;
    });
    return edit;
}

Tooltips::Tooltips(HWND owner)
    : window_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, thisModule(),
                              nullptr)) {}

void Tooltips::add(HWND tool, std::string_view text) {
    if (!window_ || !tool) return;
    std::wstring tip = wide(text);
    TOOLINFOW info{};
    // The size older common controls know, which newer ones take as well.
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = tip.data();
    SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

}  // namespace kq::win32
