#include "addin/dialogs/titles_model.h"

#include <algorithm>
#include <utility>

namespace kq::addin::dialogs {

using namespace titles_design;

TitlesModel::TitlesModel(SheetContext context, TextBoxWithListModel::Services listServices)
    : context_(std::move(context)), listServices_(std::move(listServices)) {
    append();
    ArrangeTitles();
}

TitleModel* TitlesModel::Item(int i) {
    if (i < 1 || i > TitleCount()) return nullptr;
    return rows_[static_cast<std::size_t>(i - 1)].get();
}

void TitlesModel::TitleSetFocus(int i) {
    if (i < 1 || i > TitleCount()) return;
    focusRow(static_cast<std::size_t>(i - 1));
}

void TitlesModel::append() {
    const std::size_t k = rows_.size();
    auto row = std::make_unique<TitleModel>(context_, listServices_);
    rowLinks_.push_back({row->Change.connect([this, k] {
                             ArrangeTitles();
                             Change(static_cast<int>(k));
                         }),
                         row->StartRangeLink.connect([this] { parentVisible(false); }),
                         row->EndRangeLink.connect([this] { parentVisible(true); })});
    rows_.push_back(std::move(row));
    rowAdded(k);
}

void TitlesModel::destroyLast() {
    const std::size_t k = rows_.size() - 1;
    rowRemoving(k);
    rows_.pop_back();
    rowLinks_.pop_back();
}

void TitlesModel::TitleCount(int n) {
    const int wanted = std::min(n, kMaxRows);
    while (TitleCount() < wanted) append();
    while (TitleCount() > std::max(wanted, 1)) destroyLast();
    if (wanted <= 0) {
        rows_[0]->TitleText("");
        rows_[0]->ValueText("");
    }
    ArrangeTitles();
}

void TitlesModel::copy(std::size_t from, std::size_t to) {
    TitleModel& a = *rows_[from];
    TitleModel& b = *rows_[to];
    b.TitleText(a.TitleText());
    b.ValueText(a.ValueText());
    b.CellLinkValueType(a.CellLinkValueType());
}

void TitlesModel::swap(std::size_t a, std::size_t b) {
    TitleModel& first = *rows_[a];
    const std::string title = first.TitleText();
    const std::string value = first.ValueText();
    const std::int32_t type = first.CellLinkValueType();
    copy(b, a);
    TitleModel& second = *rows_[b];
    second.TitleText(title);
    second.ValueText(value);
    second.CellLinkValueType(type);
}

void TitlesModel::rowCommand(RowCommand command, std::size_t k) {
    if (k >= rows_.size()) return;
    switch (command) {
        case RowCommand::up:
            if (k == 0) {
                if (context_.prompts) context_.prompts->beep();
                return;
            }
            swap(k, k - 1);
            return;
        case RowCommand::down:
            if (k + 1 >= rows_.size()) {
                if (context_.prompts) context_.prompts->beep();
                return;
            }
            swap(k, k + 1);
            return;
        case RowCommand::insert:
            append();
            for (std::size_t j = rows_.size() - 1; j > k; --j) copy(j - 1, j);
            rows_[k]->TitleText("");
            rows_[k]->ValueText("");
            rows_[k]->CellLinkValueType(0);
            ArrangeTitles();
            return;
        case RowCommand::remove:
            // The deleted title is remembered as the row goes, as any row's is.
            rows_[k]->titleBox().CheckAndSaveTextToList();
            if (k == 0) {
                // Row 0 stays; it is only emptied, its value type kept.
                rows_[0]->TitleText("");
                rows_[0]->ValueText("");
            } else {
                for (std::size_t j = k; j + 1 < rows_.size(); ++j) copy(j + 1, j);
                destroyLast();
            }
            ArrangeTitles();
            return;
    }
}

void TitlesModel::add() {
    if (TitleCount() >= kMaxRows) return;
    append();
    ArrangeTitles();
    if (panelHeight() > innerHeight_) scrollTo(scrollMax_);
    focusRow(rows_.size() - 1);
}

void TitlesModel::resized(int innerHeight) {
    innerHeight_ = innerHeight;
    ArrangeTitles();
}

void TitlesModel::scrollTo(int value) {
    scrollValue_ = std::clamp(value, 0, scrollMax_);
    arranged();
}

void TitlesModel::ArrangeTitles() {
    if (innerHeight_ >= panelHeight()) {
        scrollMax_ = 0;
    } else {
        scrollMax_ = (panelHeight() - innerHeight_ + kRowPitch - 1) / kRowPitch;
    }
    scrollValue_ = std::min(scrollValue_, scrollMax_);
    arranged();
}

}  // namespace kq::addin::dialogs
