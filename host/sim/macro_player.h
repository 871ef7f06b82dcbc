#pragma once
// The simulated host's player of macros. It reads a module's source and does
// what its statements say, for the kinds of statements the system's own
// workbooks use:
//   module level   Option/Attribute lines; [Private|Public|Dim] name As Type;
//                  [Private|Public] Const name [As Type] = expression
//   in a Sub       On Error Resume Next / GoTo 0; If condition Then / Else /
//                  End If; Set variable = Application.COMAddIns(text).Object,
//                  or = Nothing, or = another variable; MsgBox prompt
//                  [, buttons [, title]]; variable.Method (a late-bound call
//                  without arguments); Application.EnableCancelKey = value;
//                  Exit Sub; Dim
//   expressions    text and whole-number literals, variables, constants,
//                  Err.Number, Err.Description, vbCrLf and the message-box
//                  and cancel-key constants, joined by & and +; conditions
//                  with Is Nothing, =, <> and Not
// A statement the player does not know stops the run with MacroError: a
// macro is never played in part without saying so.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace kq::host::sim {

// The player cannot follow the source: its limits, not a run-time error of the macro.
class MacroError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a macro reaches of its host.
class MacroHost {
public:
    virtual ~MacroHost() = default;
    // Application.COMAddIns(progId).Object; throws HostError when there is no such entry.
    virtual LateBoundPtr comAddInObject(const std::string& progId) = 0;
    virtual void setEnableCancelKey(std::int32_t mode) = 0;
    // MsgBox, with the buttons and icon bits of the platform's message box.
    virtual void msgBox(const std::string& prompt, std::int32_t buttons, const std::string& title) = 0;
};

class MacroModule {
public:
    // Reads the declarations and procedures of a source in UTF-8. A source
    // whose structure cannot be followed (a Sub without its End Sub, say) is
    // kept with that problem, which running any of its Subs reports.
    MacroModule(std::string name, std::string_view source);
    ~MacroModule();
    MacroModule(MacroModule&&) noexcept;
    MacroModule& operator=(MacroModule&&) noexcept;

    const std::string& name() const;
    // The module's public Subs without arguments, the ones a host can run by name.
    std::vector<std::string> publicSubs() const;
    bool hasPublicSub(std::string_view sub) const;  // letter case ignored

    // Plays the Sub. Module-level variables keep their values from one run to
    // the next, as they do while the host keeps the workbook open. A run-time
    // error that no On Error traps leaves as HostError.
    void run(std::string_view sub, MacroHost& host);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kq::host::sim
