#include "tools/simhost/bar_script.h"

#include "common/win32/windows_api.h"

#include <stdexcept>

#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::simhost {

namespace sim = kq::host::sim;

namespace {

std::string positionWord(std::int32_t position) {
    static const char* const kWords[] = {"left", "top", "right", "bottom", "floating", "menu"};
    if (position >= 0 && position < 6) return kWords[position];
    return "position " + std::to_string(position);
}

std::string describe(const sim::SimControl& c) {
    const bool button = c.type() == host::msoControlButton;
    std::string line = (button ? "button " : "popup ") + quoted(c.caption());
    if (c.builtIn()) line += " id " + std::to_string(c.id());
    if (!c.tag().empty()) line += " tag " + quoted(c.tag());
    if (button && c.style() != 0) line += " style " + std::to_string(c.style());
    if (button && c.state() != host::msoButtonUp) line += c.state() == host::msoButtonDown ? " state down" : " state mixed";
    if (const auto face = c.face()) line += " face " + sim::faceHash(*face);
    if (c.beginGroup()) line += " group";
    if (!c.onAction().empty()) line += " action " + quoted(c.onAction());
    if (!c.enabled()) line += " disabled";
    if (c.temporary()) line += " temporary";
    return line;
}

void showMenu(const sim::SimCommandBar& bar, const std::string& indent, Transcript& out) {
    for (const auto& control : bar.controls()) {
        out.line(indent + describe(*control));
        if (control->menu()) showMenu(*control->menu(), indent + "  ", out);
    }
}

bool isNumber(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

std::int32_t numberOf(const std::string& word) {
    try {
        return static_cast<std::int32_t>(std::stol(word));
    } catch (const std::exception&) {
        throw std::runtime_error("not a number: " + word);
    }
}

}  // namespace

void showBars(const sim::SimCommandBars& bars, Transcript& out) {
    for (const auto& bar : bars.bars()) {
        std::string line = "  bar " + quoted(bar->name()) + " " + positionWord(bar->position()) + " row " +
                           std::to_string(bar->rowIndex()) + " at " + std::to_string(bar->left()) + "," +
                           std::to_string(bar->top()) + (bar->visible() ? " shown" : " hidden");
        if (bar->protection() != 0) line += " protection " + std::to_string(bar->protection());
        if (bar->shape().builtIn) line += " built-in";
        if (bar->shape().temporary) line += " temporary";
        out.line(line);
        showMenu(*bar, "    ", out);
    }
}

void showControls(const sim::SimCommandBars& bars, const std::string& tag, Transcript& out) {
    for (const auto& bar : bars.bars()) {
        bar->walk([&](const std::shared_ptr<sim::SimControl>& control) {
            if (control->tag() == tag) out.line("  in " + quoted(bar->name()) + ": " + describe(*control));
        });
    }
}

void clickControl(sim::SimCommandBars& bars, const std::string& which, const std::string& barName, Transcript& out) {
    std::shared_ptr<sim::SimControl> target;
    for (const auto& bar : bars.bars()) {
        if (!barName.empty() && bar->name() != barName) continue;
        bar->walk([&](const std::shared_ptr<sim::SimControl>& control) {
            const bool wanted = isNumber(which) ? control->id() == numberOf(which) : control->tag() == which;
            if (!target && wanted) target = control;
        });
    }
    if (!target) throw std::runtime_error("no control " + which + (barName.empty() ? "" : " in " + barName));
    if (!target->enabled()) {
        out.line("  " + quoted(target->caption()) + " is disabled: the click does nothing");
        return;
    }
    const sim::ClickOutcome outcome = bars.click(target);
    std::string line = "  clicked " + quoted(target->caption()) + ": " + std::to_string(outcome.handlers) + " handler" +
                       (outcome.handlers == 1 ? "" : "s");
    if (outcome.cancelled) line += ", cancelled";
    if (outcome.commandRan) line += ", its command ran";
    out.line(line);
}

void setBar(sim::SimCommandBars& bars, const std::string& name, const std::string& property, const std::string& value) {
    const auto bar = bars.bar(name);
    if (!bar) throw std::runtime_error("no bar called " + name);
    if (property == "position") {
        bar->SetPosition(numberOf(value));
    } else if (property == "row") {
        bar->SetRowIndex(numberOf(value));
    } else if (property == "left") {
        bar->SetLeft(numberOf(value));
    } else if (property == "top") {
        bar->SetTop(numberOf(value));
    } else if (property == "visible") {
        bar->SetVisible(value == "on");
    } else {
        throw std::runtime_error("a bar has no " + property);
    }
}

void showClipboard(Transcript& out) {
    const win32::OpenedClipboard open = win32::openClipboard(nullptr);
    if (!open) {
        out.line("  clipboard busy");
        return;
    }
    const win32::LockedGlobal text = win32::lockGlobal(GetClipboardData(CF_UNICODETEXT));
    if (!text) {
        out.line("  clipboard holds no text");
        return;
    }
    const auto* chars = static_cast<const wchar_t*>(text.get());
    std::size_t length = 0;
    const std::size_t most = text.size() / sizeof(wchar_t);
    while (length < most && chars[length] != L'\0') ++length;
    out.line("  clipboard " + quoted(win32::narrow(std::wstring_view(chars, length))));
}

}  // namespace kq::simhost
