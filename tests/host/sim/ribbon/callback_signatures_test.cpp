#include "host/sim/ribbon/callback_signatures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kq::host::sim::ribbon {
namespace {

using enum Argument;

TEST(CallbackSignatures, FollowTheElementAndTheAttribute) {
    struct Case {
        const char* element;
        const char* attribute;
        std::optional<CallbackSignature> signature;
    };
    // The rows the session's calls do not go through already.
    const Case cases[] = {
        {"dropDown", "onAction", CallbackSignature{{control, itemId, itemIndex}, Answer::none}},
        {"editBox", "onChange", CallbackSignature{{control, text}, Answer::none}},
        {"backstage", "onShow", CallbackSignature{{context}, Answer::none}},
        {"gallery", "getItemLabel", CallbackSignature{{control, itemIndex}, Answer::text}},
        {"gallery", "getItemImage", CallbackSignature{{control, itemIndex}, Answer::picture}},
        {"hyperlink", "onAction", std::nullopt},
        {"button", "onLoad", std::nullopt},
        {"button", "loadImage", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(callbackSignature(c.element, c.attribute), c.signature) << c.element << " " << c.attribute;
    }
}

DeclaredParameter parameter(DeclaredKind kind, bool byReference = false, bool optional = false) {
    return {{kind, byReference}, optional};
}

TEST(CallbackSignatures, TellWhyADeclaredMethodCannotTakeTheCall) {
    using K = DeclaredKind;
    const CallbackSignature toggle{{control, pressed}, Answer::none};
    const CallbackSignature command{{control, cancelDefault}, Answer::none};
    const CallbackSignature label{{control}, Answer::text};
    const CallbackSignature image{{control}, Answer::picture};
    const CallbackSignature loadImage{{imageName}, Answer::picture};
    const DeclaredType none{};
    struct Case {
        const char* name;
        CallbackSignature signature;
        DeclaredMethod method;
        const char* problem;  // "" when the method takes the call
    };
    const Case cases[] = {
        {"toggle", toggle, {true, {parameter(K::object), parameter(K::truth)}, {}}, ""},
        {"toggle as Variants", toggle, {true, {parameter(K::variant), parameter(K::variant)}, {}}, ""},
        {"pressed by reference", toggle, {true, {parameter(K::object), parameter(K::truth, true)}, {}}, ""},
        {"pressed as a number", toggle, {true, {parameter(K::object), parameter(K::number)}, {}}, ""},
        {"toggle without the state", toggle, {true, {parameter(K::object)}, {}},
         "it takes 1 argument, the host passes 2 (control, pressed)"},
        {"an argument too many", label, {true, {parameter(K::object), parameter(K::number)}, DeclaredType{K::text}},
         "it needs 2 arguments, the host passes 1 (control)"},
        {"an optional one", label,
         {true, {parameter(K::object), parameter(K::variant, false, true)}, DeclaredType{K::text}}, ""},
        {"control as text", label, {true, {parameter(K::text)}, DeclaredType{K::text}},
         "its argument 1 (control) is declared as text"},
        {"pressed as an object", toggle, {true, {parameter(K::object), parameter(K::object)}, {}},
         "its argument 2 (pressed) is declared as an object"},
        {"cancel by reference", command, {true, {parameter(K::object), parameter(K::truth, true)}, {}}, ""},
        {"cancel as a Variant", command, {true, {parameter(K::object), parameter(K::variant, true)}, {}}, ""},
        {"cancel by value", command, {true, {parameter(K::object), parameter(K::truth)}, {}},
         "it takes CancelDefault by value, so it could never cancel the command"},
        {"cancel as a number", command, {true, {parameter(K::object), parameter(K::number, true)}, {}},
         "its argument 2 (CancelDefault) is declared as a number by reference"},
        {"no answer", label, {true, {parameter(K::object)}, std::nullopt}, "it gives no answer, the host reads text"},
        {"object for text", label, {true, {parameter(K::object)}, DeclaredType{K::object}},
         "it answers with an object, the host reads text"},
        {"number for text", label, {true, {parameter(K::object)}, DeclaredType{K::number}}, ""},
        {"picture", image, {true, {parameter(K::object)}, DeclaredType{K::object}}, ""},
        {"built-in image name", image, {true, {parameter(K::object)}, DeclaredType{K::text}}, ""},
        {"Boolean for a picture", image, {true, {parameter(K::object)}, DeclaredType{K::truth}},
         "it answers with a Boolean, the host reads a picture"},
        {"image name as a number", loadImage, {true, {parameter(K::number)}, DeclaredType{K::object}},
         "its argument 1 (image name) is declared as a number"},
        {"unknown type", label, {true, {parameter(K::other)}, DeclaredType{K::text}},
         "its argument 1 (control) is declared as a type outside the host's"},
        {"property", label, {false, {parameter(K::object)}, DeclaredType{K::text}}, "it is a property, not a method"},
        {"answer ignored", toggle, {true, {parameter(K::object), parameter(K::truth)}, none}, ""},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> problem = signatureMismatch(c.signature, c.method);
        EXPECT_EQ(problem.value_or(""), c.problem) << c.name;
    }
}

}  // namespace
}  // namespace kq::host::sim::ribbon
