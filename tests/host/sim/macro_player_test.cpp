#include "host/sim/macro_player.h"

#include <gtest/gtest.h>

#include <map>

namespace kq::host::sim {
namespace {

// An add-in object that writes down the methods called on it.
class RecordingObject final : public LateBound {
public:
    Value Invoke(const std::string& name, std::vector<Value>&) override {
        calls.push_back(name);
        if (failWith) throw *failWith;
        return Empty{};
    }
    std::vector<std::string> calls;
    std::optional<HostError> failWith;
};

// The host as a macro sees it, writing down what the macro did.
class RecordingHost final : public MacroHost {
public:
    LateBoundPtr comAddInObject(const std::string& progId) override {
        lookups.push_back(progId);
        const auto found = addIns.find(progId);
        if (found == addIns.end()) throw HostError(err::kSubscriptOutOfRange, "Subscript out of range");
        return found->second;
    }
    void setEnableCancelKey(std::int32_t mode) override { cancelKey = mode; }
    void msgBox(const std::string& prompt, std::int32_t buttons, const std::string& title) override {
        messages.push_back(title + "|" + std::to_string(buttons) + "|" + prompt);
    }

    std::map<std::string, LateBoundPtr> addIns;
    std::vector<std::string> lookups;
    std::vector<std::string> messages;
    std::int32_t cancelKey = 1;
};

struct Played {
    std::vector<std::string> messages;
    std::vector<std::string> lookups;
};

Played play(std::string_view source, std::map<std::string, LateBoundPtr> addIns = {}) {
    MacroModule module("Module1", source);
    RecordingHost host;
    host.addIns = std::move(addIns);
    module.run("Main", host);
    return {host.messages, host.lookups};
}

using Texts = std::vector<std::string>;

TEST(MacroPlayer, PlaysExpressionsAndStatements) {
    struct Case {
        const char* name;
        const char* body;
        Texts messages;
    };
    const Case cases[] = {
        {"text joined with numbers, constants and line ends",
         "MsgBox \"n=\" & 12 & vbCrLf & kTitle & \"\"\"q\"\"\", vbCritical + vbOKOnly, kTitle",
         {"Title|16|n=12\r\nTitle\"q\""}},
        {"MsgBox without buttons or title", "MsgBox \"plain\"", {"Microsoft Excel|0|plain"}},
        {"If and Else", "If 1 = 2 Then\nMsgBox \"then\"\nElse\nMsgBox \"else\"\nEnd If", {"Microsoft Excel|0|else"}},
        {"nested Ifs and Not",
         "If Not 1 <> 1 Then\nIf \"a\" = \"a\" Then\nMsgBox \"inner\"\nEnd If\nMsgBox \"outer\"\nEnd If",
         {"Microsoft Excel|0|inner", "Microsoft Excel|0|outer"}},
        {"Exit Sub ends the run", "MsgBox \"1\"\nIf 1 = 1 Then\nExit Sub\nEnd If\nMsgBox \"2\"", {"Microsoft Excel|0|1"}},
        {"continued lines and comments", "MsgBox \"it's\" & _\n  \" joined\" ' a comment\nRem another", {"Microsoft Excel|0|it's joined"}},
        {"a trapped error sets Err, GoTo 0 clears it",
         "On Error Resume Next\nSet o = Application.COMAddIns(\"Missing\").Object\nMsgBox Err.Number & \" \" & Err.Description\n"
         "On Error GoTo 0\nMsgBox Err.Number",
         {"Microsoft Excel|0|9 Subscript out of range", "Microsoft Excel|0|0"}},
        {"a local object starts as Nothing", "Dim x As Object\nIf x Is Nothing Then\nMsgBox \"nothing\"\nEnd If",
         {"Microsoft Excel|0|nothing"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = std::string("Attribute VB_Name = \"Module1\"\nOption Explicit\nPrivate o As Object\n"
                                               "Private Const kTitle As String = \"Title\"\nPublic Sub Main()\n") +
                                   c.body + "\nEnd Sub\n";
        EXPECT_EQ(play(source).messages, c.messages);
    }
}

constexpr std::string_view kHelper =
    "Attribute VB_Name = \"s_Helper\"\r\n"
    "Private mobjAddin As Object\r\n"
    "Public Sub Main()\r\n"
    "    Application.EnableCancelKey = xlDisabled\r\n"
    "    On Error Resume Next\r\n"
    "    If mobjAddin Is Nothing Then\r\n"
    "        Set mobjAddin = Application.COMAddIns(\"My.Connect\").Object\r\n"
    "    End If\r\n"
    "    If Err.Number <> 0 Then\r\n"
    "        MsgBox \"Err:\" & Err.Number, vbCritical, \"T\"\r\n"
    "        Exit Sub\r\n"
    "    End If\r\n"
    "    On Error GoTo 0\r\n"
    "    If mobjAddin Is Nothing Then\r\n"
    "        MsgBox \"not loaded\", vbCritical, \"T\"\r\n"
    "    Else\r\n"
    "        mobjAddin.AfterPrint\r\n"
    "    End If\r\n"
    "End Sub\r\n";

TEST(MacroPlayer, KeepsModuleVariablesFromRunToRun) {
    MacroModule module("s_Helper", kHelper);
    RecordingHost host;
    const auto first = std::make_shared<RecordingObject>();
    host.addIns["My.Connect"] = first;
    module.run("main", host);
    EXPECT_EQ(host.cancelKey, 0);
    host.addIns["My.Connect"] = std::make_shared<RecordingObject>();  // the reference stays cached
    module.run("Main", host);
    EXPECT_EQ(first->calls, (Texts{"AfterPrint", "AfterPrint"}));
    EXPECT_EQ(host.lookups, Texts{"My.Connect"});
    EXPECT_TRUE(host.messages.empty());
}

TEST(MacroPlayer, ReportsTheLookupAndTheMissingObject) {
    EXPECT_EQ(play(kHelper).messages, Texts{"T|16|Err:9"});
    EXPECT_EQ(play(kHelper, {{"My.Connect", nullptr}}).messages, Texts{"T|16|not loaded"});
}

// Errors that no On Error traps leave the macro, as they reach the host.
TEST(MacroPlayer, UntrappedErrorsLeaveTheMacro) {
    const auto failing = std::make_shared<RecordingObject>();
    failing->failWith = HostError(5, "Invalid procedure call or argument");
    MacroModule module("s_Helper", kHelper);
    RecordingHost host;
    host.addIns["My.Connect"] = failing;
    try {
        module.run("Main", host);
        FAIL() << "the add-in's error did not leave the macro";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), 5);
    }

    MacroModule onNothing("M", "Private o As Object\nSub Main()\no.Go\nEnd Sub\n");
    try {
        onNothing.run("Main", host);
        FAIL() << "a call on Nothing went through";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), 91);
    }
}

TEST(MacroPlayer, RunsOnlyPublicSubsWithoutArguments) {
    MacroModule module("M",
                       "Sub Plain()\nEnd Sub\nPublic Sub Open_()\nEnd Sub\nPrivate Sub Hidden()\nEnd Sub\n"
                       "Public Sub Takes(x As Long)\nEnd Sub\nPublic Function F()\nEnd Function\n");
    EXPECT_EQ(module.publicSubs(), (Texts{"Plain", "Open_"}));
    EXPECT_TRUE(module.hasPublicSub("PLAIN"));
    EXPECT_FALSE(module.hasPublicSub("Hidden"));
    RecordingHost host;
    EXPECT_THROW(module.run("Hidden", host), MacroError);
    EXPECT_NO_THROW(module.run("plain", host));
}

// What the player does not know stops the run and says what it was.
TEST(MacroPlayer, RefusesWhatItDoesNotKnow) {
    struct Case {
        const char* name;
        const char* source;
        const char* named;
    };
    const Case cases[] = {
        {"an unknown statement", "Sub Main()\nDoEvents\nEnd Sub\n", "DoEvents"},
        {"an unknown assignment", "Sub Main()\nApplication.StatusBar = \"x\"\nEnd Sub\n", "StatusBar"},
        {"an undeclared variable", "Sub Main()\nSet x = Nothing\nEnd Sub\n", "Set x"},
        {"an unknown expression", "Sub Main()\nMsgBox Now()\nEnd Sub\n", "Now()"},
        {"a single-line If", "Sub Main()\nIf 1 = 1 Then MsgBox \"x\"\nEnd Sub\n", "If 1 = 1"},
        {"a Sub without its end", "Sub Main()\nMsgBox \"x\"\n", "ends inside"},
        {"an If without its end", "Sub Main()\nIf 1 = 1 Then\nEnd Sub\n", "End If"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MacroModule module("M", c.source);
        RecordingHost host;
        try {
            module.run("Main", host);
            ADD_FAILURE() << "played";
        } catch (const MacroError& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
        EXPECT_TRUE(host.messages.empty());
    }
}

}  // namespace
}  // namespace kq::host::sim
