#include "viewer/main_window/history_browser.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "viewer/main_window/setting.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

struct Deletion {
    std::vector<std::string> deleted;
    std::vector<std::string> kept;
};

// For good: a history is never moved to the recycle bin. One gone already is
// as good as deleted. What the user confirmed is deleted to the end, also
// when the window is closed meanwhile.
Deletion deleteHistories(FileSystem& files, const std::vector<std::string>& paths) {
    Deletion done;
    for (const std::string& path : paths) {
        if (files.removeFile(path) || files.kind(path) == PathKind::missing) {
            done.deleted.push_back(path);
        } else {
            done.kept.push_back(path);
        }
    }
    return done;
}

}  // namespace

HistoryBrowser::HistoryBrowser(BrowserServices services, c_Setting_View& view, StartValues& start, CardMetrics metrics,
                               const LayoutDesign& design)
    : s_(std::move(services)), view_(view), start_(start), steps_(s_.work ? *s_.work : workHere_),
      onSettled_(steps_.done.connect([this] { builtThisCommand_.reset(); })), cards_(metrics, &s_.prompts),
      onCardChosen_(cards_.cardChosen.connect([this](std::size_t position) { SelectCard(position); })),
      onCardRemoved_(cards_.cardRemoved.connect([this] { RefreshKeepingSelection(); })),
      layout_(view, design) {}

void HistoryBrowser::load() {
    then([this] {
        currentPage_ = 1;
        ReloadHistoryFolder();
        RefreshFileList();
        LoadHistoryPage();
    });
}

std::string HistoryBrowser::historyFolder() {
    std::string folder = start_.gSaveFolder;
    if (folder.empty()) folder = c_Setting(s_.store, s_.folder).SaveFolder();
    if (!folder.ends_with('\\')) folder += '\\';
    return folder;
}

void HistoryBrowser::ReloadHistoryFolder() {
    then([this] {
        std::string remembered = cards_.SelectedItem() ? cards_.SelectedItem()->Key() : std::string{};
        // Asked here: the settings' folder may be created, or a message shown.
        const std::string folder = historyFolder();
        steps_.work<CardBar>(
            [&files = s_.files, &codec = s_.codec, folder, grouping = view_.CardsCategoryType,
             metrics = cards_.metrics()](std::stop_token stop) {
                return readHistoryFolder(files, codec, folder, grouping, metrics, stop);
            },
            [this, remembered = std::move(remembered)](CardBar made) mutable {
                cards_.Cls();
                cards_.takeCards(std::move(made));
                chooseCard(std::move(remembered));
            });
    });
}

void HistoryBrowser::chooseCard(std::string remembered) {
    // A requested card is honoured once; one that no card has still
    // discards the remembered card.
    if (!start_.gShowCardKey.empty()) {
        remembered = cards_.find(start_.gShowCardKey) != 0 ? start_.gShowCardKey : std::string{};
        start_.gShowCardKey.clear();
    }
    const std::size_t chosen = remembered.empty() ? 0 : cards_.find(remembered);
    if (chosen != 0) {
        selectCardShown(chosen);
    } else if (cards_.Count() > 0) {
        selectCardShown(1);
    }
}

void HistoryBrowser::selectCardShown(std::size_t position) {
    cards_.select(position);
    SelectCard(position);
}

void HistoryBrowser::SelectCard(std::size_t) {
    then([this] {
        currentPage_ = 1;
        RefreshFileList();
        LoadHistoryPage();
        then([this] { listFocus(); });
    });
}

void HistoryBrowser::RefreshFileList() {
    then([this] {
        const Card* selected = cards_.SelectedItem();
        ListInputs inputs{selected ? std::optional(selected->files()) : std::nullopt, view_.columns};
        if (builtThisCommand_ == inputs) {
            selectFirstRow();
            return;
        }
        std::optional<Card> card = selected ? std::optional<Card>(*selected) : std::nullopt;
        SearchFilter search = s_.search ? s_.search() : SearchFilter{};
        steps_.work<FileList>(
            [card = std::move(card), settings = static_cast<const ViewSettings&>(view_), search = std::move(search),
             &files = s_.files, &codec = s_.codec, &widths = s_.widths, order = s_.order](std::stop_token stop) {
                const ListedHistoryReader read = listedHistoryReader(files, codec);
                // Once stopped, every history is passed over unread.
                const SearchFilter passes = [&](const std::string& path) {
                    return !stop.stop_requested() && (!search || search(path));
                };
                return FileList::build(card ? &*card : nullptr, settings, read, passes, widths, order);
            },
            [this, inputs = std::move(inputs)](FileList list) mutable { takeList(std::move(list), std::move(inputs)); });
    });
}

void HistoryBrowser::takeList(FileList list, ListInputs inputs) {
    list_ = std::move(list);
    builtThisCommand_ = std::move(inputs);
    listBuilt();
    selectFirstRow();
}

void HistoryBrowser::selectFirstRow() {
    selectedRows_.clear();
    currentRow_.reset();
    if (const std::optional<std::size_t> first = list_.firstRow()) {
        selectedRows_ = {*first};
        currentRow_ = first;
        itemClick(*first);
    }
}

void HistoryBrowser::showSearching() {
    then([this] {
        builtThisCommand_.reset();
        list_.showSearching();
        selectedRows_.clear();
        currentRow_.reset();
    });
}

void HistoryBrowser::searchChanged() {
    then([this] {
        builtThisCommand_.reset();
        RefreshFileList();
        then([this] { currentPage_ = 1; });
        LoadHistoryPage();
    });
}

void HistoryBrowser::setListSelection(std::set<std::size_t> rows, std::optional<std::size_t> current) {
    if (list_.placeholder() != FileList::Placeholder::none) return;
    std::erase_if(rows, [&](std::size_t row) { return row >= list_.rows().size(); });
    selectedRows_ = std::move(rows);
    currentRow_ = current && *current < list_.rows().size() ? current : std::nullopt;
}

void HistoryBrowser::columnClick(std::size_t column) {
    then([this, column] {
        // The list is only read while the new order is worked out: nothing
        // changes it before this command's next step.
        steps_.work<std::optional<FileList::Sorting>>(
            [&list = list_, column, order = s_.order](std::stop_token) { return list.sortingFor(column, order); },
            [this](std::optional<FileList::Sorting> sorting) {
                if (!sorting) return;
                // Rows are renumbered by the sort: the selection stays on the same histories.
                std::set<std::size_t> selected;
                std::optional<std::size_t> current;
                for (std::size_t place = 0; place < sorting->rows.size(); ++place) {
                    const std::size_t row = sorting->rows[place];
                    if (selectedRows_.contains(row)) selected.insert(place);
                    if (currentRow_ == row) current = place;
                }
                list_.sortAs(std::move(*sorting));
                selectedRows_ = std::move(selected);
                currentRow_ = current;
            });
    });
}

void HistoryBrowser::itemClick(std::size_t row) {
    then([this, row] {
        currentPage_ = 1;
        loadPage(row);
    });
}

void HistoryBrowser::LoadHistoryPage(std::optional<std::size_t> row) {
    then([this, row] { loadPage(row); });
}

void HistoryBrowser::loadPage(std::optional<std::size_t> row) {
    ++pageLoads_;
    const PageNumber shown = greyed(page_.number);
    page_ = LoadedPage{};
    page_.number = shown;
    // The panel is laid out again on every path, so that it always stands at
    // the bottom with the height of what it shows.
    layout_.setPagePanel(false, false);
    if (!row) {
        // Only a single selected row is shown.
        if (selectedRows_.size() == 1) row = *selectedRows_.begin();
    }
    if (row) {
        const std::string path = *row < list_.rows().size() ? list_.rows()[*row].key : std::string{};
        page_ = pageReader_.load(path, currentPage_);
        if (!page_.loaded) page_.number = shown;
        if (!page_.loaded && (path.empty() || s_.files.kind(path) != PathKind::file)) s_.prompts.beep();
        if (page_.number.current != 0) currentPage_ = page_.number.current;
        layout_.setPagePanel(!page_.comments.empty(), !page_.errors.empty());
    }
    layout_.relayout();
}

bool HistoryBrowser::buttonVisible(ToolbarButton button) const {
    return button != ToolbarButton::ID2 && button != ToolbarButton::ID3;
}

bool HistoryBrowser::buttonPressed(ToolbarButton button) const {
    switch (button) {
        case ToolbarButton::ID1: return view_.CardsCategoryType == Grouping::all;
        case ToolbarButton::ID2: return view_.CardsCategoryType == Grouping::sheet;
        case ToolbarButton::ID3: return view_.CardsCategoryType == Grouping::version;
        case ToolbarButton::ID4: return view_.CardsCategoryType == Grouping::category;
        case ToolbarButton::STYLE1: return view_.ViewStyle == kThreeColumns;
        case ToolbarButton::STYLE2: return view_.ViewStyle == kTwoColumns;
    }
    return false;
}

void HistoryBrowser::toolbarClick(ToolbarButton button) {
    switch (button) {
        case ToolbarButton::STYLE1:
        case ToolbarButton::STYLE2:
            // Only the panes move: nothing waits for the work under way.
            view_.ViewStyle = button == ToolbarButton::STYLE1 ? kThreeColumns : kTwoColumns;
            layout_.relayout(view_.ViewStyle);
            return;
        default: break;
    }
    then([this, button] {
        view_.CardsCategoryType = static_cast<Grouping>(static_cast<int>(button) + 1);
        ReloadHistoryFolder();
        RefreshFileList();
        then([this] { currentPage_ = 1; });
        LoadHistoryPage();
    });
}

void HistoryBrowser::previousPage() {
    then([this] {
        if (!page_.number.previousEnabled) return;
        --currentPage_;
        loadPage(std::nullopt);
    });
}

void HistoryBrowser::nextPage() {
    then([this] {
        if (!page_.number.nextEnabled) return;
        ++currentPage_;
        loadPage(std::nullopt);
    });
}

void HistoryBrowser::RefreshKeepingSelection() {
    then([this] {
        std::string remembered =
            currentRow_ && list_.placeholder() == FileList::Placeholder::none ? list_.rows()[*currentRow_].key : "";
        ReloadHistoryFolder();
        RefreshFileList();
        LoadHistoryPage();
        then([this, remembered = std::move(remembered)] {
            selectedRows_.clear();
            currentRow_.reset();
            if (const std::optional<std::size_t> row = remembered.empty() ? std::nullopt : list_.rowOf(remembered)) {
                selectedRows_ = {*row};
                currentRow_ = row;
                itemClick(*row);
            }
        });
    });
}

void HistoryBrowser::CallCommand(std::string_view strCommand) {
    then([this, request = readShowRequest(strCommand)] {
        RefreshKeepingSelection();
        then([this, request] {
            const std::string key = requestedCardKey(request, view_.CardsCategoryType, s_.codec);
            const Card* selected = cards_.SelectedItem();
            if (key.empty() || !selected || selected->Key() == key) return;
            if (const std::size_t position = cards_.find(key); position != 0) selectCardShown(position);
        });
    });
}

std::optional<std::string> HistoryBrowser::currentHistory() const {
    if (!currentRow_ || list_.placeholder() != FileList::Placeholder::none) return std::nullopt;
    const std::string& key = list_.rows()[*currentRow_].key;
    if (key.empty()) return std::nullopt;
    return key;
}

PopupMenu HistoryBrowser::fileMenu() const {
    const bool current = currentHistory().has_value();
    const bool single = current && selectedRows_.size() <= 1;
    return viewer::fileMenu({current, single, single});
}

void HistoryBrowser::columnChosen(int id) {
    if (id < 1 || id > kColumnSwitchCount) return;
    then([this, id] {
        const auto which = static_cast<ColumnSwitch>(id);
        view_.setColumn(which, !view_.column(which));
        currentPage_ = 1;
        RefreshFileList();
        LoadHistoryPage();
    });
}

void HistoryBrowser::DeleteSelectedFiles() {
    then([this] {
        if (!currentHistory()) return;
        if (s_.prompts.message(texts::kAskDeleteSelected, texts::kTitle, mb::kYesNo | mb::kIconQuestion) !=
            mb::kIdYes) {
            return;
        }
        std::vector<std::string> paths;
        for (auto row = selectedRows_.rbegin(); row != selectedRows_.rend(); ++row) {
            if (const std::string& key = list_.rows()[*row].key; !key.empty()) paths.push_back(key);
        }
        steps_.work<Deletion>(
            [&files = s_.files, paths = std::move(paths)](std::stop_token) { return deleteHistories(files, paths); },
            [this](Deletion done) {
                ReloadHistoryFolder();
                RefreshFileList();
                then([this] { currentPage_ = 1; });
                LoadHistoryPage();
                // Named once the folder is shown anew.
                then([this, kept = std::move(done.kept)] { reportNotDeleted(kept); });
            });
    });
}

void HistoryBrowser::deleteCardHistories(std::size_t position) {
    then([this, position] {
        const Card* card = cards_.Item(position);
        if (!card || position == 0) return;
        if (s_.prompts.message(texts::kAskDeleteCard, texts::kTitle,
                               mb::kOkCancel | mb::kIconQuestion | mb::kDefaultButton2) != mb::kIdOk ||
            s_.prompts.message(texts::kAskDeleteCardAgain, texts::kTitle,
                               mb::kYesNo | mb::kIconExclamation | mb::kDefaultButton2) != mb::kIdYes) {
            return;
        }
        std::vector<std::string> paths(card->files().rbegin(), card->files().rend());
        steps_.work<Deletion>(
            [&files = s_.files, paths = std::move(paths)](std::stop_token) { return deleteHistories(files, paths); },
            [this, position, key = card->Key()](Deletion done) {
                // The bar was held while the files went: the card stands where it stood.
                const Card* still = cards_.Item(position);
                const std::size_t at = still && still->Key() == key ? position : cards_.find(key);
                if (done.kept.empty()) {
                    // The card goes: the bar selects and shows the card in its place, then the folder anew.
                    cards_.FilesReset(at);
                } else {
                    cards_.FilesRemove(at, done.deleted);
                    RefreshKeepingSelection();
                }
                then([this, kept = std::move(done.kept)] { reportNotDeleted(kept); });
            });
    });
}

void HistoryBrowser::reportNotDeleted(const std::vector<std::string>& kept) {
    if (kept.empty()) return;
    std::string text = std::string(texts::kNotDeleted) + std::to_string(kept.size()) + std::string(texts::kNotDeletedCount);
    for (const std::string& path : kept) text.append("\r\n").append(path);
    s_.prompts.message(text, texts::kTitle, mb::kOkOnly | mb::kIconExclamation);
}

void HistoryBrowser::cardProperties(std::size_t position, std::function<void(const PropertyRows&)> show) {
    then([this, position, show = std::move(show)] {
        const Card* card = cards_.Item(position);
        if (!card || position == 0) return;
        steps_.work<PropertyRows>(
            [card = *card, &files = s_.files, &codec = s_.codec](std::stop_token) {
                return cardPropertyRows(card, headerReader(files, codec));
            },
            [show](PropertyRows rows) { show(rows); });
    });
}

void HistoryBrowser::selectAll() {
    then([this] {
        if (list_.placeholder() != FileList::Placeholder::none || list_.rows().empty()) return;
        std::set<std::size_t> all;
        for (std::size_t row = 0; row < list_.rows().size(); ++row) all.emplace_hint(all.end(), row);
        selectedRows_ = std::move(all);
        if (!currentRow_) currentRow_ = 0;
        currentPage_ = 1;
        loadPage(currentRow_);
    });
}

PageDrawing HistoryBrowser::drawing(double viewWidth, double viewHeight,
                                    std::optional<std::pair<double, double>> natural) {
    if (!page_.loaded || page_.metafile.empty() || !natural) return {};
    const std::optional<PageFit> fit = fitPage(natural->first, natural->second, viewWidth, viewHeight);
    if (!fit) {
        // An absurd frame cannot be drawn; a view too small draws nothing.
        const bool sound = natural->first > 0 && natural->second > 0;
        return {sound ? PageDrawing::Kind::nothing : PageDrawing::Kind::cross, {}};
    }
    viewScale_ = fit->scale;
    return {PageDrawing::Kind::page, *fit};
}

}  // namespace kq::viewer
