#include "common/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kq {
namespace {

TEST(Signal, CallsItsSlotsInTheOrderTheyWereConnectedWithTheArguments) {
    Signal<int, const std::string&> changed;
    std::vector<std::string> heard;
    const auto note = [&heard](char who, int n, const std::string& s) {
        std::string entry(1, who);
        entry += std::to_string(n);
        entry += s;
        heard.push_back(entry);
    };
    const Connection first = changed.connect([&](int n, const std::string& s) { note('a', n, s); });
    const Connection second = changed.connect([&](int n, const std::string& s) { note('b', n, s); });
    changed(1, "x");
    changed(2, "y");
    EXPECT_EQ(heard, (std::vector<std::string>{"a1x", "b1x", "a2y", "b2y"}));
}

TEST(Signal, AConnectionDisconnectsWhenItGoesOrIsToldOrMovedOver) {
    Signal<> changed;
    int calls = 0;
    {
        const Connection held = changed.connect([&] { ++calls; });
        changed();
    }
    changed();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(changed.slotCount(), 0U);

    Connection told = changed.connect([&] { ++calls; });
    told.disconnect();
    EXPECT_FALSE(told.connected());
    told.disconnect();  // twice is harmless
    changed();
    EXPECT_EQ(calls, 1);

    // Moved: the slot follows the connection; assigned over: the old slot goes.
    Connection a = changed.connect([&] { calls += 10; });
    Connection b = std::move(a);
    EXPECT_FALSE(a.connected());
    EXPECT_TRUE(b.connected());
    changed();
    EXPECT_EQ(calls, 11);
    b = changed.connect([&] { calls += 100; });
    changed();
    EXPECT_EQ(calls, 111);
    EXPECT_EQ(changed.slotCount(), 1U);
}

TEST(Signal, ASignalThatGoesFirstLeavesItsConnectionsInert) {
    Connection kept;
    int calls = 0;
    {
        Signal<> changed;
        kept = changed.connect([&] { ++calls; });
        EXPECT_TRUE(kept.connected());
    }
    EXPECT_FALSE(kept.connected());
    kept.disconnect();
    Connection moved = std::move(kept);
    EXPECT_EQ(calls, 0);
}

TEST(Signal, AMovedSignalTakesItsConnectionsAlong) {
    Signal<> first;
    int calls = 0;
    const Connection held = first.connect([&] { ++calls; });
    Signal<> second = std::move(first);
    second();
    first();  // a moved-from signal calls nobody
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(held.connected());
}

// What a slot does to the signal while an emission is under way.
struct Reentrancy {
    const char* name;
    std::vector<std::string> firstEmission;
    std::vector<std::string> secondEmission;
};

class SignalWhileEmitting : public ::testing::TestWithParam<Reentrancy> {};

TEST_P(SignalWhileEmitting, KeepsToTheSlotsConnectedWhenItStarted) {
    const std::string what = GetParam().name;
    Signal<> changed;
    std::vector<std::string> heard;
    Connection a, b, c, added;
    a = changed.connect([&] {
        heard.push_back("a");
        if (what == "SelfDisconnects") a.disconnect();
        if (what == "DisconnectsALaterSlot") b.disconnect();
        if (what == "ConnectsANewSlot" && !added.connected()) {
            added = changed.connect([&] { heard.push_back("new"); });
        }
        if (what == "ItsConnectionGoesInsideIt") a = Connection();
    });
    b = changed.connect([&] {
        heard.push_back("b");
        if (what == "DisconnectsAnEarlierSlot") a.disconnect();
    });
    c = changed.connect([&] { heard.push_back("c"); });
    changed();
    EXPECT_EQ(heard, GetParam().firstEmission);
    heard.clear();
    changed();
    EXPECT_EQ(heard, GetParam().secondEmission);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, SignalWhileEmitting,
    ::testing::Values(Reentrancy{"SelfDisconnects", {"a", "b", "c"}, {"b", "c"}},
                      Reentrancy{"ItsConnectionGoesInsideIt", {"a", "b", "c"}, {"b", "c"}},
                      Reentrancy{"DisconnectsALaterSlot", {"a", "c"}, {"a", "c"}},
                      Reentrancy{"DisconnectsAnEarlierSlot", {"a", "b", "c"}, {"b", "c"}},
                      Reentrancy{"ConnectsANewSlot", {"a", "b", "c"}, {"a", "b", "c", "new"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Signal, ASlotMayDestroyTheSignalsOwnerAndTheOtherSlotsStillRun) {
    struct Model {
        Signal<> closing;
    };
    auto model = std::make_unique<Model>();
    std::vector<std::string> heard;
    const Connection first = model->closing.connect([&] {
        heard.push_back("first");
        model.reset();
    });
    const Connection second = model->closing.connect([&] { heard.push_back("second"); });
    model->closing();
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(first.connected());
}

TEST(Signal, AWindowThatGoesInsideASlotIsNotCalledAgain) {
    Signal<> changed;
    struct Window {
        std::vector<std::string>& heard;
        Connection onChanged;
    };
    std::vector<std::string> heard;
    std::optional<Window> window;
    window.emplace(Window{heard, {}});
    const Connection closer = changed.connect([&] {
        heard.push_back("closer");
        window.reset();
    });
    window->onChanged = changed.connect([&heard] { heard.push_back("window"); });
    changed();
    changed();
    EXPECT_EQ(heard, (std::vector<std::string>{"closer", "closer"}));
}

}  // namespace
}  // namespace kq
