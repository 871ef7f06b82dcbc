#pragma once
// Sinks on command-bar controls. While a sink holds a control (its CB), the
// clicks of that control, and of every control with the same tag, reach its
// CB_Click: the host's print controls note which command starts the next
// print; the add-in's own buttons run their command.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "addin/core/addin_state.h"
#include "addin/core/procedures.h"
#include "host/host.h"

namespace kq::addin {

class ControlSink : public host::ButtonEvents {
public:
    host::CommandBarControlPtr CB;

    // Takes the control and connects to its clicks; an empty control only
    // ends the earlier hold. Throws what the host throws, holding nothing then.
    void holdControl(host::CommandBarControlPtr control) {
        letGo();
        if (!control) return;
        connection_ = control->AdviseClick(*this);
        CB = std::move(control);
    }
    void letGo() {
        connection_.reset();
        CB.reset();
    }

    // Neither the clicked control nor CancelDefault is used: the host goes on
    // with its own command.
    void Click(const host::CommandBarControlPtr&, bool&) final { CB_Click(); }
    virtual void CB_Click() = 0;

private:
    std::unique_ptr<host::EventConnection> connection_;
};

// A sink on one of the host's print controls: a click notes which command
// starts the next print in the state it is hooked to.
template <std::int32_t Kind>
class PrintKindSink final : public ControlSink {
public:
    // None while the sink is not hooked; the state outlives the hook.
    AddinState* state = nullptr;

    void CB_Click() override {
        if (state) state->PrintCommandKind = Kind;
    }
    void hook(host::CommandBarControlPtr control, AddinState& to) {
        state = &to;
        holdControl(std::move(control));
    }
    void unhook() {
        letGo();
        state = nullptr;
    }
};
using c_Xl_CB_Print = PrintKindSink<print_kind::kPrint>;
using c_Xl_CB_DirectPrint = PrintKindSink<print_kind::kQuickPrint>;
using c_Xl_CB_Preview = PrintKindSink<print_kind::kPreview>;

// Runs the commands of the menu, the toolbar and the ribbon.
class CommandRunner {
public:
    // Runs the command with the connection's state; its failure is shown to
    // the user, never thrown. Without a state or a procedure nothing runs.
    virtual void runCommand(Procedures::Command command) = 0;

protected:
    ~CommandRunner() = default;
};

// A sink on one of the add-in's own buttons: a click runs its command.
template <Procedures::Command Which>
class CommandSink final : public ControlSink {
public:
    explicit CommandSink(CommandRunner& runner) : runner_(runner) {}
    void CB_Click() override { runner_.runCommand(Which); }

private:
    CommandRunner& runner_;
};
using c_CB_ThisSheetCheck = CommandSink<&Procedures::Command_ThisSheetCheck>;
using c_CB_OpenHistory = CommandSink<&Procedures::Command_OpenHistory>;
using c_CB_Setting = CommandSink<&Procedures::Command_Setting>;
using c_CB_About = CommandSink<&Procedures::Command_About>;
using c_CB_Help = CommandSink<&Procedures::Command_Help>;
using c_CB_KEZ = CommandSink<&Procedures::Command_GotoHomePage>;

}  // namespace kq::addin
