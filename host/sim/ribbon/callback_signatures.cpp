#include "host/sim/ribbon/callback_signatures.h"

#include <algorithm>
#include <initializer_list>

namespace kq::host::sim::ribbon {

namespace {

using enum Argument;

struct ElementRow {
    std::string_view element;
    std::string_view attribute;
    CallbackSignature signature;
};

// Callbacks of one element's attribute.
const ElementRow kElementCallbacks[] = {
    {"customUI", "onLoad", {{ribbon}, Answer::none}},
    {"customUI", "loadImage", {{imageName}, Answer::picture}},
    {"backstage", "onShow", {{context}, Answer::none}},
    {"backstage", "onHide", {{context}, Answer::none}},
    {"command", "onAction", {{control, cancelDefault}, Answer::none}},
    {"button", "onAction", {{control}, Answer::none}},
    {"toggleButton", "onAction", {{control, pressed}, Answer::none}},
    {"checkBox", "onAction", {{control, pressed}, Answer::none}},
    {"dropDown", "onAction", {{control, itemId, itemIndex}, Answer::none}},
    {"gallery", "onAction", {{control, itemId, itemIndex}, Answer::none}},
    {"radioGroup", "onAction", {{control, itemId, itemIndex}, Answer::none}},
    {"editBox", "onChange", {{control, text}, Answer::none}},
    {"comboBox", "onChange", {{control, text}, Answer::none}},
};

struct GetterRow {
    std::string_view attribute;
    Answer answer;
};

// Callbacks that answer, whatever the element: each is asked about the control.
constexpr GetterRow kGetters[] = {
    {"getLabel", Answer::text},          {"getScreentip", Answer::text},     {"getSupertip", Answer::text},
    {"getDescription", Answer::text},    {"getKeytip", Answer::text},        {"getTitle", Answer::text},
    {"getHelperText", Answer::text},     {"getText", Answer::text},          {"getContent", Answer::text},
    {"getTarget", Answer::text},         {"getAltText", Answer::text},       {"getSelectedItemID", Answer::text},
    {"getEnabled", Answer::truth},       {"getVisible", Answer::truth},      {"getShowLabel", Answer::truth},
    {"getShowImage", Answer::truth},     {"getPressed", Answer::truth},      {"getSize", Answer::number},
    {"getItemCount", Answer::number},    {"getItemWidth", Answer::number},   {"getItemHeight", Answer::number},
    {"getSelectedItemIndex", Answer::number}, {"getStyle", Answer::number},  {"getImage", Answer::picture},
};

// Getters about one item of a list, asked with the control and the item's index.
constexpr GetterRow kItemGetters[] = {
    {"getItemLabel", Answer::text},    {"getItemID", Answer::text},      {"getItemScreentip", Answer::text},
    {"getItemSupertip", Answer::text}, {"getItemImage", Answer::picture},
};

std::string_view nameOf(Argument a) {
    switch (a) {
        case control: return "control";
        case ribbon: return "ribbon";
        case context: return "context";
        case pressed: return "pressed";
        case cancelDefault: return "CancelDefault";
        case imageName: return "image name";
        case itemId: return "item id";
        case itemIndex: return "item index";
        case text: return "text";
    }
    return {};
}

std::string_view nameOf(DeclaredKind kind) {
    switch (kind) {
        case DeclaredKind::variant: return "a Variant";
        case DeclaredKind::object: return "an object";
        case DeclaredKind::truth: return "a Boolean";
        case DeclaredKind::number: return "a number";
        case DeclaredKind::text: return "text";
        case DeclaredKind::other: return "a type outside the host's";
    }
    return {};
}

std::string_view nameOf(Answer answer) {
    switch (answer) {
        case Answer::none: return "nothing";
        case Answer::text: return "text";
        case Answer::truth: return "a Boolean";
        case Answer::number: return "a number";
        case Answer::picture: return "a picture";
    }
    return {};
}

bool oneOf(DeclaredKind kind, std::initializer_list<DeclaredKind> kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

using K = DeclaredKind;

// Whether a parameter so declared takes the argument.
bool takes(Argument argument, DeclaredType parameter) {
    switch (argument) {
        case control:
        case ribbon:
        case context: return oneOf(parameter.kind, {K::object, K::variant});
        case pressed: return oneOf(parameter.kind, {K::truth, K::number, K::text, K::variant});
        case itemIndex: return oneOf(parameter.kind, {K::number, K::truth, K::text, K::variant});
        case imageName:
        case itemId:
        case text: return oneOf(parameter.kind, {K::text, K::variant});
        case cancelDefault: return parameter.byReference && oneOf(parameter.kind, {K::truth, K::variant});
    }
    return false;
}

// Whether a result so declared gives the answer the host reads.
bool gives(Answer answer, DeclaredType result) {
    switch (answer) {
        case Answer::none: return true;
        case Answer::text:
        case Answer::truth:
        case Answer::number: return oneOf(result.kind, {K::text, K::truth, K::number, K::variant});
        // A picture, or the name of a built-in image.
        case Answer::picture: return oneOf(result.kind, {K::object, K::text, K::variant});
    }
    return false;
}

}  // namespace

std::optional<CallbackSignature> callbackSignature(std::string_view element, std::string_view attribute) {
    for (const ElementRow& row : kElementCallbacks) {
        if (row.element == element && row.attribute == attribute) return row.signature;
    }
    for (const GetterRow& row : kItemGetters) {
        if (row.attribute == attribute) return CallbackSignature{{control, itemIndex}, row.answer};
    }
    for (const GetterRow& row : kGetters) {
        if (row.attribute == attribute) return CallbackSignature{{control}, row.answer};
    }
    return std::nullopt;
}

std::string describeArguments(const std::vector<Argument>& arguments) {
    if (arguments.empty()) return "no arguments";
    std::string list;
    for (Argument a : arguments) list += (list.empty() ? "" : ", ") + std::string(nameOf(a));
    return list;
}

std::optional<std::string> signatureMismatch(const CallbackSignature& signature, const DeclaredMethod& method) {
    if (!method.isMethod) return std::string("it is a property, not a method");
    const std::size_t passed = signature.arguments.size();
    const std::size_t taken = method.parameters.size();
    const auto needed = static_cast<std::size_t>(
        std::count_if(method.parameters.begin(), method.parameters.end(), [](const auto& p) { return !p.optional; }));
    const std::string host = "the host passes " + std::to_string(passed) + " (" +
                             describeArguments(signature.arguments) + ")";
    if (passed > taken) return "it takes " + std::to_string(taken) + " argument" + (taken == 1 ? "" : "s") + ", " + host;
    if (needed > passed) return "it needs " + std::to_string(needed) + " arguments, " + host;
    for (std::size_t i = 0; i < passed; ++i) {
        const Argument argument = signature.arguments[i];
        const DeclaredType parameter = method.parameters[i].type;
        if (takes(argument, parameter)) continue;
        if (argument == cancelDefault && !parameter.byReference) {
            return std::string("it takes CancelDefault by value, so it could never cancel the command");
        }
        return "its argument " + std::to_string(i + 1) + " (" + std::string(nameOf(argument)) + ") is declared as " +
               std::string(nameOf(parameter.kind)) + (parameter.byReference ? " by reference" : "");
    }
    if (signature.answer == Answer::none) return std::nullopt;
    if (!method.result) return "it gives no answer, the host reads " + std::string(nameOf(signature.answer));
    if (!gives(signature.answer, *method.result)) {
        return "it answers with " + std::string(nameOf(method.result->kind)) + ", the host reads " +
               std::string(nameOf(signature.answer));
    }
    return std::nullopt;
}

}  // namespace kq::host::sim::ribbon
