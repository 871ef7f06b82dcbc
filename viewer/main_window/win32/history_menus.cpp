#include "viewer/main_window/win32/history_menus.h"

#include "common/win32/control_kit.h"
#include "viewer/export/win32/export_dialog_window.h"
#include "viewer/main_window/popup_menus.h"
#include "viewer/properties/win32/history_properties_window.h"
#include "viewer/properties/win32/property_window.h"

namespace kq::viewer::win32 {

HistoryMenus::HistoryMenus(HWND window, HistoryBrowser& browser, HistoryPanes& panes, FileSystem& files,
                           Prompts& prompts, std::function<void()> help)
    : window_(window), browser_(browser), files_(files), prompts_(prompts), help_(std::move(help)),
      onFileMenu_(panes.list()->fileMenuAsked.connect([this] { fileMenu(); })),
      onColumnMenu_(panes.list()->columnMenuAsked.connect([this] { columnMenu(); })),
      onCardMenu_(panes.cards().cardMenuAsked.connect([this](std::size_t position) { cardMenu(position); })) {}

int HistoryMenus::showAtPointer(const PopupMenu& menu) {
    POINT at{};
    GetCursorPos(&at);
    return kq::win32::showMenu(window_, at, menu);
}

void HistoryMenus::fileMenu() {
    switch (showAtPointer(browser_.fileMenu())) {
        case kMenuDelete:
            if (!browser_.currentHistory()) prompts_.beep();
            deleteSelected();
            return;
        case kMenuProperties:
            if (const auto path = browser_.currentHistory()) {
                showHistoryProperties(window_, *path, {.files = &files_, .help = help_});
            }
            return;
        case kMenuExport:
            if (const auto path = browser_.currentHistory()) showExportDialog(window_, *path, {.files = &files_});
            return;
        default: return;
    }
}

void HistoryMenus::columnMenu() {
    const int id = showAtPointer(browser_.columnMenu());
    if (id == kMenuNone) return;
    browser_.columnChosen(id);
}

void HistoryMenus::cardMenu(std::size_t position) {
    switch (showAtPointer(viewer::cardMenu())) {
        case kMenuDelete:
            browser_.deleteCardHistories(position);
            return;
        case kMenuProperties:
            browser_.cardProperties(position,
                                    [this](const PropertyRows& rows) { showPropertyList(window_, rows, help_); });
            return;
        default: return;
    }
}

void HistoryMenus::deleteSelected() {
    if (!browser_.currentHistory()) return;
    browser_.DeleteSelectedFiles();
}

}  // namespace kq::viewer::win32
