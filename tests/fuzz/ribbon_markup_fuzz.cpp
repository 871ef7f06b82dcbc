// Drives the simulated host's ribbon with arbitrary markup: the reader as
// stored bytes and as decoded text, the schema check of whatever reads, and,
// for markup a host of 12 or 14 takes, the session drawing every control,
// pressing each one and running each repurposed command against callbacks
// that answer nothing, and the list of callbacks its attributes name. Beyond
// the sanitizers' findings: a document read as bytes without a byte-order mark
// reads the same as text, and the session's count of callbacks grows only by
// what it asked.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/sim/ribbon/custom_ui_schema.h"
#include "host/sim/ribbon/ribbon_markup.h"
#include "host/sim/ribbon/ribbon_session.h"
#include "host/sim/ribbon/xml_reader.h"

namespace {

using namespace kq::host::sim::ribbon;

void check(bool condition) {
    if (!condition) std::abort();
}

class Silent final : public RibbonCallbacks {
public:
    std::size_t calls = 0;
    CallbackValue call(CallbackCall& c) override {
        ++calls;
        c.cancelDefault = (calls % 2) == 0;
        return std::monostate{};
    }
};

void drive(const RibbonMarkup& markup) {
    Silent addIn;
    RibbonSession session(markup, addIn);
    session.load();
    session.show();
    for (const MarkupControl& c : markup.controls) {
        if (c.builtIn) {
            session.runCommand(c.id);
            session.invalidateControlMso(c.id);
        } else {
            session.press(c.id);
            session.invalidateControl(c.id);
        }
    }
    session.show();
    session.invalidate();
    check(session.callbackCount() == addIn.calls);
    // Every callback named is among those used, and a use's signature is the table's.
    for (const CallbackUse& use : markup.callbackUses()) {
        check(!use.callback.empty());
        check(use.signature == callbackSignature(use.element, use.attribute));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const XmlReading asBytes = readXml(input, XmlInput::bytes);
    if (asBytes.root) checkCustomUi(*asBytes.root);
    const bool marked = input.substr(0, 2) == "\xFF\xFE" || input.substr(0, 2) == "\xFE\xFF" ||
                        input.substr(0, 3) == "\xEF\xBB\xBF";
    const XmlReading asText = readXml(input, XmlInput::text);
    // Text differs from bytes only in the declared encoding it ignores.
    if (!marked && asBytes.root) check(asText.root.has_value());
    for (int host : {12, 14}) {
        const MarkupVerdict verdict = readRibbonMarkup(input, host);
        check(verdict.markup.has_value() == verdict.problems.empty());
        if (verdict.markup) drive(*verdict.markup);
    }
    return 0;
}
