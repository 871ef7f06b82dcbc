#pragma once
// The main window's model: the reload of the history folder into cards, the
// file list of the selected card, the page shown, the toolbar's grouping and
// style, the page keys and the layout. The window forwards its input here and
// afterwards draws the cards, the list, the page and the layout as they stand.
//
// Each command is a sequence of steps (common/step_sequence.h). The walks
// over many files (the reload, a card's list, a search, a delete) are long
// work: the window's thread goes on with its messages meanwhile, and the
// steps after them follow once they are done, in the order the synchronous
// calls would have taken. Commands given meanwhile wait their turn.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/history_folder.h"
#include "common/prompts.h"
#include "common/settings_store.h"
#include "common/signal.h"
#include "common/step_sequence.h"
#include "common/text_codec.h"
#include "viewer/file_list/file_list.h"
#include "viewer/properties/history_properties.h"
#include "viewer/cards/history_scan.h"
#include "viewer/main_window/layout.h"
#include "viewer/page_view/page_view.h"
#include "viewer/cards/card_bar.h"
#include "viewer/start/command_line.h"
#include "viewer/main_window/popup_menus.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

// The main toolbar's buttons, in order; "ID2" and "ID3" are hidden but shown
// pressed while their grouping is in force.
enum class ToolbarButton { ID1, ID2, ID3, ID4, STYLE1, STYLE2 };
inline constexpr int kToolbarButtons = 6;

struct BrowserServices {
    FileSystem& files;
    const AnsiCodec& codec;
    Prompts& prompts;
    SettingsStore& store;
    // For the settings' history folder when the command line named none.
    HistoryFolderServices folder;
    // Used by long work only, one piece at a time.
    TextWidths& widths;
    // The search in force, asked whenever a list is built; none (or an empty
    // filter) lets every history through. The filter runs in long work.
    std::function<SearchFilter()> search{};
    // The order the list sorts its texts in: the system's under Windows. It
    // runs in long work too.
    TextOrder order = compareIgnoringCase;
    // Where long work runs: here, at once, when null.
    WorkRunner* work = nullptr;
};

// What the window draws in the page view.
struct PageDrawing {
    enum class Kind { cross, nothing, page };
    Kind kind = Kind::cross;
    PageFit fit;  // for a page
};

class HistoryBrowser final {
public:
    HistoryBrowser(BrowserServices services, c_Setting_View& view, StartValues& start, CardMetrics metrics = {},
                   const LayoutDesign& design = {});

    // The window's start: the first reload, the list and the page.
    void load();

    // Steps queued or long work under way: what comes from outside waits.
    bool busy() const { return steps_.busy(); }
    // Long work under way: the cards and the list are being replaced.
    bool working() const { return steps_.working(); }
    // The commands not yet done are dropped and the work under way stops
    // early; nothing of it is shown. For the window's end.
    void cancelWork() { steps_.cancel(); }
    // Long work starts: the window shows the browser as it stands meanwhile.
    Signal<>& workStarts() { return steps_.workStarts; }
    // The last step of the commands given has run.
    Signal<>& settled() { return steps_.done; }
    // A card was chosen and shown: the file list is to take the focus.
    Signal<> listFocus;

    const CardBar& cards() const { return cards_; }
    const FileList& list() const { return list_; }
    // A new list was built, not merely sorted: a window shows its own columns.
    Signal<> listBuilt;
    const LoadedPage& page() const { return page_; }
    // How often a page was loaded (or none): a window redraws the page when this moves.
    std::size_t pageLoads() const { return pageLoads_; }
    // What loads the pages; a view may read the shown history's other pages
    // through it ahead of a turn.
    PageReader& pageReader() { return pageReader_; }
    MainLayout& layout() { return layout_; }
    int currentPage() const { return currentPage_; }

    // The card bar's mouse: a release over a card selects and shows it. True
    // for the right button (the card's menu follows).
    bool cardReleased(std::size_t position, MouseButton button) { return cards_.release(position, button); }
    void scrollCards(std::int64_t value) { cards_.setScrollValue(value); }
    // The card bar's inner size and its scroll bar's width (twips).
    void resizeCards(double innerWidth, double innerHeight, double scrollBarWidth) {
        cards_.resize(innerWidth, innerHeight, scrollBarWidth);
    }

    // The list's selection as the user left it; the current row is the one
    // with the focus.
    void setListSelection(std::set<std::size_t> rows, std::optional<std::size_t> current);
    const std::set<std::size_t>& selectedRows() const { return selectedRows_; }
    std::optional<std::size_t> currentRow() const { return currentRow_; }
    // A row clicked: its first page.
    void itemClick(std::size_t row);
    // Sorts the list by that column; the selected histories stay selected
    // and the current one current, wherever the sort puts them.
    void columnClick(std::size_t column);

    // The history of the list's current row; none without one, and none on a
    // row that stands for no history ("なし", "検索結果なし").
    std::optional<std::string> currentHistory() const;
    // The file list's menu: delete needs a current history; properties and
    // export need one and no other row selected.
    PopupMenu fileMenu() const;
    PopupMenu columnMenu() const { return viewer::columnMenu(view_); }
    const c_Setting_View& viewSetting() const { return view_; }
    // A choice of the column chooser: that column shown or hidden, the list
    // rebuilt and its first history shown.
    void columnChosen(int id);
    // The Delete key and the file menu's delete: asks, deletes the selected
    // rows' histories for good, and shows the folder anew. Histories that
    // could not be deleted are named in one message and stay listed.
    void DeleteSelectedFiles();
    // The card menu's delete: asks twice, then deletes every history of the
    // card at `position` in the same way. When the card is gone the one that
    // takes its place is selected.
    void deleteCardHistories(std::size_t position);
    // The card menu's properties: the card's histories are read as long
    // work, then `show` gets the rows.
    void cardProperties(std::size_t position, std::function<void(const PropertyRows&)> show);
    // Ctrl+A: every row selected, the current one's first page shown.
    void selectAll();

    // Toolbar.
    bool buttonVisible(ToolbarButton button) const;
    bool buttonPressed(ToolbarButton button) const;
    void toolbarClick(ToolbarButton button);

    // The page buttons and the Left and Right keys: the previous or next page
    // when its button is enabled.
    void previousPage();
    void nextPage();

    // F5 and a card that went away: everything anew, keeping the card and the
    // history that were selected.
    void RefreshKeepingSelection();

    // A line that a later start of the viewer handed over: everything anew,
    // keeping the selection, then the card the line asks for under the
    // grouping in force, when there is one and it is not the selected one.
    // The view settings and the folder stay as they are.
    void CallCommand(std::string_view strCommand);

    // The page view of the given inner size (twips), the page's natural size
    // given by the window from the metafile's frame (none when it cannot be
    // read). Keeps the scale for the magnifier.
    PageDrawing drawing(double viewWidth, double viewHeight, std::optional<std::pair<double, double>> natural);
    double viewScale() const { return viewScale_; }

    // A search started or ended: showSearching() puts "検索中" in the list's
    // place while the window paints it; searchChanged() then rebuilds the
    // list under the search in force and shows its first history.
    void showSearching();
    void searchChanged();

    // The steps the commands are made of.
    void ReloadHistoryFolder();
    void RefreshFileList();
    // Loads the page of `row`, or with none the list's only selected row.
    void LoadHistoryPage(std::optional<std::size_t> row = std::nullopt);

private:
    // What a list is built from, but for the search.
    struct ListInputs {
        std::optional<std::vector<std::string>> files;  // of the selected card; none without one
        std::array<bool, kColumnSwitchCount> columns{};
        friend bool operator==(const ListInputs&, const ListInputs&) = default;
    };

    void then(std::function<void()> step) { steps_.then(std::move(step)); }
    void SelectCard(std::size_t position);
    void selectCardShown(std::size_t position);
    void chooseCard(std::string remembered);
    void takeList(FileList list, ListInputs inputs);
    void selectFirstRow();
    void loadPage(std::optional<std::size_t> row);
    void reportNotDeleted(const std::vector<std::string>& kept);
    std::string historyFolder();

    BrowserServices s_;
    c_Setting_View& view_;
    StartValues& start_;
    WorkHere workHere_;
    StepSequence steps_;
    Connection onSettled_;
    CardBar cards_;
    Connection onCardChosen_;
    Connection onCardRemoved_;
    FileList list_;
    // The list last built, while the command that built it runs: the same
    // list asked for again by that command is not read again.
    std::optional<ListInputs> builtThisCommand_;
    MainLayout layout_;
    std::set<std::size_t> selectedRows_;
    std::optional<std::size_t> currentRow_;
    PageReader pageReader_{s_.files, s_.codec};
    LoadedPage page_;
    std::size_t pageLoads_ = 0;
    int currentPage_ = 1;
    double viewScale_ = 0;
};

}  // namespace kq::viewer
