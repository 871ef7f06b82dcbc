#include "host/sim/ribbon/ribbon_session.h"

namespace kq::host::sim::ribbon {

namespace {

// What a control shows, in the order a transcript lists it. Each is given in
// the markup as it is (label="...") or by a callback (getLabel="...").
constexpr const char* kProperties[] = {"label",     "image",     "pressed",  "enabled",     "visible",
                                       "showLabel", "showImage", "size",     "screentip",   "supertip",
                                       "description", "keytip",  "title",    "helperText"};

std::string callbackAttributeOf(const std::string& property) {
    std::string name = "get" + property;
    name[3] = static_cast<char>(name[3] - 'a' + 'A');
    return name;
}

bool isTrue(const std::string* value) { return value && (*value == "true" || *value == "1"); }

// How a click reaches the control's onAction: a button is told of the click,
// a toggle button or check box of the state it now shows.
enum class Click { none, plain, toggle };

Click clickOf(const std::string& element) {
    const auto signature = callbackSignature(element, "onAction");
    if (!signature) return Click::none;
    if (signature->arguments == std::vector{Argument::control}) return Click::plain;
    if (signature->arguments == std::vector{Argument::control, Argument::pressed}) return Click::toggle;
    return Click::none;
}

}  // namespace

RibbonSession::RibbonSession(RibbonMarkup markup, RibbonCallbacks& callbacks)
    : markup_(std::move(markup)), callbacks_(callbacks) {}

std::optional<CallbackValue> RibbonSession::load() {
    if (loaded_ || markup_.onLoad.empty()) return std::nullopt;
    loaded_ = true;
    CallbackCall onLoad{.callback = markup_.onLoad, .signature = *callbackSignature("customUI", "onLoad")};
    return call(onLoad);
}

CallbackValue RibbonSession::call(CallbackCall& call) {
    ++calls_;
    return callbacks_.call(call);
}

CallbackCall RibbonSession::callOf(const MarkupControl& c, const std::string& attribute) const {
    const std::string* callback = c.attribute(attribute);
    return {.callback = callback ? *callback : std::string(),
            .signature = callbackSignature(c.element, attribute).value_or(CallbackSignature{}),
            .control = {c.id, c.tag}};
}

CallbackValue RibbonSession::cached(std::size_t control, const std::string& property, const std::string& attribute) {
    const auto key = std::make_pair(control, property);
    const auto found = values_.find(key);
    if (found != values_.end()) return found->second;
    CallbackCall getter = callOf(markup_.controls[control], attribute);
    CallbackValue value = call(getter);
    values_[key] = value;
    return value;
}

CallbackValue RibbonSession::image(const std::string& name) {
    const auto found = images_.find(name);
    if (found != images_.end()) return found->second;
    CallbackValue value = CallFailed{"the markup names no loadImage callback"};
    if (!markup_.loadImage.empty()) {
        CallbackCall loadImage{.callback = markup_.loadImage,
                               .signature = *callbackSignature("customUI", "loadImage"),
                               .text = name};
        value = call(loadImage);
    }
    images_[name] = value;
    return value;
}

std::vector<ShownControl> RibbonSession::show() {
    std::vector<ShownControl> shown;
    for (std::size_t i = 0; i < markup_.controls.size(); ++i) {
        const MarkupControl& c = markup_.controls[i];
        ShownControl s{c.depth, c.area, c.element, c.id, c.builtIn, {}};
        for (const char* name : kProperties) {
            const std::string property = name;
            const std::string getter = callbackAttributeOf(property);
            if (c.attribute(getter)) {
                s.properties.push_back({property, cached(i, property, getter), true});
            } else if (property == "image" && c.attribute("image")) {
                s.properties.push_back({property, image(*c.attribute("image")), true});
            } else if (property == "image" && c.attribute("imageMso")) {
                s.properties.push_back({"imageMso", *c.attribute("imageMso"), false});
            } else if (const std::string* value = c.attribute(property)) {
                s.properties.push_back({property, *value, false});
            }
        }
        if (c.element == "command") {
            if (const std::string* action = c.attribute("onAction")) s.properties.push_back({"onAction", *action, false});
        }
        shown.push_back(std::move(s));
    }
    return shown;
}

std::optional<PressOutcome> RibbonSession::press(const std::string& id) {
    for (std::size_t i = 0; i < markup_.controls.size(); ++i) {
        const MarkupControl& c = markup_.controls[i];
        if (c.builtIn || c.id != id) continue;
        PressOutcome outcome;
        outcome.element = c.element;
        const Click click = clickOf(c.element);
        CallbackCall onAction = callOf(c, "onAction");
        if (click == Click::none) {
            outcome.refused = "a " + c.element + " cannot be pressed";
        } else if (onAction.callback.empty()) {
            outcome.refused = "it has no onAction";
        } else if (click == Click::plain) {
            outcome.result = call(onAction);
            outcome.closesBackstage = c.area == RibbonArea::backstage && isTrue(c.attribute("isDefinitive"));
        } else {
            // The ribbon turns the control over itself and tells the add-in the
            // new state; it asks for the state again only once invalidated.
            const auto key = std::make_pair(i, std::string("pressed"));
            const CallbackValue before = c.attribute("getPressed") ? cached(i, "pressed", "getPressed") : values_[key];
            const bool wasPressed = std::holds_alternative<bool>(before) && std::get<bool>(before);
            values_[key] = !wasPressed;
            outcome.pressed = !wasPressed;
            onAction.pressed = !wasPressed;
            outcome.result = call(onAction);
        }
        return outcome;
    }
    return std::nullopt;
}

std::optional<CommandOutcome> RibbonSession::runCommand(const std::string& idMso) {
    for (const MarkupControl& c : markup_.controls) {
        if (c.element != "command" || c.id != idMso || !c.attribute("onAction")) continue;
        CallbackCall onAction = callOf(c, "onAction");
        CommandOutcome outcome;
        outcome.result = call(onAction);
        outcome.cancelled = onAction.cancelDefault;
        return outcome;
    }
    return std::nullopt;
}

void RibbonSession::invalidate() {
    values_.clear();
    images_.clear();
}

bool RibbonSession::dropCache(const std::string& id, bool builtIn) {
    bool found = false;
    for (std::size_t i = 0; i < markup_.controls.size(); ++i) {
        const MarkupControl& c = markup_.controls[i];
        if (c.builtIn != builtIn || c.id != id || id.empty()) continue;
        found = true;
        for (auto it = values_.lower_bound({i, std::string()}); it != values_.end() && it->first.first == i;) {
            it = values_.erase(it);
        }
    }
    return found;
}

bool RibbonSession::invalidateControl(const std::string& id) { return dropCache(id, false); }
bool RibbonSession::invalidateControlMso(const std::string& idMso) { return dropCache(idMso, true); }

}  // namespace kq::host::sim::ribbon
