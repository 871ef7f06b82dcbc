#include "host/sim/sim_command_bars.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/sim/sim_application.h"
#include "tests/support/host_errors.h"

namespace kq::host::sim {
namespace {

// What a Click handler was told, and whether it cancels the host's command.
struct ClickLog final : ButtonEvents {
    void Click(const CommandBarControlPtr& Ctrl, bool& CancelDefault) override {
        seen.push_back(Ctrl->Caption());
        if (cancel) CancelDefault = true;
        if (onClick) onClick();
    }
    std::vector<std::string> seen;
    bool cancel = false;
    std::function<void()> onClick;
};

using kq::test::errorOf;

std::vector<std::string> captions(const std::vector<CommandBarControlPtr>& controls) {
    std::vector<std::string> out;
    for (const auto& c : controls) out.push_back(c->Caption());
    return out;
}

class Bars : public ::testing::Test {
protected:
    // A menu of an add-in's own on the menu bar, with two tagged buttons and a
    // toolbar holding a copy of the first.
    void addMenuAndToolbar() {
        menu = bars->Item(1)->AddControl(msoControlPopup, std::nullopt, true);
        menu->SetCaption("Menu");
        menu->SetTag("MENU");
        first = menu->CommandBar()->AddControl(msoControlButton, std::nullopt, true);
        first->SetCaption("First");
        first->SetTag("FIRST");
        second = menu->CommandBar()->AddControl(msoControlButton, std::nullopt, false);
        second->SetCaption("Second");
        second->SetTag("SECOND");
        toolbar = bars->Add("Tools", msoBarFloating, false, true);
        copy = first->Copy(toolbar);
        copy->SetCaption("First copy");
    }

    std::shared_ptr<SimApplication> app = SimApplication::create("11.0");
    std::shared_ptr<SimCommandBars> bars = app->commandBars();
    std::shared_ptr<MemoryFaceClipboard> clipboard = std::make_shared<MemoryFaceClipboard>();
    CommandBarControlPtr menu, first, second, copy;
    CommandBarPtr toolbar;
};

TEST_F(Bars, TheHostsOwnControlsAreFoundByIdWhereverTheyStand) {
    EXPECT_EQ(bars->Item(1)->Name(), "Worksheet Menu Bar");
    struct Case {
        std::int32_t id;
        std::size_t places;
    };
    for (const Case c : {Case{18, 1}, Case{748, 1}, Case{4, 1}, Case{2521, 1}, Case{109, 2}, Case{9999, 0}}) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(bars->FindControls({.Id = c.id, .Tag = {}}).size(), c.places);
        const auto found = bars->FindControl({.Id = c.id, .Tag = {}});
        EXPECT_EQ(found != nullptr, c.places > 0);
        if (found) {
            EXPECT_EQ(found, app->FindControl(c.id));
        }
    }
}

TEST_F(Bars, TagsAreFoundInEveryMenuButABarLooksAtItsOwnControlsOnly) {
    addMenuAndToolbar();
    EXPECT_EQ(bars->FindControl({.Id = {}, .Tag = "SECOND"}), second);
    EXPECT_EQ(captions(bars->FindControls({.Id = {}, .Tag = "FIRST"})), (std::vector<std::string>{"First", "First copy"}));
    EXPECT_EQ(bars->FindControls({.Id = {}, .Tag = "first"}).size(), 0u);  // tags match exactly
    EXPECT_EQ(bars->Item(1)->FindControl({.Id = {}, .Tag = "MENU"}), menu);
    EXPECT_EQ(bars->Item(1)->FindControl({.Id = {}, .Tag = "FIRST"}), nullptr);
    EXPECT_EQ(menu->CommandBar()->FindControl({.Id = {}, .Tag = "FIRST"}), first);
    EXPECT_EQ(bars->FindBar("tools"), toolbar);
    EXPECT_EQ(bars->FindBar("Nothing"), nullptr);
}

TEST_F(Bars, ControlsGoWhereBeforeSays) {
    struct Case {
        std::optional<std::int32_t> before;
        std::vector<std::string> order;  // empty: refused
    };
    const std::vector<Case> cases = {
        {std::nullopt, {"a", "b", "new"}}, {1, {"new", "a", "b"}}, {2, {"a", "new", "b"}},
        {3, {"a", "b", "new"}},            {0, {}},                {4, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before ? *c.before : -1);
        const auto bar = bars->Add("Case", msoBarTop, false, true);
        bar->AddControl(msoControlButton, std::nullopt, true)->SetCaption("a");
        bar->AddControl(msoControlButton, std::nullopt, true)->SetCaption("b");
        const std::int32_t error = errorOf([&] { bar->AddControl(msoControlButton, c.before, true)->SetCaption("new"); });
        if (c.order.empty()) {
            EXPECT_EQ(error, err::kInvalidCall);
            EXPECT_EQ(bar->Controls().size(), 2u);
        } else {
            EXPECT_EQ(captions(bar->Controls()), c.order);
        }
        bar->Delete();
    }
}

TEST_F(Bars, BarsRefuseWhatTheHostRefuses) {
    addMenuAndToolbar();
    struct Case {
        std::string what;
        std::function<void()> call;
        std::int32_t error;
    };
    const std::vector<Case> cases = {
        {"a second bar of a name", [&] { bars->Add("TOOLS", msoBarTop, false, true); }, err::kInvalidCall},
        {"a bar without a name", [&] { bars->Add("", msoBarTop, false, true); }, err::kInvalidCall},
        {"a new bar nowhere", [&] { bars->Add("New", 7, false, true); }, err::kInvalidCall},
        {"a position below left", [&] { toolbar->SetPosition(-1); }, err::kInvalidCall},
        {"a position beyond floating", [&] { toolbar->SetPosition(5); }, err::kInvalidCall},
        {"a protection beyond the flags", [&] { toolbar->SetProtection(256); }, err::kInvalidCall},
        {"deleting a bar of the host", [&] { bars->Item(1)->Delete(); }, err::kInvalidCall},
        {"deleting a popup's menu", [&] { menu->CommandBar()->Delete(); }, err::kInvalidCall},
        {"a control of no known type", [&] { toolbar->AddControl(2, std::nullopt, true); }, err::kInvalidCall},
        {"a popup's face", [&] { menu->CopyFace(); }, err::kNoSuchMember},
        {"a popup's state", [&] { menu->SetState(msoButtonDown); }, err::kNoSuchMember},
        {"a button's menu", [&] { first->CommandBar(); }, err::kNoSuchMember},
        {"a state between up and down", [&] { first->SetState(1); }, err::kInvalidCall},
        {"a bar index beyond the last", [&] { bars->Item(4); }, err::kInvalidCall},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;

    // Placement within the rules is kept as it is set.
    toolbar->SetPosition(msoBarBottom);
    toolbar->SetRowIndex(-1);
    toolbar->SetLeft(-20);
    toolbar->SetTop(300);
    toolbar->SetProtection(msoBarNoCustomize);
    toolbar->SetVisible(false);
    EXPECT_EQ(toolbar->Position(), msoBarBottom);
    EXPECT_EQ(toolbar->RowIndex(), -1);
    EXPECT_EQ(toolbar->Left(), -20);
    EXPECT_EQ(toolbar->Top(), 300);
    EXPECT_EQ(toolbar->Protection(), msoBarNoCustomize);
    EXPECT_FALSE(toolbar->Visible());
}

TEST_F(Bars, WhatIsDeletedOrTemporaryIsGoneAndAnswersNoMore) {
    addMenuAndToolbar();
    const auto kept = bars->Add("Kept", msoBarTop, false, false);
    const auto keptButton = kept->AddControl(msoControlButton, std::nullopt, false);
    const auto temporaryOnKept = kept->AddControl(msoControlButton, std::nullopt, true);

    bars->closeSession();
    EXPECT_EQ(bars->FindBar("Tools"), nullptr);
    EXPECT_EQ(bars->FindBar("Kept"), kept);
    EXPECT_EQ(kept->Controls(), std::vector<CommandBarControlPtr>{keptButton});
    EXPECT_EQ(bars->FindControl({.Id = {}, .Tag = "MENU"}), nullptr);
    // A permanent button inside a temporary menu goes with its menu.
    EXPECT_EQ(bars->FindControl({.Id = {}, .Tag = "SECOND"}), nullptr);
    for (const auto& gone : {menu, first, second, copy, temporaryOnKept}) {
        EXPECT_EQ(errorOf([&] { gone->Caption(); }), err::kObjectDisconnected);
    }
    EXPECT_EQ(errorOf([&] { toolbar->Visible(); }), err::kObjectDisconnected);

    keptButton->Delete();
    EXPECT_TRUE(kept->Controls().empty());
    EXPECT_EQ(errorOf([&] { keptButton->Delete(); }), err::kObjectDisconnected);
}

TEST_F(Bars, FacesGoThroughTheClipboard) {
    bars->setClipboard(clipboard);
    addMenuAndToolbar();
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(first)->face(), std::nullopt);

    first->CopyFace();  // a button without a face gives a blank one
    EXPECT_EQ(clipboard->held, blankFace());

    second->SetFaceId(611);
    second->CopyFace();
    EXPECT_EQ(clipboard->held, builtInFace(611));
    EXPECT_NE(builtInFace(611), builtInFace(3278));
    EXPECT_NE(faceHash(builtInFace(611)), faceHash(blankFace()));

    ButtonFace painted = blankFace();
    painted.pixels[17] = 0x00FF00;
    clipboard->held = painted;
    first->PasteFace();
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(first)->face(), painted);
    // A copy made afterwards shows the same; one made before keeps its own.
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(first->Copy(toolbar))->face(), painted);
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(copy)->face(), std::nullopt);

    // Nothing to paste: the face stays as it was.
    clipboard->held.reset();
    EXPECT_EQ(errorOf([&] { first->PasteFace(); }), err::kUnspecifiedFailure);
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(first)->face(), painted);
    // A FaceId replaces a pasted picture.
    first->SetFaceId(59);
    EXPECT_EQ(std::dynamic_pointer_cast<SimControl>(first)->face(), builtInFace(59));

    bars->setClipboard(nullptr);
    EXPECT_EQ(errorOf([&] { first->CopyFace(); }), err::kApplicationDefined);
}

TEST_F(Bars, AClickReachesTheHandlersOfItsTagOrOfItsCommand) {
    addMenuAndToolbar();
    ClickLog onFirst, onSecond, onPrint, onUntagged;
    const auto untagged = toolbar->AddControl(msoControlButton, std::nullopt, true);
    untagged->SetCaption("Untagged");
    const auto another = toolbar->AddControl(msoControlButton, std::nullopt, true);
    another->SetCaption("Another untagged");
    const auto c1 = first->AdviseClick(onFirst);
    const auto c2 = second->AdviseClick(onSecond);
    const auto c3 = app->control(kControlPreview)->AdviseClick(onPrint);
    const auto c4 = untagged->AdviseClick(onUntagged);
    const auto previewOnToolbar = bars->FindControls({.Id = kControlPreview, .Tag = {}}).back();

    struct Case {
        CommandBarControlPtr clicked;
        std::vector<std::string> first, second, print, untagged;
    };
    const std::vector<Case> cases = {
        {first, {"First"}, {}, {}, {}},
        {copy, {"First copy"}, {}, {}, {}},  // the toolbar's copy shares the tag
        {second, {}, {"Second"}, {}, {}},
        {previewOnToolbar, {}, {}, {"Print Preview"}, {}},  // a built-in control: by its Id
        {untagged, {}, {}, {}, {"Untagged"}},
        {another, {}, {}, {}, {}},  // untagged controls share nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked->Caption());
        for (ClickLog* log : {&onFirst, &onSecond, &onPrint, &onUntagged}) log->seen.clear();
        bars->click(std::dynamic_pointer_cast<SimControl>(c.clicked));
        EXPECT_EQ(onFirst.seen, c.first);
        EXPECT_EQ(onSecond.seen, c.second);
        EXPECT_EQ(onPrint.seen, c.print);
        EXPECT_EQ(onUntagged.seen, c.untagged);
    }
}

TEST_F(Bars, CancelDefaultKeepsTheHostsOwnCommandFromRunning) {
    const auto book = app->addWorkbook("Book1.xls");
    book->addWorksheet("Sheet1");
    const auto print = app->control(kControlPrint);
    struct Case {
        int handlers;
        bool cancel;
        bool printed;
    };
    for (const Case c : {Case{0, false, true}, Case{1, false, true}, Case{1, true, false}, Case{2, true, false}}) {
        SCOPED_TRACE(std::to_string(c.handlers) + (c.cancel ? " cancelling" : ""));
        std::vector<ClickLog> logs(static_cast<std::size_t>(c.handlers));
        std::vector<std::unique_ptr<EventConnection>> connections;
        for (ClickLog& log : logs) connections.push_back(print->AdviseClick(log));
        if (!logs.empty()) logs.back().cancel = c.cancel;
        const int printsBefore = app->printCount();

        const ClickOutcome outcome = bars->click(print);
        EXPECT_EQ(outcome.handlers, c.handlers);
        EXPECT_EQ(outcome.cancelled, c.cancel);
        EXPECT_EQ(outcome.commandRan, c.printed);
        EXPECT_EQ(app->printCount() - printsBefore, c.printed ? 1 : 0);
    }
}

TEST_F(Bars, HandlersComeAndGoWhileAClickGoesRound) {
    addMenuAndToolbar();
    ClickLog leaving, staying;
    std::unique_ptr<EventConnection> leavingConnection = first->AdviseClick(leaving);
    const auto stayingConnection = copy->AdviseClick(staying);
    leaving.onClick = [&] { leavingConnection.reset(); };
    EXPECT_EQ(bars->click(std::dynamic_pointer_cast<SimControl>(first)).handlers, 2);
    EXPECT_EQ(bars->click(std::dynamic_pointer_cast<SimControl>(first)).handlers, 1);
    EXPECT_EQ(leaving.seen.size(), 1u);
    EXPECT_EQ(staying.seen.size(), 2u);

    std::dynamic_pointer_cast<SimControl>(first)->setEnabled(false);
    EXPECT_THROW(bars->click(std::dynamic_pointer_cast<SimControl>(first)), std::logic_error);
    copy->Delete();
    EXPECT_THROW(bars->click(std::dynamic_pointer_cast<SimControl>(copy)), std::logic_error);
}

}  // namespace
}  // namespace kq::host::sim
