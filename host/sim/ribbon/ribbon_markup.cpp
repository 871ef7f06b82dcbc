#include "host/sim/ribbon/ribbon_markup.h"

#include <algorithm>

#include "host/sim/ribbon/custom_ui_schema.h"

namespace kq::host::sim::ribbon {

namespace {

constexpr int kFirstBackstageHost = 14;
constexpr int kOfficeMenuHost = 12;

struct Area {
    std::string_view element;
    RibbonArea area;
};

// The elements that open an area, directly under customUI or under ribbon.
constexpr Area kAreas[] = {
    {"commands", RibbonArea::commands},       {"ribbon", RibbonArea::ribbon},
    {"officeMenu", RibbonArea::officeMenu},   {"qat", RibbonArea::qat},
    {"backstage", RibbonArea::backstage},     {"contextMenus", RibbonArea::contextMenus},
};

void flatten(const XmlElement& e, RibbonArea area, int depth, std::vector<MarkupControl>& out) {
    MarkupControl c;
    c.element = e.localName;
    c.area = area;
    c.depth = depth;
    c.at = e.at;
    for (const auto& a : e.attributes) {
        if (!a.namespaceUri.empty()) continue;
        c.attributes.emplace_back(a.localName, a.value);
        if (a.localName == "id" || a.localName == "idQ") c.id = a.value;
        if (a.localName == "idMso") {
            c.id = a.value;
            c.builtIn = true;
        }
        if (a.localName == "tag") c.tag = a.value;
    }
    out.push_back(std::move(c));
    for (const auto& child : e.children) flatten(child, area, depth + 1, out);
}

void collect(const XmlElement& parent, RibbonArea area, int depth, std::vector<MarkupControl>& out) {
    for (const auto& child : parent.children) {
        RibbonArea childArea = area;
        for (const auto& known : kAreas) {
            if (child.localName == known.element) childArea = known.area;
        }
        // The ribbon element only groups the areas below it; it is no control.
        if (child.localName == "ribbon") {
            collect(child, RibbonArea::ribbon, depth, out);
            continue;
        }
        flatten(child, childArea, depth, out);
    }
}

// Whether customUI, or the ribbon in it, holds an element of that name.
bool opensArea(const XmlElement& root, std::string_view element) {
    for (const auto& child : root.children) {
        if (child.localName == element) return true;
        if (child.localName == "ribbon" && opensArea(child, element)) return true;
    }
    return false;
}

}  // namespace

const std::string* MarkupControl::attribute(std::string_view name) const {
    for (const auto& [n, v] : attributes) {
        if (n == name) return &v;
    }
    return nullptr;
}

bool isCallbackAttribute(std::string_view name) {
    const auto startsWithWord = [&](std::string_view prefix) {
        return name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix && name[prefix.size()] >= 'A' &&
               name[prefix.size()] <= 'Z';
    };
    return name == "loadImage" || startsWithWord("get") || startsWithWord("on");
}

std::vector<std::string> RibbonMarkup::callbacks() const {
    std::vector<std::string> names;
    for (const CallbackUse& use : callbackUses()) {
        if (std::find(names.begin(), names.end(), use.callback) == names.end()) names.push_back(use.callback);
    }
    return names;
}

std::vector<CallbackUse> RibbonMarkup::callbackUses() const {
    std::vector<CallbackUse> uses;
    auto add = [&](const std::string& callback, const std::string& attribute, const std::string& element,
                   const std::string& id, const XmlPosition& where) {
        if (callback.empty()) return;
        uses.push_back({callback, attribute, element, id, where, callbackSignature(element, attribute)});
    };
    add(onLoad, "onLoad", "customUI", "", at);
    add(loadImage, "loadImage", "customUI", "", at);
    for (const auto& c : controls) {
        for (const auto& [name, value] : c.attributes) {
            if (isCallbackAttribute(name)) add(value, name, c.element, c.id, c.at);
        }
    }
    return uses;
}

std::string_view customUiNamespaceFor(int hostVersion) {
    return hostVersion >= kFirstBackstageHost ? kCustomUi2009 : kCustomUi2006;
}

MarkupVerdict readRibbonMarkup(std::string_view text, int hostVersion) {
    MarkupVerdict verdict;
    const XmlReading reading = readXml(text, XmlInput::text);
    if (!reading.root) {
        verdict.problems.push_back("not well-formed: " + reading.error.describe());
        return verdict;
    }
    const XmlElement& root = *reading.root;
    const std::string_view wanted = customUiNamespaceFor(hostVersion);
    if (root.namespaceUri != wanted) {
        verdict.problems.push_back("host " + std::to_string(hostVersion) + " reads the namespace " + std::string(wanted) +
                                   ", not " + (root.namespaceUri.empty() ? std::string("none") : root.namespaceUri));
        return verdict;
    }
    // Said first, in the host's terms, though the schema of the namespace refuses them as well.
    if (hostVersion != kOfficeMenuHost && opensArea(root, "officeMenu")) {
        verdict.problems.push_back("host " + std::to_string(hostVersion) + " has no Office menu");
    }
    if (hostVersion < kFirstBackstageHost && opensArea(root, "backstage")) {
        verdict.problems.push_back("host " + std::to_string(hostVersion) + " has no backstage view");
    }
    for (const auto& p : checkCustomUi(root)) verdict.problems.push_back(p.describe());
    if (!verdict.problems.empty()) return verdict;

    RibbonMarkup markup;
    markup.namespaceUri = root.namespaceUri;
    markup.at = root.at;
    if (const auto* a = root.attribute("onLoad")) markup.onLoad = a->value;
    if (const auto* a = root.attribute("loadImage")) markup.loadImage = a->value;
    collect(root, RibbonArea::ribbon, 0, markup.controls);
    verdict.markup = std::move(markup);
    return verdict;
}

}  // namespace kq::host::sim::ribbon
