#include "viewer/cards/card_bar.h"

#include <cmath>

#include "viewer/texts.h"

namespace kq::viewer {

namespace {

constexpr double kMargin = 100;  // left and top of the first card, and the gap between cards

}  // namespace

CardBar::CardBar(CardMetrics metrics, Prompts* prompts)
    : metrics_(metrics), prompts_(prompts) {
    placeholderRect_ = {kMargin, kMargin, 0, placeholder_.height(metrics_)};
    followLastElement();
}

const Card* CardBar::SelectedItem() const {
    return selected_ >= 1 && selected_ <= cards_.size() ? &cards_[selected_ - 1].card : nullptr;
}

const Card* CardBar::Item(std::size_t position) const {
    if (position == 0) return &placeholder_;
    return position <= cards_.size() ? &cards_[position - 1].card : nullptr;
}

std::size_t CardBar::find(std::string_view key) const {
    const auto it = byKey_.find(std::string(key));
    return it == byKey_.end() ? 0 : it->second;
}

void CardBar::Cls() {
    // The selection stays as a position beyond the last card until the
    // bar's host selects a card of the new filling.
    cards_.clear();
    byKey_.clear();
}

void CardBar::takeCards(CardBar&& made) {
    if (made.cards_.empty()) return;
    cards_ = std::move(made.cards_);
    byKey_ = std::move(made.byKey_);
    made.Cls();
    // Widths as this bar's; the tops and heights were worked out by the same metrics.
    const double width = containerWidth_ - 2 * kMargin;
    if (width >= 0) {
        for (auto& placed : cards_) placed.rect.width = width;
    }
    // Adding one by one, the first card alone set the scroll bar's largest value first.
    containerHeight_ = cards_.front().rect.bottom() + kMargin;
    updateScrollBar();
    followLastElement();
    updateScrollBar();
}

std::size_t CardBar::Add(std::string key) {
    const Rect previous = cards_.empty() ? placeholderRect_ : cards_.back().rect;
    Placed placed;
    placed.rect = previous;
    if (!cards_.empty()) placed.rect.top = previous.bottom() + kMargin;
    placed.card.setKey(std::move(key));
    cards_.push_back(std::move(placed));
    byKey_.try_emplace(cards_.back().card.Key(), cards_.size());
    followLastElement();
    updateScrollBar();
    return cards_.size();
}

bool CardBar::Remove(std::size_t p) {
    if (p == 0 || p > cards_.size()) {
        if (prompts_) prompts_->message(texts::kBadCardIndex, texts::kTitle, mb::kOkOnly | mb::kIconCritical);
        return false;
    }
    const std::size_t last = cards_.size();
    // Cards keep their places and selection flags; the contents move up.
    for (std::size_t d = p + 1; d <= last; ++d) {
        cards_[d - 2].card.takeContentOf(std::move(cards_[d - 1].card));
        redrawn(d - 1);
    }
    cards_.pop_back();
    reindex();
    followLastElement();
    updateScrollBar();

    // The selection stays on its group, or on the place of the removed one.
    if (p == selected_) {
        select(p == last ? p - 1 : p);
    } else if (p < selected_) {
        select(selected_ - 1);
    }
    cardChosen(selected_);
    cardRemoved();
    return true;
}

void CardBar::FilesAdd(std::size_t position, std::string path, const std::string& bookPath, const std::string& bookName,
                       const std::string& sheetName, double printDate) {
    if (position == 0 || position > cards_.size()) return;
    cards_[position - 1].card.FilesAdd(std::move(path), bookPath, bookName, sheetName, printDate);
    redrawn(position);
}

void CardBar::FilesRemove(std::size_t position, const std::vector<std::string>& paths) {
    if (position == 0 || position > cards_.size()) return;
    const bool empty = cards_[position - 1].card.FilesRemove(paths);
    redrawn(position);
    if (empty) Remove(position);
}

void CardBar::FilesReset(std::size_t position) {
    if (position == 0 || position > cards_.size()) return;
    cards_[position - 1].card.FilesReset();
    redrawn(position);
    Remove(position);
}

void CardBar::select(std::size_t position) {
    if (position > cards_.size()) return;
    if (position == 0) {
        placeholder_.setSelected(true);
        for (auto& placed : cards_) placed.card.setSelected(false);
        selected_ = 0;
        return;
    }
    if (element(position).setSelected(true)) {
        selected_ = position;
        for (std::size_t i = 1; i <= cards_.size(); ++i) {
            if (i != position) cards_[i - 1].card.setSelected(false);
        }
    }
}

bool CardBar::release(std::size_t position, MouseButton button) {
    if (position == 0 || position > cards_.size()) return false;
    select(position);
    selected_ = position;
    cardChosen(position);
    return button == MouseButton::right;
}

void CardBar::resize(double innerWidth, double innerHeight, double scrollBarWidth) {
    containerWidth_ = innerWidth - scrollBarWidth;
    innerHeight_ = innerHeight;
    // A bar narrower than its margins leaves the widths as they were.
    const double width = containerWidth_ - 2 * kMargin;
    if (width >= 0) {
        placeholderRect_.width = width;
        for (auto& placed : cards_) placed.rect.width = width;
    }
    scrollBar_ = {innerWidth - scrollBarWidth, 0, scrollBarWidth, innerHeight};
    updateScrollBar();
}

Rect CardBar::elementRect(std::size_t position) const {
    if (position == 0) return placeholderRect_;
    return position <= cards_.size() ? cards_[position - 1].rect : Rect{};
}

CardFace CardBar::face(std::size_t position) const {
    const Card* card = Item(position);
    return card ? card->face(metrics_) : CardFace{};
}

void CardBar::setScrollValue(std::int64_t value) {
    scrollValue_ = value < 0 ? 0 : value > scrollMax_ ? scrollMax_ : value;
}

// A card sets its own height whenever it draws; the container follows the
// last element, whichever card changed. No other card moves.
void CardBar::redrawn(std::size_t position) {
    rectOf(position).height = element(position).height(metrics_);
    followLastElement();
}

void CardBar::followLastElement() {
    const Rect last = cards_.empty() ? placeholderRect_ : cards_.back().rect;
    containerHeight_ = last.bottom() + kMargin;
}

void CardBar::updateScrollBar() {
    if (containerHeight_ > innerHeight_) {
        // Rounded as the runtime rounds: halves to the even neighbour.
        scrollMax_ = static_cast<std::int64_t>(std::nearbyint((containerHeight_ - innerHeight_) / kScrollUnit + 1));
    } else {
        scrollMax_ = 0;
    }
    if (scrollValue_ > scrollMax_) scrollValue_ = scrollMax_;
}

void CardBar::reindex() {
    byKey_.clear();
    for (std::size_t i = 0; i < cards_.size(); ++i) byKey_.try_emplace(cards_[i].card.Key(), i + 1);
}

}  // namespace kq::viewer
