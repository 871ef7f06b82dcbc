#pragma once
// The card bar: the cards stacked top to bottom in a container that scrolls
// by 1000 twips a unit, one card selected, and the placeholder shown while
// there is no card. Positions count from 1; position 0 is the placeholder.
// Cards are found by their key only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/prompts.h"
#include "common/signal.h"
#include "viewer/cards/card.h"

namespace kq::viewer {

enum class MouseButton { left, right, middle };

class CardBar {
public:
    // `prompts` tells of a removal of a card the bar does not have.
    explicit CardBar(CardMetrics metrics = {}, Prompts* prompts = nullptr);

    // A card was chosen: by a mouse release on it (also when it was selected
    // already) or by the selection moving after a removal; 0 is the placeholder.
    Signal<std::size_t> cardChosen;
    // A card went away (signalled after the choice the removal made).
    Signal<> cardRemoved;

    std::size_t Count() const { return cards_.size(); }
    // The selected card's position, 0 when none is selected.
    std::size_t selectedPosition() const { return selected_ <= cards_.size() ? selected_ : 0; }
    const Card* SelectedItem() const;
    // Position 0 is the placeholder; none for a position with no element.
    const Card* Item(std::size_t position) const;
    // The position of the first card with exactly this key, 0 for none.
    std::size_t find(std::string_view key) const;

    void Cls();
    // Fills the emptied bar with the cards of `made`, a bar filled by Add
    // and FilesAdd away from this one (with the same metrics): afterwards it
    // stands as if they had been added here, one after another.
    void takeCards(CardBar&& made);
    const CardMetrics& metrics() const { return metrics_; }
    // A new card at the end; its position.
    std::size_t Add(std::string key);
    // Removes the card at the position (its files are gone): later cards'
    // contents move up, the selection moves, SelectCard and RemoveCard follow.
    // For a position with no card: "err:index", and nothing changes (false).
    bool Remove(std::size_t position);

    // The files of a card. A card that loses its last file is removed.
    void FilesAdd(std::size_t position, std::string path, const std::string& bookPath, const std::string& bookName,
                  const std::string& sheetName, double printDate);
    void FilesRemove(std::size_t position, const std::vector<std::string>& paths);
    // Every file of the card goes, and the card with them.
    void FilesReset(std::size_t position);

    // Selects the card (0: the placeholder) and clears the others.
    void select(std::size_t position);
    // A mouse button released over the card: it is selected and reported.
    // True for the right button, after which the card's menu is shown.
    bool release(std::size_t position, MouseButton button);

    // Geometry, in twips inside the bar.
    void resize(double innerWidth, double innerHeight, double scrollBarWidth);
    Rect elementRect(std::size_t position) const;
    bool placeholderVisible() const { return cards_.empty(); }
    CardFace face(std::size_t position) const;
    double containerHeight() const { return containerHeight_; }
    double containerTop() const { return -static_cast<double>(scrollValue_) * kScrollUnit; }
    Rect scrollBarRect() const { return scrollBar_; }
    bool scrollEnabled() const { return scrollMax_ > 0; }
    std::int64_t scrollMax() const { return scrollMax_; }
    std::int64_t scrollValue() const { return scrollValue_; }
    void setScrollValue(std::int64_t value);

    static constexpr double kScrollUnit = 1000;

private:
    Card& element(std::size_t position) { return position == 0 ? placeholder_ : cards_[position - 1].card; }
    Rect& rectOf(std::size_t position) { return position == 0 ? placeholderRect_ : cards_[position - 1].rect; }
    void redrawn(std::size_t position);
    void followLastElement();
    void updateScrollBar();
    void reindex();

    struct Placed {
        Card card;
        Rect rect;
    };
    CardMetrics metrics_;
    Prompts* prompts_;
    Card placeholder_;
    Rect placeholderRect_;
    std::vector<Placed> cards_;
    std::unordered_map<std::string, std::size_t> byKey_;  // the first position of each key
    std::size_t selected_ = 0;
    double containerWidth_ = 0;
    double innerHeight_ = 0;
    double containerHeight_ = 0;
    Rect scrollBar_;
    std::int64_t scrollMax_ = 0;
    std::int64_t scrollValue_ = 0;
};

}  // namespace kq::viewer
