// The helper workbook the build makes, opened by the simulated host from its
// bytes and its macro played against add-in objects that stand in for ours.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/ole/macro_workbook.h"
#include "common/text_codec.h"
#include "tests/host/sim/sim_test_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::host::sim {
namespace {

using test::EventLog;
using test::SimWorld;
using Texts = std::vector<std::string>;

constexpr char kPath[] = "C:\\Temp\\KEZ\\Kez_Quorvex.xla";
constexpr char kMacro[] = "Kez_Quorvex.xla!WorkbookAfterPrint";
constexpr char kTitle[] = "Quorvex for Excel";
constexpr unsigned kCritical = 16;

using Bytes = std::vector<std::uint8_t>;

Bytes helperBytes() {
    std::ifstream in(KQ_HELPER_WORKBOOK, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class AddInObject final : public LateBound {
public:
    Value Invoke(const std::string& name, std::vector<Value>& args) override {
        calls.push_back(name + (args.empty() ? "" : " with arguments"));
        return Empty{};
    }
    Texts calls;
};

struct HelperWorld : SimWorld {
    HelperWorld() {
        app->setPrompts(&prompts);
        files.addDirectory("C:\\Temp\\KEZ");
        files.addFile(kPath, helperBytes());
    }
    std::shared_ptr<SimWorkbook> open() {
        return std::dynamic_pointer_cast<SimWorkbook>(app->OpenWorkbook(kPath, true));
    }
    kq::test::ScriptedPrompts prompts;
};

TEST(HelperWorkbookInTheHost, OpensAsAHiddenAddInThatStaysOpen) {
    HelperWorld w;
    EventLog log;
    const auto connection = w.app->Advise(log);
    const auto helper = w.open();
    ASSERT_TRUE(helper);
    EXPECT_TRUE(helper->isAddin());
    EXPECT_EQ(helper->Name(), "Kez_Quorvex.xla");
    EXPECT_EQ(w.app->FindWorkbook("KEZ_QUORVEX.XLA"), helper);
    EXPECT_EQ(w.app->Workbooks().size(), 1u);  // not among the listed workbooks
    EXPECT_EQ(w.app->ActiveWorkbook(), w.book);
    EXPECT_EQ(log.seen, Texts{"WorkbookOpen Kez_Quorvex.xla"});
    ASSERT_EQ(helper->sheets().size(), 1u);
    EXPECT_EQ(helper->sheets()[0]->name(), "Sheet1");
    Texts modules;
    for (const MacroModule& m : helper->macroModules()) modules.push_back(m.name());
    EXPECT_EQ(modules, (Texts{"ThisWorkbook", "Sheet1", "s_WorkbookAfterPrint"}));

    // Opening it again finds it open; closing the user's workbooks leaves it.
    EXPECT_EQ(w.open(), helper);
    w.app->closeWorkbook(w.book);
    EXPECT_TRUE(w.app->FindWorkbook("Kez_Quorvex.xla"));
    EXPECT_TRUE(w.app->Workbooks().empty());
}

TEST(HelperWorkbookInTheHost, PlaysTheMacroAsItsSourceSays) {
    const std::string notLoaded =
        "本体アドインが読み込まれていません。エクセルからアドインを有効にするか、または「Quorvex for "
        "Excel」を再インストールしてください。\r\n（エクセルからアドインを有効にする方法は、エクセルまたは「Quorvex for "
        "Excel」のマニュアルをご覧ください。）";
    struct Case {
        const char* name;
        bool listed;     // the add-in is in the host's COM add-in list
        bool connected;  // and has published its object
        std::vector<kq::test::ShownMessage> messages;
        Texts calls;
    };
    const Case cases[] = {
        {"not in the list: the failed lookup", false, false, {{"Err:9\r\nSubscript out of range", kTitle, kCritical}}, {}},
        {"listed without its object", true, false, {{notLoaded, kTitle, kCritical}}, {}},
        {"connected", true, true, {}, {"CallForXLA_WorkbookAfterPrint"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HelperWorld w;
        const auto object = std::make_shared<AddInObject>();
        if (c.listed) {
            const auto entry = w.app->addComAddIn("Kez_Quorvex.Connect");
            if (c.connected) entry->SetObject(object);
        }
        w.open();
        w.app->RunMacro(kMacro);
        EXPECT_EQ(w.prompts.messages, c.messages);
        EXPECT_EQ(object->calls, c.calls);
        EXPECT_EQ(w.app->enableCancelKey(), 0) << "xlDisabled";
    }
}

TEST(HelperWorkbookInTheHost, RunsTheMacroByEveryFormOfItsName) {
    HelperWorld w;
    const auto object = std::make_shared<AddInObject>();
    w.app->addComAddIn("Kez_Quorvex.Connect")->SetObject(object);
    EXPECT_THROW(w.app->RunMacro(kMacro), HostError) << "not open yet";
    w.open();
    for (const char* name : {kMacro, "'Kez_Quorvex.xla'!WorkbookAfterPrint", "kez_quorvex.xla!s_WorkbookAfterPrint.workbookafterprint",
                             "WorkbookAfterPrint"}) {
        SCOPED_TRACE(name);
        object->calls.clear();
        w.app->RunMacro(name);
        EXPECT_EQ(object->calls, Texts{"CallForXLA_WorkbookAfterPrint"});
    }
    for (const char* name : {"Other.xla!WorkbookAfterPrint", "Kez_Quorvex.xla!Sheet1.WorkbookAfterPrint", "Kez_Quorvex.xla!Missing"}) {
        try {
            w.app->RunMacro(name);
            ADD_FAILURE() << name << " ran";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::kApplicationDefined) << name;
        }
    }

    // The idle host runs it from the OnTime queue, as the add-in schedules it.
    object->calls.clear();
    w.app->OnTime(45000.5, kMacro);
    EXPECT_EQ(w.app->runOnTime(), 1);
    EXPECT_EQ(object->calls, Texts{"CallForXLA_WorkbookAfterPrint"});
}

// The host plays what the source says, not what the helper workbook is known
// to do: another ProgID, method and text change what happens.
TEST(HelperWorkbookInTheHost, PlaysAChangedSourceAsChanged) {
    const std::string source =
        "Attribute VB_Name = \"s_Other\"\r\n"
        "Private mobj As Object\r\n"
        "Public Sub AfterPrint()\r\n"
        "    On Error Resume Next\r\n"
        "    Set mobj = Application.COMAddIns(\"Other.Connect\").Object\r\n"
        "    If Err.Number <> 0 Then\r\n"
        "        MsgBox \"lookup failed \" & Err.Number, vbExclamation, \"Other\"\r\n"
        "        Exit Sub\r\n"
        "    End If\r\n"
        "    On Error GoTo 0\r\n"
        "    mobj.SomethingElse\r\n"
        "End Sub\r\n";
    ole::MacroWorkbookSpec spec;
    spec.addIn = true;
    spec.projectName = "Other";
    spec.projectId = "{00000000-0000-0000-0000-000000000002}";
    spec.sheets = {{"Sheet1", "Sheet1"}};
    spec.modules = {{"s_Other", ole::VbaModuleKind::procedural, std::vector<std::uint8_t>(source.begin(), source.end())}};
    const auto bytes = ole::writeMacroWorkbook(spec, systemAnsiCodec());

    HelperWorld w;
    w.files.addFile("C:\\Temp\\Other.xla", bytes);
    w.app->OpenWorkbook("C:\\Temp\\Other.xla", true);
    const auto ours = std::make_shared<AddInObject>();
    w.app->addComAddIn("Kez_Quorvex.Connect")->SetObject(ours);
    w.app->RunMacro("Other.xla!AfterPrint");
    EXPECT_EQ(w.prompts.messages, (std::vector<kq::test::ShownMessage>{{"lookup failed 9", "Other", 48}}));

    const auto other = std::make_shared<AddInObject>();
    w.app->addComAddIn("Other.Connect")->SetObject(other);
    w.app->RunMacro("Other.xla!AfterPrint");
    EXPECT_EQ(other->calls, Texts{"SomethingElse"});
    EXPECT_TRUE(ours->calls.empty());
}

TEST(HelperWorkbookInTheHost, ADamagedFileDoesNotOpen) {
    HelperWorld w;
    const Bytes bytes = helperBytes();
    ASSERT_GT(bytes.size(), 1024u);
    for (std::size_t size : {std::size_t{600}, bytes.size() / 2, bytes.size() - 512}) {
        SCOPED_TRACE(size);
        w.files.addFile("C:\\Temp\\Cut.xla", Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
        try {
            w.app->OpenWorkbook("C:\\Temp\\Cut.xla", true);
            ADD_FAILURE() << "opened";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::kApplicationDefined);
            EXPECT_NE(std::string(e.what()).find("is damaged"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(w.app->FindWorkbook("Cut.xla"));
    }
}

}  // namespace
}  // namespace kq::host::sim
