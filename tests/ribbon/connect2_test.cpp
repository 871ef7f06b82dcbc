#include "ribbon/connect2.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/sim/sim_application.h"
#include "ribbon/texts.h"
#include "tests/support/scripted_prompts.h"

namespace kq::ribbon {
namespace {

using host::sim::SimAddIn;
using host::sim::SimApplication;
using test::ShownMessage;

constexpr unsigned kCritical = 0x10;
const std::string kTitle(texts::kTitle);
const ShownMessage kCoreMissingBox{std::string(texts::kCoreMissing), kTitle, kCritical};
const ShownMessage kUnknownErrorBox{std::string(texts::kUnknownError), kTitle, kCritical};
ShownMessage unknownControlBox(const std::string& callback, const std::string& id) {
    return {std::string("Error:").append(callback).append("\r\n").append(id), kTitle, 0};
}

// A picture that says where it came from.
struct NamedPicture final : Picture {
    explicit NamedPicture(std::string from) : from(std::move(from)) {}
    std::string from;
};
std::string sourceOf(const PicturePtr& picture) {
    const auto* named = dynamic_cast<const NamedPicture*>(picture.get());
    return named ? named->from : "(none)";
}

class FakeSystem final : public BridgeSystem {
public:
    std::int32_t GetOS() override { return os; }
    Prompts& prompts() override { return shown; }
    std::optional<std::string> LoadResString(std::int32_t id) override {
        return std::string("text ").append(std::to_string(id));
    }
    std::optional<std::string> LoadCustomUI(std::string_view resourceName) override {
        if (markupFailure) throw host::HostError(7, "Out of memory");
        if (!markupLoads) return std::nullopt;
        return "markup of " + std::string(resourceName);
    }
    PicturePtr LoadResPNGPicture(std::string_view resourceName, Prompts& prompts) override {
        if (resourceName == complaining) prompts.message("Err:GetTempFileFullpath", "t", 0x10);
        if (failingPictures.contains(std::string(resourceName))) throw host::HostError(481, "ピクチャが不正です。");
        return std::make_shared<NamedPicture>(std::string("png:").append(resourceName));
    }
    PicturePtr GetImageMso(const host::ApplicationPtr&, const std::string& name, int width, int height) override {
        if (failingPictures.contains(name)) throw host::HostError(5, "Invalid procedure call or argument");
        return std::make_shared<NamedPicture>(std::string("mso:")
                                                  .append(name)
                                                  .append("@")
                                                  .append(std::to_string(width))
                                                  .append("x")
                                                  .append(std::to_string(height)));
    }

    std::int32_t os = 8;
    bool markupLoads = true;
    bool markupFailure = false;
    std::set<std::string> failingPictures;
    // A resource whose loading tells the user something went wrong.
    std::string complaining;
    test::ScriptedPrompts shown;
};

// The add-in core as the bridge reaches it: records every call by name.
class FakeCore final : public host::LateBound {
public:
    host::Value Invoke(const std::string& name, std::vector<host::Value>& args) override {
        std::string call = name;
        for (const auto& a : args) {
            if (const double* n = std::get_if<double>(&a))
                call.append(" ").append(std::to_string(static_cast<int>(*n)));
        }
        calls.push_back(call);
        if (failing.contains(name))
            throw host::HostError(-2147417848, "The object invoked has disconnected from its clients.");
        if (name == "CallForRibbon_GetThisSheetCheckEnabled") return watched;
        return host::Empty{};
    }
    std::vector<std::string> calls;
    std::set<std::string> failing;
    host::Value watched = false;
};

class RecordingRibbon final : public RibbonUi {
public:
    void InvalidateControl(const std::string& controlId) override {
        invalidated.push_back(controlId);
        if (refused.contains(controlId)) throw host::HostError(5, "Invalid procedure call or argument");
    }
    std::vector<std::string> invalidated;
    std::set<std::string> refused;
};

class Control final : public RibbonControl {
public:
    explicit Control(std::string id) : id_(std::move(id)) {}
    std::string Id() override { return id_; }

private:
    std::string id_;
};

class Bridge : public ::testing::Test {
protected:
    // Connects the bridge to a host of that version, with the core loaded or not.
    void connect(const std::string& version = "14.0", bool coreLoaded = true) {
        application = SimApplication::create(version);
        coreEntry = application->addComAddIn(kCoreProgId);
        if (coreLoaded) coreEntry->SetObject(core);
        bridgeEntry = application->addComAddIn("Kez_QuorvexForRibbon.Connect2");
        bridge.AddinInstance_OnConnection(application, *bridgeEntry, self);
        bridge.Callback_onLoad(ribbon);
    }
    std::vector<ShownMessage>& shown() { return system.shown.messages; }

    FakeSystem system;
    Connect2 bridge{system};
    std::shared_ptr<SimApplication> application;
    std::shared_ptr<SimAddIn> coreEntry;
    std::shared_ptr<SimAddIn> bridgeEntry;
    std::shared_ptr<FakeCore> core = std::make_shared<FakeCore>();
    std::shared_ptr<FakeCore> self = std::make_shared<FakeCore>();
    std::shared_ptr<RecordingRibbon> ribbon = std::make_shared<RecordingRibbon>();
};

TEST_F(Bridge, ConnectionGatesOnTheHostVersionAndTheWindowsVersion) {
    struct Case {
        const char* version;
        std::int32_t os;
        bool published;
        bool keptConnected;
        const char* markup;
    };
    const Case cases[] = {
        {"11.0", 8, false, true, "Err:LoadXML"},  // no ribbon: idle
        {"12.0", 6, true, true, "markup of CUSTOMUI2007"},
        {"13.0", 8, false, false, "Err:LoadXML"},
        {"14.0", 8, true, true, "markup of CUSTOMUI2010"},
        {"15.0", 9, true, true, "markup of CUSTOMUI2013"},
        {"16.0", 12, true, true, "markup of CUSTOMUI2013"},
        {"17.0", 12, false, false, "Err:LoadXML"},
        {"15.0", 13, false, false, "Err:LoadXML"},  // a Windows the table does not name
        {"12.0", 3, false, false, "Err:LoadXML"},
        {"14.5", 8, false, false, "Err:LoadXML"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " on OS " + std::to_string(c.os));
        system.os = c.os;
        system.shown.messages.clear();
        connect(c.version);
        EXPECT_EQ(bridgeEntry->Object() == self, c.published);
        EXPECT_EQ(bridgeEntry->Connect(), c.keptConnected);
        EXPECT_TRUE(shown().empty());
        const std::string markup = bridge.IRibbonExtensibility_GetCustomUI();
        EXPECT_EQ(markup.empty() ? shown().at(0).text : markup, c.markup);
        bridge.AddinInstance_OnDisconnection();
    }
}

TEST_F(Bridge, MarkupThatDoesNotLoadGivesTheMessageAndNoMarkup) {
    connect("12.0");
    for (const bool failure : {false, true}) {
        system.markupLoads = false;
        system.markupFailure = failure;
        shown().clear();
        EXPECT_EQ(bridge.IRibbonExtensibility_GetCustomUI(), "");
        EXPECT_EQ(shown(), (std::vector<ShownMessage>{{"Err:LoadXML", kTitle, kCritical}}));
    }
}

TEST_F(Bridge, WithoutTheCoreActionsSayItIsMissingAndStateQueriesStaySilent) {
    connect("14.0", false);
    Control toggle(std::string(control::kThisSheetCheck));
    bool cancel = true;
    bridge.Callback_Print_onAction(toggle, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(shown(), std::vector<ShownMessage>{kCoreMissingBox});

    shown().clear();
    EXPECT_EQ(bridge.Callback_getPressed(toggle), host::Value(host::Empty{}));
    EXPECT_EQ(bridge.Callback_getImage(toggle), nullptr);
    EXPECT_EQ(bridge.Callback_getLabel(toggle), "text 1002");
    EXPECT_TRUE(shown().empty());

    bridge.Callback_ToggleButton_onAction(toggle, true);
    bridge.Callback_Button_onAction(toggle);
    EXPECT_EQ(shown(), (std::vector<ShownMessage>{kCoreMissingBox, kCoreMissingBox}));
    EXPECT_TRUE(ribbon->invalidated.empty());
}

TEST_F(Bridge, PrintCommandsHandTheirKindToTheCoreAndLetThePrintRun) {
    connect();
    Control command("FilePrint");
    using Callback = void (Connect2::*)(RibbonControl&, bool&);
    const std::pair<Callback, std::string> cases[] = {
        {&Connect2::Callback_Print_onAction, "CallForRibbon_PrintOrPreview_onAction 1"},
        {&Connect2::Callback_DirectPrint_onAction, "CallForRibbon_PrintOrPreview_onAction 2"},
        {&Connect2::Callback_Preview_onAction, "CallForRibbon_PrintOrPreview_onAction 3"},
    };
    for (const auto& [callback, call] : cases) {
        core->calls.clear();
        bool cancel = true;
        (bridge.*callback)(command, cancel);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(core->calls, std::vector<std::string>{call});
    }
    // A core that fails the call still lets the print run, without a word.
    core->failing.insert("CallForRibbon_PrintOrPreview_onAction");
    bool cancel = true;
    bridge.Callback_Print_onAction(command, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(shown().empty());
}

TEST_F(Bridge, ButtonsRunTheirCoreCommandByIdExactly) {
    connect();
    const std::pair<std::string_view, const char*> cases[] = {
        {control::kOpenHistory, "CallForRibbon_OpenHistory"},
        {control::kOpenHistory2, "CallForRibbon_OpenHistory"},
        {control::kSetting, "CallForRibbon_Setting"},
        {control::kSetting2, "CallForRibbon_Setting"},
        {control::kHelp, "CallForRibbon_Help"},
        {control::kAbout, "CallForRibbon_About"},
        {control::kHomePage, "CallForRibbon_GoToHomePage"},
    };
    for (const auto& [id, member] : cases) {
        core->calls.clear();
        Control button{std::string(id)};
        bridge.Callback_Button_onAction(button);
        EXPECT_EQ(core->calls, std::vector<std::string>{member}) << id;
    }
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(ribbon->invalidated.empty());

    core->calls.clear();
    for (const char* id : {"KEZ_QUORVEX_TAB_MAIN_help", "KEZ_QUORVEX_TAB_MAIN"}) {
        Control unknown{id};
        bridge.Callback_Button_onAction(unknown);
        EXPECT_EQ(shown().back(), unknownControlBox("Callback_Button_onAction", id));
    }
    Control unknownToggle{std::string(control::kOpenHistory)};
    bridge.Callback_ToggleButton_onAction(unknownToggle, false);
    EXPECT_EQ(shown().back(), unknownControlBox("Callback_ToggleButton_onAction", std::string(control::kOpenHistory)));
    EXPECT_TRUE(core->calls.empty());
}

TEST_F(Bridge, ThisSheetCommandRefreshesEveryControlShowingTheWatch) {
    connect("12.0");
    const std::string toggle(control::kThisSheetCheck);
    const std::string menuToggle(control::kThisSheetCheck2);
    const std::string menu(control::kOfficeMenu);
    struct Case {
        std::string clicked;
        bool asButton;
        std::vector<std::string> invalidated;
    };
    const Case cases[] = {
        {toggle, false, {toggle, menuToggle, menu}},
        {menuToggle, false, {menuToggle, toggle, menu}},
        // The backstage button stands for the toggle.
        {menuToggle, true, {menuToggle, toggle, menu}},
        {toggle, true, {toggle, menuToggle, menu}},
    };
    for (const Case& c : cases) {
        core->calls.clear();
        ribbon->invalidated.clear();
        Control clicked{c.clicked};
        if (c.asButton) {
            bridge.Callback_Button_onAction(clicked);
        } else {
            bridge.Callback_ToggleButton_onAction(clicked, true);
        }
        EXPECT_EQ(core->calls, std::vector<std::string>{"CallForRibbon_ThisSheetCheck"});
        EXPECT_EQ(ribbon->invalidated, c.invalidated);
    }
    // A host without the Office menu refuses to refresh it: that is no error.
    ribbon->refused.insert(menu);
    Control clicked{toggle};
    bridge.Callback_ToggleButton_onAction(clicked, true);
    EXPECT_TRUE(shown().empty());
    // The clicked control itself not refreshing is.
    ribbon->refused.insert(toggle);
    bridge.Callback_ToggleButton_onAction(clicked, true);
    EXPECT_EQ(shown(), std::vector<ShownMessage>{kUnknownErrorBox});
}

TEST_F(Bridge, AFailingCoreCallIsReportedForEveryButtonTheSettingsIncluded) {
    for (const std::string_view id : {control::kSetting, control::kSetting2, control::kOpenHistory, control::kHelp}) {
        connect();
        core->failing = {"CallForRibbon_Setting", "CallForRibbon_OpenHistory", "CallForRibbon_Help"};
        shown().clear();
        Control button{std::string(id)};
        bridge.Callback_Button_onAction(button);
        EXPECT_EQ(shown(), std::vector<ShownMessage>{kUnknownErrorBox}) << id;
    }
}

TEST_F(Bridge, TheCoreIsLookedUpOnceAndAgainOnlyAfterItFailed) {
    connect();
    Control help{std::string(control::kHelp)};
    bridge.Callback_Button_onAction(help);
    // Found once, the object stays, even when the host lists another one now.
    auto later = std::make_shared<FakeCore>();
    coreEntry->SetObject(later);
    bridge.Callback_Button_onAction(help);
    EXPECT_EQ(core->calls.size(), 2u);
    EXPECT_TRUE(later->calls.empty());

    // A core that has gone away fails the call: the next need finds the new one.
    core->failing.insert("CallForRibbon_Help");
    bridge.Callback_Button_onAction(help);
    bridge.Callback_Button_onAction(help);
    EXPECT_EQ(later->calls, std::vector<std::string>{"CallForRibbon_Help"});

    // Disconnection lets go of it too.
    bridge.AddinInstance_OnDisconnection();
    shown().clear();
    bridge.Callback_Button_onAction(help);
    EXPECT_EQ(shown(), std::vector<ShownMessage>{kCoreMissingBox});
}

TEST_F(Bridge, PressedStateAndImageFollowTheCore) {
    connect();
    struct Case {
        host::Value watched;
        std::string picture;
    };
    const Case cases[] = {
        {true, "png:PNG_ICON_THISSHEETCHECK2"},         {false, "png:PNG_ICON_THISSHEETCHECK"},
        {host::Empty{}, "png:PNG_ICON_THISSHEETCHECK"}, {-1.0, "png:PNG_ICON_THISSHEETCHECK2"},
        {1.0, "png:PNG_ICON_THISSHEETCHECK"},
    };
    for (const Case& c : cases) {
        core->watched = c.watched;
        for (const std::string_view id : {control::kThisSheetCheck, control::kThisSheetCheck2, control::kOfficeMenu}) {
            Control shown{std::string(id)};
            EXPECT_EQ(bridge.Callback_getPressed(shown), c.watched);
            EXPECT_EQ(sourceOf(bridge.Callback_getImage(shown)), c.picture) << id;
        }
    }
    Control other{std::string(control::kOpenHistory)};
    EXPECT_EQ(bridge.Callback_getImage(other), nullptr);

    system.failingPictures.insert("PNG_ICON_THISSHEETCHECK");
    core->watched = false;
    Control toggle{std::string(control::kThisSheetCheck)};
    EXPECT_EQ(bridge.Callback_getImage(toggle), nullptr);
    system.complaining = "PNG_ICON_THISSHEETCHECK2";
    core->watched = true;
    EXPECT_EQ(sourceOf(bridge.Callback_getImage(toggle)), "png:PNG_ICON_THISSHEETCHECK2");
    core->failing.insert("CallForRibbon_GetThisSheetCheckEnabled");
    EXPECT_EQ(bridge.Callback_getPressed(toggle), host::Value(host::Empty{}));
    EXPECT_TRUE(shown().empty());
}

TEST_F(Bridge, LoadImageGivesResourceOrBuiltInPicturesAndDeleteForTheRest) {
    connect();
    const std::pair<const char*, const char*> cases[] = {
        {"KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK", "png:PNG_ICON_THISSHEETCHECK"},
        {"KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK_2", "png:PNG_ICON_THISSHEETCHECK"},
        {"KEZ_QUORVEX_TAB_MAIN_OPENHISTORY", "png:PNG_ICON_OPENHISTORY"},
        {"KEZ_QUORVEX_TAB_MAIN_OPENHISTORY_2", "png:PNG_ICON_OPENHISTORY"},
        {"KEZ_QUORVEX_TAB_MAIN_SETTING", "mso:ControlsGallery@32x32"},
        {"KEZ_QUORVEX_TAB_MAIN_SETTING_2", "mso:ControlsGallery@32x32"},
        {"KEZ_QUORVEX_TAB_MAIN_HOMEPAGE", "mso:OpenStartPage@32x32"},
        {"KEZ_QUORVEX_TAB_MAIN_HELP", "mso:ContentsAndIndex@32x32"},
        {"KEZ_QUORVEX_TAB_MAIN_ABOUT", "mso:Info@32x32"},
    };
    for (const auto& [name, picture] : cases) EXPECT_EQ(sourceOf(bridge.Callback_loadImage(name)), picture) << name;
    EXPECT_TRUE(shown().empty());

    for (const char* name : {"KEZ_QUORVEX_TAB_MAIN_help", "KEZ_QUORVEX_OFFICEMENU", ""}) {
        EXPECT_EQ(sourceOf(bridge.Callback_loadImage(name)), "mso:Delete@32x32") << name;
        EXPECT_EQ(shown().back(), unknownControlBox("Callback_loadImage", name));
    }
    // A picture that cannot be made falls back without a word.
    shown().clear();
    system.failingPictures = {"PNG_ICON_OPENHISTORY", "Info"};
    EXPECT_EQ(sourceOf(bridge.Callback_loadImage("KEZ_QUORVEX_TAB_MAIN_OPENHISTORY")), "mso:Delete@32x32");
    EXPECT_EQ(sourceOf(bridge.Callback_loadImage("KEZ_QUORVEX_TAB_MAIN_ABOUT")), "mso:Delete@32x32");
    system.failingPictures.insert("Delete");
    EXPECT_EQ(bridge.Callback_loadImage("KEZ_QUORVEX_TAB_MAIN_ABOUT"), nullptr);
    EXPECT_TRUE(shown().empty());

    // What stands in the way of a picture outside drawing a control's state is told.
    system.complaining = "PNG_ICON_THISSHEETCHECK";
    EXPECT_EQ(sourceOf(bridge.Callback_loadImage("KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK")),
              "png:PNG_ICON_THISSHEETCHECK");
    EXPECT_EQ(shown().size(), 1u);
}

TEST_F(Bridge, TextsComeFromTheStringTableForTheControlsThatShowThem) {
    connect();
    using Callback = std::string (Connect2::*)(RibbonControl&);
    struct Case {
        Callback callback;
        const char* name;
        std::string_view id;
        const char* text;
    };
    const Case cases[] = {
        {&Connect2::Callback_getLabel, "Callback_getLabel", control::kOfficeMenu, "text 1000"},
        {&Connect2::Callback_getLabel, "Callback_getLabel", control::kBackstageGroup, "text 1001"},
        {&Connect2::Callback_getLabel, "Callback_getLabel", control::kSetting2, "text 1004"},
        {&Connect2::Callback_getLabel, "Callback_getLabel", control::kSetting, nullptr},
        {&Connect2::Callback_getScreentip, "Callback_getScreentip", control::kSetting, "text 3004"},
        {&Connect2::Callback_getScreentip, "Callback_getScreentip", control::kGroup, nullptr},
        {&Connect2::Callback_getSupertip, "Callback_getSupertip", control::kHomePage, "text 4007"},
        {&Connect2::Callback_getDescription, "Callback_getDescription", control::kThisSheetCheck2, "text 5002"},
        {&Connect2::Callback_getDescription, "Callback_getDescription", control::kHelp, nullptr},
    };
    for (const Case& c : cases) {
        shown().clear();
        Control control{std::string(c.id)};
        const std::string text = (bridge.*c.callback)(control);
        if (c.text) {
            EXPECT_EQ(text, c.text) << c.id;
            EXPECT_TRUE(shown().empty());
        } else {
            EXPECT_EQ(text, "") << c.id;
            EXPECT_EQ(shown(), std::vector<ShownMessage>{unknownControlBox(c.name, std::string(c.id))});
        }
    }
}

}  // namespace
}  // namespace kq::ribbon
