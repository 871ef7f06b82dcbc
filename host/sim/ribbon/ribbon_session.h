#pragma once
// One add-in's part of the simulated host's ribbon, from its accepted markup:
// what the user sees (each control's label, picture, pressed state, tips),
// fetched from the add-in's callbacks and kept until the add-in invalidates
// the control, as a ribbon does; the user's clicks on buttons and toggles; and
// the built-in commands the add-in repurposes. Each callback gets the
// arguments its signature (callback_signatures.h) lists. The add-in is reached
// through RibbonCallbacks, which the Windows side answers over IDispatch.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "host/sim/ribbon/callback_signatures.h"
#include "host/sim/ribbon/ribbon_markup.h"

namespace kq::host::sim::ribbon {

// What a callback gave back.
struct Picture {
    int width = 0;
    int height = 0;
    std::string kind;        // "bitmap", "icon", ...
    std::uint32_t hash = 0;  // of the pixels
    friend bool operator==(const Picture&, const Picture&) = default;
};
struct NoPicture {  // a picture callback that answered Nothing
    friend bool operator==(NoPicture, NoPicture) = default;
};
struct CallFailed {  // the call itself failed: the add-in's error, or one of the call
    std::string what;
    friend bool operator==(const CallFailed&, const CallFailed&) = default;
};
// Nothing (an empty result, or a call with none), a text, a truth value, a
// number, a picture.
using CallbackValue = std::variant<std::monostate, std::string, bool, std::int32_t, Picture, NoPicture, CallFailed>;

// The control a callback is about, as IRibbonControl gives it.
struct ControlIdentity {
    std::string id;
    std::string tag;
};

// One call of a callback: the values of the arguments its signature lists.
// The ribbon and the window the add-in is given are the host's own objects.
struct CallbackCall {
    std::string callback{};
    CallbackSignature signature{};
    ControlIdentity control{};
    bool pressed = false;
    bool cancelDefault = false;  // given, and set again from what the callback left in it
    std::string text{};          // the image name, an item's id or the text in a box
    std::int32_t index = 0;      // an item's index
};

class RibbonCallbacks {
public:
    virtual ~RibbonCallbacks() = default;
    // The callback's answer read as its signature says (nothing for an action).
    virtual CallbackValue call(CallbackCall& call) = 0;
};

// A property as shown: its name and value ("label" and its text, say).
struct ShownProperty {
    std::string name;
    CallbackValue value;
    bool fromCallback = false;
};

struct ShownControl {
    int depth = 0;
    RibbonArea area = RibbonArea::ribbon;
    std::string element;
    std::string id;
    bool builtIn = false;
    std::vector<ShownProperty> properties;
};

struct PressOutcome {
    std::string element;
    std::string refused;           // why the control cannot be pressed; "" when it was
    CallbackValue result;          // of onAction
    std::optional<bool> pressed;   // the state a toggle button or check box now shows
    bool closesBackstage = false;  // a definitive backstage button
};

struct CommandOutcome {
    CallbackValue result;  // of onAction
    bool cancelled = false;
};

class RibbonSession {
public:
    // `callbacks` outlives the session.
    RibbonSession(RibbonMarkup markup, RibbonCallbacks& callbacks);

    const RibbonMarkup& markup() const { return markup_; }

    // onLoad, once, when the markup names one; nothing otherwise.
    std::optional<CallbackValue> load();

    // Every element of the markup with what it shows; a value not kept from
    // before is asked for now and kept.
    std::vector<ShownControl> show();

    // A click on the control of that (custom) id: nothing when this markup has none.
    std::optional<PressOutcome> press(const std::string& id);
    // The user runs a built-in command: nothing when this markup does not repurpose it.
    std::optional<CommandOutcome> runCommand(const std::string& idMso);

    // The add-in's invalidations; false when no control of this markup has the id.
    void invalidate();
    bool invalidateControl(const std::string& id);
    bool invalidateControlMso(const std::string& idMso);

    // The callbacks called so far.
    std::size_t callbackCount() const { return calls_; }

private:
    // The property's value from before, or from the getter `attribute` names.
    CallbackValue cached(std::size_t control, const std::string& property, const std::string& attribute);
    CallbackValue image(const std::string& name);
    CallbackValue call(CallbackCall& call);
    CallbackCall callOf(const MarkupControl& c, const std::string& attribute) const;
    bool dropCache(const std::string& id, bool builtIn);

    RibbonMarkup markup_;
    RibbonCallbacks& callbacks_;
    bool loaded_ = false;
    std::size_t calls_ = 0;
    std::map<std::pair<std::size_t, std::string>, CallbackValue> values_;
    std::map<std::string, CallbackValue> images_;
};

}  // namespace kq::host::sim::ribbon
