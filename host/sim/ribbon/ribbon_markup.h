#pragma once
// The ribbon markup an add-in hands the simulated host, as a host of one
// version takes it: the document must be well-formed, in the custom-UI
// namespace of that version (2006/01 for host 12, 2009/07 for 14 and later),
// carry the Office menu only for host 12 and the backstage view only for 14
// and later, and follow its schema. What passes becomes a flat list of the
// document's elements, in document order, that the ribbon session draws and
// drives.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/sim/ribbon/callback_signatures.h"
#include "host/sim/ribbon/xml_reader.h"

namespace kq::host::sim::ribbon {

// The part of the host's user interface an element belongs to: the child of
// customUI (or of ribbon) it sits under.
enum class RibbonArea { commands, ribbon, officeMenu, qat, backstage, contextMenus };

struct MarkupControl {
    std::string element;  // the local name: button, toggleButton, group, tab, command, ...
    std::string id;       // the id, idQ or idMso given, or ""
    bool builtIn = false; // identified by idMso
    std::string tag;
    RibbonArea area = RibbonArea::ribbon;
    int depth = 0;  // 0 for the children of the area's element
    std::vector<std::pair<std::string, std::string>> attributes;  // without namespace, in document order
    XmlPosition at;

    const std::string* attribute(std::string_view name) const;
};

// A callback named by an attribute of the markup.
struct CallbackUse {
    std::string callback;
    std::string attribute;
    std::string element;  // the local name; customUI for onLoad and loadImage
    std::string id;       // the element's id, or ""
    XmlPosition at;       // of the element
    std::optional<CallbackSignature> signature;
};

struct RibbonMarkup {
    std::string namespaceUri;
    std::string onLoad;     // "" when the markup names none
    std::string loadImage;  // "" when the markup names none
    XmlPosition at;         // of the root
    std::vector<MarkupControl> controls;

    // Every callback the markup names, each once, in the order of first use.
    std::vector<std::string> callbacks() const;
    // Every attribute that names a callback, in document order.
    std::vector<CallbackUse> callbackUses() const;
};

struct MarkupVerdict {
    std::optional<RibbonMarkup> markup;  // empty when the host refuses the document
    std::vector<std::string> problems;   // why, one reason a line
};

// The namespace a host of that version reads (hosts 12 and later).
std::string_view customUiNamespaceFor(int hostVersion);

// Markup text as an add-in returned it (already decoded, so its declared encoding is not looked at).
MarkupVerdict readRibbonMarkup(std::string_view text, int hostVersion);

// Attributes whose value names a callback of the add-in.
bool isCallbackAttribute(std::string_view name);

}  // namespace kq::host::sim::ribbon
