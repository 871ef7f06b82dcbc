#include "host/sim/ribbon/custom_ui_schema.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace kq::host::sim::ribbon {

namespace {

// The value types of the schemas' attributes.
enum class Kind {
    text,          // 1 to 1024 characters
    longText,      // 1 to 4096 characters
    uri,           // an image's name: 1 to 1024 characters
    callback,      // a callback's name: 1 to 1024 characters
    builtInId,     // the name of a built-in control: a name without colon, 1 to 1024 characters
    uniqueId,      // the same, and unique in the document
    qualifiedId,   // a name with a declared prefix, 1 to 1024 characters
    truth,         // true, false, 1 or 0
    keytip,        // 1 to 3 characters, no blanks at either end, no line breaks
    size,          // normal or large
    boxStyle,      // horizontal or vertical
    stringLength,  // a whole number from 1 to 1024
    itemCount,     // a whole number from 1 to 1024 (gallery rows and columns)
    itemExtent,    // a whole number from 1 to 4096 (gallery item width and height)
    percent,       // a whole number from 1 to 99
    columnWidth,   // a whole number from 1 to 10000
    expand,        // horizontal, vertical, both or neither
    buttonStyle,   // normal, borderless or large
    groupStyle,    // normal, warning or error
    alignment,     // topLeft, top, topRight, left, center, right, bottomLeft, bottom or bottomRight
    layout,        // horizontal or vertical
    taskSizes,     // largeMediumSmall, largeMedium, large, mediumSmall, medium or small
    falseOnly,     // false or 0 (a gallery's showInRibbon)
};

struct Attribute {
    std::string_view name;
    Kind kind;
};
using Attributes = std::vector<Attribute>;

Attributes operator+(Attributes a, const Attributes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Attributes without(Attributes a, std::initializer_list<std::string_view> names) {
    a.erase(std::remove_if(a.begin(), a.end(),
                           [&](const Attribute& x) { return std::find(names.begin(), names.end(), x.name) != names.end(); }),
            a.end());
    return a;
}

// One place in an element's content: any of `choices`, from `least` to `most` times.
struct Child {
    std::string_view element;
    std::string_view type;
};
struct Slot {
    std::vector<Child> choices;
    int least = 0;
    int most = 1;
};

// How the children fill the slots of an element's content.
enum class Order {
    sequence,  // slot after slot
    anyOrder,  // each slot in any order (the schemas' xsd:all)
    oneSlot,   // the children of one slot only, whichever it is (a choice between lists)
};

struct Type {
    Attributes attributes;
    std::vector<Slot> content;
    std::vector<std::string_view> required;
    Order order = Order::sequence;
    bool mayBeEmpty = false;  // the content as a whole may be left out, though a slot in it is needed
};

using Schema = std::map<std::string_view, Type>;

// The attribute groups both schemas share. The 2006 schema gives tag only to
// controls, not to boxes, separators and button groups (see schema2006).
const Attributes kIdCustom = {{"id", Kind::uniqueId}, {"idQ", Kind::qualifiedId}, {"tag", Kind::text}};
const Attributes kIds = kIdCustom + Attributes{{"idMso", Kind::builtInId}};
const Attributes kEnabled = {{"enabled", Kind::truth}, {"getEnabled", Kind::callback}};
const Attributes kVisible = {{"visible", Kind::truth}, {"getVisible", Kind::callback}};
const Attributes kLabel = {{"label", Kind::text}, {"getLabel", Kind::callback}};
const Attributes kImage = {{"image", Kind::uri}, {"imageMso", Kind::builtInId}, {"getImage", Kind::callback}};
const Attributes kPosition = {{"insertAfterMso", Kind::builtInId},
                              {"insertBeforeMso", Kind::builtInId},
                              {"insertAfterQ", Kind::qualifiedId},
                              {"insertBeforeQ", Kind::qualifiedId}};
const Attributes kTips = {{"screentip", Kind::text},
                          {"getScreentip", Kind::callback},
                          {"supertip", Kind::text},
                          {"getSupertip", Kind::callback}};
const Attributes kKeytip = {{"keytip", Kind::keytip}, {"getKeytip", Kind::callback}};
const Attributes kShowLabel = {{"showLabel", Kind::truth}, {"getShowLabel", Kind::callback}};
const Attributes kShowImage = {{"showImage", Kind::truth}, {"getShowImage", Kind::callback}};
const Attributes kAction = {{"onAction", Kind::callback}};
const Attributes kDescription = {{"description", Kind::longText}, {"getDescription", Kind::callback}};
const Attributes kSize = {{"size", Kind::size}, {"getSize", Kind::callback}};
const Attributes kPressed = {{"getPressed", Kind::callback}};
const Attributes kTitle = {{"title", Kind::text}, {"getTitle", Kind::callback}};
const Attributes kItems = {{"showItemImage", Kind::truth},     {"getItemCount", Kind::callback},
                           {"getItemLabel", Kind::callback},   {"getItemScreentip", Kind::callback},
                           {"getItemSupertip", Kind::callback}, {"getItemImage", Kind::callback},
                           {"getItemID", Kind::callback},      {"sizeString", Kind::text}};
const Attributes kSelection = {{"getSelectedItemID", Kind::callback},
                               {"getSelectedItemIndex", Kind::callback},
                               {"showItemLabel", Kind::truth}};
const Attributes kText = {{"maxLength", Kind::stringLength},
                          {"getText", Kind::callback},
                          {"onChange", Kind::callback},
                          {"sizeString", Kind::text}};

// What a plain button of the ribbon takes wherever it sits.
const Attributes kButton = kIds + kAction + kEnabled + kDescription + kImage + kLabel + kKeytip + kPosition + kTips +
                           kShowImage + kShowLabel + kVisible;
const Attributes kLabelControl = kIds + kEnabled + kLabel + kPosition + kTips + kShowLabel + kVisible;
// A clone of a built-in control takes no id of its own: custom controls cannot be cloned.
// In a menu or button group it takes no description either; in the quick
// access toolbar its id names a control of the same document to clone.
const Attributes kControlBase =
    kImage + kTips + kEnabled + kLabel + kPosition + kVisible + kKeytip + kShowLabel + kShowImage;
const Attributes kControlCloneRegular = without(kIds, {"id"}) + kControlBase;
const Attributes kControlClone = without(kButton, {"id", "onAction"});
const Attributes kControlCloneQat =
    kControlBase + Attributes{{"id", Kind::builtInId}, {"idQ", Kind::qualifiedId}, {"idMso", Kind::builtInId}} +
    kDescription;
const Attributes kCheckBox =
    kIds + kAction + kEnabled + kDescription + kLabel + kKeytip + kPosition + kTips + kVisible + kPressed;
const Attributes kEditBox =
    kIds + kEnabled + kImage + kLabel + kKeytip + kPosition + kTips + kShowImage + kShowLabel + kVisible + kText;
const Attributes kDropDown = kIds + kAction + kEnabled + kImage + kLabel + kKeytip + kPosition + kTips + kShowImage +
                             kShowLabel + kVisible + kItems + kSelection;
const Attributes kGallery = kDropDown + kDescription +
                            Attributes{{"columns", Kind::itemCount},       {"rows", Kind::itemCount},
                                       {"itemWidth", Kind::itemExtent},    {"itemHeight", Kind::itemExtent},
                                       {"getItemWidth", Kind::callback},   {"getItemHeight", Kind::callback},
                                       {"invalidateContentOnDrop", Kind::truth}};
const Attributes kMenu = kIds + kEnabled + kDescription + kImage + kLabel + kKeytip + kPosition + kTips + kShowImage +
                         kShowLabel + kVisible + Attributes{{"itemSize", Kind::size}};
const Attributes kDynamicMenu = without(kMenu, {"itemSize"}) +
                                Attributes{{"getContent", Kind::callback}, {"invalidateContentOnDrop", Kind::truth}};
const Attributes kSplitButton = kIds + kEnabled + kKeytip + kPosition + kShowLabel + kVisible;
const Attributes kContainer = kIdCustom + kVisible + kPosition;

const std::vector<Child> kGroupControls = {
    {"control", "controlClone"}, {"labelControl", "labelControl"}, {"button", "button"},
    {"toggleButton", "toggleButton"}, {"checkBox", "checkBox"},    {"editBox", "editBox"},
    {"comboBox", "comboBox"},    {"dropDown", "dropDown"},         {"gallery", "gallery"},
    {"menu", "menu"},            {"dynamicMenu", "dynamicMenu"},   {"splitButton", "splitButton"},
    {"box", "box"},              {"buttonGroup", "buttonGroup"},
};

const std::vector<Child> kMenuControls = {
    {"control", "controlCloneRegular"}, {"button", "buttonRegular"},
    {"checkBox", "checkBox"},           {"gallery", "galleryRegular"},
    {"toggleButton", "toggleButtonRegular"}, {"menuSeparator", "menuSeparator"},
    {"splitButton", "splitButtonRegular"},   {"menu", "menuRegular"},
    {"dynamicMenu", "dynamicMenuRegular"},
};

std::vector<Child> operator+(std::vector<Child> a, const std::vector<Child>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The ribbon's types, as both schemas have them; each schema then adds and changes its own.
Schema ribbonTypes() {
    Schema s;
    s["commands"] = {{}, {{{{"command", "command"}}, 1, 5000}}, {}};
    s["command"] = {Attributes{{"idMso", Kind::builtInId}} + kEnabled + kAction, {}, {}};
    s["qat"] = {{}, {{{{"sharedControls", "qatItems"}}, 0, 1}, {{{"documentControls", "qatItems"}}, 0, 1}}, {}};
    s["qatItems"] = {{},
                     {{{{"control", "controlCloneQat"}, {"button", "buttonRegular"}, {"separator", "separator"}}, 0, 1000}},
                     {}};
    s["controlCloneQat"] = {kControlCloneQat + kSize, {}, {}};
    s["tabs"] = {{}, {{{{"tab", "tab"}}, 1, 100}}, {}};
    s["contextualTabs"] = {{}, {{{{"tabSet", "tabSet"}}, 1, 100}}, {}};
    s["tabSet"] = {Attributes{{"idMso", Kind::builtInId}} + kVisible, {{{{"tab", "tab"}}, 0, 50}}, {}};
    s["tab"] = {kIds + kPosition + kLabel + kVisible + kKeytip, {{{{"group", "group"}}, 0, 100}}, {}};
    s["group"] = {kIds + kPosition + kLabel + kImage + kTips + kVisible + kKeytip,
                  {{kGroupControls + std::vector<Child>{{"separator", "separator"}}, 0, 1000},
                   {{{"dialogBoxLauncher", "dialogBoxLauncher"}}, 0, 1}},
                  {}};
    s["box"] = {kContainer + Attributes{{"boxStyle", Kind::boxStyle}}, {{kGroupControls, 0, 1000}}, {}};
    s["buttonGroup"] = {kContainer,
                        {{{{"control", "controlCloneRegular"},
                           {"button", "buttonRegular"},
                           {"toggleButton", "toggleButtonRegular"},
                           {"gallery", "galleryRegular"},
                           {"menu", "menuRegular"},
                           {"dynamicMenu", "dynamicMenuRegular"},
                           {"splitButton", "splitButtonRegular"}},
                          0,
                          1000}},
                        {}};
    s["separator"] = {kContainer, {}, {}};
    s["labelControl"] = {kLabelControl, {}, {}};
    s["controlCloneRegular"] = {kControlCloneRegular, {}, {}};
    s["controlClone"] = {kControlClone + kSize, {}, {}};
    s["buttonRegular"] = {kButton, {}, {}};
    s["button"] = {kButton + kSize, {}, {}};
    s["visibleButton"] = {without(kButton, {"visible", "getVisible"}), {}, {}};
    s["toggleButtonRegular"] = {kButton + kPressed, {}, {}};
    s["toggleButton"] = {kButton + kPressed + kSize, {}, {}};
    s["visibleToggleButton"] = {without(kButton, {"visible", "getVisible"}) + kPressed, {}, {}};
    s["checkBox"] = {kCheckBox, {}, {}};
    s["editBox"] = {kEditBox, {}, {}};
    s["comboBox"] = {kEditBox + without(kItems, {"sizeString"}) + Attributes{{"invalidateContentOnDrop", Kind::truth}},
                     {{{{"item", "item"}}, 0, 1000}},
                     {}};
    s["dropDown"] = {kDropDown, {{{{"item", "item"}}, 0, 1000}, {{{"button", "buttonRegular"}}, 0, 16}}, {}};
    s["galleryRegular"] = {kGallery, {{{{"item", "item"}}, 0, 1000}, {{{"button", "buttonRegular"}}, 0, 16}}, {}};
    s["gallery"] = {kGallery + kSize, {{{{"item", "item"}}, 0, 1000}, {{{"button", "buttonRegular"}}, 0, 16}}, {}};
    s["item"] = {{{"id", Kind::uniqueId},
                  {"label", Kind::text},
                  {"image", Kind::uri},
                  {"imageMso", Kind::builtInId},
                  {"screentip", Kind::text},
                  {"supertip", Kind::text}},
                 {},
                 {}};
    s["menuRegular"] = {kMenu, {{kMenuControls, 0, 1000}}, {}};
    s["menu"] = {kMenu + kSize, {{kMenuControls, 0, 1000}}, {}};
    s["dynamicMenuRegular"] = {kDynamicMenu, {}, {"getContent"}};
    s["dynamicMenu"] = {kDynamicMenu + kSize, {}, {"getContent"}};
    // A split button may be empty, but its button needs the menu after it.
    const Slot splitHead = {{{"button", "visibleButton"}, {"toggleButton", "visibleToggleButton"}}, 0, 1};
    s["splitButtonRegular"] = {kSplitButton, {splitHead, {{{"menu", "menuRegular"}}, 1, 1}}, {}, Order::sequence, true};
    s["splitButton"] = {kSplitButton + kSize, {splitHead, {{{"menu", "menuRegular"}}, 1, 1}}, {}, Order::sequence, true};
    s["menuSeparator"] = {kIdCustom + kPosition + kTitle, {}, {}};
    s["dialogBoxLauncher"] = {{}, {{{{"button", "buttonRegular"}}, 1, 1}}, {}};
    return s;
}

// The Office menu of hosts 12: menus in it carry titles, and so do those they hold.
void addOfficeMenu(Schema& s) {
    const std::vector<Child> inTitledMenu = {
        {"control", "controlCloneRegular"},   {"button", "buttonRegular"},     {"checkBox", "checkBox"},
        {"gallery", "galleryRegular"},        {"toggleButton", "toggleButtonRegular"},
        {"menuSeparator", "menuSeparator"},   {"dynamicMenu", "dynamicMenuRegular"},
        {"menu", "menuWithTitle"},            {"splitButton", "splitButtonWithTitle"},
    };
    s["officeMenu"] = {{}, {{inTitledMenu, 0, 1000}}, {}};
    // A titled menu shows no description.
    s["menuWithTitle"] = {without(kMenu, {"description", "getDescription"}) + kTitle, {{inTitledMenu, 0, 1000}}, {}};
    s["splitButtonWithTitle"] = {kSplitButton,
                                 {{{{"button", "visibleButton"}, {"toggleButton", "visibleToggleButton"}}, 0, 1},
                                  {{{"menu", "menuWithTitle"}}, 1, 1}},
                                 {},
                                 Order::sequence,
                                 true};
}

const Schema& schema2006() {
    static const Schema s = [] {
        Schema r = ribbonTypes();
        addOfficeMenu(r);
        r["customUI"] = {{{"onLoad", Kind::callback}, {"loadImage", Kind::callback}},
                         {{{{"commands", "commands"}}, 0, 1}, {{{"ribbon", "ribbon"}}, 0, 1}},
                         {}};
        r["ribbon"] = {{{"startFromScratch", Kind::truth}},
                       {{{{"officeMenu", "officeMenu"}}, 0, 1},
                        {{{"qat", "qat"}}, 0, 1},
                        {{{"tabs", "tabs"}}, 0, 1},
                        {{{"contextualTabs", "contextualTabs"}}, 0, 1}},
                       {},
                       Order::anyOrder};
        for (const std::string_view container : {"box", "separator", "menuSeparator", "buttonGroup"}) {
            r[container].attributes = without(r[container].attributes, {"tag"});
        }
        return r;
    }();
    return s;
}

void addBackstage(Schema& s) {
    // Only the fast-command buttons of the backstage clone built-in controls.
    const Attributes buttonBase = kIdCustom +
                                  Attributes{{"onAction", Kind::callback}, {"isDefinitive", Kind::truth}} + kEnabled +
                                  kLabel + kVisible + kKeytip + kImage;
    const Attributes screentips = kTips;
    const Attributes placed = {{"alignLabel", Kind::alignment}, {"expand", Kind::expand}};
    const Attributes helper = {{"helperText", Kind::longText}, {"getHelperText", Kind::callback}};
    const Attributes listItems = {
        {"getItemCount", Kind::callback}, {"getItemLabel", Kind::callback}, {"getItemID", Kind::callback}};
    const std::vector<Child> groupControls = {
        {"button", "backstageGroupButton"},  {"checkBox", "backstageCheckBox"},  {"editBox", "backstageEditBox"},
        {"dropDown", "backstageDropDown"},   {"radioGroup", "radioGroup"},       {"comboBox", "backstageComboBox"},
        {"hyperlink", "hyperlink"},          {"labelControl", "backstageLabelControl"},
        {"groupBox", "groupBox"},            {"layoutContainer", "layoutContainer"},
        {"imageControl", "imageControl"},
    };
    const Attributes groupLike = kIds + kPosition + kLabel + kVisible + helper + kShowLabel;

    s["backstage"] = {{{"onShow", Kind::callback}, {"onHide", Kind::callback}},
                      {{{{"tab", "backstageTab"}, {"button", "backstageFastCommandButton"}}, 0, 255}},
                      {}};
    s["backstageTab"] = {kIds + kPosition + kEnabled + kVisible + kLabel + kKeytip + kTitle +
                             Attributes{{"columnWidthPercent", Kind::percent},
                                        {"firstColumnMinWidth", Kind::columnWidth},
                                        {"firstColumnMaxWidth", Kind::columnWidth},
                                        {"secondColumnMinWidth", Kind::columnWidth},
                                        {"secondColumnMaxWidth", Kind::columnWidth}},
                         {{{{"firstColumn", "firstColumn"}}, 0, 1}, {{{"secondColumn", "secondColumn"}}, 0, 1}},
                         {}};
    // Either one task-form group or any number of other groups.
    s["firstColumn"] = {{},
                        {{{{"taskFormGroup", "taskFormGroup"}}, 0, 1},
                         {{{"group", "backstageGroup"}, {"taskGroup", "taskGroup"}}, 0, 1000}},
                        {},
                        Order::oneSlot};
    s["secondColumn"] = {{}, {{{{"group", "backstageGroup"}, {"taskGroup", "taskGroup"}}, 0, 1000}}, {}};
    s["backstageGroup"] = {groupLike + Attributes{{"style", Kind::groupStyle}, {"getStyle", Kind::callback}},
                           {{{{"primaryItem", "primaryItem"}}, 0, 1},
                            {{{"topItems", "groupControls"}}, 0, 1},
                            {{{"bottomItems", "groupControls"}}, 0, 1}},
                           {}};
    s["primaryItem"] = {{}, {{{{"button", "backstageRegularButton"}, {"menu", "backstagePrimaryMenu"}}, 1, 1}}, {}};
    s["groupControls"] = {{}, {{groupControls, 0, 1000}}, {}};
    s["backstageRegularButton"] = {buttonBase + screentips, {}, {}};
    s["backstageGroupButton"] = {buttonBase + screentips +
                                     Attributes{{"expand", Kind::expand}, {"style", Kind::buttonStyle}},
                                 {},
                                 {}};
    s["backstageFastCommandButton"] = {buttonBase + Attributes{{"idMso", Kind::builtInId}} + kPosition, {}, {}};
    s["backstageMenuButton"] = {buttonBase + kDescription, {}, {}};
    s["backstagePrimaryMenu"] = {kIdCustom + kEnabled + kLabel + kVisible + kKeytip + kImage + screentips,
                                 {{{{"menuGroup", "backstageMenuGroup"}}, 0, 1000}},
                                 {}};
    s["backstageSubMenu"] = {kIdCustom + kEnabled + kLabel + kVisible + kKeytip + kImage + kDescription,
                             {{{{"menuGroup", "backstageMenuGroup"}}, 0, 1000}},
                             {}};
    s["backstageMenuGroup"] = {kIdCustom + kLabel + Attributes{{"itemSize", Kind::size}},
                               {{{{"button", "backstageMenuButton"},
                                  {"checkBox", "backstageMenuCheckBox"},
                                  {"menu", "backstageSubMenu"},
                                  {"toggleButton", "backstageMenuToggleButton"}},
                                 0,
                                 1000}},
                               {}};
    const Attributes checkBase = kIdCustom + kAction + kEnabled + kLabel + kVisible + kKeytip + kPressed;
    s["backstageMenuCheckBox"] = {checkBase + kDescription, {}, {}};
    s["backstageMenuToggleButton"] = {kIdCustom + kAction + kEnabled + kLabel + kVisible + kKeytip + kPressed +
                                          kDescription + kImage,
                                      {},
                                      {}};
    s["backstageCheckBox"] = {checkBase + kDescription + screentips + Attributes{{"expand", Kind::expand}}, {}, {}};
    s["backstageEditBox"] = {kIdCustom + kEnabled + kLabel + kVisible + kKeytip + kText + placed, {}, {}};
    s["backstageDropDown"] = {kIdCustom + kAction + kEnabled + kLabel + kVisible + kKeytip + screentips + listItems +
                                  placed +
                                  Attributes{{"getSelectedItemIndex", Kind::callback}, {"sizeString", Kind::text}},
                              {{{{"item", "backstageItem"}}, 0, 1000}},
                              {}};
    s["radioGroup"] = {kIdCustom + kAction + kEnabled + kLabel + kVisible + kKeytip + listItems + placed +
                           Attributes{{"getSelectedItemIndex", Kind::callback}},
                       {{{{"radioButton", "backstageItem"}}, 0, 1000}},
                       {}};
    s["backstageComboBox"] = {kIdCustom + kEnabled + kLabel + kVisible + kKeytip + listItems + placed +
                                  Attributes{{"getText", Kind::callback},
                                             {"onChange", Kind::callback},
                                             {"sizeString", Kind::text}},
                              {{{{"item", "backstageItem"}}, 0, 1000}},
                              {}};
    s["hyperlink"] = {kIdCustom + kAction + kEnabled + kLabel + kVisible + kKeytip + screentips + kImage + placed +
                          Attributes{{"target", Kind::text}, {"getTarget", Kind::callback}},
                      {},
                      {}};
    s["backstageLabelControl"] = {kIdCustom + kLabel + kEnabled + kVisible + placed + Attributes{{"noWrap", Kind::truth}},
                                  {},
                                  {}};
    s["groupBox"] = {kIdCustom + kLabel + Attributes{{"expand", Kind::expand}}, {{groupControls, 0, 1000}}, {}};
    s["layoutContainer"] = {kIdCustom + Attributes{{"align", Kind::alignment},
                                                   {"expand", Kind::expand},
                                                   {"layoutChildren", Kind::layout}},
                            {{groupControls, 0, 1000}},
                            {}};
    s["imageControl"] = {kIdCustom + kEnabled + kVisible + kImage +
                             Attributes{{"altText", Kind::longText}, {"getAltText", Kind::callback}},
                         {},
                         {}};
    s["backstageItem"] = {Attributes{{"id", Kind::uniqueId}} + kLabel, {}, {}};
    const Attributes taskLike = kIds + kPosition + kEnabled + kVisible + kLabel + kImage + kDescription + kKeytip;
    const Attributes taskGroupLike = groupLike + Attributes{{"allowedTaskSizes", Kind::taskSizes}};
    s["taskGroup"] = {taskGroupLike, {{{{"category", "taskGroupCategory"}}, 0, 100}}, {}};
    s["taskGroupCategory"] = {kIds + kPosition + kVisible + kLabel, {{{{"task", "taskGroupTask"}}, 0, 1000}}, {}};
    s["taskGroupTask"] = {taskLike + kAction + Attributes{{"isDefinitive", Kind::truth}}, {}, {}};
    // A task-form group fills its column alone: it takes no place among others.
    s["taskFormGroup"] = {without(taskGroupLike, {"insertAfterMso", "insertBeforeMso", "insertAfterQ", "insertBeforeQ"}),
                          {{{{"category", "taskFormGroupCategory"}}, 0, 100}},
                          {}};
    s["taskFormGroupCategory"] = {kIds + kPosition + kVisible + kLabel,
                                  {{{{"task", "taskFormGroupTask"}}, 0, 1000}},
                                  {}};
    s["taskFormGroupTask"] = {taskLike, {{{{"group", "backstageGroup"}}, 0, 1000}}, {}};
}

void addContextMenus(Schema& s) {
    s["contextMenus"] = {{}, {{{{"contextMenu", "contextMenu"}}, 1, 1000}}, {}};
    s["contextMenu"] = {{{"idMso", Kind::builtInId}},
                        {{{{"control", "controlCloneRegular"},
                           {"button", "buttonRegular"},
                           {"checkBox", "checkBox"},
                           {"gallery", "galleryRegular"},
                           {"toggleButton", "toggleButtonRegular"},
                           {"splitButton", "splitButtonRegular"},
                           {"menu", "menuRegular"},
                           {"dynamicMenu", "dynamicMenuRegular"},
                           {"menuSeparator", "menuSeparatorNoTitle"}},
                          0,
                          1000}},
                        {}};
    s["menuSeparatorNoTitle"] = {kIdCustom + kPosition, {}, {}};
}

const Schema& schema2009() {
    static const Schema s = [] {
        Schema r = ribbonTypes();
        addBackstage(r);
        addContextMenus(r);
        r["customUI"] = {{{"onLoad", Kind::callback}, {"loadImage", Kind::callback}},
                         {{{{"commands", "commands"}}, 0, 1},
                          {{{"ribbon", "ribbon"}}, 0, 1},
                          {{{"backstage", "backstage"}}, 0, 1},
                          {{{"contextMenus", "contextMenus"}}, 0, 1}},
                         {}};
        r["ribbon"] = {{{"startFromScratch", Kind::truth}},
                       {{{{"qat", "qat"}}, 0, 1}, {{{"tabs", "tabs"}}, 0, 1}, {{{"contextualTabs", "contextualTabs"}}, 0, 1}},
                       {},
                       Order::anyOrder};
        r["group"].attributes =
            r["group"].attributes + Attributes{{"autoScale", Kind::truth}, {"centerVertically", Kind::truth}};
        for (const std::string_view gallery : {"gallery", "galleryRegular"}) {
            r[gallery].attributes = r[gallery].attributes + Attributes{{"showInRibbon", Kind::falseOnly}};
        }
        return r;
    }();
    return s;
}

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A token's value as the schema compares it: blanks at either end dropped, runs made one blank.
std::string collapsed(std::string_view value) {
    std::string out;
    bool blank = false;
    for (char c : value) {
        if (isBlankChar(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

bool isWholeNumberIn(const std::string& text, long least, long most) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long n = std::stol(text);
    return n >= least && n <= most;
}

bool oneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

class Checker {
public:
    Checker(const Schema& schema, std::string_view ns) : schema_(schema), ns_(ns) {}

    std::vector<SchemaProblem> run(const XmlElement& root) {
        element(root, "customUI");
        return std::move(problems_);
    }

private:
    static constexpr std::size_t kMostProblems = 100;

    void problem(const XmlPosition& at, std::string reason) {
        if (problems_.size() < kMostProblems) problems_.push_back({at, std::move(reason)});
    }

    void element(const XmlElement& e, std::string_view typeName) {
        const Type& type = schema_.at(typeName);
        scope_.push_back(&e);
        attributes(e, type);
        content(e, type);
        if (typeName == "qat") idsUniqueInQat(e);
        scope_.pop_back();
    }

    const Attribute* declared(const Type& type, std::string_view name) const {
        for (const auto& a : type.attributes) {
            if (a.name == name) return &a;
        }
        return nullptr;
    }

    void attributes(const XmlElement& e, const Type& type) {
        for (const auto& a : e.attributes) {
            const Attribute* rule = a.namespaceUri.empty() ? declared(type, a.localName) : nullptr;
            if (!rule) {
                problem(a.at, e.localName + " takes no attribute " + a.name);
                continue;
            }
            if (auto wrong = valueProblem(rule->kind, a.value)) problem(a.at, a.name + "=\"" + a.value + "\": " + *wrong);
        }
        for (std::string_view name : type.required) {
            if (!e.attribute(name)) problem(e.at, e.localName + " needs the attribute " + std::string(name));
        }
        exclusions(e, type);
    }

    void exclusions(const XmlElement& e, const Type& type) {
        auto given = [&](std::string_view name) { return e.attribute(name) != nullptr; };
        auto atMostOne = [&](std::initializer_list<std::string_view> names, bool exactlyOne) {
            std::vector<std::string_view> present;
            bool known = false;
            for (std::string_view n : names) {
                known = known || declared(type, n);
                if (given(n)) present.push_back(n);
            }
            if (!known) return;
            if (present.size() > 1) {
                std::string list;
                for (std::string_view n : present) list += (list.empty() ? "" : ", ") + std::string(n);
                problem(e.at, e.localName + " takes only one of " + list);
            } else if (exactlyOne && present.empty()) {
                std::string list;
                for (std::string_view n : names) {
                    if (declared(type, n)) list += (list.empty() ? "" : ", ") + std::string(n);
                }
                problem(e.at, e.localName + " needs one of " + list);
            }
        };
        atMostOne({"id", "idQ", "idMso"}, true);
        atMostOne({"image", "imageMso", "getImage"}, false);
        atMostOne({"insertAfterMso", "insertBeforeMso", "insertAfterQ", "insertBeforeQ"}, false);
        atMostOne({"getSelectedItemID", "getSelectedItemIndex"}, false);
        // A value given both as it is and by a callback.
        for (const auto& rule : type.attributes) {
            if (rule.name.size() < 4 || rule.name.substr(0, 3) != "get" || !given(rule.name)) continue;
            std::string plain(rule.name.substr(3));
            plain[0] = static_cast<char>(plain[0] - 'A' + 'a');
            if (plain == "image") continue;  // among the three above
            if (declared(type, plain) && given(plain)) {
                problem(e.at, e.localName + " takes only one of " + plain + ", " + std::string(rule.name));
            }
        }
    }

    // Names, numbers, truth values and key tips are read as tokens (blanks at
    // either end dropped); texts and the listed words of an enumeration as written.
    std::optional<std::string> valueProblem(Kind kind, const std::string& value) {
        const std::size_t length = utf8Length(value);
        const std::string token = collapsed(value);
        switch (kind) {
            case Kind::text:
            case Kind::uri:
            case Kind::callback:
                if (length < 1 || length > 1024) return "not 1 to 1024 characters";
                return std::nullopt;
            case Kind::longText:
                if (length < 1 || length > 4096) return "not 1 to 4096 characters";
                return std::nullopt;
            case Kind::builtInId:
            case Kind::uniqueId:
                if (!isNcName(token) || utf8Length(token) > 1024) return "no name of 1 to 1024 characters without colon";
                if (kind == Kind::uniqueId && !ids_.insert(token).second) return "the id is given twice";
                return std::nullopt;
            case Kind::qualifiedId: return qualifiedProblem(token);
            case Kind::truth:
                if (!oneOf(token, {"true", "false", "1", "0"})) return "neither true, false, 1 nor 0";
                return std::nullopt;
            case Kind::keytip:
                if (utf8Length(token) < 1 || utf8Length(token) > 3) return "no key tip of 1 to 3 characters";
                return std::nullopt;
            case Kind::size:
                if (!oneOf(value, {"normal", "large"})) return "neither normal nor large";
                return std::nullopt;
            case Kind::boxStyle:
            case Kind::layout:
                if (!oneOf(value, {"horizontal", "vertical"})) return "neither horizontal nor vertical";
                return std::nullopt;
            case Kind::stringLength:
            case Kind::itemCount:
                if (!isWholeNumberIn(token, 1, 1024)) return "no whole number from 1 to 1024";
                return std::nullopt;
            case Kind::itemExtent:
                if (!isWholeNumberIn(token, 1, 4096)) return "no whole number from 1 to 4096";
                return std::nullopt;
            case Kind::percent:
                if (!isWholeNumberIn(token, 1, 99)) return "no whole number from 1 to 99";
                return std::nullopt;
            case Kind::columnWidth:
                if (!isWholeNumberIn(token, 1, 10000)) return "no whole number from 1 to 10000";
                return std::nullopt;
            case Kind::expand:
                if (!oneOf(value, {"horizontal", "vertical", "both", "neither"})) return "not horizontal, vertical, both or neither";
                return std::nullopt;
            case Kind::buttonStyle:
                if (!oneOf(value, {"normal", "borderless", "large"})) return "not normal, borderless or large";
                return std::nullopt;
            case Kind::groupStyle:
                if (!oneOf(value, {"normal", "warning", "error"})) return "not normal, warning or error";
                return std::nullopt;
            case Kind::alignment:
                if (!oneOf(value, {"topLeft", "top", "topRight", "left", "center", "right", "bottomLeft", "bottom",
                                   "bottomRight"})) {
                    return "no alignment";
                }
                return std::nullopt;
            case Kind::taskSizes:
                if (!oneOf(value, {"largeMediumSmall", "largeMedium", "large", "mediumSmall", "medium", "small"})) {
                    return "no set of task sizes";
                }
                return std::nullopt;
            case Kind::falseOnly:
                if (!oneOf(value, {"false", "0"})) return "neither false nor 0";
                return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::string> qualifiedProblem(const std::string& token) {
        const std::size_t colon = token.find(':');
        const std::string prefix = colon == std::string::npos ? std::string() : token.substr(0, colon);
        const std::string local = colon == std::string::npos ? token : token.substr(colon + 1);
        if ((colon != std::string::npos && !isNcName(prefix)) || !isNcName(local) || utf8Length(token) > 1024) {
            return "no qualified name of 1 to 1024 characters";
        }
        if (prefix.empty()) return std::nullopt;
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            for (const auto& [declaredPrefix, uri] : (*it)->declarations) {
                if (declaredPrefix == prefix) return std::nullopt;
            }
        }
        return "the prefix " + prefix + " is not declared";
    }

    static std::string choiceList(const Slot& slot) {
        std::string list;
        for (std::size_t i = 0; i < slot.choices.size(); ++i) {
            if (i > 0) list += i + 1 == slot.choices.size() ? " or " : ", ";
            list += slot.choices[i].element;
        }
        return list;
    }

    void content(const XmlElement& e, const Type& type) {
        if (e.text.find_first_not_of(" \t\r\n") != std::string::npos) problem(e.at, e.localName + " holds text");
        std::vector<const XmlElement*> children;
        for (const XmlElement& child : e.children) {
            if (child.namespaceUri == ns_) {
                children.push_back(&child);
            } else {
                problem(child.at, child.name + " is not in the document's namespace");
            }
        }
        if (children.empty() && type.mayBeEmpty) return;
        if (type.order == Order::sequence) {
            inSequence(e, type, children);
        } else {
            inSlots(e, type, children);
        }
    }

    void inSequence(const XmlElement& e, const Type& type, const std::vector<const XmlElement*>& children) {
        std::size_t slot = 0;
        int count = 0;
        for (const XmlElement* child : children) {
            std::string_view childType;
            while (slot < type.content.size()) {
                const Slot& s = type.content[slot];
                for (const Child& c : s.choices) {
                    if (c.element == child->localName && count < s.most) childType = c.type;
                }
                if (!childType.empty()) break;
                if (count < s.least) break;
                ++slot;
                count = 0;
            }
            if (childType.empty()) {
                if (slot < type.content.size() && count < type.content[slot].least) {
                    problem(child->at, e.localName + " needs " + choiceList(type.content[slot]) + " before " +
                                           child->localName);
                } else {
                    problem(child->at, e.localName + " cannot hold " + child->localName + " here");
                }
                return;
            }
            ++count;
            element(*child, childType);
        }
        for (; slot < type.content.size(); ++slot, count = 0) {
            if (count < type.content[slot].least) {
                problem(e.at, e.localName + " needs " + choiceList(type.content[slot]));
                return;
            }
        }
    }

    // Each child goes to the slot that names it, in any order; with Order::oneSlot
    // every child must go to the slot of the first.
    void inSlots(const XmlElement& e, const Type& type, const std::vector<const XmlElement*>& children) {
        std::vector<int> counts(type.content.size(), 0);
        const XmlElement* first = nullptr;
        std::size_t firstSlot = 0;
        for (const XmlElement* child : children) {
            std::size_t slot = 0;
            std::string_view childType;
            for (; slot < type.content.size(); ++slot) {
                for (const Child& c : type.content[slot].choices) {
                    if (c.element == child->localName) childType = c.type;
                }
                if (!childType.empty()) break;
            }
            if (childType.empty() || counts[slot] == type.content[slot].most) {
                problem(child->at, e.localName + " cannot hold " + child->localName + " here");
                return;
            }
            if (!first) {
                first = child;
                firstSlot = slot;
            } else if (type.order == Order::oneSlot && slot != firstSlot) {
                problem(child->at, e.localName + " cannot hold " + child->localName + " beside " + first->localName);
                return;
            }
            ++counts[slot];
            element(*child, childType);
        }
        for (std::size_t slot = 0; slot < type.content.size(); ++slot) {
            const bool chosen = type.order == Order::anyOrder || (first && slot == firstSlot);
            if (chosen && counts[slot] < type.content[slot].least) {
                problem(e.at, e.localName + " needs " + choiceList(type.content[slot]));
                return;
            }
        }
    }

    // The quick access toolbar's controls may clone a control of the document
    // by its id, but no two of them may have the same id.
    void idsUniqueInQat(const XmlElement& qat) {
        std::set<std::string> seen;
        for (const XmlElement& list : qat.children) {
            for (const XmlElement& control : list.children) {
                const XmlAttribute* id = control.attribute("id");
                if (id && !seen.insert(collapsed(id->value)).second) {
                    problem(id->at, "id=\"" + id->value + "\": the quick access toolbar has the id twice");
                }
            }
        }
    }

    const Schema& schema_;
    std::string_view ns_;
    std::vector<SchemaProblem> problems_;
    std::set<std::string> ids_;
    std::vector<const XmlElement*> scope_;
};

}  // namespace

std::string SchemaProblem::describe() const { return "line " + std::to_string(at.line) + ": " + reason; }

std::vector<SchemaProblem> checkCustomUi(const XmlElement& root) {
    const Schema* schema = nullptr;
    if (root.namespaceUri == kCustomUi2006) schema = &schema2006();
    if (root.namespaceUri == kCustomUi2009) schema = &schema2009();
    if (!schema) {
        return {{root.at, "the root is in neither custom-UI namespace (" +
                              (root.namespaceUri.empty() ? std::string("no namespace") : root.namespaceUri) + ")"}};
    }
    if (root.localName != "customUI") return {{root.at, "the root is " + root.localName + ", not customUI"}};
    return Checker(*schema, root.namespaceUri).run(root);
}

}  // namespace kq::host::sim::ribbon
