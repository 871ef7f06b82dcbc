// The legacy menu and toolbar of hosts before 12, built, used and taken away
// by the add-in object on the simulated host.

#include "addin/core/command_bars.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/addin/core/connect_world.h"

namespace kq::addin::world {
namespace {

using host::sim::SimCommandBar;
using host::sim::SimControl;

constexpr char kTitle[] = "Brelmont for Excel";
constexpr unsigned kCritical = 0x10;
constexpr char kAction[] = "!<Kez_Quorvex.Connect>";

// A control as the tests compare it: what the user sees of it and what the
// host keeps for it.
std::string describe(const SimControl& c) {
    std::string line = c.caption() + " | " + c.tag();
    if (c.type() == host::msoControlButton) line += " | style " + std::to_string(c.style());
    if (c.faceId() != 0) line += " | face " + std::to_string(c.faceId());
    if (c.beginGroup()) line += " | group";
    if (!c.onAction().empty()) line += " | " + c.onAction();
    if (!c.temporary()) line += " | kept";
    return line;
}

std::vector<std::string> describe(const SimCommandBar& bar) {
    std::vector<std::string> lines;
    for (const auto& control : bar.controls()) lines.push_back(describe(*control));
    return lines;
}

class CommandBars : public Connection {
protected:
    host::sim::SimCommandBars& bars() { return *sim->commandBars(); }
    std::shared_ptr<SimControl> tagged(std::string_view tag) { return bars().withTag(std::string(tag)); }
    std::vector<std::shared_ptr<SimControl>> allTagged(std::string_view tag) {
        std::vector<std::shared_ptr<SimControl>> found;
        for (const auto& c : bars().FindControls({.Id = std::nullopt, .Tag = std::string(tag)})) {
            found.push_back(std::dynamic_pointer_cast<SimControl>(c));
        }
        return found;
    }
    std::shared_ptr<SimCommandBar> menuOf(std::string_view tag) { return tagged(tag)->menu(); }
    std::shared_ptr<SimCommandBar> toolbar() { return bars().bar("Brelmont"); }
    host::sim::ClickOutcome click(std::string_view tag, const std::string& inBar = "Worksheet Menu Bar") {
        std::shared_ptr<SimControl> target;
        bars().bar(inBar)->walk([&](const std::shared_ptr<SimControl>& c) {
            if (!target && c->tag() == tag) target = c;
        });
        if (!target) throw std::logic_error("no control " + std::string(tag) + " in " + inBar);
        return bars().click(target);
    }
    // A menu of the maker's made by another of its add-ins, with an item of that add-in and the site button.
    std::shared_ptr<SimControl> anotherAddinsMakerMenu() {
        const auto menu = std::dynamic_pointer_cast<SimControl>(
            bars().Item(1)->AddControl(host::msoControlPopup, std::nullopt, true));
        menu->SetCaption("KEZ(&K)");
        menu->SetTag("KEZ");
        const auto other = menu->CommandBar()->AddControl(host::msoControlPopup, std::nullopt, true);
        other->SetCaption("Other(&O)");
        other->SetTag("KEZ_OTHER");
        const auto site = menu->CommandBar()->AddControl(host::msoControlButton, std::nullopt, true);
        site->SetCaption("Site");
        site->SetTag("KEZ_SITE");
        return menu;
    }
};

TEST_F(CommandBars, HostsFrom12OnGetNoBars) {
    for (const std::string version : {"12.0", "14.0", "16.0"}) {
        SCOPED_TRACE(version);
        system = {};
        connectTo(version);
        EXPECT_EQ(bars().bars().size(), 2u);
        EXPECT_EQ(tagged("KEZ"), nullptr);
        EXPECT_EQ(system.painting.painters, 0);
        EXPECT_EQ(connect->thisSheetSink().CB, nullptr);
        EXPECT_EQ(connect->printSink().CB, nullptr);
        SetThisSiteCheckButtonPushed(state(), false);
        connect->AddinInstance_OnDisconnection();
        for (const auto& write : system.store.writes()) EXPECT_NE(write.section, "Bar");
    }
}

TEST_F(CommandBars, TheMenuAndToolbarAreBuiltInTheUsersLanguage) {
    struct Case {
        std::string country;
        std::string title;
        std::vector<std::string> makerMenu, productMenu, toolbar;
    };
    const std::string a = std::string(" | ") + kAction;
    const std::vector<Case> cases = {
        {"JAPAN",
         "Brelmont",
         {"Brelmont(&H) | KEZ_QUORVEX", "開発元ホームページへ(&D) | KEZ_SITE | style 3 | face 1016 | group" + a},
         {"印刷監視(&S) | KEZ_QUORVEX_THISSHEETCHECK | style 3" + a,
          "履歴閲覧(&C) | KEZ_QUORVEX_OPENHISTORY | style 3" + a,
          "環境設定(&S) | KEZ_QUORVEX_SETTING | style 3 | face 611 | group" + a,
          "ヘルプ(&H) | KEZ_QUORVEX_HELP | style 3 | face 3278" + a,
          "バージョン情報(&V) | KEZ_QUORVEX_ABOUT | style 3" + a},
         {"Brelmont-印刷監視(&S) | KEZ_QUORVEX_THISSHEETCHECK | style 1" + a,
          "Brelmont-履歴閲覧(&C) | KEZ_QUORVEX_OPENHISTORY | style 1" + a,
          "Brelmont-環境設定(&S) | KEZ_QUORVEX_SETTING | style 1 | face 611 | group" + a,
          "Brelmont-ヘルプ(&H) | KEZ_QUORVEX_HELP | style 1 | face 3278 | group" + a}},
        {"UNITED STATES",
         "Quorvex",
         {"&Quorvex | KEZ_QUORVEX", "&Developer's Site | KEZ_SITE | style 3 | face 1016 | group" + a},
         {"&ThisSheetCheck | KEZ_QUORVEX_THISSHEETCHECK | style 3" + a,
          "&CheckHistory | KEZ_QUORVEX_OPENHISTORY | style 3" + a,
          "&Setting | KEZ_QUORVEX_SETTING | style 3 | face 611 | group" + a,
          "&Help | KEZ_QUORVEX_HELP | style 3 | face 3278" + a, "&About | KEZ_QUORVEX_ABOUT | style 3" + a},
         {"Quorvex-&ThisSheetCheck | KEZ_QUORVEX_THISSHEETCHECK | style 1" + a,
          "Quorvex-&CheckHistory | KEZ_QUORVEX_OPENHISTORY | style 1" + a,
          "Quorvex-&Setting | KEZ_QUORVEX_SETTING | style 1 | face 611 | group" + a,
          "Quorvex-&Help | KEZ_QUORVEX_HELP | style 1 | face 3278 | group" + a}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.country);
        system = {};
        system.country = c.country;
        connectTo("11.0");
        EXPECT_TRUE(system.shown.messages.empty());

        // The maker's menu ends the menu bar.
        const auto maker = bars().Item(1)->Controls().back();
        EXPECT_EQ(describe(*std::dynamic_pointer_cast<SimControl>(maker)),
                  c.country == "JAPAN" ? "KEZ(&M) | KEZ | group" : "&KEZ | KEZ | group");
        EXPECT_EQ(describe(*menuOf("KEZ")), c.makerMenu);
        EXPECT_EQ(describe(*menuOf("KEZ_QUORVEX")), c.productMenu);
        const auto bar = bars().bar(c.title);
        ASSERT_TRUE(bar);
        EXPECT_EQ(describe(*bar), c.toolbar);
        EXPECT_TRUE(bar->shape().temporary);
        EXPECT_EQ(bar->protection(), host::msoBarNoCustomize);

        connect->AddinInstance_OnDisconnection();
        EXPECT_EQ(tagged("KEZ"), nullptr);
        EXPECT_EQ(bars().bar(c.title), nullptr);
    }
}

TEST_F(CommandBars, AnotherAddinsMakerMenuIsSharedAndKeptForIt) {
    makeHost("11.0");
    const auto maker = anotherAddinsMakerMenu();
    connectNow();

    EXPECT_EQ(bars().FindControls({.Id = std::nullopt, .Tag = "KEZ"}).size(), 1u);
    EXPECT_EQ(maker->caption(), "KEZ(&M)");
    EXPECT_EQ(describe(*maker->menu()), (std::vector<std::string>{"Brelmont(&H) | KEZ_QUORVEX", "Other(&O) | KEZ_OTHER",
                                                                 "Site | KEZ_SITE | style 0"}));
    // The other add-in answers its own site button.
    EXPECT_EQ(connect->siteSink().CB, nullptr);

    connect->AddinInstance_OnDisconnection();
    EXPECT_FALSE(maker->deleted());
    EXPECT_EQ(describe(*maker->menu()), (std::vector<std::string>{"Other(&O) | KEZ_OTHER", "Site | KEZ_SITE | style 0"}));
    EXPECT_EQ(toolbar(), nullptr);
}

TEST_F(CommandBars, TheMakersMenuGoesOnlyWhenNothingButItsSiteButtonIsLeft) {
    struct Case {
        std::string what;
        bool addOthersItem;
        bool userDeletesSite;
        bool menuStays;
    };
    const std::vector<Case> cases = {
        {"only the site button", false, false, false},
        {"an item of another add-in too", true, false, true},
        {"nothing at all", false, true, false},
        {"another add-in's item without the site button", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system = {};
        connectTo("11.0");
        const auto maker = tagged("KEZ");
        if (c.addOthersItem) maker->CommandBar()->AddControl(host::msoControlButton, std::nullopt, true)->SetTag("KEZ_OTHER");
        if (c.userDeletesSite) tagged("KEZ_SITE")->Delete();
        connect->AddinInstance_OnDisconnection();
        EXPECT_EQ(!maker->deleted(), c.menuStays);
        EXPECT_EQ(tagged("KEZ_QUORVEX"), nullptr);
        EXPECT_EQ(tagged("KEZ_OTHER") != nullptr, c.addOthersItem);
    }
}

TEST_F(CommandBars, LeftoversOfAnEarlierConnectionGoButNothingOfOtherAddins) {
    makeHost("11.0");
    const auto maker = anotherAddinsMakerMenu();
    const auto leftover = maker->CommandBar()->AddControl(host::msoControlPopup, 1, true);
    leftover->SetTag("KEZ_QUORVEX");
    bars().Add("Brelmont", host::msoBarFloating, false, true)->AddControl(host::msoControlButton, std::nullopt, true);
    const auto others = bars().Add("Other", host::msoBarTop, false, true);
    others->AddControl(host::msoControlButton, std::nullopt, true)->SetTag("KEZ_OTHER_BUTTON");
    connectNow();

    EXPECT_EQ(allTagged("KEZ_QUORVEX").size(), 1u);
    EXPECT_TRUE(std::dynamic_pointer_cast<SimControl>(leftover)->deleted());
    ASSERT_TRUE(toolbar());
    EXPECT_EQ(toolbar()->controls().size(), 4u);
    EXPECT_EQ(bars().bar("Other"), others);
    EXPECT_TRUE(tagged("KEZ_OTHER"));
    EXPECT_TRUE(tagged("KEZ_OTHER_BUTTON"));
    EXPECT_TRUE(system.shown.messages.empty());
}

TEST_F(CommandBars, TheToolbarStandsWhereTheSettingsSay) {
    struct Case {
        std::string what;
        std::vector<std::pair<std::string, std::string>> stored;
        ToolbarPlacement placement;
    };
    const std::vector<Case> cases = {
        {"nothing stored", {}, {-1, host::msoBarTop, 0, 0, true}},
        {"all stored",
         {{"RowIndex", "2"}, {"Position", "4"}, {"Left", "120"}, {"Top", "80"}, {"Visible", "False"}},
         {2, host::msoBarFloating, 120, 80, false}},
        {"blanks, fractions and letter case",
         {{"RowIndex", " 3 "}, {"Position", "0"}, {"Left", "-5"}, {"Top", "7.6"}, {"Visible", "true"}},
         {3, host::msoBarLeft, -5, 8, true}},
        {"unreadable values",
         {{"RowIndex", "abc"}, {"Position", "4x"}, {"Left", "1e3"}, {"Top", ""}, {"Visible", "maybe"}},
         {-1, host::msoBarTop, 0, 0, true}},
        {"too large for a Long", {{"Left", "99999999999"}, {"Visible", "0"}}, {-1, host::msoBarTop, 0, 0, false}},
        {"a position the host refuses", {{"Position", "9"}, {"Visible", "1"}}, {-1, host::msoBarTop, 0, 0, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system = {};
        for (const auto& [name, value] : c.stored) system.store.set("Bar", name, value);
        connectTo("11.0");
        EXPECT_TRUE(system.shown.messages.empty());
        const auto bar = toolbar();
        ASSERT_TRUE(bar);
        EXPECT_EQ((ToolbarPlacement{bar->rowIndex(), bar->position(), bar->left(), bar->top(), bar->visible()}),
                  c.placement);
        connect->AddinInstance_OnDisconnection();
    }
}

TEST_F(CommandBars, ThePlacementIsSavedAtDisconnectionAndFoundAfterARestart) {
    connectTo("11.0");
    const auto bar = toolbar();
    bar->SetPosition(host::msoBarFloating);
    bar->SetRowIndex(3);
    bar->SetLeft(300);
    bar->SetTop(200);
    bar->SetVisible(false);
    connect->AddinInstance_OnDisconnection();

    std::vector<MemorySettingsStore::Write> barWrites;
    for (const auto& w : system.store.writes()) {
        if (w.section == "Bar") barWrites.push_back(w);
    }
    EXPECT_EQ(barWrites, (std::vector<MemorySettingsStore::Write>{{"Bar", "Position", "4"},
                                                                  {"Bar", "RowIndex", "3"},
                                                                  {"Bar", "Left", "300"},
                                                                  {"Bar", "Top", "200"},
                                                                  {"Bar", "Visible", "False"}}));

    bars().closeSession();
    connect = std::make_shared<Connect>(system, procedures);
    connectNow();
    ASSERT_TRUE(toolbar());
    EXPECT_NE(toolbar(), bar);
    EXPECT_EQ((ToolbarPlacement{toolbar()->rowIndex(), toolbar()->position(), toolbar()->left(), toolbar()->top(),
                                toolbar()->visible()}),
              (ToolbarPlacement{3, host::msoBarFloating, 300, 200, false}));
    EXPECT_TRUE(tagged("KEZ_QUORVEX"));  // the menu stays usable
}

TEST_F(CommandBars, TheBarsGoAtDisconnectionWhateverSavingTheirPlacementDid) {
    struct Case {
        std::string what;
        std::function<void()> spoil;
    };
    const std::vector<Case> cases = {
        {"the settings refuse the section", [this] { system.store.refusedSection = "Bar"; }},
        {"the user deleted the toolbar", [this] { toolbar()->Delete(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system = {};
        connectTo("11.0");
        c.spoil();
        connect->AddinInstance_OnDisconnection();
        EXPECT_EQ(tagged("KEZ"), nullptr);
        EXPECT_EQ(tagged("KEZ_QUORVEX_THISSHEETCHECK"), nullptr);
        EXPECT_EQ(toolbar(), nullptr);
        EXPECT_EQ(system.settingsWrites(), 1);
        EXPECT_EQ(connect->thisSheetSink().CB, nullptr);
        EXPECT_TRUE(system.shown.messages.empty());
    }
}

TEST_F(CommandBars, IconFacesArePaintedWhileTheUsersClipboardIsKeptAside) {
    struct Case {
        std::string failing;
        std::uint32_t thisSheetInk;  // 0: no face
        std::uint32_t openHistoryInk;
        int beeps;
    };
    const std::uint32_t thisSheet = FacePainting::ink("ICON_THISSITECHECK");
    const std::uint32_t openHistory = FacePainting::ink("ICON_OPENHISTORY");
    const std::vector<Case> cases = {
        {"", thisSheet, openHistory, 0},
        {"ICON_OPENHISTORY", thisSheet, 0, 1},
        {"ICON_THISSITECHECK", 0, openHistory, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        system = {};
        if (!c.failing.empty()) system.painting.failing.insert(c.failing);
        connectTo("11.0");
        EXPECT_EQ(system.painting.painters, 1);
        EXPECT_EQ(system.painting.livePainters, 0);
        EXPECT_EQ(system.shown.beeps, c.beeps);
        for (const auto& [tag, ink] : {std::pair{"KEZ_QUORVEX_THISSHEETCHECK", c.thisSheetInk},
                                       std::pair{"KEZ_QUORVEX_OPENHISTORY", c.openHistoryInk}}) {
            // The toolbar's copy shows what the menu button shows.
            for (const auto& button : allTagged(tag)) {
                SCOPED_TRACE(button->caption());
                const auto face = button->face();
                EXPECT_EQ(face.has_value(), ink != 0);
                if (face) {
                    EXPECT_EQ(face->pixels[0], ink);
                }
            }
        }
        EXPECT_EQ(tagged("KEZ_QUORVEX_SETTING")->face(), host::sim::builtInFace(611));
        EXPECT_EQ(tagged("KEZ_QUORVEX_ABOUT")->face(), std::nullopt);
        EXPECT_FALSE(system.painting.clipboard->held);  // the painter leaves the clipboard empty
        connect->AddinInstance_OnDisconnection();
    }
    // Nothing to paint on is no failure.
    kq::test::ScriptedPrompts prompts;
    PaintedFaces faces(system.painting);
    SetIconToOfficeCommandbarButton(nullptr, "ICON_THISSITECHECK", faces, prompts);
    EXPECT_EQ(prompts.beeps, 0);
}

TEST_F(CommandBars, ClicksOnTheMenuAndTheToolbarRunTheirCommands) {
    std::vector<std::string> ran;
    const auto noting = [&](std::string name) { return [&ran, name](AddinState&) { ran.push_back(name); }; };
    procedures.Command_ThisSheetCheck = noting("ThisSheetCheck");
    procedures.Command_OpenHistory = noting("OpenHistory");
    procedures.Command_Setting = noting("Setting");
    procedures.Command_Help = noting("Help");
    procedures.Command_About = noting("About");
    procedures.Command_GotoHomePage = noting("GotoHomePage");
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("11.0");

    struct Case {
        std::string tag;
        std::string bar;
        std::string command;
    };
    const std::vector<Case> cases = {
        {"KEZ_QUORVEX_THISSHEETCHECK", "Worksheet Menu Bar", "ThisSheetCheck"},
        {"KEZ_QUORVEX_THISSHEETCHECK", "Brelmont", "ThisSheetCheck"},
        {"KEZ_QUORVEX_OPENHISTORY", "Brelmont", "OpenHistory"},
        {"KEZ_QUORVEX_SETTING", "Worksheet Menu Bar", "Setting"},
        {"KEZ_QUORVEX_HELP", "Brelmont", "Help"},
        {"KEZ_QUORVEX_ABOUT", "Worksheet Menu Bar", "About"},
        {"KEZ_SITE", "Worksheet Menu Bar", "GotoHomePage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag + " in " + c.bar);
        ran.clear();
        const auto outcome = click(c.tag, c.bar);
        EXPECT_EQ(ran, std::vector<std::string>{c.command});
        EXPECT_EQ(outcome.handlers, 1);
        EXPECT_FALSE(outcome.cancelled);
    }

    // The host's print controls note the kind of the next print and go on printing.
    for (const auto& [id, kind] : {std::pair{4, 1}, std::pair{2521, 2}, std::pair{109, 3}}) {
        SCOPED_TRACE(id);
        for (const auto& control : bars().FindControls({.Id = id, .Tag = std::nullopt})) {
            state().PrintCommandKind = print_kind::kOther;
            const auto outcome = bars().click(std::dynamic_pointer_cast<SimControl>(control));
            EXPECT_EQ(state().PrintCommandKind, kind);
            EXPECT_FALSE(outcome.cancelled);
            EXPECT_TRUE(outcome.commandRan);
        }
    }

    // Once disconnected, the buttons are gone and the host's controls reach nobody.
    connect->AddinInstance_OnDisconnection();
    ran.clear();
    EXPECT_EQ(bars().click(sim->control(4)).handlers, 0);
    EXPECT_TRUE(ran.empty());
}

TEST_F(CommandBars, AFailingCommandIsShownToTheUserAndTheHostGoesOn) {
    procedures.Command_Help = [](AddinState&) { throw host::HostError(53, "File not found"); };
    connect = std::make_shared<Connect>(system, procedures);
    connectTo("10.0");
    const auto outcome = click("KEZ_QUORVEX_HELP", "Brelmont");
    EXPECT_EQ(outcome.handlers, 1);
    EXPECT_EQ(system.shown.messages, (std::vector<ShownMessage>{{"err(53) File not found", kTitle, kCritical}}));
    // A command the library does not offer does nothing.
    EXPECT_EQ(click("KEZ_QUORVEX_OPENHISTORY").handlers, 1);
    EXPECT_EQ(system.shown.messages.size(), 1u);
}

TEST_F(CommandBars, TheThisSheetButtonsFollowTheActiveSheet) {
    connect = std::make_shared<Connect>(system, CoreProcedures());
    makeHost("11.0");
    const auto book = sim->addWorkbook("Toggle.xls", "C:\\Data");
    const auto watched = book->addWorksheet("Watched");
    const auto plain = book->addWorksheet("Plain");
    const auto chart = book->addChartSheet("Chart");
    book->properties()->add({"KEZ_QUORVEX_INFO_Watched", host::msoPropertyTypeString,
                             "0\tcat\t20240101090000AAA\t20240101090000BBB\t\t"});
    const auto states = [&] {
        std::vector<std::int32_t> seen;
        for (const auto& button : allTagged("KEZ_QUORVEX_THISSHEETCHECK")) seen.push_back(button->state());
        return seen;
    };
    const std::vector<std::int32_t> down(2, host::msoButtonDown);
    const std::vector<std::int32_t> up(2, host::msoButtonUp);

    // The connection sets them from the sheet active then.
    connectNow();
    EXPECT_EQ(states(), down);

    struct Step {
        std::string what;
        std::function<void()> run;
        std::vector<std::int32_t> states;
    };
    const std::vector<Step> steps = {
        {"a sheet without a watch", [&] { plain->activate(); }, up},
        {"the watched sheet", [&] { watched->activate(); }, down},
        {"a chart sheet", [&] { chart->activate(); }, up},
        {"a new workbook", [&] { sim->newWorkbook(); }, up},
        {"back to the watched sheet's workbook", [&] { sim->activateWorkbook(book); }, up},
        {"the watched sheet again", [&] { watched->activate(); }, down},
        {"forced up", [&] { SetThisSiteCheckButtonPushed(state(), true); }, up},
        {"its watch released",
         [&] {
             state().g_DocPros().Release(watched);
             plain->activate();
             watched->activate();
         },
         up},
    };
    for (const Step& step : steps) {
        step.run();
        EXPECT_EQ(states(), step.states) << step.what;
    }
}

}  // namespace
}  // namespace kq::addin::world
