// The simulated host seen through simhost's IDispatch objects and the
// dispatch façade must answer as the simulated host answers directly: the
// add-ins' end-to-end runs go that way.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/win32/com_object.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_host.h"
#include "host/sim/a1_address.h"
#include "host/sim/sim_application.h"
#include "host/sim/sim_range.h"
#include "tests/support/memory_file_system.h"
#include "tools/simhost/host_objects.h"

namespace kq::simhost {
namespace {

namespace dispatch = kq::host::dispatch;
namespace sim = kq::host::sim;
using host::HostError;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What a call answered: the value, or the error number it raised.
template <typename F>
std::string answer(F&& call) {
    try {
        return call();
    } catch (const HostError& e) {
        return "error " + std::to_string(e.number());
    }
}

std::string addressOf(const host::RangePtr& r) { return r ? r->Address() : std::string("Nothing"); }

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        app = sim::SimApplication::create(files);
        book = app->loadWorkbook(readText(KQ_TEST_DATA "/sim/orders.simbook"));
        object = ApplicationObject::create(app);
        facade = dispatch::wrapApplication(object.get());
        simSheet = book->worksheet("Orders");
        sheet = facade->ActiveWorkbook()->FindWorksheet("Orders");
        ASSERT_TRUE(sheet);
    }

    test::MemoryFileSystem files;
    std::shared_ptr<sim::SimApplication> app;
    std::shared_ptr<sim::SimWorkbook> book;
    win32::ComPtr<ApplicationObject> object;
    host::ApplicationPtr facade;
    std::shared_ptr<sim::SimWorksheet> simSheet;
    host::WorksheetPtr sheet;
};

TEST_F(RoundTrip, RangesAnswerAsTheModel) {
    const char* texts[] = {"A1", "$B$2:$C$3", "c3:b2", "A1,C3:D4", "2:3", "B:C", "Customer", "lines", "A1:XFD1048576"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const host::RangePtr mine = sheet->Range(text);
        const host::RangePtr model = simSheet->Range(text);
        EXPECT_EQ(mine->Address(), model->Address());
        EXPECT_EQ(answer([&] { return std::to_string(mine->Count()); }),
                  answer([&] { return std::to_string(model->Count()); }));
        EXPECT_EQ(mine->Row(), model->Row());
        EXPECT_EQ(mine->Column(), model->Column());
        EXPECT_EQ(mine->RowsCount(), model->RowsCount());
        EXPECT_EQ(mine->ColumnsCount(), model->ColumnsCount());
        const auto areas = mine->Areas();
        const auto modelAreas = model->Areas();
        ASSERT_EQ(areas.size(), modelAreas.size());
        for (std::size_t i = 0; i < areas.size(); ++i) EXPECT_EQ(areas[i]->Address(), modelAreas[i]->Address());
        EXPECT_EQ(mine->Parent()->Name(), "Orders");
    }
    EXPECT_EQ(sheet->Range("Lines")->Address(), "$A$3:$D$4,$A$10");
    EXPECT_EQ(answer([&] { return std::to_string(sheet->Range("A1:XFD1048576")->Count()); }), "error 6");
}

TEST_F(RoundTrip, NavigationAnswersAsTheModel) {
    struct Step {
        const char* what;
        std::function<host::RangePtr(host::Range&)> go;
    };
    const Step steps[] = {
        {"Cells(2,3)", [](host::Range& r) { return r.Cells(2, 3); }},
        {"Cells(0,1)", [](host::Range& r) { return r.Cells(0, 1); }},
        {"Item(5)", [](host::Range& r) { return r.Item(5); }},
        {"Item(0)", [](host::Range& r) { return r.Item(0); }},
        {"Offset(1,-1)", [](host::Range& r) { return r.Offset(1, -1); }},
        {"Offset(-5,0)", [](host::Range& r) { return r.Offset(-5, 0); }},
        {"EntireRow", [](host::Range& r) { return r.EntireRow(); }},
        {"EntireColumn", [](host::Range& r) { return r.EntireColumn(); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const host::RangePtr mine = sheet->Range("B2:D4");
        const host::RangePtr model = simSheet->Range("B2:D4");
        EXPECT_EQ(answer([&] { return addressOf(step.go(*mine)); }), answer([&] { return addressOf(step.go(*model)); }));
    }
    EXPECT_EQ(addressOf(sheet->Cells(3, 2)), "$B$3");
    EXPECT_EQ(addressOf(sheet->UsedRange()), addressOf(simSheet->UsedRange()));
}

TEST_F(RoundTrip, CellValuesOfEveryKindCrossUnchanged) {
    struct Case {
        const char* cell;
        host::Value value;
    };
    const Case cases[] = {
        {"A1", std::string("Order list")},
        {"B2", std::string("Kanda Trading")},
        {"A3", 1.0},
        {"C3", 1250.0},
        {"D3", true},
        {"C4", host::CellError{2042}},
        {"E9", host::Empty{}},
        {"A3:D3", 1.0},  // a block: its first cell
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(sheet->Range(c.cell)->CellValue(), c.value);
        EXPECT_EQ(sheet->Range(c.cell)->CellValue(), simSheet->Range(c.cell)->CellValue());
        EXPECT_EQ(sheet->Range(c.cell)->Text(), simSheet->Range(c.cell)->Text());
    }
    const host::Value date = sheet->Range("B3")->CellValue();
    ASSERT_TRUE(std::holds_alternative<host::Date>(date));
    EXPECT_EQ(date, simSheet->Range("B3")->CellValue());
    EXPECT_EQ(sheet->Range("C3")->Text(), "1,250");
}

TEST_F(RoundTrip, CustomDocumentPropertiesReadAddAndDelete) {
    const host::DocumentPropertiesPtr mine = facade->ActiveWorkbook()->CustomDocumentProperties();
    const host::DocumentPropertiesPtr model = book->CustomDocumentProperties();
    ASSERT_EQ(mine->Count(), model->Count());
    for (int i = 1; i <= model->Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mine->Name(i), model->Name(i));
        EXPECT_EQ(answer([&] { return mine->Value(i); }), answer([&] { return model->Value(i); }));
    }
    EXPECT_EQ(answer([&] { return mine->Value(3); }).rfind("error ", 0), 0u) << "the unreadable one";
    EXPECT_EQ(mine->ValueOf("Revision"), "3");
    EXPECT_EQ(answer([&] { return mine->ValueOf("revision"); }), answer([&] { return model->ValueOf("revision"); }));

    mine->Add("KEZ_QUORVEX_INFO_Notes", false, host::msoPropertyTypeString, "0\tx");
    ASSERT_TRUE(book->properties()->find("KEZ_QUORVEX_INFO_Notes"));
    EXPECT_EQ(book->properties()->find("KEZ_QUORVEX_INFO_Notes")->value, "0\tx");
    EXPECT_EQ(book->properties()->find("KEZ_QUORVEX_INFO_Notes")->type, host::msoPropertyTypeString);
    const auto addAgain = [&](host::DocumentProperties& p) {
        return answer([&] {
            p.Add("Revision", false, host::msoPropertyTypeString, "4");
            return std::string("added");
        });
    };
    EXPECT_EQ(addAgain(*mine), addAgain(*model));
    EXPECT_NE(addAgain(*mine), "added");

    mine->Delete("KEZ_QUORVEX_INFO_Notes");
    EXPECT_FALSE(book->properties()->find("KEZ_QUORVEX_INFO_Notes"));
    const auto deleteMissing = [&](host::DocumentProperties& p) {
        return answer([&] {
            p.Delete("Nothing here");
            return std::string("deleted");
        });
    };
    EXPECT_NE(deleteMissing(*mine), "deleted");
}

TEST_F(RoundTrip, FailuresKeepTheModelsNumbers) {
    struct Case {
        const char* what;
        std::function<std::string(host::Application&)> call;
    };
    const Case cases[] = {
        {"a text that names nothing", [](host::Application& a) { return addressOf(a.ActiveWorkbook()->FindWorksheet("Orders")->Range("no such name")); }},
        {"another sheet's cells", [](host::Application& a) { return addressOf(a.ActiveWorkbook()->FindWorksheet("Orders")->Range("Notes!A1")); }},
        {"an add-in not in the list", [](host::Application& a) { return a.COMAddIn("Nobody.Here")->ProgId(); }},
        {"an unknown workbook", [](host::Application& a) { return a.FindWorkbook("nobody.xls") ? "found" : "Nothing"; }},
        {"an unknown worksheet", [](host::Application& a) { return a.ActiveWorkbook()->FindWorksheet("Nowhere") ? "found" : "Nothing"; }},
        {"a workbook in another letter case", [](host::Application& a) { return a.FindWorkbook("ORDERS.XLS")->Name(); }},
        {"a view the window lacks", [](host::Application& a) {
             a.ActiveWindow()->SetView(7);
             return std::string("set");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(answer([&] { return c.call(*facade); }), answer([&] { return c.call(*app); }));
    }
    EXPECT_EQ(answer([&] { return addressOf(sheet->Range("no such name")); }), "error 1004");
    EXPECT_EQ(answer([&] { return facade->COMAddIn("Nobody.Here")->ProgId(); }), "error 9");
}

TEST_F(RoundTrip, ObjectsOfAClosedWorkbookFailWithTheDisconnectedResult) {
    const host::RangePtr cell = sheet->Range("A1");
    app->closeWorkbook(book);
    EXPECT_EQ(answer([&] { return sheet->Name(); }), answer([&] { return simSheet->Name(); }));
    EXPECT_EQ(answer([&] { return facade->FindWorkbook("Orders.xls") ? "found" : "Nothing"; }), "Nothing");
    EXPECT_EQ(answer([&] { return cell->Address(); }), answer([&] { return simSheet->Range("A1")->Address(); }));
}

TEST_F(RoundTrip, SelectionThatIsNoRangeIsATypeMismatch) {
    EXPECT_EQ(addressOf(facade->Selection()), addressOf(app->Selection()));
    simSheet->selectShape();
    EXPECT_EQ(answer([&] { return addressOf(facade->Selection()); }), "error 13");
    book->sheet("Trend")->activate();
    EXPECT_EQ(answer([&] { return addressOf(facade->Selection()); }), answer([&] { return addressOf(app->Selection()); }));
    EXPECT_EQ(facade->ActiveSheet()->Name(), "Trend");
    EXPECT_EQ(facade->ActiveSheet()->Type(), host::xlChart);
    EXPECT_FALSE(facade->ActiveSheet()->AsWorksheet());
    EXPECT_FALSE(facade->ActiveCell());
}

TEST_F(RoundTrip, SheetsWindowsAndPageSetup) {
    book->selectSheets(std::vector<std::string>{"Orders", "Trend", "Notes"});
    std::vector<std::string> names;
    std::vector<bool> worksheets;
    for (const auto& s : facade->ActiveWindow()->SelectedSheets()) {
        names.push_back(s->Name());
        worksheets.push_back(s->AsWorksheet() != nullptr);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Orders", "Trend", "Notes"}));
    EXPECT_EQ(worksheets, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(facade->ActiveWindow()->WindowState(), app->ActiveWindow()->WindowState());
    facade->ActiveWindow()->SetView(host::xlPageBreakPreview);
    EXPECT_EQ(app->ActiveWindow()->View(), host::xlPageBreakPreview);

    std::vector<std::string> sheetNames;
    for (const auto& ws : facade->ActiveWorkbook()->Worksheets()) sheetNames.push_back(ws->Name());
    EXPECT_EQ(sheetNames, (std::vector<std::string>{"Orders", "Notes"}));
    EXPECT_EQ(facade->ActiveWorkbook()->FindWorksheet("NOTES")->Name(), "Notes");

    const host::PageSetupPtr mine = sheet->PageSetup();
    const host::PageSetupPtr model = simSheet->PageSetup();
    EXPECT_EQ(mine->PrintArea(), model->PrintArea());
    EXPECT_EQ(mine->PrintArea(), "$A$1:$D$20");
    EXPECT_EQ(mine->PrintTitleRows(), model->PrintTitleRows());
    EXPECT_EQ(mine->PrintTitleColumns(), model->PrintTitleColumns());
    EXPECT_EQ(mine->CenterHeader(), "&A");
    EXPECT_EQ(mine->LeftFooter(), model->LeftFooter());
    EXPECT_EQ(mine->LeftMargin(), model->LeftMargin());
    EXPECT_EQ(mine->FooterMargin(), model->FooterMargin());
    EXPECT_EQ(mine->CenterHorizontally(), model->CenterHorizontally());
    EXPECT_EQ(mine->Orientation(), 2);
    EXPECT_EQ(mine->PaperSize(), model->PaperSize());
    EXPECT_EQ(mine->FirstPageNumber(), host::xlAutomatic);
    EXPECT_EQ(mine->Order(), model->Order());
    EXPECT_EQ(mine->PrintComments(), -1);

    std::vector<std::string> breaks, modelBreaks;
    for (const auto& b : sheet->HPageBreaks()) breaks.push_back(b->Address());
    for (const auto& b : simSheet->HPageBreaks()) modelBreaks.push_back(b->Address());
    EXPECT_EQ(breaks, modelBreaks);
    EXPECT_EQ(sheet->VPageBreaks().size(), simSheet->VPageBreaks().size());
}

TEST_F(RoundTrip, ShapesAndCommentsWithTheirTextSources) {
    const auto mine = sheet->Shapes();
    const auto model = simSheet->Shapes();
    ASSERT_EQ(mine.size(), model.size());
    std::vector<std::pair<host::ShapePtr, host::ShapePtr>> pairs;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        pairs.emplace_back(mine[i], model[i]);
        const auto items = answer([&] { return std::to_string(mine[i]->GroupItems().size()); });
        EXPECT_EQ(items, answer([&] { return std::to_string(model[i]->GroupItems().size()); }));
        if (items.rfind("error", 0) != 0) {
            const auto members = mine[i]->GroupItems();
            const auto modelMembers = model[i]->GroupItems();
            for (std::size_t m = 0; m < members.size(); ++m) pairs.emplace_back(members[m], modelMembers[m]);
        }
    }
    ASSERT_EQ(pairs.size(), 4u);
    for (const auto& [s, m] : pairs) {
        SCOPED_TRACE(m->Name());
        EXPECT_EQ(s->Name(), m->Name());
        EXPECT_EQ(s->Visible(), m->Visible());
        EXPECT_EQ(s->Type(), m->Type());
        EXPECT_EQ(s->TopLeftCell()->Address(), m->TopLeftCell()->Address());
        EXPECT_EQ(s->BottomRightCell()->Address(), m->BottomRightCell()->Address());
        EXPECT_EQ(answer([&] { return s->DrawingObjectCaption(); }), answer([&] { return m->DrawingObjectCaption(); }));
        EXPECT_EQ(answer([&] { return s->DrawingObjectObjectText(); }), answer([&] { return m->DrawingObjectObjectText(); }));
        EXPECT_EQ(answer([&] { return s->DrawingObjectObjectCaption(); }),
                  answer([&] { return m->DrawingObjectObjectCaption(); }));
        EXPECT_EQ(answer([&] { return s->TextEffectText(); }), answer([&] { return m->TextEffectText(); }));
    }
    EXPECT_FALSE(pairs[2].first->Visible()) << "Stamp is hidden";
    EXPECT_EQ(pairs[3].first->DrawingObjectObjectText(), "see\nbelow");

    const auto comments = sheet->Comments();
    ASSERT_EQ(comments.size(), 1u);
    EXPECT_EQ(comments[0]->Parent()->Address(), "$C$3");
    EXPECT_EQ(comments[0]->Author(), "Sato");
    EXPECT_EQ(comments[0]->Text(), "Price agreed\non the phone");
}

TEST_F(RoundTrip, ApplicationFactsAndSwitches) {
    app->setPath("C:\\Program Files\\Sim Host");
    app->setHInstance(0);
    app->setUserName("佐藤");
    EXPECT_EQ(facade->Version(), "16.0");
    EXPECT_EQ(facade->Path(), "C:\\Program Files\\Sim Host");
    EXPECT_EQ(facade->hInstance(), 0);
    EXPECT_EQ(facade->UserName(), "佐藤");
    EXPECT_EQ(facade->Caption(), app->Caption());
    EXPECT_EQ(facade->ActivePrinter(), app->ActivePrinter());
    EXPECT_EQ(facade->WindowState(), app->WindowState());

    facade->SetScreenUpdating(false);
    facade->SetEnableEvents(false);
    EXPECT_FALSE(app->ScreenUpdating());
    EXPECT_FALSE(facade->EnableEvents());
    facade->SetStatusBar("印刷履歴を保存中...1");
    EXPECT_EQ(app->statusBar(), std::optional<std::string>("印刷履歴を保存中...1"));
    facade->SetStatusBar(std::nullopt);
    EXPECT_EQ(app->statusBar(), std::nullopt);
    facade->ClearCutCopyMode();

    app->control(sim::kControlEditingOff)->setEnabled(false);
    EXPECT_FALSE(facade->FindControl(sim::kControlEditingOff)->Enabled());
    EXPECT_TRUE(facade->FindControl(sim::kControlPrintable)->Enabled());
    EXPECT_FALSE(facade->FindControl(4));
}

// Application.Run, which the façade leaves out: the add-ins never call it, a
// script or a test may.
TEST_F(RoundTrip, RunPlaysAMacroOfAnOpenWorkbookByName) {
    std::vector<std::string> ran;
    app->registerMacro("Orders.xls!Module1.Tally", [&] { ran.push_back("tally"); });
    dispatch::Caller application(win32::ComPtr<IDispatch>::share(object.get()));
    application.call("Run", "Orders.xls!Module1.Tally");
    EXPECT_EQ(ran, std::vector<std::string>{"tally"});
    EXPECT_EQ(answer([&] {
                  application.call("Run", "Orders.xls!Missing");
                  return std::string("ran");
              }),
              "error 1004");
    EXPECT_EQ(answer([&] {
                  application.call("Run", "Orders.xls!Module1.Tally", 1);
                  return std::string("ran");
              }).rfind("error", 0),
              0u)
        << "arguments for the macro are not simulated";
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(RoundTrip, OnTimeInputBoxIntersectAndUnion) {
    facade->OnTime(45322.5, "Kez_Quorvex.xla!WorkbookAfterPrint");
    ASSERT_EQ(app->onTimeQueue().size(), 1u);
    EXPECT_EQ(app->onTimeQueue()[0].when, 45322.5);
    EXPECT_EQ(app->onTimeQueue()[0].procedure, "Kez_Quorvex.xla!WorkbookAfterPrint");

    app->answerInputBox("B2:C3");
    app->cancelInputBox();
    EXPECT_EQ(addressOf(facade->InputBoxRange("範囲", "Title", "$A$1")), "$B$2:$C$3");
    EXPECT_EQ(addressOf(facade->InputBoxRange("again", "Title", "")), "Nothing");
    ASSERT_EQ(app->inputBoxCalls().size(), 2u);
    EXPECT_EQ(app->inputBoxCalls()[0].prompt, "範囲");
    EXPECT_EQ(app->inputBoxCalls()[0].defaultText, "$A$1");

    struct Pair {
        const char* a;
        const char* b;
    };
    const Pair pairs[] = {{"A1:C3", "B2:D4"}, {"A1", "C3"}, {"A1:A2", "A3:A4"}, {"1:1", "B:B"}};
    for (const Pair& p : pairs) {
        SCOPED_TRACE(std::string(p.a) + " " + p.b);
        EXPECT_EQ(addressOf(facade->Intersect(sheet->Range(p.a), sheet->Range(p.b))),
                  addressOf(app->Intersect(simSheet->Range(p.a), simSheet->Range(p.b))));
        EXPECT_EQ(addressOf(facade->Union({sheet->Range(p.a), sheet->Range(p.b)})),
                  addressOf(app->Union({simSheet->Range(p.a), simSheet->Range(p.b)})));
    }
    const host::WorksheetPtr notes = facade->ActiveWorkbook()->FindWorksheet("Notes");
    EXPECT_EQ(answer([&] { return addressOf(facade->Intersect(sheet->Range("A1"), notes->Range("A1"))); }), "error 1004");
    EXPECT_EQ(answer([&] { return addressOf(facade->Intersect(sheet->Range("A1"), simSheet->Range("A1"))); }), "error 13")
        << "a range of another implementation cannot be handed to the host";
}

TEST_F(RoundTrip, WorkbooksOpenThroughTheHost) {
    files.addFile("C:\\books\\Second.xls", [] {
        const std::string text = "simulated-workbook 1\nbook Second.xls\nworksheet Only\n  cell A1 number 7\n";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }());
    const host::WorkbookPtr opened = facade->OpenWorkbook("C:\\books\\Second.xls", true);
    EXPECT_EQ(opened->Name(), "Second.xls");
    EXPECT_EQ(opened->Path(), "C:\\books");
    EXPECT_TRUE(app->books().back()->readOnly());
    std::vector<std::string> names;
    for (const auto& wb : facade->Workbooks()) names.push_back(wb->Name());
    EXPECT_EQ(names.size(), app->Workbooks().size());
    EXPECT_EQ(names.back(), "Second.xls");
    EXPECT_EQ(answer([&] { return facade->OpenWorkbook("C:\\books\\Missing.xls", false)->Name(); }),
              answer([&] { return app->OpenWorkbook("C:\\books\\Missing.xls", false)->Name(); }));
}

// An object that answers one method, Change, taking any argument by reference.
class ByReferenceTarget final : public win32::LateBoundObject<IDispatch> {
public:
    VARTYPE seen = VT_EMPTY;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        *ids = _wcsicmp(names[0], L"Change") == 0 ? 7 : DISPID_UNKNOWN;
        return *ids == 7 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        VARIANT& a = p->rgvarg[0];
        seen = V_VT(&a);
        switch (V_VT(&a)) {
            case VT_I4 | VT_BYREF: *V_I4REF(&a) *= 2; break;
            case VT_R8 | VT_BYREF: *V_R8REF(&a) *= 2; break;
            case VT_BOOL | VT_BYREF: *V_BOOLREF(&a) = ~*V_BOOLREF(&a); break;
            case VT_BSTR | VT_BYREF: {
                win32::Bstr old = win32::Bstr::adopt(*V_BSTRREF(&a));
                *V_BSTRREF(&a) = win32::Bstr(old.utf8() + old.utf8()).detach();
                break;
            }
            default: return DISP_E_TYPEMISMATCH;
        }
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(L"changed");
        return S_OK;
    }
};

TEST(LateBound, ArgumentsGoByReferenceAndComeBackChanged) {
    struct Case {
        host::Value given;
        VARTYPE sent;
        host::Value back;
    };
    const Case cases[] = {
        {21.0, VT_I4 | VT_BYREF, 42.0},
        {-3.0, VT_I4 | VT_BYREF, -6.0},
        {2.5, VT_R8 | VT_BYREF, 5.0},
        {4294967296.0, VT_R8 | VT_BYREF, 8589934592.0},
        {std::string("ab"), VT_BSTR | VT_BYREF, std::string("abab")},
        {true, VT_BOOL | VT_BYREF, false},
    };
    const auto target = win32::makeObject<ByReferenceTarget>();
    const host::LateBoundPtr object = dispatch::wrapLateBound(target.get());
    for (const Case& c : cases) {
        SCOPED_TRACE(dispatch::describe(c.given));
        std::vector<host::Value> args{c.given};
        EXPECT_EQ(object->Invoke("cHaNgE", args), host::Value(std::string("changed")));
        EXPECT_EQ(target->seen, c.sent);
        EXPECT_EQ(args[0], c.back);
    }
    std::vector<host::Value> none;
    EXPECT_EQ(answer([&] { return dispatch::describe(object->Invoke("Missing", none)); }), "error 438");
}

TEST_F(RoundTrip, AddInEntryPublishesTheAddInsOwnObject) {
    const auto entry = app->addComAddIn("Some.Connect");
    const win32::ComPtr<IDispatch> inst = wrapAddInEntry(entry);
    const host::AddInEntryPtr mine = dispatch::wrapAddInEntry(inst.get());
    const auto published = win32::makeObject<ByReferenceTarget>();
    mine->SetObject(dispatch::wrapLateBound(published.get()));
    EXPECT_EQ(dispatch::dispatchOf(facade->COMAddIn("SOME.CONNECT")->Object()), published.get())
        << "the host hands out the very object the add-in published";
    EXPECT_EQ(mine->ProgId(), "Some.Connect");
    EXPECT_TRUE(mine->Connect());
    mine->SetConnect(false);
    EXPECT_FALSE(entry->Connect());
    mine->SetObject(nullptr);
    EXPECT_FALSE(facade->COMAddIn("Some.Connect")->Object());
}

// The name table, seen as a script caller sees it.
TEST_F(RoundTrip, NamesInAnyLetterCaseAndCheckedArguments) {
    IDispatch* raw = object.get();
    const wchar_t* spellings[] = {L"ActiveWorkbook", L"ACTIVEWORKBOOK", L"activeworkbook", L"aCTIVEwORKBOOK"};
    DISPID first = DISPID_UNKNOWN;
    for (const wchar_t* spelling : spellings) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(spelling)};
        DISPID id = DISPID_UNKNOWN;
        ASSERT_EQ(raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        if (first == DISPID_UNKNOWN) first = id;
        EXPECT_EQ(id, first);
    }

    dispatch::Caller host(win32::ComPtr<IDispatch>::share(raw));
    EXPECT_EQ(dispatch::toText(*host.get("VERSION").get()), "16.0");
    dispatch::Caller range = host.child("activecell");
    struct Case {
        const char* what;
        std::function<void()> call;
        std::int32_t number;
    };
    const Case cases[] = {
        {"a method without its argument", [&] { range.get("Offset", 1, 2, 3); }, dispatch::vb::kWrongArgumentCount},
        {"a text for a number", [&] { range.get("Item", "first"); }, host::err::kTypeMismatch},
        {"a required argument left out", [&] { range.get("Item"); }, dispatch::vb::kArgumentNotOptional},
        {"a named argument the member lacks", [&] { host.get("InputBox", "p", dispatch::named("Kind", 8)); },
         dispatch::vb::kNamedArgumentNotFound},
        {"a read-only property assigned", [&] { host.put("Version", "17.0"); }, dispatch::vb::kNoSuchMember},
        {"a property called as a method", [&] { host.call("Version"); }, dispatch::vb::kNoSuchMember},
        {"an unknown member", [&] { host.get("Worksheets"); }, dispatch::vb::kNoSuchMember},
        {"a number too large for a Long", [&] { range.get("Item", 3e10); }, dispatch::vb::kOverflow},
        {"a number for an object", [&] { host.get("Intersect", 1, 2); }, host::err::kTypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), c.number);
        }
    }
    // Named arguments land in their places, in any order and letter case.
    app->answerInputBox("C5");
    dispatch::Caller chosen = host.child("InputBox", "p", dispatch::named("TYPE", 8), dispatch::named("title", "t"));
    EXPECT_EQ(dispatch::toText(*chosen.get("Address").get()), "$C$5");
    EXPECT_EQ(app->inputBoxCalls().back().title, "t");
}

}  // namespace
}  // namespace kq::simhost
