// The markup documents as the library embeds them, against what the bridge
// answers for them: every callback they name is one of the bridge's, and every
// text, image and action they ask for has an answer.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ribbon/controls.h"

namespace kq::ribbon {
namespace {

std::string fileBytes(const std::string& name) {
    std::ifstream in(std::string(KQ_RIBBON_RESOURCES) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// The start tags of a document, with their attributes; enough for markup of our own.
std::vector<Element> startTags(const std::string& text) {
    std::vector<Element> out;
    const std::regex tag(R"re(<([A-Za-z]+)((\s+[A-Za-z:]+="[^"]*")*)\s*/?>)re");
    const std::regex attribute(R"re(([A-Za-z:]+)="([^"]*)")re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it) {
        Element element{(*it)[1], {}};
        const std::string attributes = (*it)[2];
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
             a != std::sregex_iterator(); ++a) {
            element.attributes[(*a)[1]] = (*a)[2];
        }
        out.push_back(std::move(element));
    }
    return out;
}

const std::set<std::string> kCallbacks = {
    "Callback_onLoad",
    "Callback_loadImage",
    "Callback_Print_onAction",
    "Callback_DirectPrint_onAction",
    "Callback_Preview_onAction",
    "Callback_getPressed",
    "Callback_ToggleButton_onAction",
    "Callback_Button_onAction",
    "Callback_getImage",
    "Callback_getLabel",
    "Callback_getScreentip",
    "Callback_getSupertip",
    "Callback_getDescription",
};

struct Document {
    const char* file;
    bool byteOrderMark;
    const char* ns;
    std::size_t size;
};
const Document kDocuments[] = {
    {"customui2007.xml", false, "http://schemas.microsoft.com/office/2006/01/customui", 3553},
    {"customui2010.xml", true, "http://schemas.microsoft.com/office/2009/07/customui", 3336},
};

TEST(Markup, BytesAreKeptAsEmbedded) {
    for (const Document& d : kDocuments) {
        SCOPED_TRACE(d.file);
        const std::string bytes = fileBytes(d.file);
        EXPECT_EQ(bytes.size(), d.size);
        EXPECT_EQ(bytes.starts_with("\xEF\xBB\xBF"), d.byteOrderMark);
        // Every line ends with CR LF, the last one too.
        std::size_t lineFeeds = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != '\n') continue;
            ++lineFeeds;
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "line " << lineFeeds;
        }
        EXPECT_GT(lineFeeds, 20u);
        EXPECT_TRUE(bytes.ends_with("</customUI>\r\n"));
        if (!d.byteOrderMark) {
            for (const char c : bytes) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
        }
    }
}

TEST(Markup, EveryCallbackTextImageAndActionHasItsAnswer) {
    for (const Document& d : kDocuments) {
        SCOPED_TRACE(d.file);
        const std::vector<Element> elements = startTags(fileBytes(d.file));
        ASSERT_FALSE(elements.empty());
        EXPECT_EQ(elements[0].name, "customUI");
        EXPECT_EQ(elements[0].attributes.at("xmlns"), d.ns);
        EXPECT_EQ(elements[0].attributes.at("xmlns:kez"), "KEZ_QUORVEX_NameSpace_CustomRibbonxX2");
        for (const Element& e : elements) {
            const auto id = e.attributes.contains("id") ? e.attributes.at("id") : std::string();
            SCOPED_TRACE(e.name + " " + id);
            for (const auto& [name, value] : e.attributes) {
                if (name.starts_with("get") || name.starts_with("on") || name == "loadImage") {
                    EXPECT_TRUE(kCallbacks.contains(value)) << name << "=" << value;
                }
                if (name.starts_with("get") && name != "getImage" && name != "getPressed") {
                    EXPECT_EQ(value, "Callback_" + name);
                }
            }
            const std::pair<const char*, TextKind> texts[] = {{"getLabel", TextKind::Label},
                                                              {"getScreentip", TextKind::Screentip},
                                                              {"getSupertip", TextKind::Supertip},
                                                              {"getDescription", TextKind::Description}};
            for (const auto& [attribute, kind] : texts) {
                if (e.attributes.contains(attribute)) {
                    EXPECT_TRUE(textStringId(kind, id)) << attribute;
                }
            }
            if (e.attributes.contains("image")) {
                EXPECT_TRUE(imageOfName(e.attributes.at("image")));
            }
            if (e.attributes.contains("getImage")) {
                EXPECT_TRUE(showsWatchState(id));
            }
            if (e.attributes.contains("onAction") && !e.attributes.contains("idMso")) {
                EXPECT_TRUE(buttonCommandOf(id));
                if (e.attributes.at("onAction") == "Callback_ToggleButton_onAction") {
                    EXPECT_TRUE(isThisSheetCheck(id));
                }
            }
        }
    }
}

TEST(Markup, RepurposedPrintCommandsPerDocument) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"customui2007.xml", {"FilePrint", "FilePrintQuick", "FilePrintPreview"}},
        {"customui2010.xml", {"FilePrint", "FilePrintQuick", "PrintPreviewFullScreen"}},
    };
    for (const auto& [file, expected] : cases) {
        std::vector<std::string> commands;
        for (const Element& e : startTags(fileBytes(file))) {
            if (e.name == "command") commands.push_back(e.attributes.at("idMso"));
        }
        EXPECT_EQ(commands, expected) << file;
    }
}

}  // namespace
}  // namespace kq::ribbon
