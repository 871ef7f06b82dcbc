#include "tools/simhost/host_objects.h"

#include <olectl.h>

#include <functional>
#include <string>

#include "host/dispatch/app_events.h"
#include "host/dispatch/dispatch_host.h"
#include "host/dispatch/variant_convert.h"
#include "host/sim/sim_application.h"

namespace kq::simhost {

namespace dispatch = kq::host::dispatch;
using host::HostError;
using win32::ComPtr;
using win32::Variant;

namespace {

// A collection of the host: Count, and Item by index from 1 and, where the
// host allows it, by name.
struct List {
    std::function<std::int32_t()> count;
    std::function<Variant(std::int32_t)> byIndex;
    std::function<Variant(const std::string&)> byName;
};

// A custom document property, as Item of the collection gives it.
struct PropertyItem {
    host::DocumentPropertiesPtr properties;
    int index;
};

// Workbooks and CommandBars answer for the application.
struct WorkbooksOf {
    host::ApplicationPtr app;
};
struct CommandBarsOf {
    host::ApplicationPtr app;
};

using AppP = std::shared_ptr<host::Application>;
using BookP = std::shared_ptr<host::Workbook>;
using SheetP = std::shared_ptr<host::Sheet>;
using WsP = std::shared_ptr<host::Worksheet>;
using RangeP = std::shared_ptr<host::Range>;
using WindowP = std::shared_ptr<host::Window>;
using SetupP = std::shared_ptr<host::PageSetup>;
using ShapeP = std::shared_ptr<host::Shape>;
using CommentP = std::shared_ptr<host::Comment>;
using PropsP = std::shared_ptr<host::DocumentProperties>;
using ItemP = std::shared_ptr<PropertyItem>;
using ControlP = std::shared_ptr<host::CommandBarControl>;
using EntryP = std::shared_ptr<host::AddInEntry>;
using ListP = std::shared_ptr<List>;
using BooksP = std::shared_ptr<WorkbooksOf>;
using BarsP = std::shared_ptr<CommandBarsOf>;

const Table<host::Workbook>& workbookTable();
const Table<host::Worksheet>& worksheetTable();
const Table<host::Sheet>& chartTable();
const Table<host::Range>& rangeTable();
const Table<host::Range>& pageBreakTable();
const Table<host::Window>& windowTable();
const Table<host::PageSetup>& pageSetupTable();
const Table<host::Shape>& shapeTable();
const Table<host::Shape>& drawingObjectTable();
const Table<host::Shape>& drawingInnerTable();
const Table<host::Shape>& textEffectTable();
const Table<host::Comment>& commentTable();
const Table<host::DocumentProperties>& propertiesTable();
const Table<PropertyItem>& propertyItemTable();
const Table<host::CommandBarControl>& controlTable();
const Table<host::AddInEntry>& addInTable();
const Table<List>& listTable();
const Table<WorkbooksOf>& workbooksTable();
const Table<CommandBarsOf>& commandBarsTable();

Variant nothing() { return dispatch::fromObject(nullptr); }

template <typename T>
Variant object(std::shared_ptr<T> target, const Table<T>& table) {
    if (!target) return nothing();
    ComPtr<IDispatch> wrapped = wrap(std::move(target), table);
    return dispatch::fromObject(wrapped.get());
}

Variant text(const std::string& s) { return dispatch::fromText(s); }
Variant number(std::int32_t n) { return dispatch::fromLong(n); }
Variant real(double d) { return dispatch::fromDouble(d); }
Variant flag(bool b) { return dispatch::fromBool(b); }
Variant none() { return {}; }

Variant range(RangeP r) { return object(std::move(r), rangeTable()); }

Variant sheet(SheetP s) {
    if (!s) return nothing();
    if (auto ws = std::dynamic_pointer_cast<host::Worksheet>(s)) return object(std::move(ws), worksheetTable());
    WsP ws;
    host::ignoreErrors([&] { ws = s->AsWorksheet(); });
    if (ws) return object(std::move(ws), worksheetTable());
    return object(std::move(s), chartTable());
}

Variant list(List l) { return object(std::make_shared<List>(std::move(l)), listTable()); }

// A snapshot of the host's items, made into objects of ours one at a time.
template <typename T, typename Make>
List listOf(std::vector<std::shared_ptr<T>> items, Make make) {
    auto shared = std::make_shared<std::vector<std::shared_ptr<T>>>(std::move(items));
    List l;
    l.count = [shared] { return static_cast<std::int32_t>(shared->size()); };
    l.byIndex = [shared, make](std::int32_t i) {
        if (i < 1 || static_cast<std::size_t>(i) > shared->size()) {
            throw HostError(host::err::kSubscriptOutOfRange, "Subscript out of range");
        }
        return make((*shared)[static_cast<std::size_t>(i - 1)]);
    };
    return l;
}

List countOnly(std::int32_t count) {
    List l;
    l.count = [count] { return count; };
    return l;
}

RangeP rangeArgument(const CallArgs& args, std::size_t i) {
    ComPtr<IDispatch> given = args.object(i);
    if (!given) throw HostError(host::err::kObjectRequired, "Object required");
    RangeP r = unwrap<host::Range>(given.get());
    if (!r) throw HostError(host::err::kTypeMismatch, "Type mismatch");
    return r;
}

[[noreturn]] void notSimulated(const char* what) {
    throw HostError(host::err::kApplicationDefined, std::string(what) + " is not simulated");
}

// Parameters the add-ins never give but the host's members have; left out, they change nothing.
Param ignored(const char* name) { return {name, ArgType::variant, true}; }

const Table<List>& listTable() {
    static const Table<List> table({
        {{"Count", kGet, {}},
         [](const ListP& l, CallArgs&) {
             if (!l->count) throw HostError(dispatch::vb::kNoSuchMember, "Object doesn't support this property or method");
             return number(l->count());
         }},
        {{"Item", kGet | kMethod, {{"Index", ArgType::variant}}},
         [](const ListP& l, CallArgs& a) {
             const VARIANT& index = a.raw(0);
             if (V_VT(&index) == VT_BSTR) {
                 if (!l->byName) throw HostError(host::err::kTypeMismatch, "Type mismatch");
                 return l->byName(a.text(0));
             }
             if (!l->byIndex) throw HostError(host::err::kTypeMismatch, "Type mismatch");
             return l->byIndex(dispatch::toLong(index));
         }},
    });
    return table;
}

const Table<WorkbooksOf>& workbooksTable() {
    static const Table<WorkbooksOf> table({
        {{"Count", kGet, {}}, [](const BooksP& w, CallArgs&) { return number(static_cast<std::int32_t>(w->app->Workbooks().size())); }},
        {{"Item", kGet | kMethod, {{"Index", ArgType::variant}}},
         [](const BooksP& w, CallArgs& a) {
             if (V_VT(&a.raw(0)) == VT_BSTR) {
                 BookP found = w->app->FindWorkbook(a.text(0));
                 if (!found) throw HostError(host::err::kSubscriptOutOfRange, "Subscript out of range");
                 return object(std::move(found), workbookTable());
             }
             return listOf(w->app->Workbooks(), [](BookP b) { return object(std::move(b), workbookTable()); })
                 .byIndex(a.number(0));
         }},
        {{"Open", kMethod | kGet,
          {{"Filename", ArgType::text}, ignored("UpdateLinks"), {"ReadOnly", ArgType::flag, true}, ignored("Format"),
           ignored("Password"), ignored("WriteResPassword"), ignored("IgnoreReadOnlyRecommended"), ignored("Origin"),
           ignored("Delimiter"), ignored("Editable"), ignored("Notify"), ignored("Converter"), ignored("AddToMru"),
           ignored("Local"), ignored("CorruptLoad")}},
         [](const BooksP& w, CallArgs& a) {
             return object(w->app->OpenWorkbook(a.text(0), a.has(2) && a.flag(2)), workbookTable());
         }},
    });
    return table;
}

const Table<CommandBarsOf>& commandBarsTable() {
    static const Table<CommandBarsOf> table({
        {{"FindControl", kMethod | kGet,
          {ignored("Type"), {"Id", ArgType::number, true}, ignored("Tag"), ignored("Visible"), ignored("Recursive")}},
         [](const BarsP& b, CallArgs& a) {
             if (!a.has(1)) return nothing();
             return object(b->app->FindControl(a.number(1)), controlTable());
         }},
    });
    return table;
}

const Table<host::CommandBarControl>& controlTable() {
    static const Table<host::CommandBarControl> table({
        {{"Enabled", kGet, {}}, [](const ControlP& c, CallArgs&) { return flag(c->Enabled()); }},
    });
    return table;
}

const Table<host::AddInEntry>& addInTable() {
    static const Table<host::AddInEntry> table({
        {{"ProgId", kGet, {}}, [](const EntryP& e, CallArgs&) { return text(e->ProgId()); }},
        {{"Connect", kGet, {}}, [](const EntryP& e, CallArgs&) { return flag(e->Connect()); }},
        {{"Connect", kPut, {{"Value", ArgType::flag}}},
         [](const EntryP& e, CallArgs& a) {
             e->SetConnect(a.flag(0));
             return none();
         }},
        {{"Object", kGet, {}},
         [](const EntryP& e, CallArgs&) {
             host::LateBoundPtr published = e->Object();
             if (!published) return nothing();
             // What the add-in published goes back out as itself.
             IDispatch* behind = dispatch::dispatchOf(published);
             if (!behind) throw HostError(host::err::kTypeMismatch, "Type mismatch");
             return dispatch::fromObject(behind);
         }},
        {{"Object", kPut, {{"Value", ArgType::object}}},
         [](const EntryP& e, CallArgs& a) {
             ComPtr<IDispatch> published = a.object(0);
             e->SetObject(published ? dispatch::wrapLateBound(published.get()) : nullptr);
             return none();
         }},
    });
    return table;
}

const Table<host::DocumentProperties>& propertiesTable() {
    static const Table<host::DocumentProperties> table({
        {{"Count", kGet, {}}, [](const PropsP& p, CallArgs&) { return number(p->Count()); }},
        {{"Item", kGet | kMethod, {{"Index", ArgType::variant}}},
         [](const PropsP& p, CallArgs& a) {
             int index = 0;
             if (V_VT(&a.raw(0)) == VT_BSTR) {
                 const std::string name = a.text(0);
                 for (int i = 1; i <= p->Count() && index == 0; ++i) {
                     if (p->Name(i) == name) index = i;
                 }
             } else {
                 index = a.number(0);
                 if (index > p->Count()) index = 0;
             }
             if (index < 1) throw HostError(host::err::kInvalidCall, "Invalid procedure call or argument");
             return object(std::make_shared<PropertyItem>(PropertyItem{p, index}), propertyItemTable());
         }},
        {{"Add", kMethod | kGet,
          {{"Name", ArgType::text}, {"LinkToContent", ArgType::flag}, {"Type", ArgType::number, true},
           {"Value", ArgType::variant, true}, ignored("LinkSource")}},
         [](const PropsP& p, CallArgs& a) {
             if (a.has(4)) notSimulated("LinkSource");
             const std::string value = a.has(3) ? dispatch::toText(a.raw(3)) : std::string();
             p->Add(a.text(0), a.flag(1), a.has(2) ? a.number(2) : host::msoPropertyTypeString, value);
             return none();
         }},
    });
    return table;
}

const Table<PropertyItem>& propertyItemTable() {
    static const Table<PropertyItem> table({
        {{"Name", kGet, {}}, [](const ItemP& i, CallArgs&) { return text(i->properties->Name(i->index)); }},
        {{"Value", kGet, {}}, [](const ItemP& i, CallArgs&) { return text(i->properties->Value(i->index)); }},
        {{"Delete", kMethod, {}},
         [](const ItemP& i, CallArgs&) {
             i->properties->Delete(i->properties->Name(i->index));
             return none();
         }},
    });
    return table;
}

const Table<host::Workbook>& workbookTable() {
    static const Table<host::Workbook> table({
        {{"Name", kGet, {}}, [](const BookP& b, CallArgs&) { return text(b->Name()); }},
        {{"Path", kGet, {}}, [](const BookP& b, CallArgs&) { return text(b->Path()); }},
        {{"Worksheets", kGet, {}},
         [](const BookP& b, CallArgs&) {
             List l = listOf(b->Worksheets(), [](WsP ws) { return object(std::move(ws), worksheetTable()); });
             l.byName = [b](const std::string& name) {
                 WsP ws = b->FindWorksheet(name);
                 if (!ws) throw HostError(host::err::kSubscriptOutOfRange, "Subscript out of range");
                 return object(std::move(ws), worksheetTable());
             };
             return list(std::move(l));
         }},
        {{"CustomDocumentProperties", kGet, {}},
         [](const BookP& b, CallArgs&) { return object(b->CustomDocumentProperties(), propertiesTable()); }},
        {{"Save", kMethod, {}},
         [](const BookP& b, CallArgs&) {
             b->Save();
             return none();
         }},
    });
    return table;
}

const Table<host::Sheet>& chartTable() {
    static const Table<host::Sheet> table({
        {{"Name", kGet, {}}, [](const SheetP& s, CallArgs&) { return text(s->Name()); }},
        {{"Type", kGet, {}}, [](const SheetP& s, CallArgs&) { return number(s->Type()); }},
    });
    return table;
}

// The whole grid as a range: the cells of the first row, widened to whole columns.
RangeP allCells(const WsP& ws) { return ws->Cells(1, 1)->EntireRow()->EntireColumn(); }

const Table<host::Worksheet>& worksheetTable() {
    static const Table<host::Worksheet> table({
        {{"Name", kGet, {}}, [](const WsP& w, CallArgs&) { return text(w->Name()); }},
        {{"Type", kGet, {}}, [](const WsP& w, CallArgs&) { return number(w->Type()); }},
        {{"Parent", kGet, {}}, [](const WsP& w, CallArgs&) { return object(w->Parent(), workbookTable()); }},
        {{"Range", kGet | kMethod, {{"Cell1", ArgType::text}}},
         [](const WsP& w, CallArgs& a) { return range(w->Range(a.text(0))); }},
        // Script callers may give the row and column to Cells itself.
        {{"Cells", kGet | kMethod, {{"RowIndex", ArgType::number, true}, {"ColumnIndex", ArgType::number, true}}},
         [](const WsP& w, CallArgs& a) {
             if (a.has(0) != a.has(1)) notSimulated("Cells with one index");
             return range(a.has(0) ? w->Cells(a.number(0), a.number(1)) : allCells(w));
         }},
        {{"UsedRange", kGet, {}}, [](const WsP& w, CallArgs&) { return range(w->UsedRange()); }},
        {{"PageSetup", kGet, {}}, [](const WsP& w, CallArgs&) { return object(w->PageSetup(), pageSetupTable()); }},
        {{"HPageBreaks", kGet, {}},
         [](const WsP& w, CallArgs&) {
             return list(listOf(w->HPageBreaks(), [](RangeP r) { return object(std::move(r), pageBreakTable()); }));
         }},
        {{"VPageBreaks", kGet, {}},
         [](const WsP& w, CallArgs&) {
             return list(listOf(w->VPageBreaks(), [](RangeP r) { return object(std::move(r), pageBreakTable()); }));
         }},
        {{"Shapes", kGet, {}},
         [](const WsP& w, CallArgs&) {
             return list(listOf(w->Shapes(), [](ShapeP s) { return object(std::move(s), shapeTable()); }));
         }},
        {{"Comments", kGet, {}},
         [](const WsP& w, CallArgs&) {
             return list(listOf(w->Comments(), [](CommentP c) { return object(std::move(c), commentTable()); }));
         }},
        {{"Activate", kMethod, {}},
         [](const WsP& w, CallArgs&) {
             w->Activate();
             return none();
         }},
    });
    return table;
}

const Table<host::Range>& pageBreakTable() {
    static const Table<host::Range> table({
        {{"Location", kGet, {}}, [](const RangeP& r, CallArgs&) { return range(r); }},
    });
    return table;
}

const Table<host::Range>& rangeTable() {
    static const Table<host::Range> table({
        {{"Address", kGet, {}}, [](const RangeP& r, CallArgs&) { return text(r->Address()); }},
        {{"Areas", kGet, {}},
         [](const RangeP& r, CallArgs&) { return list(listOf(r->Areas(), [](RangeP a) { return range(std::move(a)); })); }},
        {{"Count", kGet, {}}, [](const RangeP& r, CallArgs&) { return number(r->Count()); }},
        {{"Row", kGet, {}}, [](const RangeP& r, CallArgs&) { return number(r->Row()); }},
        {{"Column", kGet, {}}, [](const RangeP& r, CallArgs&) { return number(r->Column()); }},
        {{"Rows", kGet, {}}, [](const RangeP& r, CallArgs&) { return list(countOnly(r->RowsCount())); }},
        {{"Columns", kGet, {}}, [](const RangeP& r, CallArgs&) { return list(countOnly(r->ColumnsCount())); }},
        {{"Cells", kGet | kMethod, {{"RowIndex", ArgType::number, true}, {"ColumnIndex", ArgType::number, true}}},
         [](const RangeP& r, CallArgs& a) {
             if (a.has(0) != a.has(1)) notSimulated("Cells with one index");
             return range(a.has(0) ? r->Cells(a.number(0), a.number(1)) : r);
         }},
        {{"Item", kGet | kMethod, {{"RowIndex", ArgType::number}, {"ColumnIndex", ArgType::number, true}}},
         [](const RangeP& r, CallArgs& a) {
             return range(a.has(1) ? r->Cells(a.number(0), a.number(1)) : r->Item(a.number(0)));
         }},
        {{"Offset", kGet | kMethod, {{"RowOffset", ArgType::number, true}, {"ColumnOffset", ArgType::number, true}}},
         [](const RangeP& r, CallArgs& a) {
             return range(r->Offset(a.has(0) ? a.number(0) : 0, a.has(1) ? a.number(1) : 0));
         }},
        {{"EntireRow", kGet, {}}, [](const RangeP& r, CallArgs&) { return range(r->EntireRow()); }},
        {{"EntireColumn", kGet, {}}, [](const RangeP& r, CallArgs&) { return range(r->EntireColumn()); }},
        {{"Value", kGet, {ignored("RangeValueDataType")}},
         [](const RangeP& r, CallArgs&) { return dispatch::fromValue(r->CellValue()); }},
        {{"Text", kGet, {}}, [](const RangeP& r, CallArgs&) { return text(r->Text()); }},
        {{"Parent", kGet, {}}, [](const RangeP& r, CallArgs&) { return object(r->Parent(), worksheetTable()); }},
        {{"Activate", kMethod, {}},
         [](const RangeP& r, CallArgs&) {
             r->Activate();
             return flag(true);
         }},
        {{"Select", kMethod, {ignored("Replace")}},
         [](const RangeP& r, CallArgs&) {
             r->Select();
             return flag(true);
         }},
        {{"CopyPicture", kMethod, {{"Appearance", ArgType::number, true}, {"Format", ArgType::number, true}}},
         [](const RangeP& r, CallArgs& a) {
             // The host's defaults: as shown on screen (1), as a picture.
             r->CopyPicture(a.has(0) ? a.number(0) : 1, a.has(1) ? a.number(1) : host::xlPicture);
             return flag(true);
         }},
        {{"Copy", kMethod, {ignored("Destination")}},
         [](const RangeP& r, CallArgs& a) {
             if (a.has(0)) notSimulated("Copy to a destination");
             r->Copy();
             return flag(true);
         }},
    });
    return table;
}

const Table<host::Window>& windowTable() {
    static const Table<host::Window> table({
        {{"SelectedSheets", kGet, {}},
         [](const WindowP& w, CallArgs&) { return list(listOf(w->SelectedSheets(), [](SheetP s) { return sheet(std::move(s)); })); }},
        {{"WindowState", kGet, {}}, [](const WindowP& w, CallArgs&) { return number(w->WindowState()); }},
        {{"View", kGet, {}}, [](const WindowP& w, CallArgs&) { return number(w->View()); }},
        {{"View", kPut, {{"Value", ArgType::number}}},
         [](const WindowP& w, CallArgs& a) {
             w->SetView(a.number(0));
             return none();
         }},
    });
    return table;
}

const Table<host::PageSetup>& pageSetupTable() {
    static const Table<host::PageSetup> table({
        {{"PrintArea", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->PrintArea()); }},
        {{"PrintTitleRows", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->PrintTitleRows()); }},
        {{"PrintTitleColumns", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->PrintTitleColumns()); }},
        {{"LeftHeader", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->LeftHeader()); }},
        {{"CenterHeader", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->CenterHeader()); }},
        {{"RightHeader", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->RightHeader()); }},
        {{"LeftFooter", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->LeftFooter()); }},
        {{"CenterFooter", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->CenterFooter()); }},
        {{"RightFooter", kGet, {}}, [](const SetupP& p, CallArgs&) { return text(p->RightFooter()); }},
        {{"LeftMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->LeftMargin()); }},
        {{"RightMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->RightMargin()); }},
        {{"TopMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->TopMargin()); }},
        {{"BottomMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->BottomMargin()); }},
        {{"HeaderMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->HeaderMargin()); }},
        {{"FooterMargin", kGet, {}}, [](const SetupP& p, CallArgs&) { return real(p->FooterMargin()); }},
        {{"CenterHorizontally", kGet, {}}, [](const SetupP& p, CallArgs&) { return flag(p->CenterHorizontally()); }},
        {{"CenterVertically", kGet, {}}, [](const SetupP& p, CallArgs&) { return flag(p->CenterVertically()); }},
        {{"Orientation", kGet, {}}, [](const SetupP& p, CallArgs&) { return number(p->Orientation()); }},
        {{"PaperSize", kGet, {}}, [](const SetupP& p, CallArgs&) { return number(p->PaperSize()); }},
        {{"FirstPageNumber", kGet, {}}, [](const SetupP& p, CallArgs&) { return number(p->FirstPageNumber()); }},
        {{"Order", kGet, {}}, [](const SetupP& p, CallArgs&) { return number(p->Order()); }},
        {{"PrintComments", kGet, {}}, [](const SetupP& p, CallArgs&) { return number(p->PrintComments()); }},
    });
    return table;
}

const Table<host::Shape>& shapeTable() {
    static const Table<host::Shape> table({
        {{"Name", kGet, {}}, [](const ShapeP& s, CallArgs&) { return text(s->Name()); }},
        // The host answers a tri-state number: True is -1.
        {{"Visible", kGet, {}}, [](const ShapeP& s, CallArgs&) { return number(s->Visible() ? -1 : 0); }},
        {{"Type", kGet, {}}, [](const ShapeP& s, CallArgs&) { return number(s->Type()); }},
        {{"TopLeftCell", kGet, {}}, [](const ShapeP& s, CallArgs&) { return range(s->TopLeftCell()); }},
        {{"BottomRightCell", kGet, {}}, [](const ShapeP& s, CallArgs&) { return range(s->BottomRightCell()); }},
        {{"GroupItems", kGet, {}},
         [](const ShapeP& s, CallArgs&) {
             return list(listOf(s->GroupItems(), [](ShapeP m) { return object(std::move(m), shapeTable()); }));
         }},
        {{"DrawingObject", kGet, {}}, [](const ShapeP& s, CallArgs&) { return object(s, drawingObjectTable()); }},
        {{"TextEffect", kGet, {}}, [](const ShapeP& s, CallArgs&) { return object(s, textEffectTable()); }},
    });
    return table;
}

const Table<host::Shape>& drawingObjectTable() {
    static const Table<host::Shape> table({
        {{"Caption", kGet, {}}, [](const ShapeP& s, CallArgs&) { return text(s->DrawingObjectCaption()); }},
        {{"Object", kGet, {}}, [](const ShapeP& s, CallArgs&) { return object(s, drawingInnerTable()); }},
    });
    return table;
}

const Table<host::Shape>& drawingInnerTable() {
    static const Table<host::Shape> table({
        {{"Text", kGet, {}}, [](const ShapeP& s, CallArgs&) { return text(s->DrawingObjectObjectText()); }},
        {{"Caption", kGet, {}}, [](const ShapeP& s, CallArgs&) { return text(s->DrawingObjectObjectCaption()); }},
    });
    return table;
}

const Table<host::Shape>& textEffectTable() {
    static const Table<host::Shape> table({
        {{"Text", kGet, {}}, [](const ShapeP& s, CallArgs&) { return text(s->TextEffectText()); }},
    });
    return table;
}

const Table<host::Comment>& commentTable() {
    static const Table<host::Comment> table({
        {{"Parent", kGet, {}}, [](const CommentP& c, CallArgs&) { return range(c->Parent()); }},
        {{"Text", kGet | kMethod, {}}, [](const CommentP& c, CallArgs&) { return text(c->Text()); }},
        {{"Author", kGet, {}}, [](const CommentP& c, CallArgs&) { return text(c->Author()); }},
    });
    return table;
}

}  // namespace

const Table<host::Application>& applicationTable() {
    static const Table<host::Application> table({
        {{"Version", kGet, {}}, [](const AppP& a, CallArgs&) { return text(a->Version()); }},
        {{"Path", kGet, {}}, [](const AppP& a, CallArgs&) { return text(a->Path()); }},
        {{"hInstance", kGet, {}}, [](const AppP& a, CallArgs&) { return number(a->hInstance()); }},
        {{"Caption", kGet, {}}, [](const AppP& a, CallArgs&) { return text(a->Caption()); }},
        {{"UserName", kGet, {}}, [](const AppP& a, CallArgs&) { return text(a->UserName()); }},
        {{"ActivePrinter", kGet, {}}, [](const AppP& a, CallArgs&) { return text(a->ActivePrinter()); }},
        {{"WindowState", kGet, {}}, [](const AppP& a, CallArgs&) { return number(a->WindowState()); }},
        {{"Workbooks", kGet, {}},
         [](const AppP& a, CallArgs&) { return object(std::make_shared<WorkbooksOf>(WorkbooksOf{a}), workbooksTable()); }},
        {{"ActiveWorkbook", kGet, {}}, [](const AppP& a, CallArgs&) { return object(a->ActiveWorkbook(), workbookTable()); }},
        {{"ActiveSheet", kGet, {}}, [](const AppP& a, CallArgs&) { return sheet(a->ActiveSheet()); }},
        {{"ActiveWindow", kGet, {}}, [](const AppP& a, CallArgs&) { return object(a->ActiveWindow(), windowTable()); }},
        {{"ActiveCell", kGet, {}}, [](const AppP& a, CallArgs&) { return range(a->ActiveCell()); }},
        {{"Selection", kGet, {}}, [](const AppP& a, CallArgs&) { return range(a->Selection()); }},
        // False gives the status bar back to the host.
        {{"StatusBar", kPut, {{"Value", ArgType::variant}}},
         [](const AppP& a, CallArgs& x) {
             const VARIANT& v = x.raw(0);
             if (V_VT(&v) == VT_BOOL && V_BOOL(&v) == VARIANT_FALSE) {
                 a->SetStatusBar(std::nullopt);
             } else {
                 a->SetStatusBar(dispatch::toText(v));
             }
             return none();
         }},
        {{"ScreenUpdating", kGet, {}}, [](const AppP& a, CallArgs&) { return flag(a->ScreenUpdating()); }},
        {{"ScreenUpdating", kPut, {{"Value", ArgType::flag}}},
         [](const AppP& a, CallArgs& x) {
             a->SetScreenUpdating(x.flag(0));
             return none();
         }},
        {{"EnableEvents", kGet, {}}, [](const AppP& a, CallArgs&) { return flag(a->EnableEvents()); }},
        {{"EnableEvents", kPut, {{"Value", ArgType::flag}}},
         [](const AppP& a, CallArgs& x) {
             a->SetEnableEvents(x.flag(0));
             return none();
         }},
        {{"CutCopyMode", kGet, {}}, [](const AppP&, CallArgs&) { return flag(false); }},
        {{"CutCopyMode", kPut, {{"Value", ArgType::variant}}},
         [](const AppP& a, CallArgs& x) {
             if (dispatch::toBool(x.raw(0))) notSimulated("CutCopyMode other than False");
             a->ClearCutCopyMode();
             return none();
         }},
        {{"OnTime", kMethod,
          {{"EarliestTime", ArgType::date}, {"Procedure", ArgType::text}, ignored("LatestTime"),
           {"Schedule", ArgType::flag, true}}},
         [](const AppP& a, CallArgs& x) {
             if (x.has(2)) notSimulated("OnTime with a latest time");
             if (x.has(3) && !x.flag(3)) notSimulated("Cancelling an OnTime");
             a->OnTime(dispatch::toDate(x.raw(0)), x.text(1));
             return none();
         }},
        // A macro of an open workbook by name; arguments for the macro are not simulated.
        {{"Run", kMethod | kGet, {{"Macro", ArgType::text}}},
         [](const AppP& a, CallArgs& x) {
             const auto simulated = std::dynamic_pointer_cast<host::sim::SimApplication>(a);
             if (!simulated) notSimulated("Run on a host that is not the simulated one");
             simulated->RunMacro(x.text(0));
             return none();
         }},
        {{"InputBox", kMethod | kGet,
          {{"Prompt", ArgType::text}, {"Title", ArgType::text, true}, {"Default", ArgType::variant, true},
           ignored("Left"), ignored("Top"), ignored("HelpFile"), ignored("HelpContextID"),
           {"Type", ArgType::number, true}}},
         [](const AppP& a, CallArgs& x) {
             if (!x.has(7) || x.number(7) != 8) notSimulated("An input box for anything but a range");
             const std::string defaultText = x.has(2) ? dispatch::toText(x.raw(2)) : std::string();
             RangeP chosen = a->InputBoxRange(x.text(0), x.has(1) ? x.text(1) : std::string(), defaultText);
             return chosen ? range(std::move(chosen)) : flag(false);
         }},
        {{"Intersect", kMethod | kGet,
          {{"Arg1", ArgType::object}, {"Arg2", ArgType::object}, {"Arg3", ArgType::object, true},
           {"Arg4", ArgType::object, true}}},
         [](const AppP& a, CallArgs& x) {
             RangeP result = a->Intersect(rangeArgument(x, 0), rangeArgument(x, 1));
             for (std::size_t i = 2; i < 4 && result && x.has(i); ++i) result = a->Intersect(result, rangeArgument(x, i));
             return range(std::move(result));
         }},
        {{"Union", kMethod | kGet,
          {{"Arg1", ArgType::object}, {"Arg2", ArgType::object}, {"Arg3", ArgType::object, true},
           {"Arg4", ArgType::object, true}}},
         [](const AppP& a, CallArgs& x) {
             std::vector<RangeP> ranges;
             for (std::size_t i = 0; i < 4 && x.has(i); ++i) ranges.push_back(rangeArgument(x, i));
             return range(a->Union(ranges));
         }},
        {{"CommandBars", kGet, {}},
         [](const AppP& a, CallArgs&) { return object(std::make_shared<CommandBarsOf>(CommandBarsOf{a}), commandBarsTable()); }},
        {{"COMAddIns", kGet, {}},
         [](const AppP& a, CallArgs&) {
             List l;
             l.byName = [a](const std::string& progId) { return object(a->COMAddIn(progId), addInTable()); };
             return list(std::move(l));
         }},
    });
    return table;
}

// The events, from the façade's handlers to the connected sinks.
class ApplicationObject::Forwarder final : public host::ApplicationEvents {
public:
    explicit Forwarder(ApplicationObject& owner) : owner_(owner) {}

    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        owner_.raise(dispatch::app_event::kWorkbookBeforePrint, args(book(wb), cancelRef(cancel)));
    }
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        owner_.raise(dispatch::app_event::kWorkbookBeforeSave, args(book(wb), dispatch::fromBool(false), cancelRef(cancel)));
    }
    void WorkbookOpen(const host::WorkbookPtr& wb) override {
        owner_.raise(dispatch::app_event::kWorkbookOpen, args(book(wb)));
    }
    void NewWorkbook(const host::WorkbookPtr& wb) override {
        owner_.raise(dispatch::app_event::kNewWorkbook, args(book(wb)));
    }
    void WorkbookActivate(const host::WorkbookPtr& wb) override {
        owner_.raise(dispatch::app_event::kWorkbookActivate, args(book(wb)));
    }
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        owner_.raise(dispatch::app_event::kWindowActivate, args(book(wb), object(wn, windowTable())));
    }
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        owner_.raise(dispatch::app_event::kWindowDeactivate, args(book(wb), object(wn, windowTable())));
    }
    void SheetActivate(const host::SheetPtr& sh) override {
        owner_.raise(dispatch::app_event::kSheetActivate, args(sheet(sh)));
    }

private:
    static Variant book(const host::WorkbookPtr& wb) { return object(wb, workbookTable()); }
    static Variant cancelRef(VARIANT_BOOL& cancel) {
        Variant ref;
        V_VT(ref.get()) = VT_BOOL | VT_BYREF;
        V_BOOLREF(ref.get()) = &cancel;
        return ref;
    }
    template <typename... V>
    static std::vector<Variant> args(V&&... values) {
        std::vector<Variant> list;
        (list.push_back(std::forward<V>(values)), ...);
        return list;
    }

    ApplicationObject& owner_;
};

// One connection point: the application events.
class EventPoint final : public win32::ComObject<IConnectionPoint> {
public:
    explicit EventPoint(ComPtr<ApplicationObject> owner) : owner_(std::move(owner)) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = dispatch::kAppEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        *out = static_cast<IConnectionPointContainer*>(owner_.get());
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override { return owner_->advise(sink, cookie); }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return owner_->unadvise(cookie); }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    ~EventPoint() override = default;
    ComPtr<ApplicationObject> owner_;
};

ApplicationObject::ApplicationObject(host::ApplicationPtr application)
    : ComExtension(std::move(application), applicationTable()),
      forwarder_(std::make_unique<Forwarder>(*this)) {}

ApplicationObject::~ApplicationObject() { connection_.reset(); }

ComPtr<ApplicationObject> ApplicationObject::create(host::ApplicationPtr application) {
    return win32::makeObject<ApplicationObject>(std::move(application));
}

HRESULT ApplicationObject::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ApplicationObject::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != dispatch::kAppEventsIid) return CONNECT_E_NOCONNECTION;
    return win32::createInstance<EventPoint>(IID_IConnectionPoint, reinterpret_cast<void**>(out),
                                             ComPtr<ApplicationObject>::share(this));
}

HRESULT ApplicationObject::advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(dispatch::kAppEventsIid, events.putVoid())) || !events) {
        return CONNECT_E_CANNOTCONNECT;
    }
    if (!connection_) {
        try {
            connection_ = target()->Advise(*forwarder_);
        } catch (...) {
            return E_FAIL;
        }
    }
    *cookie = nextCookie_++;
    sinks_.emplace_back(*cookie, std::move(events));
    return S_OK;
}

HRESULT ApplicationObject::unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first == cookie) {
            // The model's connection stays: a sink may go while the model raises an event.
            sinks_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

void ApplicationObject::disconnectAll() {
    sinks_.clear();
    connection_.reset();
}

void ApplicationObject::raise(DISPID id, std::vector<Variant> args) {
    // A sink may disconnect while it handles the event.
    std::vector<ComPtr<IDispatch>> targets;
    for (const auto& s : sinks_) targets.push_back(ComPtr<IDispatch>::share(s.second.get()));
    std::vector<VARIANT> raw;
    for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->get());
    DISPPARAMS params{};
    params.rgvarg = raw.empty() ? nullptr : raw.data();
    params.cArgs = static_cast<UINT>(raw.size());
    for (const auto& sink : targets) {
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

ComPtr<IDispatch> wrapAddInEntry(host::AddInEntryPtr entry) { return wrap(std::move(entry), addInTable()); }
ComPtr<IDispatch> wrapWorkbook(host::WorkbookPtr workbook) { return wrap(std::move(workbook), workbookTable()); }
ComPtr<IDispatch> wrapRange(host::RangePtr range) { return wrap(std::move(range), rangeTable()); }

}  // namespace kq::simhost
