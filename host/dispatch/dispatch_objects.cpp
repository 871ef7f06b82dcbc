#include "host/dispatch/dispatch_objects.h"

#include <cmath>
#include <limits>
#include <utility>

#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_events.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

using win32::ComPtr;

namespace {

RangePtr makeRange(ComPtr<IDispatch> object);
WorksheetPtr makeWorksheet(ComPtr<IDispatch> object);
ShapePtr makeShape(ComPtr<IDispatch> object);
CommentPtr makeComment(ComPtr<IDispatch> object);

std::string text(const win32::Variant& v) { return toText(*v.get()); }
std::int32_t number(const win32::Variant& v) { return toLong(*v.get()); }
bool flag(const win32::Variant& v) { return toBool(*v.get()); }

// Count and Item(i) from 1, the way the add-ins walk the host's collections.
template <typename Make>
auto listOf(Caller collection, Make make) -> std::vector<decltype(make(ComPtr<IDispatch>{}))> {
    const std::int32_t count = number(collection.get("Count"));
    std::vector<decltype(make(ComPtr<IDispatch>{}))> items;
    for (std::int32_t i = 1; i <= count; ++i) items.push_back(make(collection.object("Item", i)));
    return items;
}

// The host's "no such item" in a collection looked up by name.
template <typename T, typename Lookup>
std::shared_ptr<T> orNothingWhenAbsent(Lookup lookup) {
    try {
        return lookup();
    } catch (const HostError& e) {
        if (e.number() == err::kSubscriptOutOfRange) return {};
        throw;
    }
}

// The host's own object behind a façade range made here, for passing back in.
IDispatch* rangeArgument(const RangePtr& range) {
    if (!range) throw HostError(err::kObjectRequired, "Object required");
    IDispatch* object = dispatchOf(range);
    if (!object) throw HostError(err::kTypeMismatch, "Type mismatch");
    return object;
}

// A selection may be shapes or a chart; only a range answers as one.
bool isRange(IDispatch* object) {
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) && info) {
        win32::Bstr name;
        if (SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr))) {
            return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.get(), -1, L"Range", -1) == CSTR_EQUAL;
        }
    }
    // Without type information: of the things that can be selected, only a range has areas.
    wchar_t member[] = L"Areas";
    LPOLESTR names[] = {member};
    DISPID id = DISPID_UNKNOWN;
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

class DispLateBound final : public LateBound, public DispObject {
public:
    using DispObject::DispObject;

    // Arguments go by reference, as a script passes its variables: whole
    // numbers as Long, so that a method taking a Long by reference accepts them.
    Value Invoke(const std::string& name, std::vector<Value>& args) override {
        return guarded([&] {
            std::vector<win32::Variant> storage;
            storage.reserve(args.size());
            std::vector<Arg> refs;
            for (const Value& value : args) {
                storage.push_back(storageFor(value));
                win32::Variant ref;
                *ref.put() = referenceTo(*storage.back().get());
                refs.emplace_back(std::move(ref));
            }
            win32::Variant result = c_.invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, refs);
            for (std::size_t i = 0; i < args.size(); ++i) args[i] = toValue(*storage[i].get());
            return toValue(*result.get());
        });
    }

private:
    static win32::Variant storageFor(const Value& value) {
        if (const double* d = std::get_if<double>(&value)) {
            if (std::floor(*d) == *d && *d >= std::numeric_limits<std::int32_t>::min() &&
                *d <= std::numeric_limits<std::int32_t>::max()) {
                return fromLong(static_cast<std::int32_t>(*d));
            }
        }
        return fromValue(value);
    }

    static VARIANT referenceTo(VARIANT& held) {
        VARIANT ref;
        VariantInit(&ref);
        switch (V_VT(&held)) {
            case VT_I4: V_VT(&ref) = VT_I4 | VT_BYREF; V_I4REF(&ref) = &V_I4(&held); break;
            case VT_R8: V_VT(&ref) = VT_R8 | VT_BYREF; V_R8REF(&ref) = &V_R8(&held); break;
            case VT_BSTR: V_VT(&ref) = VT_BSTR | VT_BYREF; V_BSTRREF(&ref) = &V_BSTR(&held); break;
            case VT_BOOL: V_VT(&ref) = VT_BOOL | VT_BYREF; V_BOOLREF(&ref) = &V_BOOL(&held); break;
            case VT_DATE: V_VT(&ref) = VT_DATE | VT_BYREF; V_DATEREF(&ref) = &V_DATE(&held); break;
            case VT_ERROR: V_VT(&ref) = VT_ERROR | VT_BYREF; V_ERRORREF(&ref) = &V_ERROR(&held); break;
            default: V_VT(&ref) = VT_VARIANT | VT_BYREF; V_VARIANTREF(&ref) = &held; break;
        }
        return ref;
    }
};

class DispAddInEntry final : public AddInEntry, public DispObject {
public:
    using DispObject::DispObject;
    std::string ProgId() override {
        return guarded([&] { return text(c_.get("ProgId")); });
    }
    bool Connect() override {
        return guarded([&] { return flag(c_.get("Connect")); });
    }
    void SetConnect(bool connected) override {
        guarded([&] { c_.put("Connect", connected); });
    }
    LateBoundPtr Object() override {
        return guarded([&]() -> LateBoundPtr {
            ComPtr<IDispatch> object = c_.object("Object");
            if (!object) return {};
            return std::make_shared<DispLateBound>(std::move(object));
        });
    }
    void SetObject(const LateBoundPtr& object) override {
        guarded([&] {
            IDispatch* published = object ? dispatchOf(object) : nullptr;
            if (object && !published) throw HostError(err::kTypeMismatch, "Type mismatch");
            c_.put("Object", published);
        });
    }
};

class DispDocumentProperties final : public DocumentProperties, public DispObject {
public:
    using DispObject::DispObject;
    int Count() override {
        return guarded([&] { return number(c_.get("Count")); });
    }
    std::string Name(int index) override {
        return guarded([&] { return text(c_.child("Item", index).get("Name")); });
    }
    std::string Value(int index) override {
        return guarded([&] { return text(c_.child("Item", index).get("Value")); });
    }
    std::string ValueOf(const std::string& name) override {
        return guarded([&] { return text(c_.child("Item", name).get("Value")); });
    }
    void Add(const std::string& name, bool linkToContent, std::int32_t type, const std::string& value) override {
        guarded([&] { c_.call("Add", name, linkToContent, type, value); });
    }
    void Delete(const std::string& name) override {
        guarded([&] { c_.child("Item", name).call("Delete"); });
    }
};

class DispPageSetup final : public PageSetup, public DispObject {
public:
    using DispObject::DispObject;
    std::string PrintArea() override { return textOf("PrintArea"); }
    std::string PrintTitleRows() override { return textOf("PrintTitleRows"); }
    std::string PrintTitleColumns() override { return textOf("PrintTitleColumns"); }
    std::string LeftHeader() override { return textOf("LeftHeader"); }
    std::string CenterHeader() override { return textOf("CenterHeader"); }
    std::string RightHeader() override { return textOf("RightHeader"); }
    std::string LeftFooter() override { return textOf("LeftFooter"); }
    std::string CenterFooter() override { return textOf("CenterFooter"); }
    std::string RightFooter() override { return textOf("RightFooter"); }
    double LeftMargin() override { return realOf("LeftMargin"); }
    double RightMargin() override { return realOf("RightMargin"); }
    double TopMargin() override { return realOf("TopMargin"); }
    double BottomMargin() override { return realOf("BottomMargin"); }
    double HeaderMargin() override { return realOf("HeaderMargin"); }
    double FooterMargin() override { return realOf("FooterMargin"); }
    bool CenterHorizontally() override { return flagOf("CenterHorizontally"); }
    bool CenterVertically() override { return flagOf("CenterVertically"); }
    std::int32_t Orientation() override { return numberOf("Orientation"); }
    std::int32_t PaperSize() override { return numberOf("PaperSize"); }
    std::int32_t FirstPageNumber() override { return numberOf("FirstPageNumber"); }
    std::int32_t Order() override { return numberOf("Order"); }
    std::int32_t PrintComments() override { return numberOf("PrintComments"); }
};

class DispRange final : public Range, public DispObject {
public:
    using DispObject::DispObject;
    std::string Address() override {
        return guarded([&] { return text(c_.get("Address")); });
    }
    std::vector<RangePtr> Areas() override {
        return guarded([&] { return listOf(c_.child("Areas"), makeRange); });
    }
    std::int32_t Count() override {
        return guarded([&] { return number(c_.get("Count")); });
    }
    std::int32_t Row() override {
        return guarded([&] { return number(c_.get("Row")); });
    }
    std::int32_t Column() override {
        return guarded([&] { return number(c_.get("Column")); });
    }
    std::int32_t RowsCount() override {
        return guarded([&] { return number(c_.child("Rows").get("Count")); });
    }
    std::int32_t ColumnsCount() override {
        return guarded([&] { return number(c_.child("Columns").get("Count")); });
    }
    // Cells takes no arguments in the host's own description; its Item does.
    RangePtr Cells(std::int32_t row, std::int32_t column) override {
        return guarded([&] { return makeRange(c_.child("Cells").object("Item", row, column)); });
    }
    RangePtr Item(std::int32_t index) override {
        return guarded([&] { return makeRange(c_.object("Item", index)); });
    }
    RangePtr Offset(std::int32_t rows, std::int32_t columns) override {
        return guarded([&] { return makeRange(c_.object("Offset", rows, columns)); });
    }
    RangePtr EntireRow() override {
        return guarded([&] { return makeRange(c_.object("EntireRow")); });
    }
    RangePtr EntireColumn() override {
        return guarded([&] { return makeRange(c_.object("EntireColumn")); });
    }
    // A block answers an array of values; the first cell's counts.
    Value CellValue() override {
        return guarded([&] { return toValue(*c_.get("Value").get()); });
    }
    // A block whose cells show different texts answers Null.
    std::string Text() override {
        return guarded([&] {
            win32::Variant shown = c_.get("Text");
            if (V_VT(shown.get()) == VT_NULL) return text(c_.child("Item", 1).get("Text"));
            return text(shown);
        });
    }
    WorksheetPtr Parent() override {
        return guarded([&] { return makeWorksheet(c_.object("Parent")); });
    }
    void Activate() override {
        guarded([&] { c_.call("Activate"); });
    }
    void Select() override {
        guarded([&] { c_.call("Select"); });
    }
    void CopyPicture(std::int32_t appearance, std::int32_t format) override {
        guarded([&] { c_.call("CopyPicture", appearance, format); });
    }
    void Copy() override {
        guarded([&] { c_.call("Copy"); });
    }
};

class DispShape final : public Shape, public DispObject {
public:
    using DispObject::DispObject;
    std::string Name() override {
        return guarded([&] { return text(c_.get("Name")); });
    }
    bool Visible() override {
        return guarded([&] { return flag(c_.get("Visible")); });
    }
    std::int32_t Type() override {
        return guarded([&] { return number(c_.get("Type")); });
    }
    RangePtr TopLeftCell() override {
        return guarded([&] { return makeRange(c_.object("TopLeftCell")); });
    }
    RangePtr BottomRightCell() override {
        return guarded([&] { return makeRange(c_.object("BottomRightCell")); });
    }
    std::vector<ShapePtr> GroupItems() override {
        return guarded([&] { return listOf(c_.child("GroupItems"), makeShape); });
    }
    std::string DrawingObjectCaption() override {
        return guarded([&] { return text(c_.child("DrawingObject").get("Caption")); });
    }
    std::string DrawingObjectObjectText() override {
        return guarded([&] { return text(c_.child("DrawingObject").child("Object").get("Text")); });
    }
    std::string DrawingObjectObjectCaption() override {
        return guarded([&] { return text(c_.child("DrawingObject").child("Object").get("Caption")); });
    }
    std::string TextEffectText() override {
        return guarded([&] { return text(c_.child("TextEffect").get("Text")); });
    }
};

class DispComment final : public Comment, public DispObject {
public:
    using DispObject::DispObject;
    RangePtr Parent() override {
        return guarded([&] { return makeRange(c_.object("Parent")); });
    }
    std::string Text() override {
        return guarded([&] { return text(c_.get("Text")); });
    }
    std::string Author() override {
        return guarded([&] { return text(c_.get("Author")); });
    }
};

class DispWorksheet final : public Worksheet, public DispObject, public std::enable_shared_from_this<DispWorksheet> {
public:
    using DispObject::DispObject;
    std::string Name() override {
        return guarded([&] { return text(c_.get("Name")); });
    }
    std::int32_t Type() override {
        return guarded([&] { return number(c_.get("Type")); });
    }
    WorksheetPtr AsWorksheet() override { return shared_from_this(); }
    WorkbookPtr Parent() override {
        return guarded([&] { return makeWorkbook(c_.object("Parent")); });
    }
    RangePtr Range(const std::string& text) override {
        return guarded([&] { return makeRange(c_.object("Range", text)); });
    }
    RangePtr Cells(std::int32_t row, std::int32_t column) override {
        return guarded([&] { return makeRange(c_.child("Cells").object("Item", row, column)); });
    }
    RangePtr UsedRange() override {
        return guarded([&] { return makeRange(c_.object("UsedRange")); });
    }
    PageSetupPtr PageSetup() override {
        return guarded([&]() -> PageSetupPtr {
            ComPtr<IDispatch> setup = c_.object("PageSetup");
            if (!setup) return {};
            return std::make_shared<DispPageSetup>(std::move(setup));
        });
    }
    std::vector<RangePtr> HPageBreaks() override { return breaks("HPageBreaks"); }
    std::vector<RangePtr> VPageBreaks() override { return breaks("VPageBreaks"); }
    std::vector<ShapePtr> Shapes() override {
        return guarded([&] { return listOf(c_.child("Shapes"), makeShape); });
    }
    std::vector<CommentPtr> Comments() override {
        return guarded([&] { return listOf(c_.child("Comments"), makeComment); });
    }
    void Activate() override {
        guarded([&] { c_.call("Activate"); });
    }

private:
    std::vector<RangePtr> breaks(const char* collection) {
        return guarded([&] {
            return listOf(c_.child(collection),
                          [](ComPtr<IDispatch> pageBreak) { return makeRange(Caller(std::move(pageBreak)).object("Location")); });
        });
    }
};

// A sheet of any kind, as ActiveSheet, SelectedSheets and SheetActivate give it.
class DispSheet final : public Sheet, public DispObject {
public:
    using DispObject::DispObject;
    std::string Name() override {
        return guarded([&] { return text(c_.get("Name")); });
    }
    std::int32_t Type() override {
        return guarded([&] { return number(c_.get("Type")); });
    }
    WorksheetPtr AsWorksheet() override {
        return guarded([&]() -> WorksheetPtr {
            if (Type() != xlWorksheet) return {};
            return std::make_shared<DispWorksheet>(c_.share());
        });
    }
};

class DispWindow final : public Window, public DispObject {
public:
    using DispObject::DispObject;
    std::vector<SheetPtr> SelectedSheets() override {
        return guarded([&] { return listOf(c_.child("SelectedSheets"), makeSheet); });
    }
    std::int32_t WindowState() override {
        return guarded([&] { return number(c_.get("WindowState")); });
    }
    std::int32_t View() override {
        return guarded([&] { return number(c_.get("View")); });
    }
    void SetView(std::int32_t view) override {
        guarded([&] { c_.put("View", view); });
    }
};

class DispWorkbook final : public Workbook, public DispObject {
public:
    using DispObject::DispObject;
    std::string Name() override {
        return guarded([&] { return text(c_.get("Name")); });
    }
    std::string Path() override {
        return guarded([&] { return text(c_.get("Path")); });
    }
    std::vector<WorksheetPtr> Worksheets() override {
        return guarded([&] { return listOf(c_.child("Worksheets"), makeWorksheet); });
    }
    WorksheetPtr FindWorksheet(const std::string& name) override {
        return guarded([&] {
            return orNothingWhenAbsent<Worksheet>([&] { return makeWorksheet(c_.child("Worksheets").object("Item", name)); });
        });
    }
    DocumentPropertiesPtr CustomDocumentProperties() override {
        return guarded([&]() -> DocumentPropertiesPtr {
            ComPtr<IDispatch> properties = c_.object("CustomDocumentProperties");
            if (!properties) return {};
            return std::make_shared<DispDocumentProperties>(std::move(properties));
        });
    }
    void Save() override {
        guarded([&] { c_.call("Save"); });
    }
};

class DispApplication final : public Application, public DispObject {
public:
    using DispObject::DispObject;
    std::string Version() override { return textOf("Version"); }
    std::string Path() override { return textOf("Path"); }
    std::int32_t hInstance() override {
        return guarded([&] { return number(c_.get("hInstance")); });
    }
    std::string Caption() override { return textOf("Caption"); }
    std::string UserName() override { return textOf("UserName"); }
    std::string ActivePrinter() override { return textOf("ActivePrinter"); }
    std::int32_t WindowState() override {
        return guarded([&] { return number(c_.get("WindowState")); });
    }

    std::vector<WorkbookPtr> Workbooks() override {
        return guarded([&] { return listOf(c_.child("Workbooks"), makeWorkbook); });
    }
    WorkbookPtr FindWorkbook(const std::string& name) override {
        return guarded([&] {
            return orNothingWhenAbsent<Workbook>([&] { return makeWorkbook(c_.child("Workbooks").object("Item", name)); });
        });
    }
    WorkbookPtr OpenWorkbook(const std::string& path, bool readOnly) override {
        return guarded([&] { return makeWorkbook(c_.child("Workbooks").object("Open", path, named("ReadOnly", readOnly))); });
    }
    WorkbookPtr ActiveWorkbook() override {
        return guarded([&] { return makeWorkbook(c_.object("ActiveWorkbook")); });
    }
    SheetPtr ActiveSheet() override {
        return guarded([&] { return makeSheet(c_.object("ActiveSheet")); });
    }
    WindowPtr ActiveWindow() override {
        return guarded([&] { return makeWindow(c_.object("ActiveWindow")); });
    }
    RangePtr ActiveCell() override {
        return guarded([&] { return makeRange(c_.object("ActiveCell")); });
    }
    RangePtr Selection() override {
        return guarded([&]() -> RangePtr {
            ComPtr<IDispatch> selected = c_.object("Selection");
            if (!selected) return {};
            if (!isRange(selected.get())) throw HostError(err::kTypeMismatch, "Type mismatch");
            return makeRange(std::move(selected));
        });
    }

    void SetStatusBar(const std::optional<std::string>& text) override {
        guarded([&] {
            if (text) {
                c_.put("StatusBar", *text);
            } else {
                c_.put("StatusBar", false);
            }
        });
    }
    bool ScreenUpdating() override {
        return guarded([&] { return flag(c_.get("ScreenUpdating")); });
    }
    void SetScreenUpdating(bool on) override {
        guarded([&] { c_.put("ScreenUpdating", on); });
    }
    bool EnableEvents() override {
        return guarded([&] { return flag(c_.get("EnableEvents")); });
    }
    void SetEnableEvents(bool on) override {
        guarded([&] { c_.put("EnableEvents", on); });
    }
    void ClearCutCopyMode() override {
        guarded([&] { c_.put("CutCopyMode", false); });
    }

    void OnTime(double when, const std::string& procedure) override {
        guarded([&] { c_.call("OnTime", fromDate(when), procedure); });
    }
    RangePtr InputBoxRange(const std::string& prompt, const std::string& title,
                           const std::string& defaultText) override {
        return guarded([&]() -> RangePtr {
            win32::Variant answer = c_.get("InputBox", prompt, title, defaultText, named("Type", 8));
            // Cancel answers False instead of a range.
            if (V_VT(answer.get()) == VT_BOOL) return {};
            return makeRange(toObject(*answer.get()));
        });
    }
    RangePtr Intersect(const RangePtr& a, const RangePtr& b) override {
        return guarded([&] { return makeRange(c_.object("Intersect", rangeArgument(a), rangeArgument(b))); });
    }
    RangePtr Union(const std::vector<RangePtr>& ranges) override {
        return guarded([&] {
            std::vector<Arg> args;
            for (const RangePtr& r : ranges) args.emplace_back(rangeArgument(r));
            win32::Variant joined = c_.invoke("Union", DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
            return makeRange(toObject(*joined.get()));
        });
    }

    CommandBarControlPtr FindControl(std::int32_t id) override {
        return guarded([&] { return makeControl(c_.child("CommandBars").object("FindControl", named("Id", id))); });
    }
    CommandBarsPtr CommandBars() override {
        return guarded([&] { return makeCommandBars(c_.object("CommandBars")); });
    }
    AddInEntryPtr COMAddIn(const std::string& progId) override {
        return guarded([&]() -> AddInEntryPtr {
            return std::make_shared<DispAddInEntry>(c_.child("COMAddIns").child("Item", progId).share());
        });
    }

    std::unique_ptr<EventConnection> Advise(ApplicationEvents& sink) override {
        return guarded([&] { return adviseApplicationEvents(c_.object(), sink); });
    }
};

// Nothing stays Nothing; anything else gets the façade class of its kind.
template <typename Impl>
std::shared_ptr<Impl> wrapped(ComPtr<IDispatch> object) {
    if (!object) return {};
    return std::make_shared<Impl>(std::move(object));
}

RangePtr makeRange(ComPtr<IDispatch> object) {
    return wrapped<DispRange>(std::move(object));
}

WorksheetPtr makeWorksheet(ComPtr<IDispatch> object) {
    return wrapped<DispWorksheet>(std::move(object));
}

ShapePtr makeShape(ComPtr<IDispatch> object) {
    return wrapped<DispShape>(std::move(object));
}

CommentPtr makeComment(ComPtr<IDispatch> object) {
    return wrapped<DispComment>(std::move(object));
}

}  // namespace

WorkbookPtr makeWorkbook(ComPtr<IDispatch> object) {
    return wrapped<DispWorkbook>(std::move(object));
}

SheetPtr makeSheet(ComPtr<IDispatch> object) {
    return wrapped<DispSheet>(std::move(object));
}

WindowPtr makeWindow(ComPtr<IDispatch> object) {
    return wrapped<DispWindow>(std::move(object));
}

ApplicationPtr wrapApplication(IDispatch* application) {
    if (!application) return {};
    return std::make_shared<DispApplication>(ComPtr<IDispatch>::share(application));
}

AddInEntryPtr wrapAddInEntry(IDispatch* entry) {
    if (!entry) return {};
    return std::make_shared<DispAddInEntry>(ComPtr<IDispatch>::share(entry));
}

LateBoundPtr wrapLateBound(IDispatch* object) {
    if (!object) return {};
    return std::make_shared<DispLateBound>(ComPtr<IDispatch>::share(object));
}

}  // namespace kq::host::dispatch
