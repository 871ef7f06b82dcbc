#pragma once
// What the host passes each callback a markup names, and what it reads back,
// as it calls a COM add-in's callbacks by name: the arguments in order, and
// the kind of answer. One table decides both how the simulated ribbon calls a
// callback and what the add-in's type information must be able to take; a
// markup whose callback is declared otherwise is refused when it is taken.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kq::host::sim::ribbon {

enum class Argument {
    control,        // the IRibbonControl the callback is about
    ribbon,         // the markup's IRibbonUI (onLoad)
    context,        // the window the backstage view opens over (onShow, onHide)
    pressed,        // the state a toggle button or check box now shows: a Boolean by value
    cancelDefault,  // whether the repurposed built-in command is cancelled: a Boolean by reference
    imageName,      // an image name of the markup (loadImage): text
    itemId,         // the id of the item chosen: text
    itemIndex,      // the index of an item: a whole number
    text,           // the text the user left in a box: text
};

enum class Answer { none, text, truth, number, picture };

struct CallbackSignature {
    std::vector<Argument> arguments;
    Answer answer = Answer::none;
    friend bool operator==(const CallbackSignature&, const CallbackSignature&) = default;
};

// The signature of the callback that attribute of an element of that local
// name (customUI for onLoad and loadImage) names; none when the host calls it
// with no arguments of its own kind. The built-in commands this host runs are
// buttons: a command's onAction takes the control and CancelDefault.
std::optional<CallbackSignature> callbackSignature(std::string_view element, std::string_view attribute);

// "control, pressed"; "no arguments" for none.
std::string describeArguments(const std::vector<Argument>& arguments);

// How a type library declares a parameter or a result, as far as the host cares.
enum class DeclaredKind { variant, object, truth, number, text, other };

struct DeclaredType {
    DeclaredKind kind = DeclaredKind::other;
    bool byReference = false;
    friend bool operator==(const DeclaredType&, const DeclaredType&) = default;
};

struct DeclaredParameter {
    DeclaredType type;
    bool optional = false;
    friend bool operator==(const DeclaredParameter&, const DeclaredParameter&) = default;
};

struct DeclaredMethod {
    bool isMethod = true;  // false for a property
    std::vector<DeclaredParameter> parameters;  // the result not among them
    std::optional<DeclaredType> result;         // none: nothing comes back
    friend bool operator==(const DeclaredMethod&, const DeclaredMethod&) = default;
};

// Why a method so declared cannot take what the host passes, or cannot give
// the answer it reads; none when it can. A value the runtime converts to the
// declared type is taken, and so is a value given for a parameter by
// reference (the runtime passes a copy); CancelDefault must be taken by
// reference, or the callback could never cancel.
std::optional<std::string> signatureMismatch(const CallbackSignature& signature, const DeclaredMethod& method);

}  // namespace kq::host::sim::ribbon
