#include "viewer/cards/card_bar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"

namespace kq::viewer {
namespace {

// What the bar signals, in order.
struct Recorder {
    explicit Recorder(CardBar& bar)
        : chosen(bar.cardChosen.connect(
              [this](std::size_t position) { events.push_back("SelectCard " + std::to_string(position)); })),
          removed(bar.cardRemoved.connect([this] { events.push_back("RemoveCard"); })) {}
    std::vector<std::string> events;
    Connection chosen;
    Connection removed;
};

// A bar with one file on each of the named cards.
struct World {
    explicit World(std::vector<std::string> keys) {
        for (const auto& key : keys) {
            const std::size_t p = bar.Add(key);
            bar.FilesAdd(p, std::string("C:\\H\\") + key + ".tvk", "F", std::string("Book ") + key,
                         std::string("Sheet ") + key, 40000);
        }
        bar.resize(3000, 5000, 255);
    }
    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        for (std::size_t p = 1; p <= bar.Count(); ++p) out.push_back(bar.Item(p)->Key());
        return out;
    }
    test::ScriptedPrompts prompts;
    CardBar bar{{}, &prompts};
    Recorder events{bar};
};

TEST(CardBar, EmptyBarShowsOnlyThePlaceholder) {
    CardBar bar;
    EXPECT_EQ(bar.Count(), 0u);
    EXPECT_EQ(bar.SelectedItem(), nullptr);
    EXPECT_TRUE(bar.placeholderVisible());
    EXPECT_EQ(bar.elementRect(0).left, 100);
    EXPECT_EQ(bar.elementRect(0).top, 100);
    EXPECT_NE(bar.Item(0), nullptr);  // the placeholder
    EXPECT_EQ(bar.Item(1), nullptr);
}

TEST(CardBar, CardsStackWithGapsFromThePlaceholdersPlace) {
    World w({"A", "B"});
    EXPECT_FALSE(w.bar.placeholderVisible());
    const Rect first = w.bar.elementRect(1);
    const Rect second = w.bar.elementRect(2);
    EXPECT_EQ(first.left, 100);
    EXPECT_EQ(first.top, 100);
    EXPECT_EQ(second.top, first.bottom() + 100);
    EXPECT_EQ(first.width, 3000 - 255 - 200);
    EXPECT_EQ(w.bar.containerHeight(), second.bottom() + 100);
    EXPECT_EQ(w.bar.scrollBarRect(), (Rect{3000 - 255, 0, 255, 5000}));
}

TEST(CardBar, CardsAreFoundByTheirExactKeyOnly) {
    World w({"ALL", "2", "1"});
    EXPECT_EQ(w.bar.find("ALL"), 1u);
    EXPECT_EQ(w.bar.find("all"), 0u);
    EXPECT_EQ(w.bar.find("1"), 3u);  // a key that reads as a number is still a key
    EXPECT_EQ(w.bar.find("3"), 0u);
}

TEST(CardBar, ScrollMaximumRoundsHalvesToEven) {
    const struct {
        double below;  // how far the container ends below the visible height
        std::int64_t max;
    } cases[] = {{500, 2}, {1500, 2}, {2500, 4}, {1, 1}, {0, 0}, {-300, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.below);
        World w({"A", "B", "C"});
        w.bar.resize(3000, w.bar.containerHeight() - c.below, 255);
        EXPECT_EQ(w.bar.scrollMax(), c.max);
        EXPECT_EQ(w.bar.scrollEnabled(), c.max > 0);
    }
}

TEST(CardBar, ScrollValueMovesTheContainerAndFollowsALowerMaximum) {
    std::vector<std::string> keys;
    for (int i = 0; i < 200; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "K%d", i);
        keys.emplace_back(key);
    }
    World w(keys);
    w.bar.resize(3000, 1000, 255);
    ASSERT_GT(w.bar.scrollMax(), 33);  // beyond what a 16-bit offset holds
    w.bar.setScrollValue(3);
    EXPECT_EQ(w.bar.containerTop(), -3000);
    w.bar.setScrollValue(w.bar.scrollMax());
    EXPECT_EQ(w.bar.containerTop(), -1000.0 * static_cast<double>(w.bar.scrollMax()));
    w.bar.resize(3000, w.bar.containerHeight(), 255);
    EXPECT_EQ(w.bar.scrollValue(), 0);
    EXPECT_EQ(w.bar.containerTop(), 0);
}

TEST(CardBar, EveryReleaseSelectsAndReports) {
    World w({"A", "B", "C"});
    EXPECT_FALSE(w.bar.release(2, MouseButton::left));
    EXPECT_FALSE(w.bar.release(2, MouseButton::middle));  // again, on the selected card
    EXPECT_TRUE(w.bar.release(3, MouseButton::right));    // then the card's menu
    EXPECT_EQ(w.events.events, (std::vector<std::string>{"SelectCard 2", "SelectCard 2", "SelectCard 3"}));
    EXPECT_EQ(w.bar.SelectedItem()->Key(), "C");
    EXPECT_FALSE(w.bar.Item(2)->Selected());
    EXPECT_EQ(w.bar.face(3).background, (Colour{245, 245, 255}));
    EXPECT_EQ(w.bar.face(1).background, (Colour{245, 245, 245}));
}

TEST(CardBar, RemovalMovesContentsUpAndTheSelectionWithThem) {
    const struct {
        const char* what;
        std::size_t selected;
        std::size_t removed;
        std::vector<std::string> keys;
        std::size_t selectedAfter;
    } cases[] = {
        {"last of three, selected", 3, 3, {"A", "B"}, 2}, {"first of three, selected", 1, 1, {"B", "C"}, 1},
        {"middle, selected", 2, 2, {"A", "C"}, 2},        {"before the selected", 3, 1, {"B", "C"}, 2},
        {"after the selected", 1, 2, {"A", "C"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        World w({"A", "B", "C"});
        w.bar.select(c.selected);
        const std::string removedPath = w.bar.Item(c.removed)->FileFullpath(1);
        w.bar.FilesRemove(c.removed, {removedPath});  // its last file goes
        EXPECT_EQ(w.keys(), c.keys);
        EXPECT_EQ(w.bar.selectedPosition(), c.selectedAfter);
        EXPECT_EQ(w.bar.find(c.keys.back()), 2u);
        for (std::size_t p = 1; p <= 2; ++p) EXPECT_EQ(w.bar.Item(p)->Selected(), p == c.selectedAfter);
        EXPECT_EQ(w.events.events, (std::vector<std::string>{
                                       std::string("SelectCard ") + std::to_string(c.selectedAfter), "RemoveCard"}));
    }
}

TEST(CardBar, RemovingTheOnlyCardSelectsThePlaceholder) {
    World w({"A"});
    w.bar.select(1);
    EXPECT_FALSE(w.bar.Remove(2));  // no such card
    EXPECT_TRUE(w.events.events.empty());
    EXPECT_EQ(w.prompts.messages,
              (std::vector<test::ShownMessage>{{"err:index", "Brelmont for Excel(ビュー)", 0x10}}));
    w.bar.FilesRemove(1, {"c:\\h\\a.TVK"});
    EXPECT_EQ(w.bar.Count(), 0u);
    EXPECT_TRUE(w.bar.placeholderVisible());
    EXPECT_EQ(w.bar.SelectedItem(), nullptr);
    EXPECT_EQ(w.events.events, (std::vector<std::string>{"SelectCard 0", "RemoveCard"}));
    EXPECT_EQ(w.bar.containerHeight(), w.bar.elementRect(0).bottom() + 100);
}

// A card whose every history went: forgotten at once, its place taken by the next.
TEST(CardBar, AResetCardGoesAndTheSelectionFollowsAsForItsLastFile) {
    World w({"A", "B", "C"});
    w.bar.FilesAdd(2, "C:\\H\\B2.tvk", "F", "Book B2", "Sheet B", 40001);
    w.bar.select(2);
    w.bar.FilesReset(2);
    EXPECT_EQ(w.keys(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(w.bar.SelectedItem()->Key(), "C");
    EXPECT_EQ(w.events.events, (std::vector<std::string>{"SelectCard 2", "RemoveCard"}));
}

// Removing several histories at once takes each path's first file, letter case aside.
TEST(CardBar, FilesGoByPathEachOnceAndTheCardStaysWhileOneIsLeft) {
    World w({"A"});
    for (const char* path : {"C:\\H\\x.tvk", "C:\\H\\X.TVK", "C:\\H\\y.tvk"}) w.bar.FilesAdd(1, path, "F", "B", "S", 40000);
    w.bar.FilesRemove(1, {"c:\\h\\X.tvk", "C:\\H\\Y.TVK", "C:\\H\\gone.tvk"});
    EXPECT_EQ(w.bar.Item(1)->files(), (std::vector<std::string>{"C:\\H\\A.tvk", "C:\\H\\X.TVK"}));
    EXPECT_TRUE(w.events.events.empty());
}

// Cards made in a bar of their own (as a reload makes them, away from the
// window) stand, once taken, as if they had been added to this bar.
TEST(CardBar, CardsTakenFromABarMadeElsewhereStandAsIfAddedHere) {
    const auto fill = [](CardBar& bar, int cards) {
        for (int i = 0; i < cards; ++i) {
            const std::size_t p = bar.Add(std::string("K").append(std::to_string(i)));
            bar.FilesAdd(p, std::string("C:\\H\\").append(std::to_string(i)), "F", "B", "S", 40000 + i);
        }
    };
    for (const int cards : {0, 1, 40}) {
        SCOPED_TRACE(cards);
        CardBar here;
        CardBar taking;
        for (CardBar* bar : {&here, &taking}) {
            bar->resize(3000, 5000, 255);
            fill(*bar, 40);
            bar->setScrollValue(3);
            bar->Cls();
        }
        fill(here, cards);
        CardBar made;
        fill(made, cards);
        taking.takeCards(std::move(made));
        ASSERT_EQ(taking.Count(), here.Count());
        for (std::size_t p = 0; p <= here.Count(); ++p) {
            EXPECT_EQ(taking.elementRect(p), here.elementRect(p)) << p;
            EXPECT_EQ(taking.face(p).texts, here.face(p).texts) << p;
        }
        EXPECT_EQ(taking.containerHeight(), here.containerHeight());
        EXPECT_EQ(taking.scrollMax(), here.scrollMax());
        EXPECT_EQ(taking.scrollValue(), here.scrollValue());
        EXPECT_EQ(taking.find("K0"), here.find("K0"));
    }
}

TEST(CardBar, ClsKeepsTheSelectedPositionUntilTheHostSelects) {
    World w({"A", "B"});
    w.bar.select(2);
    w.bar.Cls();
    EXPECT_EQ(w.bar.SelectedItem(), nullptr);
    w.bar.Add("X");
    EXPECT_EQ(w.bar.SelectedItem(), nullptr);
    w.bar.select(1);
    EXPECT_EQ(w.bar.SelectedItem()->Key(), "X");
}

TEST(CardBar, OneCardHoldsFortyThousandHistories) {
    CardBar bar;
    const std::size_t p = bar.Add("ALL");
    for (int i = 0; i < 40000; ++i)
        bar.FilesAdd(p, std::string("C:\\H\\") + std::to_string(i) + ".tvk", "F", "B", "S", 40000 + i);
    EXPECT_EQ(bar.Item(p)->FilesCount(), 40000u);
    EXPECT_EQ(bar.Item(p)->FileFullpath(40000), "C:\\H\\39999.tvk");
    EXPECT_EQ(bar.face(p).texts.back().text, "履歴数=40000");
    bar.FilesRemove(p, {"C:\\H\\0.tvk"});
    EXPECT_EQ(bar.face(p).texts.back().text, "履歴数=39999");
}

}  // namespace
}  // namespace kq::viewer
