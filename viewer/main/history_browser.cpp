#include "viewer/main/history_browser.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "viewer/shell/setting.h"
#include "viewer/texts.h"

namespace kq::viewer {

HistoryBrowser::HistoryBrowser(BrowserServices services, c_Setting_View& view, StartValues& start, CardMetrics metrics,
                               const LayoutDesign& design)
    : s_(std::move(services)), view_(view), start_(start), cards_(this, metrics), layout_(view, design) {}

void HistoryBrowser::load() {
    currentPage_ = 1;
    ReloadHistoryFolder();
    RefreshFileList();
    LoadHistoryPage();
}

std::string HistoryBrowser::historyFolder() {
    std::string folder = start_.gSaveFolder;
    if (folder.empty()) folder = c_Setting(s_.store, s_.folder).SaveFolder();
    if (!folder.ends_with('\\')) folder += '\\';
    return folder;
}

void HistoryBrowser::ReloadHistoryFolder() {
    std::string remembered = cards_.SelectedItem() ? cards_.SelectedItem()->Key() : std::string{};
    cards_.Cls();
    const std::vector<FoundHistory> found = scanHistoryFolder(s_.files, historyFolder());
    makeCards(cards_, found, headerReader(s_.files, s_.codec), view_.CardsCategoryType);
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
    currentPage_ = 1;
    RefreshFileList();
    LoadHistoryPage();
}

void HistoryBrowser::RefreshFileList() {
    list_ =
        FileList::build(cards_.SelectedItem(), view_, listedHistoryReader(s_.files, s_.codec), s_.search, s_.widths);
    ++listBuilds_;
    selectedRows_.clear();
    currentRow_.reset();
    if (const std::optional<std::size_t> first = list_.firstRow()) {
        selectedRows_ = {*first};
        currentRow_ = first;
        itemClick(*first);
    }
}

void HistoryBrowser::showSearching() {
    list_.showSearching();
    selectedRows_.clear();
    currentRow_.reset();
}

void HistoryBrowser::searchChanged() {
    RefreshFileList();
    currentPage_ = 1;
    LoadHistoryPage();
}

void HistoryBrowser::setListSelection(std::set<std::size_t> rows, std::optional<std::size_t> current) {
    if (list_.placeholder() != FileList::Placeholder::none) return;
    std::erase_if(rows, [&](std::size_t row) { return row >= list_.rows().size(); });
    selectedRows_ = std::move(rows);
    currentRow_ = current && *current < list_.rows().size() ? current : std::nullopt;
}

void HistoryBrowser::columnClick(std::size_t column) {
    // Rows are renumbered by the sort: the selection goes by the histories' paths.
    std::set<std::string, std::less<>> selectedKeys;
    for (const std::size_t row : selectedRows_) selectedKeys.insert(list_.rows()[row].key);
    const std::string currentKey = currentRow_ ? list_.rows()[*currentRow_].key : std::string{};
    list_.columnClick(column);
    std::set<std::size_t> selected;
    std::optional<std::size_t> current;
    for (std::size_t row = 0; row < list_.rows().size(); ++row) {
        const std::string& key = list_.rows()[row].key;
        if (selectedKeys.contains(key)) selected.insert(row);
        if (currentRow_ && key == currentKey) current = row;
    }
    selectedRows_ = std::move(selected);
    currentRow_ = current;
}

void HistoryBrowser::itemClick(std::size_t row) {
    currentPage_ = 1;
    LoadHistoryPage(row);
}

void HistoryBrowser::LoadHistoryPage(std::optional<std::size_t> row) {
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
            view_.ViewStyle = button == ToolbarButton::STYLE1 ? kThreeColumns : kTwoColumns;
            layout_.relayout(view_.ViewStyle);
            return;
        default: break;
    }
    view_.CardsCategoryType = static_cast<Grouping>(static_cast<int>(button) + 1);
    ReloadHistoryFolder();
    RefreshFileList();
    currentPage_ = 1;
    LoadHistoryPage();
}

void HistoryBrowser::previousPage() {
    if (!page_.number.previousEnabled) return;
    --currentPage_;
    LoadHistoryPage();
}

void HistoryBrowser::nextPage() {
    if (!page_.number.nextEnabled) return;
    ++currentPage_;
    LoadHistoryPage();
}

void HistoryBrowser::RefreshKeepingSelection() {
    const std::string remembered =
        currentRow_ && list_.placeholder() == FileList::Placeholder::none ? list_.rows()[*currentRow_].key : "";
    ReloadHistoryFolder();
    RefreshFileList();
    LoadHistoryPage();
    selectedRows_.clear();
    currentRow_.reset();
    if (const std::optional<std::size_t> row = remembered.empty() ? std::nullopt : list_.rowOf(remembered)) {
        selectedRows_ = {*row};
        currentRow_ = row;
        itemClick(*row);
    }
}

void HistoryBrowser::CallCommand(std::string_view strCommand) {
    const ShowRequest request = readShowRequest(strCommand);
    RefreshKeepingSelection();
    const std::string key = requestedCardKey(request, view_.CardsCategoryType, s_.codec);
    const Card* selected = cards_.SelectedItem();
    if (key.empty() || !selected || selected->Key() == key) return;
    if (const std::size_t position = cards_.find(key); position != 0) selectCardShown(position);
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
    const auto which = static_cast<ColumnSwitch>(id);
    view_.setColumn(which, !view_.column(which));
    currentPage_ = 1;
    RefreshFileList();
    LoadHistoryPage();
}

void HistoryBrowser::DeleteSelectedFiles() {
    if (!currentHistory()) return;
    if (s_.prompts.message(texts::kAskDeleteSelected, texts::kTitle, mb::kYesNo | mb::kIconQuestion) != mb::kIdYes) {
        return;
    }
    std::vector<std::string> paths;
    for (auto row = selectedRows_.rbegin(); row != selectedRows_.rend(); ++row) {
        if (const std::string& key = list_.rows()[*row].key; !key.empty()) paths.push_back(key);
    }
    const std::vector<std::string> kept = deleteHistories(paths);
    ReloadHistoryFolder();
    RefreshFileList();
    currentPage_ = 1;
    LoadHistoryPage();
    reportNotDeleted(kept);
}

void HistoryBrowser::deleteCardHistories(std::size_t position) {
    const Card* card = cards_.Item(position);
    if (!card || position == 0) return;
    if (s_.prompts.message(texts::kAskDeleteCard, texts::kTitle,
                           mb::kOkCancel | mb::kIconQuestion | mb::kDefaultButton2) != mb::kIdOk ||
        s_.prompts.message(texts::kAskDeleteCardAgain, texts::kTitle,
                           mb::kYesNo | mb::kIconExclamation | mb::kDefaultButton2) != mb::kIdYes) {
        return;
    }
    // The card is only read here: the folder is shown anew once every file
    // is done, never from inside the card bar while it removes a card.
    const std::string key = card->Key();
    const std::vector<std::string> kept =
        deleteHistories(std::vector<std::string>(card->files().rbegin(), card->files().rend()));
    ReloadHistoryFolder();
    if (cards_.Count() == 0) {
        SelectCard(0);
    } else if (cards_.find(key) == 0) {
        selectCardShown(std::min(position, cards_.Count()));
    }
    reportNotDeleted(kept);
}

std::vector<std::string> HistoryBrowser::deleteHistories(const std::vector<std::string>& paths) {
    std::vector<std::string> kept;
    for (const std::string& path : paths) {
        // For good: a history is never moved to the recycle bin. One gone
        // already is as good as deleted.
        if (!s_.files.removeFile(path) && s_.files.kind(path) != PathKind::missing) kept.push_back(path);
    }
    return kept;
}

void HistoryBrowser::reportNotDeleted(const std::vector<std::string>& kept) {
    if (kept.empty()) return;
    std::string text = std::string(texts::kNotDeleted) + std::to_string(kept.size()) + std::string(texts::kNotDeletedCount);
    for (const std::string& path : kept) text.append("\r\n").append(path);
    s_.prompts.message(text, texts::kTitle, mb::kOkOnly | mb::kIconExclamation);
}

void HistoryBrowser::selectAll() {
    if (list_.placeholder() != FileList::Placeholder::none || list_.rows().empty()) return;
    std::set<std::size_t> all;
    for (std::size_t row = 0; row < list_.rows().size(); ++row) all.insert(row);
    selectedRows_ = std::move(all);
    if (!currentRow_) currentRow_ = 0;
    currentPage_ = 1;
    LoadHistoryPage(currentRow_);
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
