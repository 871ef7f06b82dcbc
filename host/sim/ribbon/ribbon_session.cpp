#include "host/sim/ribbon/ribbon_session.h"

namespace kq::host::sim::ribbon {

namespace {

struct Property {
    const char* name;
    Wanted wanted;
};

// What a control shows, in the order a transcript lists it. Each is given in
// the markup as it is (label="...") or by a callback (getLabel="...").
constexpr Property kProperties[] = {
    {"label", Wanted::text},        {"image", Wanted::picture},    {"pressed", Wanted::truth},
    {"enabled", Wanted::truth},     {"visible", Wanted::truth},    {"showLabel", Wanted::truth},
    {"showImage", Wanted::truth},   {"size", Wanted::text},        {"screentip", Wanted::text},
    {"supertip", Wanted::text},     {"description", Wanted::text}, {"keytip", Wanted::text},
    {"title", Wanted::text},        {"helperText", Wanted::text},
};

std::string callbackAttributeOf(const std::string& property) {
    std::string name = "get" + property;
    name[3] = static_cast<char>(name[3] - 'a' + 'A');
    return name;
}

bool isTrue(const std::string* value) { return value && (*value == "true" || *value == "1"); }

bool pressable(const std::string& element) {
    return element == "button" || element == "toggleButton" || element == "checkBox";
}

}  // namespace

RibbonSession::RibbonSession(RibbonMarkup markup, RibbonCallbacks& callbacks)
    : markup_(std::move(markup)), callbacks_(callbacks) {}

std::optional<CallbackValue> RibbonSession::load() {
    if (loaded_ || markup_.onLoad.empty()) return std::nullopt;
    loaded_ = true;
    ++calls_;
    return callbacks_.onLoad(markup_.onLoad);
}

CallbackValue RibbonSession::cached(std::size_t control, const std::string& property, const std::string& callback,
                                    Wanted wanted) {
    const auto key = std::make_pair(control, property);
    const auto found = values_.find(key);
    if (found != values_.end()) return found->second;
    ++calls_;
    CallbackValue value = callbacks_.get(callback, identity(markup_.controls[control]), wanted);
    values_[key] = value;
    return value;
}

CallbackValue RibbonSession::image(const std::string& name) {
    const auto found = images_.find(name);
    if (found != images_.end()) return found->second;
    CallbackValue value = CallFailed{"the markup names no loadImage callback"};
    if (!markup_.loadImage.empty()) {
        ++calls_;
        value = callbacks_.loadImage(markup_.loadImage, name);
    }
    images_[name] = value;
    return value;
}

std::vector<ShownControl> RibbonSession::show() {
    std::vector<ShownControl> shown;
    for (std::size_t i = 0; i < markup_.controls.size(); ++i) {
        const MarkupControl& c = markup_.controls[i];
        ShownControl s{c.depth, c.area, c.element, c.id, c.builtIn, {}};
        for (const Property& p : kProperties) {
            const std::string property = p.name;
            if (const std::string* callback = c.attribute(callbackAttributeOf(property))) {
                s.properties.push_back({property, cached(i, property, *callback, p.wanted), true});
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
        const std::string* action = c.attribute("onAction");
        if (!pressable(c.element)) {
            outcome.refused = "a " + c.element + " cannot be pressed";
        } else if (!action) {
            outcome.refused = "it has no onAction";
        } else if (c.element == "button") {
            ++calls_;
            outcome.result = callbacks_.act(*action, identity(c));
            outcome.closesBackstage = c.area == RibbonArea::backstage && isTrue(c.attribute("isDefinitive"));
        } else {
            // The ribbon turns the control over itself and tells the add-in the
            // new state; it asks for the state again only once invalidated.
            const std::string* getPressed = c.attribute("getPressed");
            const CallbackValue before =
                getPressed ? cached(i, "pressed", *getPressed, Wanted::truth) : values_[std::make_pair(i, std::string("pressed"))];
            const bool wasPressed = std::holds_alternative<bool>(before) && std::get<bool>(before);
            values_[std::make_pair(i, std::string("pressed"))] = !wasPressed;
            outcome.pressed = !wasPressed;
            ++calls_;
            outcome.result = callbacks_.toggle(*action, identity(c), !wasPressed);
        }
        return outcome;
    }
    return std::nullopt;
}

std::optional<CommandOutcome> RibbonSession::runCommand(const std::string& idMso) {
    for (const MarkupControl& c : markup_.controls) {
        const std::string* action = c.attribute("onAction");
        if (c.element != "command" || c.id != idMso || !action) continue;
        CommandOutcome outcome;
        ++calls_;
        outcome.result = callbacks_.repurposed(*action, identity(c), outcome.cancelled);
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
