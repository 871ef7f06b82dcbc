#pragma once
// The host façade in front of another one (the simulated host), with every
// call counted and passed through a hook that may fail it as the host fails a
// call: a test can break any one call of a recording, or answer Nothing where
// the simulated host never does.

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"

namespace kq::addin::recording::test {

struct HostHook {
    // Called with "Class.Method" before each call; may throw HostError.
    std::function<void(const std::string& what)> before;
    // Calls that answer Nothing without reaching the host:
    // "Application.ActiveWorkbook", "Application.ActiveWindow", "Application.Selection".
    std::set<std::string> nothing;
    int calls = 0;
    // The time spent inside the host, when `timing` is on.
    bool timing = false;
    std::chrono::steady_clock::duration hostTime{};

    // Lives as long as the call it announces.
    class Call {
    public:
        explicit Call(HostHook& hook) : hook_(hook) {
            if (hook_.timing) start_ = std::chrono::steady_clock::now();
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;
        ~Call() {
            if (hook_.timing) hook_.hostTime += std::chrono::steady_clock::now() - start_;
        }

    private:
        HostHook& hook_;
        std::chrono::steady_clock::time_point start_{};
    };

    [[nodiscard]] Call operator()(const std::string& what) {
        ++calls;
        if (before) before(what);
        return Call(*this);
    }
};

// Fails the call with that number (from 1), once.
inline std::function<void(const std::string&)> failCall(HostHook& hook, int number, std::string& failed) {
    return [&hook, number, &failed](const std::string& what) {
        if (hook.calls == number) {
            failed = what;
            throw host::HostError(host::err::kApplicationDefined, "Application-defined or object-defined error");
        }
    };
}

inline host::RangePtr proxy(HostHook& hook, const host::RangePtr& range, std::string tag = "Range");
inline host::WorksheetPtr proxy(HostHook& hook, const host::WorksheetPtr& sheet);
inline host::SheetPtr proxy(HostHook& hook, const host::SheetPtr& sheet);
inline host::WorkbookPtr proxy(HostHook& hook, const host::WorkbookPtr& book);
inline host::ApplicationPtr proxy(HostHook& hook, const host::ApplicationPtr& application);

class ProxyRange final : public host::Range {
public:
    ProxyRange(HostHook& hook, host::RangePtr inner, std::string tag)
        : h_(hook), inner_(std::move(inner)), tag_(std::move(tag)) {}
    const host::RangePtr& inner() const { return inner_; }

    std::string Address() override {
        const auto scope = call("Address");
        return inner_->Address();
    }
    std::vector<host::RangePtr> Areas() override {
        const auto scope = call("Areas");
        std::vector<host::RangePtr> out;
        for (const auto& area : inner_->Areas()) out.push_back(proxy(h_, area));
        return out;
    }
    std::int32_t Count() override {
        const auto scope = call("Count");
        return inner_->Count();
    }
    std::int32_t Row() override {
        const auto scope = call("Row");
        return inner_->Row();
    }
    std::int32_t Column() override {
        const auto scope = call("Column");
        return inner_->Column();
    }
    std::int32_t RowsCount() override {
        const auto scope = call("RowsCount");
        return inner_->RowsCount();
    }
    std::int32_t ColumnsCount() override {
        const auto scope = call("ColumnsCount");
        return inner_->ColumnsCount();
    }
    host::RangePtr Cells(std::int32_t r, std::int32_t c) override {
        const auto scope = call("Cells");
        return proxy(h_, inner_->Cells(r, c));
    }
    host::RangePtr Item(std::int32_t i) override {
        const auto scope = call("Item");
        return proxy(h_, inner_->Item(i));
    }
    host::RangePtr Offset(std::int32_t r, std::int32_t c) override {
        const auto scope = call("Offset");
        return proxy(h_, inner_->Offset(r, c));
    }
    host::RangePtr EntireRow() override {
        const auto scope = call("EntireRow");
        return proxy(h_, inner_->EntireRow());
    }
    host::RangePtr EntireColumn() override {
        const auto scope = call("EntireColumn");
        return proxy(h_, inner_->EntireColumn());
    }
    host::Value CellValue() override {
        const auto scope = call("CellValue");
        return inner_->CellValue();
    }
    std::string Text() override {
        const auto scope = call("Text");
        return inner_->Text();
    }
    host::WorksheetPtr Parent() override {
        const auto scope = call("Parent");
        return proxy(h_, inner_->Parent());
    }
    void Activate() override {
        const auto scope = call("Activate");
        inner_->Activate();
    }
    void Select() override {
        const auto scope = call("Select");
        inner_->Select();
    }
    void CopyPicture(std::int32_t a, std::int32_t f) override {
        const auto scope = call("CopyPicture");
        inner_->CopyPicture(a, f);
    }
    void Copy() override {
        const auto scope = call("Copy");
        inner_->Copy();
    }

private:
    HostHook::Call call(const char* method) { return h_(tag_ + "." + method); }
    HostHook& h_;
    host::RangePtr inner_;
    std::string tag_;
};

inline host::RangePtr unwrap(const host::RangePtr& range) {
    const auto* p = dynamic_cast<ProxyRange*>(range.get());
    return p ? p->inner() : range;
}

class ProxyPageSetup final : public host::PageSetup {
public:
    ProxyPageSetup(HostHook& hook, host::PageSetupPtr inner) : h_(hook), i_(std::move(inner)) {}
#define KQ_PASS(type, name)                       \
    type name() override {                        \
        const auto call = h_("PageSetup." #name); \
        return i_->name();                        \
    }
    KQ_PASS(std::string, PrintArea)
    KQ_PASS(std::string, PrintTitleRows)
    KQ_PASS(std::string, PrintTitleColumns)
    KQ_PASS(std::string, LeftHeader)
    KQ_PASS(std::string, CenterHeader)
    KQ_PASS(std::string, RightHeader)
    KQ_PASS(std::string, LeftFooter)
    KQ_PASS(std::string, CenterFooter)
    KQ_PASS(std::string, RightFooter)
    KQ_PASS(double, LeftMargin)
    KQ_PASS(double, RightMargin)
    KQ_PASS(double, TopMargin)
    KQ_PASS(double, BottomMargin)
    KQ_PASS(double, HeaderMargin)
    KQ_PASS(double, FooterMargin)
    KQ_PASS(bool, CenterHorizontally)
    KQ_PASS(bool, CenterVertically)
    KQ_PASS(std::int32_t, Orientation)
    KQ_PASS(std::int32_t, PaperSize)
    KQ_PASS(std::int32_t, FirstPageNumber)
    KQ_PASS(std::int32_t, Order)
    KQ_PASS(std::int32_t, PrintComments)
#undef KQ_PASS

private:
    HostHook& h_;
    host::PageSetupPtr i_;
};

class ProxyShape final : public host::Shape {
public:
    ProxyShape(HostHook& hook, host::ShapePtr inner) : h_(hook), i_(std::move(inner)) {}
    std::string Name() override {
        const auto call = h_("Shape.Name");
        return i_->Name();
    }
    bool Visible() override {
        const auto call = h_("Shape.Visible");
        return i_->Visible();
    }
    std::int32_t Type() override {
        const auto call = h_("Shape.Type");
        return i_->Type();
    }
    host::RangePtr TopLeftCell() override {
        const auto call = h_("Shape.TopLeftCell");
        return proxy(h_, i_->TopLeftCell());
    }
    host::RangePtr BottomRightCell() override {
        const auto call = h_("Shape.BottomRightCell");
        return proxy(h_, i_->BottomRightCell());
    }
    std::vector<host::ShapePtr> GroupItems() override {
        const auto call = h_("Shape.GroupItems");
        std::vector<host::ShapePtr> out;
        for (const auto& item : i_->GroupItems()) out.push_back(std::make_shared<ProxyShape>(h_, item));
        return out;
    }
    std::string DrawingObjectCaption() override {
        const auto call = h_("Shape.Caption");
        return i_->DrawingObjectCaption();
    }
    std::string DrawingObjectObjectText() override {
        const auto call = h_("Shape.ObjectText");
        return i_->DrawingObjectObjectText();
    }
    std::string DrawingObjectObjectCaption() override {
        const auto call = h_("Shape.ObjectCaption");
        return i_->DrawingObjectObjectCaption();
    }
    std::string TextEffectText() override {
        const auto call = h_("Shape.TextEffect");
        return i_->TextEffectText();
    }

private:
    HostHook& h_;
    host::ShapePtr i_;
};

class ProxyComment final : public host::Comment {
public:
    ProxyComment(HostHook& hook, host::CommentPtr inner) : h_(hook), i_(std::move(inner)) {}
    host::RangePtr Parent() override {
        const auto call = h_("Comment.Parent");
        return proxy(h_, i_->Parent());
    }
    std::string Text() override {
        const auto call = h_("Comment.Text");
        return i_->Text();
    }
    std::string Author() override {
        const auto call = h_("Comment.Author");
        return i_->Author();
    }

private:
    HostHook& h_;
    host::CommentPtr i_;
};

class ProxyProperties final : public host::DocumentProperties {
public:
    ProxyProperties(HostHook& hook, host::DocumentPropertiesPtr inner) : h_(hook), i_(std::move(inner)) {}
    int Count() override {
        const auto call = h_("Properties.Count");
        return i_->Count();
    }
    std::string Name(int index) override {
        const auto call = h_("Properties.Name");
        return i_->Name(index);
    }
    std::string Value(int index) override {
        const auto call = h_("Properties.Value");
        return i_->Value(index);
    }
    std::string ValueOf(const std::string& name) override {
        const auto call = h_("Properties.ValueOf");
        return i_->ValueOf(name);
    }
    void Add(const std::string& name, bool link, std::int32_t type, const std::string& value) override {
        const auto call = h_("Properties.Add");
        i_->Add(name, link, type, value);
    }
    void Delete(const std::string& name) override {
        const auto call = h_("Properties.Delete");
        i_->Delete(name);
    }

private:
    HostHook& h_;
    host::DocumentPropertiesPtr i_;
};

class ProxyControl final : public host::CommandBarControl {
public:
    ProxyControl(HostHook& hook, host::CommandBarControlPtr inner) : h_(hook), i_(std::move(inner)) {}
    bool Enabled() override {
        const auto call = h_("Control.Enabled");
        return i_->Enabled();
    }
    // The recorder asks nothing else of a control.
    std::int32_t Id() override { return i_->Id(); }
    std::int32_t Type() override { return i_->Type(); }
    std::string Caption() override { return i_->Caption(); }
    void SetCaption(const std::string& caption) override { i_->SetCaption(caption); }
    std::string Tag() override { return i_->Tag(); }
    void SetTag(const std::string& tag) override { i_->SetTag(tag); }
    std::string OnAction() override { return i_->OnAction(); }
    void SetOnAction(const std::string& action) override { i_->SetOnAction(action); }
    bool BeginGroup() override { return i_->BeginGroup(); }
    void SetBeginGroup(bool begins) override { i_->SetBeginGroup(begins); }
    std::int32_t Style() override { return i_->Style(); }
    void SetStyle(std::int32_t style) override { i_->SetStyle(style); }
    std::int32_t FaceId() override { return i_->FaceId(); }
    void SetFaceId(std::int32_t faceId) override { i_->SetFaceId(faceId); }
    std::int32_t State() override { return i_->State(); }
    void SetState(std::int32_t state) override { i_->SetState(state); }
    void CopyFace() override { i_->CopyFace(); }
    void PasteFace() override { i_->PasteFace(); }
    host::CommandBarPtr CommandBar() override { return i_->CommandBar(); }
    host::CommandBarControlPtr Copy(const host::CommandBarPtr& bar) override { return i_->Copy(bar); }
    void Delete() override { i_->Delete(); }
    std::unique_ptr<host::EventConnection> AdviseClick(host::ButtonEvents& events) override {
        return i_->AdviseClick(events);
    }

private:
    HostHook& h_;
    host::CommandBarControlPtr i_;
};

class ProxyWorksheet final : public host::Worksheet {
public:
    ProxyWorksheet(HostHook& hook, host::WorksheetPtr inner) : h_(hook), i_(std::move(inner)) {}
    std::string Name() override {
        const auto call = h_("Worksheet.Name");
        return i_->Name();
    }
    std::int32_t Type() override {
        const auto call = h_("Worksheet.Type");
        return i_->Type();
    }
    host::WorksheetPtr AsWorksheet() override { return std::make_shared<ProxyWorksheet>(h_, i_); }
    host::WorkbookPtr Parent() override {
        const auto call = h_("Worksheet.Parent");
        return proxy(h_, i_->Parent());
    }
    host::RangePtr Range(const std::string& text) override {
        const auto call = h_("Worksheet.Range");
        return proxy(h_, i_->Range(text));
    }
    host::RangePtr Cells(std::int32_t r, std::int32_t c) override {
        const auto call = h_("Worksheet.Cells");
        return proxy(h_, i_->Cells(r, c));
    }
    host::RangePtr UsedRange() override {
        const auto call = h_("Worksheet.UsedRange");
        return proxy(h_, i_->UsedRange());
    }
    host::PageSetupPtr PageSetup() override {
        const auto call = h_("Worksheet.PageSetup");
        return std::make_shared<ProxyPageSetup>(h_, i_->PageSetup());
    }
    std::vector<host::RangePtr> HPageBreaks() override {
        const auto call = h_("Worksheet.HPageBreaks");
        return breaks(i_->HPageBreaks(), "HBreak");
    }
    std::vector<host::RangePtr> VPageBreaks() override {
        const auto call = h_("Worksheet.VPageBreaks");
        return breaks(i_->VPageBreaks(), "VBreak");
    }
    std::vector<host::ShapePtr> Shapes() override {
        const auto call = h_("Worksheet.Shapes");
        std::vector<host::ShapePtr> out;
        for (const auto& shape : i_->Shapes()) out.push_back(std::make_shared<ProxyShape>(h_, shape));
        return out;
    }
    std::vector<host::CommentPtr> Comments() override {
        const auto call = h_("Worksheet.Comments");
        std::vector<host::CommentPtr> out;
        for (const auto& comment : i_->Comments()) out.push_back(std::make_shared<ProxyComment>(h_, comment));
        return out;
    }
    void Activate() override {
        const auto call = h_("Worksheet.Activate");
        i_->Activate();
    }

private:
    std::vector<host::RangePtr> breaks(const std::vector<host::RangePtr>& locations, const char* tag) {
        std::vector<host::RangePtr> out;
        for (const auto& location : locations) out.push_back(proxy(h_, location, tag));
        return out;
    }
    HostHook& h_;
    host::WorksheetPtr i_;
};

class ProxySheet final : public host::Sheet {
public:
    ProxySheet(HostHook& hook, host::SheetPtr inner) : h_(hook), i_(std::move(inner)) {}
    std::string Name() override {
        const auto call = h_("Sheet.Name");
        return i_->Name();
    }
    std::int32_t Type() override {
        const auto call = h_("Sheet.Type");
        return i_->Type();
    }
    host::WorksheetPtr AsWorksheet() override { return proxy(h_, i_->AsWorksheet()); }

private:
    HostHook& h_;
    host::SheetPtr i_;
};

class ProxyWindow final : public host::Window {
public:
    ProxyWindow(HostHook& hook, host::WindowPtr inner) : h_(hook), i_(std::move(inner)) {}
    std::vector<host::SheetPtr> SelectedSheets() override {
        const auto call = h_("Window.SelectedSheets");
        std::vector<host::SheetPtr> out;
        for (const auto& sheet : i_->SelectedSheets()) out.push_back(proxy(h_, sheet));
        return out;
    }
    std::int32_t WindowState() override {
        const auto call = h_("Window.WindowState");
        return i_->WindowState();
    }
    std::int32_t View() override {
        const auto call = h_("Window.View");
        return i_->View();
    }
    void SetView(std::int32_t view) override {
        const auto call = h_("Window.SetView");
        i_->SetView(view);
    }

private:
    HostHook& h_;
    host::WindowPtr i_;
};

class ProxyWorkbook final : public host::Workbook {
public:
    ProxyWorkbook(HostHook& hook, host::WorkbookPtr inner) : h_(hook), i_(std::move(inner)) {}
    std::string Name() override {
        const auto call = h_("Workbook.Name");
        return i_->Name();
    }
    std::string Path() override {
        const auto call = h_("Workbook.Path");
        return i_->Path();
    }
    std::vector<host::WorksheetPtr> Worksheets() override {
        const auto call = h_("Workbook.Worksheets");
        std::vector<host::WorksheetPtr> out;
        for (const auto& sheet : i_->Worksheets()) out.push_back(proxy(h_, sheet));
        return out;
    }
    host::WorksheetPtr FindWorksheet(const std::string& name) override {
        const auto call = h_("Workbook.FindWorksheet");
        return proxy(h_, i_->FindWorksheet(name));
    }
    host::DocumentPropertiesPtr CustomDocumentProperties() override {
        const auto call = h_("Workbook.CustomDocumentProperties");
        return std::make_shared<ProxyProperties>(h_, i_->CustomDocumentProperties());
    }
    void Save() override {
        const auto call = h_("Workbook.Save");
        i_->Save();
    }

private:
    HostHook& h_;
    host::WorkbookPtr i_;
};

class ProxyApplication final : public host::Application {
public:
    ProxyApplication(HostHook& hook, host::ApplicationPtr inner) : h_(hook), i_(std::move(inner)) {}
    std::string Version() override {
        const auto call = h_("Application.Version");
        return i_->Version();
    }
    std::string Path() override {
        const auto call = h_("Application.Path");
        return i_->Path();
    }
    std::int32_t hInstance() override {
        const auto call = h_("Application.hInstance");
        return i_->hInstance();
    }
    std::string Caption() override {
        const auto call = h_("Application.Caption");
        return i_->Caption();
    }
    std::string UserName() override {
        const auto call = h_("Application.UserName");
        return i_->UserName();
    }
    std::string ActivePrinter() override {
        const auto call = h_("Application.ActivePrinter");
        return i_->ActivePrinter();
    }
    std::int32_t WindowState() override {
        const auto call = h_("Application.WindowState");
        return i_->WindowState();
    }
    std::vector<host::WorkbookPtr> Workbooks() override {
        const auto call = h_("Application.Workbooks");
        std::vector<host::WorkbookPtr> out;
        for (const auto& book : i_->Workbooks()) out.push_back(proxy(h_, book));
        return out;
    }
    host::WorkbookPtr FindWorkbook(const std::string& name) override {
        const auto call = h_("Application.FindWorkbook");
        return proxy(h_, i_->FindWorkbook(name));
    }
    host::WorkbookPtr OpenWorkbook(const std::string& path, bool readOnly) override {
        const auto call = h_("Application.OpenWorkbook");
        return proxy(h_, i_->OpenWorkbook(path, readOnly));
    }
    host::WorkbookPtr ActiveWorkbook() override {
        const auto call = h_("Application.ActiveWorkbook");
        if (h_.nothing.contains("Application.ActiveWorkbook")) return nullptr;
        return proxy(h_, i_->ActiveWorkbook());
    }
    host::SheetPtr ActiveSheet() override {
        const auto call = h_("Application.ActiveSheet");
        return proxy(h_, i_->ActiveSheet());
    }
    host::WindowPtr ActiveWindow() override {
        const auto call = h_("Application.ActiveWindow");
        if (h_.nothing.contains("Application.ActiveWindow")) return nullptr;
        const host::WindowPtr window = i_->ActiveWindow();
        return window ? std::make_shared<ProxyWindow>(h_, window) : nullptr;
    }
    host::RangePtr ActiveCell() override {
        const auto call = h_("Application.ActiveCell");
        return proxy(h_, i_->ActiveCell());
    }
    host::RangePtr Selection() override {
        const auto call = h_("Application.Selection");
        if (h_.nothing.contains("Application.Selection")) return nullptr;
        return proxy(h_, i_->Selection());
    }
    void SetStatusBar(const std::optional<std::string>& text) override {
        const auto call = h_("Application.SetStatusBar");
        i_->SetStatusBar(text);
    }
    bool ScreenUpdating() override {
        const auto call = h_("Application.ScreenUpdating");
        return i_->ScreenUpdating();
    }
    void SetScreenUpdating(bool on) override {
        const auto call = h_("Application.SetScreenUpdating");
        i_->SetScreenUpdating(on);
    }
    bool EnableEvents() override {
        const auto call = h_("Application.EnableEvents");
        return i_->EnableEvents();
    }
    void SetEnableEvents(bool on) override {
        const auto call = h_("Application.SetEnableEvents");
        i_->SetEnableEvents(on);
    }
    void ClearCutCopyMode() override {
        const auto call = h_("Application.ClearCutCopyMode");
        i_->ClearCutCopyMode();
    }
    void OnTime(double when, const std::string& procedure) override {
        const auto call = h_("Application.OnTime");
        i_->OnTime(when, procedure);
    }
    host::RangePtr InputBoxRange(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) override {
        const auto call = h_("Application.InputBoxRange");
        return proxy(h_, i_->InputBoxRange(prompt, title, defaultText));
    }
    host::RangePtr Intersect(const host::RangePtr& a, const host::RangePtr& b) override {
        const auto call = h_("Application.Intersect");
        return proxy(h_, i_->Intersect(unwrap(a), unwrap(b)));
    }
    host::RangePtr Union(const std::vector<host::RangePtr>& ranges) override {
        const auto call = h_("Application.Union");
        std::vector<host::RangePtr> inner;
        for (const auto& range : ranges) inner.push_back(unwrap(range));
        return proxy(h_, i_->Union(inner));
    }
    host::CommandBarControlPtr FindControl(std::int32_t id) override {
        const auto call = h_("Application.FindControl");
        const host::CommandBarControlPtr control = i_->FindControl(id);
        return control ? std::make_shared<ProxyControl>(h_, control) : nullptr;
    }
    host::CommandBarsPtr CommandBars() override {
        const auto call = h_("Application.CommandBars");
        return i_->CommandBars();
    }
    host::AddInEntryPtr COMAddIn(const std::string& progId) override {
        const auto call = h_("Application.COMAddIn");
        return i_->COMAddIn(progId);
    }
    std::unique_ptr<host::EventConnection> Advise(host::ApplicationEvents& sink) override {
        const auto call = h_("Application.Advise");
        return i_->Advise(sink);
    }

private:
    HostHook& h_;
    host::ApplicationPtr i_;
};

inline host::RangePtr proxy(HostHook& hook, const host::RangePtr& range, std::string tag) {
    return range ? std::make_shared<ProxyRange>(hook, range, std::move(tag)) : nullptr;
}
inline host::WorksheetPtr proxy(HostHook& hook, const host::WorksheetPtr& sheet) {
    return sheet ? std::make_shared<ProxyWorksheet>(hook, sheet) : nullptr;
}
inline host::SheetPtr proxy(HostHook& hook, const host::SheetPtr& sheet) {
    if (!sheet) return nullptr;
    if (const host::WorksheetPtr worksheet = std::dynamic_pointer_cast<host::Worksheet>(sheet)) {
        return std::make_shared<ProxyWorksheet>(hook, worksheet);
    }
    return std::make_shared<ProxySheet>(hook, sheet);
}
inline host::WorkbookPtr proxy(HostHook& hook, const host::WorkbookPtr& book) {
    return book ? std::make_shared<ProxyWorkbook>(hook, book) : nullptr;
}
inline host::ApplicationPtr proxy(HostHook& hook, const host::ApplicationPtr& application) {
    return std::make_shared<ProxyApplication>(hook, application);
}

}  // namespace kq::addin::recording::test
