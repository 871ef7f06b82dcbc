#pragma once
// The viewer's main window: the main toolbar over the cards on the left, the
// filter strip over the file list, the page view over the page panel, and the
// three splitters between them. It opens on the run's values (over the
// spreadsheet's window when that still stands), answers F1 and F5 wherever the
// focus is inside it, and writes the view settings back when it goes or the
// session ends.
//
// The browser's long work (a reload, a card's list, a search, a delete) runs
// on a thread of the window's own: the window keeps answering, shows the
// working-in-background pointer, and holds the cards, the list, the page
// buttons and the groupings back until the work is done. A close, F5 and a
// line of a later start that come meanwhile are carried out then.

#include "common/win32/windows_api.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/form_layout.h"
#include "common/signal.h"
#include "common/step_sequence.h"
#include "common/win32/handles.h"
#include "common/win32/known_folders.h"
#include "common/win32/message_loop.h"
#include "common/win32/window.h"
#include "common/win32/work_thread.h"
#include "common/win32/win32_file_system.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/browser_pane.h"
#include "viewer/cards/win32/card_bar_window.h"
#include "viewer/file_list/win32/file_list_window.h"
#include "viewer/properties/win32/history_properties_window.h"
#include "viewer/page_view/win32/page_view_window.h"
#include "viewer/main_window/win32/splitter_window.h"
#include "viewer/main_window/win32/toolbar_window.h"
#include "viewer/start/viewer_run.h"
#include "viewer/main_window/win32/pictures.h"

namespace kq::viewer::win32 {

// What the window takes from the system; a test gives its own.
struct HistoryWindowServices {
    FileSystem* files = nullptr;   // the system's when null
    std::function<void()> help{};  // the viewer's help command when empty
    // Where the browser's long work runs: on a thread of the window's own
    // when null. A test that wants each command done before it returns
    // gives a WorkHere.
    WorkRunner* work = nullptr;
};

class HistoryWindow final : public kq::win32::Window, private Prompts {
public:
    explicit HistoryWindow(ViewerRun& run, HistoryWindowServices services = {});
    ~HistoryWindow() override;

    // Makes the window, loads the first history folder and shows it; false
    // when it could not be made.
    bool open();

    // A line a later start handed over: kept, the latest one in place of an
    // earlier one, and carried out once no menu, message, dialog, drag,
    // capture or command of the window is going on. False, refused, once the
    // window is closing or asked to close: that start opens its own window.
    bool handOver(std::string line);
    // Carries a handed-over line out now: the window restored when
    // minimized, shown anew with the card the line asks for, and in front.
    void CallCommand(std::string_view strCommand);

    HistoryBrowser& browser() { return *browser_; }
    HWND mainToolbar() const { return mainStrip_ ? mainStrip_->toolbar() : nullptr; }
    HWND filterBox() const { return filterStrip_ ? filterStrip_->box() : nullptr; }
    HWND filterButton() const { return filterStrip_ ? filterStrip_->button() : nullptr; }
    const SearchBox& search() const { return search_; }
    HWND splitterPart(int index) const { return splitters_[static_cast<std::size_t>(index)]->hwnd(); }
    HWND fileList() const { return list_ ? list_->list() : nullptr; }
    PageViewArea& pageView() { return *viewArea_; }
    PagePanel& pagePanel() { return *pagePanel_; }
    CardBarWindow& cardBar() { return *cards_; }

    // Once, as the window starts to go: later starts no longer hand their
    // lines to this copy.
    Signal<> closing;

protected:
    bool OnCreate(const CREATESTRUCTW&) override;
    bool OnSize(UINT kind, int width, int height) override;
    void OnDestroy() override;
    std::optional<LRESULT> OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnClose() override;

private:
    // Carries out a waiting close or line, once the browser's work is done.
    void runWaiting();
    void startClosing();

    void browserChanged(BrowserChange what);
    // The browser's commands so far, shown while long work runs or once they are done.
    void workStarts();
    void workSettled();
    // Greys what the work under way replaces, and shows the pointer of work in the background.
    void showWorking(bool working);
    void refreshPointer();
    void focusList();
    void fileMenu();
    void columnMenu();
    void cardMenu(std::size_t position);
    // The menu at the pointer as it stood when the menu was asked for.
    int showAtPointer(const PopupMenu& menu);
    void deleteSelected();
    PropertyServices propertyServices();
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;

    bool makeControls();
    LayoutDesign design() const;
    RECT pixels(const Rect& twips) const;
    void layoutPass();
    void applyLayout();
    // The page view and its panel draw the page the browser now holds.
    void updatePagePanes();
    void toolbarClicked(ToolbarButton button);
    void filterAction(FilterAction action);
    // "検索中" painted in the list, then the list rebuilt under the search in force.
    void searchAgain();
    bool keyPreviewed(const MSG& key);
    void activated(WPARAM state);
    bool placeOverHost();
    void saveViewSettings();

    ViewerRun& run_;
    Twips twips_;
    FileSystem& files_;
    std::function<void()> help_;
    // The help a test gave; the property windows otherwise run the viewer's
    // own, with its messages over them rather than over this window.
    std::function<void()> givenHelp_;
    kq::win32::Win32KnownFolders knownFolders_;
    kq::win32::Font font_;
    kq::win32::Icon bigIcon_;
    kq::win32::Icon smallIcon_;
    std::optional<ViewerPictures> pictures_;
    std::unique_ptr<TextWidths> widths_;
    // Gone after the browser and before what its work uses.
    WorkHere workHere_;
    std::optional<kq::win32::WorkThread> workThread_;
    WorkRunner* work_;
    // Before the browser, whose file list asks it.
    SearchBox search_;
    std::optional<HistoryBrowser> browser_;
    Connection onWorkStarts_;
    Connection onSettled_;
    Connection onListFocus_;
    std::size_t pageShown_ = 0;
    std::unique_ptr<MainToolbarStrip> mainStrip_;
    std::unique_ptr<FilterStrip> filterStrip_;
    std::array<std::unique_ptr<SplitterPart>, kSplitterParts> splitters_;
    std::unique_ptr<CardBarWindow> cards_;
    std::unique_ptr<FileListWindow> list_;
    std::unique_ptr<PagePanel> pagePanel_;
    std::unique_ptr<PageViewArea> viewArea_;
    // What the panes and strips signal; gone before them.
    Connection onToolbarClick_;
    Connection onFilterAction_;
    std::array<Connection, kSplitterParts> onSplitterMoved_;
    Connection onCardsChanged_;
    Connection onCardMenu_;
    Connection onListChanged_;
    Connection onFileMenu_;
    Connection onColumnMenu_;
    Connection onPageTurned_;
    std::optional<kq::win32::WindowKeys> keys_;
    bool workingShown_ = false;
    bool focusListWanted_ = false;
    bool refreshAsked_ = false;
    bool settingsSaved_ = false;
    std::optional<std::string> handedOver_;
    bool closeAsked_ = false;
    bool closingStarted_ = false;
    // A close or a line that waits runs when the thread is idle: no menu,
    // message, dialog, drag or command of the window is going on then.
    kq::win32::IdleTask waiting_{[this] { runWaiting(); }, this};
};

}  // namespace kq::viewer::win32
