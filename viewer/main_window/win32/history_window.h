#pragma once
// The viewer's main window, the frame of its parts: the panes and their
// places (history_panes.h), the context menus (history_menus.h), the keys
// (history_keys.h), the search (viewer/search/win32/search_bar.h) and what
// waits for the window to be idle (waiting_commands.h). It opens on the
// run's values (over the spreadsheet's window when that still stands), runs
// the browser's long work on a thread of its own, and writes the view
// settings back when it goes or the session ends.
//
// While long work (a reload, a card's list, a search, a delete) runs, the
// window keeps answering, shows the working-in-background pointer, and holds
// the cards, the list, the page buttons and the groupings back until the
// work is done. A close, F5 and a line of a later start that come meanwhile
// are carried out then.

#include "common/win32/windows_api.h"

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
#include "common/win32/message_prompts.h"
#include "common/win32/window.h"
#include "common/win32/work_thread.h"
#include "viewer/main_window/history_browser.h"
#include "viewer/main_window/win32/history_keys.h"
#include "viewer/main_window/win32/history_menus.h"
#include "viewer/main_window/win32/history_panes.h"
#include "viewer/main_window/win32/pictures.h"
#include "viewer/main_window/win32/waiting_commands.h"
#include "viewer/search/win32/search_bar.h"
#include "viewer/start/viewer_run.h"

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
    bool handOver(std::string line) { return waiting_.handOver(std::move(line)); }
    // Carries a handed-over line out now: the window restored when
    // minimized, shown anew with the card the line asks for, and in front.
    void CallCommand(std::string_view strCommand);

    HistoryBrowser& browser() { return *browser_; }
    HWND mainToolbar() const { return panes_ && panes_->mainStrip() ? panes_->mainStrip()->toolbar() : nullptr; }
    HWND filterBox() const { return panes_ && panes_->filterStrip() ? panes_->filterStrip()->box() : nullptr; }
    HWND filterButton() const { return panes_ && panes_->filterStrip() ? panes_->filterStrip()->button() : nullptr; }
    const SearchBox& search() const { return search_.box(); }
    HWND splitterPart(int index) const { return panes_->splitter(index).hwnd(); }
    HWND fileList() const { return panes_ && panes_->list() ? panes_->list()->list() : nullptr; }
    PageViewArea& pageView() { return panes_->viewArea(); }
    PagePanel& pagePanel() { return panes_->pagePanel(); }
    CardBarWindow& cardBar() { return panes_->cards(); }

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
    bool makeParts();
    void startClosing();
    // The browser's commands so far, shown while long work runs or once they are done.
    void workStarts();
    void workSettled();
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;
    bool placeOverHost();
    void saveViewSettings();

    ViewerRun& run_;
    Twips twips_;
    FileSystem& files_;
    std::function<void()> help_;
    // The help a test gave; the property windows otherwise run the viewer's own.
    std::function<void()> givenHelp_;
    kq::win32::Win32KnownFolders knownFolders_;
    kq::win32::WindowPrompts prompts_{*this};
    kq::win32::Font font_;
    kq::win32::Icon bigIcon_;
    kq::win32::Icon smallIcon_;
    std::optional<ViewerPictures> pictures_;
    std::unique_ptr<TextWidths> widths_;
    // Gone after the browser and before what its work uses.
    WorkHere workHere_;
    std::optional<kq::win32::WorkThread> workThread_;
    WorkRunner* work_;
    // Before the browser, whose lists ask it for the filter.
    SearchBar search_;
    std::optional<HistoryBrowser> browser_;
    // The parts over the browser, gone before it.
    std::optional<HistoryPanes> panes_;
    std::optional<HistoryMenus> menus_;
    std::optional<HistoryKeys> keys_;
    Connection onWorkStarts_;
    Connection onSettled_;
    Connection onListFocus_;
    WaitingCommands waiting_{[this] { return browser_ && browser_->busy(); }, this};
    Connection onLineDue_;
    Connection onCloseDue_;
    bool closingStarted_ = false;
    bool settingsSaved_ = false;
};

}  // namespace kq::viewer::win32
