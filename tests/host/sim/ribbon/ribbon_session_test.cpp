#include "host/sim/ribbon/ribbon_session.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/sim/ribbon/custom_ui_schema.h"

namespace kq::host::sim::ribbon {
namespace {

using enum Argument;

// An add-in whose callbacks answer from tables and note every call.
class FakeAddIn final : public RibbonCallbacks {
public:
    std::vector<std::string> calls;
    std::vector<CallbackSignature> signatures;  // of each call
    std::map<std::string, CallbackValue> answers;  // by "callback control-id"
    bool pressedState = false;
    bool cancelCommands = false;

    CallbackValue call(CallbackCall& c) override {
        signatures.push_back(c.signature);
        const std::vector<Argument>& arguments = c.signature.arguments;
        if (arguments == std::vector{ribbon}) {
            calls.push_back(c.callback);
            return {};
        }
        if (arguments == std::vector{imageName}) {
            calls.push_back(c.callback + " " + c.text);
            return Picture{48, 48, "bitmap", static_cast<std::uint32_t>(c.text.size())};
        }
        if (arguments == std::vector{control, pressed}) {
            calls.push_back(c.callback + " " + c.control.id + (c.pressed ? " pressed" : " released"));
            return {};
        }
        if (arguments == std::vector{control, cancelDefault}) {
            calls.push_back(c.callback + " " + c.control.id + (c.cancelDefault ? " cancelled before" : ""));
            c.cancelDefault = cancelCommands;
            return {};
        }
        if (c.signature.answer == Answer::none) {
            calls.push_back(c.callback + " " + c.control.id + " tag=" + c.control.tag);
            return {};
        }
        calls.push_back(c.callback + " " + c.control.id);
        if (c.callback == "GetPressed") return pressedState;
        const auto found = answers.find(c.callback + " " + c.control.id);
        return found != answers.end() ? found->second : CallbackValue(c.callback + ":" + c.control.id);
    }
};

RibbonMarkup markupOf(const std::string& body, int version = 14) {
    const std::string ns(version == 12 ? kCustomUi2006 : kCustomUi2009);
    MarkupVerdict v = readRibbonMarkup("<customUI xmlns='" + ns + "' onLoad='OnLoad' loadImage='LoadImage'>" + body +
                                           "</customUI>",
                                       version);
    EXPECT_TRUE(v.markup) << (v.problems.empty() ? "" : v.problems.front());
    return v.markup ? *v.markup : RibbonMarkup{};
}

const char* const kGroup =
    "<commands><command idMso='FilePrint' onAction='OnPrint'/></commands>"
    "<ribbon><tabs><tab idMso='TabAddIns'><group id='G' getLabel='GetLabel'>"
    "<toggleButton id='WATCH' getLabel='GetLabel' getPressed='GetPressed' getImage='GetImage' onAction='OnToggle'/>"
    "<button id='LIST' image='list' label='List' onAction='OnButton' tag='t1'/>"
    "<button id='HELP' image='list' getScreentip='GetTip' onAction='OnButton'/>"
    "<labelControl id='NOTE' label='Note'/>"
    "<button id='IDLE' label='Idle'/>"
    "</group></tab></tabs></ribbon>";

// The values shown, as "control property" -> value.
std::map<std::string, CallbackValue> valuesOf(const std::vector<ShownControl>& shown) {
    std::map<std::string, CallbackValue> values;
    for (const auto& c : shown) {
        for (const auto& p : c.properties) values[c.id + " " + p.name] = p.value;
    }
    return values;
}

TEST(RibbonSession, AsksEachCallbackOnceUntilTheControlIsInvalidated) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    const auto first = valuesOf(session.show());
    EXPECT_EQ(first.at("G label"), CallbackValue(std::string("GetLabel:G")));
    EXPECT_EQ(first.at("WATCH pressed"), CallbackValue(false));
    EXPECT_EQ(first.at("LIST label"), CallbackValue(std::string("List")));
    EXPECT_EQ(first.at("FilePrint onAction"), CallbackValue(std::string("OnPrint")));
    // Two controls with one image: loadImage is asked for it once.
    EXPECT_EQ(first.at("LIST image"), first.at("HELP image"));
    const std::size_t asked = session.callbackCount();
    EXPECT_EQ(asked, addIn.calls.size());
    EXPECT_EQ(asked, 6u);  // G label; WATCH label, image, pressed; the image "list"; HELP screentip

    session.show();
    EXPECT_EQ(session.callbackCount(), asked);

    EXPECT_TRUE(session.invalidateControl("WATCH"));
    addIn.calls.clear();
    session.show();
    EXPECT_EQ(addIn.calls, (std::vector<std::string>{"GetLabel WATCH", "GetImage WATCH", "GetPressed WATCH"}));

    addIn.calls.clear();
    session.invalidate();
    session.show();
    EXPECT_EQ(addIn.calls.size(), 6u);
}

TEST(RibbonSession, InvalidationsNameControlsOfThisMarkupOnly) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    struct Case {
        const char* id;
        bool builtIn;
        bool known;
    };
    const Case cases[] = {
        {"WATCH", false, true},      {"watch", false, false},   {"TabAddIns", false, false},
        {"TabAddIns", true, true},   {"WATCH", true, false},    {"", false, false},
        {"NOSUCH", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.builtIn ? session.invalidateControlMso(c.id) : session.invalidateControl(c.id), c.known)
            << c.id << (c.builtIn ? " (built-in)" : "");
    }
}

TEST(RibbonSession, AToggleTurnsOverAtOnceAndAsksAgainOnlyWhenInvalidated) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    session.show();
    addIn.calls.clear();

    ASSERT_TRUE(session.press("WATCH"));
    EXPECT_EQ(addIn.calls, (std::vector<std::string>{"OnToggle WATCH pressed"}));
    // The add-in refused (its state stays released) but did not invalidate: the ribbon shows what the user clicked.
    EXPECT_EQ(valuesOf(session.show()).at("WATCH pressed"), CallbackValue(true));

    session.invalidateControl("WATCH");
    EXPECT_EQ(valuesOf(session.show()).at("WATCH pressed"), CallbackValue(false));

    addIn.pressedState = true;
    session.invalidateControl("WATCH");
    addIn.calls.clear();
    session.press("WATCH");
    EXPECT_EQ(addIn.calls, (std::vector<std::string>{"GetPressed WATCH", "OnToggle WATCH released"}));
}

TEST(RibbonSession, PressesReachOnlyControlsThatTakeThem) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    struct Case {
        const char* id;
        bool found;
        const char* refused;
        const char* call;
    };
    const Case cases[] = {
        {"LIST", true, "", "OnButton LIST tag=t1"},
        {"HELP", true, "", "OnButton HELP tag="},
        {"NOTE", true, "a labelControl cannot be pressed", ""},
        {"G", true, "a group cannot be pressed", ""},
        {"IDLE", true, "it has no onAction", ""},
        {"TabAddIns", false, "", ""},  // built-in: not ours to press
        {"NOSUCH", false, "", ""},
    };
    for (const Case& c : cases) {
        addIn.calls.clear();
        const auto outcome = session.press(c.id);
        ASSERT_EQ(outcome.has_value(), c.found) << c.id;
        if (!outcome) continue;
        EXPECT_EQ(outcome->refused, c.refused) << c.id;
        EXPECT_EQ(addIn.calls, std::string(c.call).empty() ? std::vector<std::string>{}
                                                             : std::vector<std::string>{c.call})
            << c.id;
    }
}

TEST(RibbonSession, DefinitiveBackstageButtonsCloseTheBackstage) {
    FakeAddIn addIn;
    RibbonSession session(markupOf("<backstage><tab idMso='TabPrint'><firstColumn><group id='G2'><primaryItem>"
                                   "<button id='A' label='a' onAction='OnButton' isDefinitive='true'/></primaryItem>"
                                   "<topItems><button id='B' label='b' onAction='OnButton'/></topItems>"
                                   "</group></firstColumn></tab></backstage>"),
                          addIn);
    EXPECT_TRUE(session.press("A")->closesBackstage);
    EXPECT_FALSE(session.press("B")->closesBackstage);
}

TEST(RibbonSession, RepurposedCommandsTellWhetherTheAddInCancelled) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    auto run = session.runCommand("FilePrint");
    ASSERT_TRUE(run);
    EXPECT_FALSE(run->cancelled);
    addIn.cancelCommands = true;
    EXPECT_TRUE(session.runCommand("FilePrint")->cancelled);
    EXPECT_EQ(addIn.calls, (std::vector<std::string>{"OnPrint FilePrint", "OnPrint FilePrint"}));
    EXPECT_FALSE(session.runCommand("FilePrintQuick"));
    EXPECT_FALSE(session.runCommand("TabAddIns"));
}

// Every call carries what the host passes for that element and attribute,
// wherever the control sits.
TEST(RibbonSession, CallsEachCallbackWithTheArgumentsOfItsElementAndAttribute) {
    FakeAddIn addIn;
    RibbonSession session(
        markupOf("<commands><command idMso='FilePrint' onAction='OnPrint'/></commands>"
                 "<ribbon><tabs><tab idMso='TabAddIns'><group id='G'>"
                 "<button id='SIZED' getSize='GetSize'/><checkBox id='CHECK' onAction='OnToggle'/>"
                 "<menu id='M'><toggleButton id='MENU_TOGGLE' onAction='OnToggle'/></menu>"
                 "<dropDown id='LIST' onAction='OnChoose'/>"
                 "</group></tab></tabs></ribbon>"
                 "<backstage><tab id='T'><firstColumn><group id='G2'><topItems>"
                 "<button id='BACK' onAction='OnButton' getLabel='GetLabel'/>"
                 "<checkBox id='BACK_CHECK' onAction='OnToggle'/>"
                 "</topItems></group></firstColumn></tab></backstage>"),
        addIn);
    const CallbackSignature toggle{{control, pressed}, Answer::none};
    struct Case {
        const char* what;  // a control's id to press, "show", "load" or a command
        std::vector<CallbackSignature> signatures;
    };
    const Case cases[] = {
        {"load", {{{ribbon}, Answer::none}}},
        {"CHECK", {toggle}},
        {"MENU_TOGGLE", {toggle}},
        {"BACK_CHECK", {toggle}},
        {"BACK", {{{control}, Answer::none}}},
        {"FilePrint", {{{control, cancelDefault}, Answer::none}}},
        {"show", {{{control}, Answer::number}, {{control}, Answer::text}}},
        {"LIST", {}},  // chosen from, not pressed
    };
    for (const Case& c : cases) {
        addIn.signatures.clear();
        const std::string what = c.what;
        if (what == "load") {
            session.load();
        } else if (what == "show") {
            session.show();
        } else if (what == "FilePrint") {
            session.runCommand(what);
        } else {
            ASSERT_TRUE(session.press(what)) << what;
        }
        EXPECT_EQ(addIn.signatures, c.signatures) << what;
    }
    EXPECT_EQ(session.press("LIST")->refused, "a dropDown cannot be pressed");
}

TEST(RibbonSession, LoadsOnce) {
    FakeAddIn addIn;
    RibbonSession session(markupOf(kGroup), addIn);
    EXPECT_TRUE(session.load());
    EXPECT_FALSE(session.load());
    EXPECT_EQ(addIn.calls, (std::vector<std::string>{"OnLoad"}));
}

TEST(RibbonSession, KeepsAFailedAnswerLikeAnyOther) {
    FakeAddIn addIn;
    addIn.answers["GetLabel G"] = CallFailed{"0x80020009 broken"};
    RibbonSession session(markupOf(kGroup), addIn);
    EXPECT_EQ(valuesOf(session.show()).at("G label"), CallbackValue(CallFailed{"0x80020009 broken"}));
    const std::size_t asked = session.callbackCount();
    session.show();
    EXPECT_EQ(session.callbackCount(), asked);
}

}  // namespace
}  // namespace kq::host::sim::ribbon
