#include "host/sim/ribbon/ribbon_markup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/sim/ribbon/custom_ui_schema.h"
#include "tests/host/sim/ribbon/ribbon_test_files.h"

namespace kq::host::sim::ribbon {
namespace {

using test::ribbonTestMarkup;

std::string firstProblem(const MarkupVerdict& v) { return v.problems.empty() ? std::string() : v.problems.front(); }

struct HostCase {
    const char* file;
    int version;
    const char* problem;  // "" when the host takes the markup
};

TEST(RibbonMarkup, EachHostTakesOnlyTheNamespaceOfItsVersion) {
    const HostCase cases[] = {
        {"host12.xml", 12, ""},
        {"host12.xml", 14, "host 14 reads the namespace http://schemas.microsoft.com/office/2009/07/customui"},
        {"host12.xml", 16, "host 16 reads the namespace"},
        {"host14.xml", 12, "host 12 reads the namespace http://schemas.microsoft.com/office/2006/01/customui"},
        {"host14.xml", 14, ""},
        {"host14.xml", 15, ""},
        {"host14.xml", 16, ""},
    };
    for (const HostCase& c : cases) {
        const MarkupVerdict v = readRibbonMarkup(ribbonTestMarkup(c.file), c.version);
        const std::string problem = firstProblem(v);
        if (std::string(c.problem).empty()) {
            EXPECT_TRUE(v.markup.has_value()) << c.file << " at " << c.version << ": " << problem;
        } else {
            EXPECT_FALSE(v.markup.has_value()) << c.file << " at " << c.version;
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
        }
    }
}

TEST(RibbonMarkup, OfficeMenuAndBackstageBelongToTheirHosts) {
    const std::string backstageAt12 = std::string("<customUI xmlns='") + std::string(kCustomUi2006) +
                                      "'><backstage/></customUI>";
    EXPECT_EQ(firstProblem(readRibbonMarkup(backstageAt12, 12)), "host 12 has no backstage view");
    const std::string officeMenuAt14 = std::string("<customUI xmlns='") + std::string(kCustomUi2009) +
                                       "'><ribbon><officeMenu/></ribbon></customUI>";
    EXPECT_EQ(firstProblem(readRibbonMarkup(officeMenuAt14, 14)), "host 14 has no Office menu");
    const MarkupVerdict damaged = readRibbonMarkup("<customUI", 14);
    EXPECT_FALSE(damaged.markup);
    EXPECT_EQ(firstProblem(damaged).rfind("not well-formed: line 1", 0), 0u) << firstProblem(damaged);
}

TEST(RibbonMarkup, ListsEveryElementWithItsAreaDepthAndIdentity) {
    const MarkupVerdict v = readRibbonMarkup(ribbonTestMarkup("host12.xml"), 12);
    ASSERT_TRUE(v.markup) << firstProblem(v);
    const RibbonMarkup& m = *v.markup;
    EXPECT_EQ(m.onLoad, "OnLoad");
    EXPECT_EQ(m.loadImage, "LoadImage");

    struct Expected {
        const char* element;
        const char* id;
        bool builtIn;
        RibbonArea area;
        int depth;
    };
    const Expected expected[] = {
        {"commands", "", false, RibbonArea::commands, 0},
        {"command", "FilePrint", true, RibbonArea::commands, 1},
        {"command", "FilePrintQuick", true, RibbonArea::commands, 1},
        {"officeMenu", "", false, RibbonArea::officeMenu, 0},
        {"menu", "FilePrintMenu", true, RibbonArea::officeMenu, 1},
        {"menu", "T_MENU", false, RibbonArea::officeMenu, 2},
        {"toggleButton", "T_WATCH_2", false, RibbonArea::officeMenu, 3},
        {"button", "T_LIST_2", false, RibbonArea::officeMenu, 3},
        {"tabs", "", false, RibbonArea::ribbon, 0},
        {"tab", "TabAddIns", true, RibbonArea::ribbon, 1},
        {"group", "T_GROUP", false, RibbonArea::ribbon, 2},
        {"toggleButton", "T_WATCH", false, RibbonArea::ribbon, 3},
        {"button", "T_LIST", false, RibbonArea::ribbon, 3},
        {"box", "T_BOX", false, RibbonArea::ribbon, 3},
        {"button", "T_HELP", false, RibbonArea::ribbon, 4},
        {"button", "T_FAIL", false, RibbonArea::ribbon, 4},
        {"dialogBoxLauncher", "", false, RibbonArea::ribbon, 3},
        {"button", "T_SETTING", false, RibbonArea::ribbon, 4},
    };
    ASSERT_EQ(m.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const MarkupControl& c = m.controls[i];
        EXPECT_EQ(c.element, expected[i].element) << i;
        EXPECT_EQ(c.id, expected[i].id) << i;
        EXPECT_EQ(c.builtIn, expected[i].builtIn) << i;
        EXPECT_EQ(c.area, expected[i].area) << i;
        EXPECT_EQ(c.depth, expected[i].depth) << i;
    }
    EXPECT_EQ(m.controls[12].tag, "history & more");
    EXPECT_EQ(*m.controls[11].attribute("getPressed"), "GetPressed");
    EXPECT_EQ(m.controls[11].attribute("label"), nullptr);

    const std::vector<std::string> callbacks = {"OnLoad",   "LoadImage", "OnPrint",  "GetLabel",
                                                "GetImage", "OnToggle",  "GetPressed", "OnButton", "OnFail"};
    EXPECT_EQ(m.callbacks(), callbacks);

    // Each naming attribute with the element it stands on.
    const std::vector<CallbackUse> uses = m.callbackUses();
    ASSERT_GE(uses.size(), 3u);
    EXPECT_EQ(uses[0].callback, "OnLoad");
    EXPECT_EQ(uses[0].element, "customUI");
    EXPECT_EQ(uses[2].callback, "OnPrint");
    EXPECT_EQ(uses[2].element, "command");
    EXPECT_EQ(uses[2].id, "FilePrint");
    EXPECT_EQ(uses[2].at.line, 7);
    const auto toggle = std::find_if(uses.begin(), uses.end(), [](const CallbackUse& u) {
        return u.id == "T_WATCH_2" && u.attribute == "onAction";
    });
    ASSERT_NE(toggle, uses.end());
    EXPECT_EQ(toggle->signature,
              (CallbackSignature{{Argument::control, Argument::pressed}, Answer::none}));
}

TEST(RibbonMarkup, KnowsWhichAttributesNameCallbacks) {
    for (const char* name : {"onLoad", "loadImage", "onAction", "onChange", "onShow", "getLabel", "getPressed",
                             "getItemID", "getContent"}) {
        EXPECT_TRUE(isCallbackAttribute(name)) << name;
    }
    for (const char* name : {"label", "id", "image", "getaway", "on", "get", "onion", "tag", "keytip"}) {
        EXPECT_FALSE(isCallbackAttribute(name)) << name;
    }
}

}  // namespace
}  // namespace kq::host::sim::ribbon
