#include "viewer/main_window/win32/history_keys.h"

namespace kq::viewer::win32 {

HistoryKeys::HistoryKeys(HWND window, HistoryBrowser& browser, HistoryPanes& panes, HistoryMenus& menus,
                         std::function<void()> help)
    : browser_(browser), panes_(panes), menus_(menus), help_(std::move(help)),
      keys_(window, [this](const MSG& key) { return preview(key); }) {}

bool HistoryKeys::preview(const MSG& key) {
    if (key.message != WM_KEYDOWN) return false;
    if (key.hwnd == panes_.list()->list()) {
        const bool onlyCtrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
        switch (key.wParam) {
            // The page keys turn pages, never the list's selection.
            case VK_LEFT: browser_.previousPage(); return true;
            case VK_RIGHT: browser_.nextPage(); return true;
            case VK_DELETE: menus_.deleteSelected(); return true;
            case 'A':
                if (!onlyCtrl) break;
                browser_.selectAll();
                return true;
            default: break;
        }
    }
    switch (key.wParam) {
        case VK_F1:
            help_();
            return true;
        case VK_F5:
            if (browser_.busy()) {
                refreshAsked_ = true;
            } else {
                browser_.RefreshKeepingSelection();
            }
            return true;
        default:
            return false;
    }
}

bool HistoryKeys::refreshWaiting() {
    if (!refreshAsked_) return false;
    refreshAsked_ = false;
    browser_.RefreshKeepingSelection();
    return true;
}

}  // namespace kq::viewer::win32
