#include "tools/simhost/ribbon_host.h"

#include <olectl.h>

#include <cstdio>
#include <functional>
#include <set>
#include <span>
#include <utility>

#include "common/win32/com_object.h"
#include "common/win32/handles.h"
#include "common/win32/ribbon_interfaces.h"
#include "common/win32/wide.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/variant_convert.h"
#include "host/sim/ribbon/ribbon_session.h"
#include "tools/simhost/callback_types.h"
#include "tools/simhost/picture_bits.h"

namespace kq::simhost {

namespace ribbon = kq::host::sim::ribbon;
using ribbon::CallbackValue;
using win32::ComPtr;
using win32::Variant;

namespace {

// The kind of window whose ribbon the host asks for.
constexpr char kWorkbookRibbon[] = "Microsoft.Excel.Workbook";

std::string hex(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

std::string hash8(std::uint32_t h) {
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, "%08lx", static_cast<unsigned long>(h));
    return buffer;
}

struct DispName {
    const wchar_t* name;
    DISPID id;
};

// GetIDsOfNames over a fixed table, names in any letter case; no named arguments.
HRESULT idsOfNames(std::span<const DispName> table, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const DispName& n : table) {
        if (names[0] && _wcsicmp(n.name, names[0]) == 0) ids[0] = n.id;
    }
    return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

// Argument `i` (counted from the first) as text, given by value or by reference.
HRESULT textArgument(const DISPPARAMS& params, UINT i, win32::Bstr& out) {
    Variant text;
    HRESULT hr = VariantChangeType(text.get(), &params.rgvarg[params.cArgs - 1 - i], 0, VT_BSTR);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    out = win32::Bstr::adopt(V_BSTR(text.get()));
    V_VT(text.get()) = VT_EMPTY;
    return S_OK;
}

std::string textOf(BSTR b) { return b ? win32::narrow(std::wstring_view(b, SysStringLen(b))) : std::string(); }

// Where an add-in's IRibbonUI sends what the add-in asks of its ribbon.
class RibbonRequests {
public:
    virtual ~RibbonRequests() = default;
    virtual HRESULT request(const char* method, const std::string& id) = 0;
};

class RibbonUiObject final : public win32::LateBoundObject<win32::IRibbonUI> {
public:
    RibbonUiObject(RibbonRequests& target, Transcript& out, std::string progId)
        : target_(&target), out_(out), progId_(std::move(progId)) {}
    // The ribbon is gone; the add-in may still hold this object.
    void detach() { target_ = nullptr; }

    HRESULT STDMETHODCALLTYPE Invalidate() override { return forward("Invalidate", {}); }
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR id) override { return forward("InvalidateControl", textOf(id)); }
    HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR id) override {
        return forward("InvalidateControlMso", textOf(id));
    }
    HRESULT STDMETHODCALLTYPE ActivateTab(BSTR id) override { return forward("ActivateTab", textOf(id)); }
    HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR id) override { return forward("ActivateTabMso", textOf(id)); }
    HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR id, BSTR ns) override {
        return forward("ActivateTabQ", textOf(id) + " " + textOf(ns));
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        namespace d = win32::ribbon_dispid;
        static constexpr DispName kNames[] = {
            {L"Invalidate", d::kInvalidate},         {L"InvalidateControl", d::kInvalidateControl},
            {L"InvalidateControlMso", d::kInvalidateControlMso}, {L"ActivateTab", d::kActivateTab},
            {L"ActivateTabMso", d::kActivateTabMso}, {L"ActivateTabQ", d::kActivateTabQ},
        };
        return idsOfNames(kNames, names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        namespace d = win32::ribbon_dispid;
        if (result) VariantInit(result);
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{};
        const DISPPARAMS& p = params ? *params : none;
        if (p.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        const UINT wanted = id == d::kInvalidate ? 0 : id == d::kActivateTabQ ? 2 : 1;
        if (id < d::kInvalidate || id > d::kActivateTabQ) return DISP_E_MEMBERNOTFOUND;
        if (p.cArgs != wanted) return DISP_E_BADPARAMCOUNT;
        win32::Bstr first, second;
        if (wanted >= 1 && FAILED(textArgument(p, 0, first))) return DISP_E_TYPEMISMATCH;
        if (wanted == 2 && FAILED(textArgument(p, 1, second))) return DISP_E_TYPEMISMATCH;
        switch (id) {
            case d::kInvalidate: return Invalidate();
            case d::kInvalidateControl: return InvalidateControl(first.get());
            case d::kInvalidateControlMso: return InvalidateControlMso(first.get());
            case d::kActivateTab: return ActivateTab(first.get());
            case d::kActivateTabMso: return ActivateTabMso(first.get());
            default: return ActivateTabQ(first.get(), second.get());
        }
    }

private:
    ~RibbonUiObject() override = default;

    HRESULT forward(const char* method, const std::string& id) noexcept {
        try {
            if (target_) return target_->request(method, id);
            out_.line("  ribbon " + progId_ + ": " + method + " " + id + " after the ribbon was closed");
            return E_FAIL;
        } catch (...) {
            return E_FAIL;
        }
    }

    RibbonRequests* target_;
    Transcript& out_;
    std::string progId_;
};

class RibbonControlObject final : public win32::LateBoundObject<win32::IRibbonControl> {
public:
    RibbonControlObject(const ribbon::ControlIdentity& control, ComPtr<IDispatch> context)
        : id_(control.id), tag_(control.tag), context_(std::move(context)) {}

    HRESULT STDMETHODCALLTYPE get_Id(BSTR* out) override { return give(id_, out); }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* out) override { return give(tag_, out); }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = context_.get();
        if (*out) (*out)->AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        namespace d = win32::ribbon_dispid;
        static constexpr DispName kNames[] = {{L"Id", d::kId}, {L"Context", d::kContext}, {L"Tag", d::kTag}};
        return idsOfNames(kNames, names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        namespace d = win32::ribbon_dispid;
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
        if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (id != d::kId && id != d::kContext && id != d::kTag) return DISP_E_MEMBERNOTFOUND;
        if (!result) return S_OK;
        VariantInit(result);
        if (id == d::kContext) {
            V_VT(result) = VT_DISPATCH;
            return get_Context(&V_DISPATCH(result));
        }
        V_VT(result) = VT_BSTR;
        return id == d::kId ? get_Id(&V_BSTR(result)) : get_Tag(&V_BSTR(result));
    }

private:
    ~RibbonControlObject() override = default;

    static HRESULT give(const std::string& text, BSTR* out) {
        if (!out) return E_POINTER;
        *out = win32::Bstr(text).detach();
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    std::string id_;
    std::string tag_;
    ComPtr<IDispatch> context_;
};

// FNV-1a over the pixels, as 32-bit top-down rows.
std::uint32_t pixelHash(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = topDownBitmapInfo(width, height);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    const win32::WindowDc screen = win32::windowDc(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) == 0) {
        return 0;
    }
    std::uint32_t h = 2166136261u;
    for (std::uint8_t b : pixels) {
        h ^= b;
        h *= 16777619u;
    }
    return h;
}

CallbackValue bitmapPicture(HBITMAP bitmap, const char* kind) {
    BITMAP facts{};
    if (!bitmap || GetObjectW(bitmap, sizeof facts, &facts) == 0) return ribbon::CallFailed{"the picture has no bitmap"};
    return ribbon::Picture{facts.bmWidth, facts.bmHeight, kind, pixelHash(bitmap, facts.bmWidth, facts.bmHeight)};
}

CallbackValue pictureOf(IUnknown* object) {
    if (!object) return ribbon::NoPicture{};
    const ComPtr<IPicture> picture = ComPtr<IUnknown>::share(object).as<IPicture>(IID_IPicture);
    if (!picture) return ribbon::CallFailed{"the object is no picture"};
    SHORT type = 0;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || FAILED(picture->get_Handle(&handle))) {
        return ribbon::CallFailed{"the picture tells nothing of itself"};
    }
    const auto raw = static_cast<UINT_PTR>(handle);
    if (type == PICTYPE_BITMAP) return bitmapPicture(reinterpret_cast<HBITMAP>(raw), "bitmap");
    if (type == PICTYPE_ICON) {
        ICONINFO icon{};
        if (!GetIconInfo(reinterpret_cast<HICON>(raw), &icon)) return ribbon::CallFailed{"the icon tells nothing"};
        const win32::Bitmap color(icon.hbmColor), mask(icon.hbmMask);
        return bitmapPicture(color ? color.get() : mask.get(), "icon");
    }
    return ribbon::Picture{0, 0, "picture of type " + std::to_string(type), 0};
}

// A callback's answer read as the kind of value the host reads from it.
CallbackValue answerAs(ribbon::Answer wanted, const VARIANT& given) {
    if (wanted == ribbon::Answer::none) return std::monostate{};
    VARIANT v;
    VariantInit(&v);
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(&given)))) return ribbon::CallFailed{"the answer cannot be read"};
    Variant answer;
    *answer.put() = v;
    const VARTYPE type = V_VT(answer.get());
    if (type == VT_EMPTY) return std::monostate{};
    if (wanted == ribbon::Answer::picture) {
        if (type == VT_BSTR) return textOf(V_BSTR(answer.get()));  // the name of a built-in image
        if (type == VT_DISPATCH) return pictureOf(V_DISPATCH(answer.get()));
        if (type == VT_UNKNOWN) return pictureOf(V_UNKNOWN(answer.get()));
        return ribbon::CallFailed{"no picture but a value of type " + std::to_string(type)};
    }
    struct Reading {
        VARTYPE type;
        const char* name;
    };
    const Reading reading = wanted == ribbon::Answer::text    ? Reading{VT_BSTR, "text"}
                            : wanted == ribbon::Answer::truth ? Reading{VT_BOOL, "truth value"}
                                                              : Reading{VT_I4, "number"};
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), answer.get(), 0, reading.type))) {
        return ribbon::CallFailed{"a value of type " + std::to_string(type) + " that is no " + reading.name};
    }
    if (reading.type == VT_BSTR) return textOf(V_BSTR(converted.get()));
    if (reading.type == VT_BOOL) return V_BOOL(converted.get()) != VARIANT_FALSE;
    return static_cast<std::int32_t>(V_I4(converted.get()));
}

// GetIDsOfNames for one name, as the host binds each callback of a markup.
HRESULT bindName(IDispatch* object, const std::string& callback, DISPID& id) {
    const std::wstring name = win32::wide(callback);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    id = DISPID_UNKNOWN;
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

// The add-in's callbacks, called by name on its object as the host calls them:
// a method call with the arguments of the callback's signature, the control
// and the ribbon as objects, CancelDefault by reference, the others by value.
class AddInCallbacks final : public ribbon::RibbonCallbacks {
public:
    AddInCallbacks(ComPtr<IDispatch> addIn, std::function<ComPtr<IDispatch>()> context)
        : addIn_(std::move(addIn)), context_(std::move(context)) {}

    void setRibbon(IDispatch* ribbonUi) { ribbonUi_ = ComPtr<IDispatch>::share(ribbonUi); }

    CallbackValue call(ribbon::CallbackCall& c) override {
        VARIANT_BOOL cancel = c.cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
        std::vector<Variant> args;
        for (const ribbon::Argument argument : c.signature.arguments) {
            switch (argument) {
                case ribbon::Argument::control: args.push_back(controlObject(c.control)); break;
                case ribbon::Argument::ribbon: args.push_back(host::dispatch::fromObject(ribbonUi_.get())); break;
                case ribbon::Argument::context: args.push_back(host::dispatch::fromObject(context_().get())); break;
                case ribbon::Argument::pressed: args.push_back(host::dispatch::fromBool(c.pressed)); break;
                case ribbon::Argument::cancelDefault: {
                    Variant byReference;
                    V_VT(byReference.get()) = VT_BOOL | VT_BYREF;
                    V_BOOLREF(byReference.get()) = &cancel;
                    args.push_back(std::move(byReference));
                    break;
                }
                case ribbon::Argument::imageName:
                case ribbon::Argument::itemId:
                case ribbon::Argument::text: args.push_back(host::dispatch::fromText(c.text)); break;
                case ribbon::Argument::itemIndex: args.push_back(host::dispatch::fromLong(c.index)); break;
            }
        }
        Outcome outcome = invoke(c.callback, args);
        c.cancelDefault = cancel != VARIANT_FALSE;
        return outcome.ok ? answerAs(c.signature.answer, *outcome.result.get()) : outcome.failure;
    }

private:
    struct Outcome {
        bool ok = false;
        Variant result;
        CallbackValue failure;  // std::monostate when the call succeeded
    };

    Variant controlObject(const ribbon::ControlIdentity& control) {
        const ComPtr<RibbonControlObject> object = win32::makeObject<RibbonControlObject>(control, context_());
        return host::dispatch::fromObject(static_cast<win32::IRibbonControl*>(object.get()));
    }

    Outcome invoke(const std::string& callback, std::vector<Variant>& args) {
        Outcome outcome;
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = bindName(addIn_.get(), callback, id);
        if (FAILED(hr)) {
            outcome.failure = ribbon::CallFailed{"no callback " + callback + " (" + hex(hr) + ")"};
            return outcome;
        }
        std::vector<VARIANT> raw;
        for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(*it->get());
        DISPPARAMS params{raw.empty() ? nullptr : raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
        EXCEPINFO exception{};
        UINT argumentError = 0;
        hr = addIn_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, outcome.result.put(),
                            &exception, &argumentError);
        if (SUCCEEDED(hr)) {
            outcome.ok = true;
            return outcome;
        }
        const host::HostError error = host::dispatch::errorFromResult(hr, &exception);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        outcome.failure = ribbon::CallFailed{hex(hr) + " error " + std::to_string(error.number()) + " " + error.what()};
        return outcome;
    }

    ComPtr<IDispatch> addIn_;
    ComPtr<IDispatch> ribbonUi_;
    std::function<ComPtr<IDispatch>()> context_;
};

// Where the add-in's type information declares a callback so that it cannot
// take what the host passes for the attribute that names it, or cannot give
// what the host reads: once for each callback and signature. Nothing for an
// add-in that describes no types.
std::vector<std::string> typeProblems(IDispatch* object, const ribbon::RibbonMarkup& markup) {
    const ComPtr<ITypeInfo> info = typeInformation(object);
    if (!info) return {};
    std::vector<std::string> problems;
    std::set<std::string> told;
    for (const ribbon::CallbackUse& use : markup.callbackUses()) {
        if (!use.signature) continue;
        DISPID id = DISPID_UNKNOWN;
        if (FAILED(bindName(object, use.callback, id))) continue;
        const std::optional<ribbon::DeclaredMethod> method = declaredMethod(info.get(), id);
        const std::optional<std::string> why = method ? ribbon::signatureMismatch(*use.signature, *method)
                                                      : std::optional<std::string>("its type information does not describe it");
        if (!why) continue;
        const std::string key = use.callback + "|" + ribbon::describeArguments(use.signature->arguments) + "|" +
                                std::to_string(static_cast<int>(use.signature->answer));
        if (!told.insert(key).second) continue;
        problems.push_back("line " + std::to_string(use.at.line) + ": " + use.callback + " cannot be the " +
                           use.attribute + " of " + use.element + (use.id.empty() ? "" : " " + use.id) + ": " + *why);
    }
    return problems;
}

std::string shown(const CallbackValue& value, bool quoteText = true) {
    if (const auto* text = std::get_if<std::string>(&value)) return quoteText ? quoted(*text) : *text;
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    if (const auto* picture = std::get_if<ribbon::Picture>(&value)) {
        return picture->kind + " " + std::to_string(picture->width) + "x" + std::to_string(picture->height) + " #" +
               hash8(picture->hash);
    }
    if (std::holds_alternative<ribbon::NoPicture>(value)) return "Nothing";
    if (const auto* failed = std::get_if<ribbon::CallFailed>(&value)) return "failed (" + escaped(failed->what) + ")";
    return "Empty";
}

bool failed(const CallbackValue& value) { return std::holds_alternative<ribbon::CallFailed>(value); }

}  // namespace

class RibbonHost::AddInRibbon final : public RibbonRequests {
public:
    AddInRibbon(Transcript& out, std::string progId, ComPtr<IDispatch> addIn, ribbon::RibbonMarkup markup,
                std::function<ComPtr<IDispatch>()> context)
        : out_(out),
          progId_(std::move(progId)),
          callbacks_(std::move(addIn), std::move(context)),
          session_(std::move(markup), callbacks_),
          ui_(win32::makeObject<RibbonUiObject>(*this, out, progId_)) {
        callbacks_.setRibbon(static_cast<win32::IRibbonUI*>(ui_.get()));
    }
    ~AddInRibbon() override { ui_->detach(); }
    AddInRibbon(const AddInRibbon&) = delete;
    AddInRibbon& operator=(const AddInRibbon&) = delete;

    const std::string& progId() const { return progId_; }
    ribbon::RibbonSession& session() { return session_; }
    std::string prefix() const { return "  ribbon " + progId_ + ": "; }

    HRESULT request(const char* method, const std::string& id) override {
        const std::string what(method);
        bool known = true;
        if (what == "Invalidate") {
            session_.invalidate();
        } else if (what == "InvalidateControl") {
            known = session_.invalidateControl(id);
        } else if (what == "InvalidateControlMso") {
            known = session_.invalidateControlMso(id);
        }
        out_.line(prefix() + what + (id.empty() ? "" : " " + id) + (known ? "" : " (no such control)"));
        return known ? S_OK : E_INVALIDARG;
    }

private:
    Transcript& out_;
    std::string progId_;
    AddInCallbacks callbacks_;
    ribbon::RibbonSession session_;
    ComPtr<RibbonUiObject> ui_;
};

RibbonHost::RibbonHost(Transcript& transcript, int hostVersion, ComPtr<IDispatch> application)
    : transcript_(transcript), hostVersion_(hostVersion), application_(std::move(application)) {}

RibbonHost::~RibbonHost() = default;

void RibbonHost::connected(const std::string& progId, IUnknown* addIn) {
    const auto extensibility = ComPtr<IUnknown>::share(addIn).as<win32::IRibbonExtensibility>();
    if (!extensibility) return;
    const std::string prefix = "  ribbon " + progId + ": ";
    win32::Bstr markup;
    const HRESULT hr = extensibility->GetCustomUI(win32::Bstr(kWorkbookRibbon).get(), markup.put());
    if (FAILED(hr)) {
        transcript_.line(prefix + "the markup request failed (" + hex(hr) + ")");
        return;
    }
    const std::string text = markup.utf8();
    if (text.empty()) {
        transcript_.line(prefix + "no markup");
        return;
    }
    ribbon::MarkupVerdict verdict = ribbon::readRibbonMarkup(text, hostVersion_);
    const ComPtr<IDispatch> object = ComPtr<IUnknown>::share(addIn).as<IDispatch>(IID_IDispatch);
    if (verdict.markup && object) {
        for (const std::string& callback : verdict.markup->callbacks()) {
            DISPID id = DISPID_UNKNOWN;
            const HRESULT bound = bindName(object.get(), callback, id);
            if (FAILED(bound)) verdict.problems.push_back("the callback " + callback + " does not resolve (" + hex(bound) + ")");
        }
        if (verdict.problems.empty()) verdict.problems = typeProblems(object.get(), *verdict.markup);
    } else if (verdict.markup) {
        verdict.problems.push_back("the add-in object has no IDispatch to call back");
    }
    if (!verdict.problems.empty()) {
        transcript_.line(prefix + "markup refused");
        for (const std::string& problem : verdict.problems) transcript_.line("    " + escaped(problem));
        return;
    }
    const std::size_t elements = verdict.markup->controls.size();
    const std::size_t callbacks = verdict.markup->callbacks().size();
    // The ribbons go before the application object this host holds.
    IDispatch* application = application_.get();
    auto context = [application]() -> ComPtr<IDispatch> {
        try {
            const Variant window = host::dispatch::Caller(ComPtr<IDispatch>::share(application)).get("ActiveWindow");
            return host::dispatch::toObject(*window.get());
        } catch (const host::HostError&) {
            return {};
        }
    };
    ribbons_.push_back(
        std::make_unique<AddInRibbon>(transcript_, progId, ComPtr<IDispatch>::share(object.get()), std::move(*verdict.markup), context));
    transcript_.line(prefix + "markup taken, " + std::to_string(elements) + " elements, " + std::to_string(callbacks) +
                     " callbacks, all resolved");
}

void RibbonHost::startupDone() {
    for (const auto& r : ribbons_) {
        const auto loaded = r->session().load();
        if (!loaded) continue;
        transcript_.line(r->prefix() + "onLoad " + r->session().markup().onLoad +
                         (failed(*loaded) ? std::string(" ").append(shown(*loaded)) : std::string()));
    }
}

void RibbonHost::disconnecting(const std::string& progId) {
    for (auto it = ribbons_.begin(); it != ribbons_.end(); ++it) {
        if ((*it)->progId() != progId) continue;
        ribbons_.erase(it);
        transcript_.line("  ribbon " + progId + ": closed");
        return;
    }
}

void RibbonHost::show() {
    if (ribbons_.empty()) {
        transcript_.line("  no add-in ribbon");
        return;
    }
    for (const auto& r : ribbons_) {
        const std::size_t before = r->session().callbackCount();
        const std::vector<ribbon::ShownControl> controls = r->session().show();
        transcript_.line("  ribbon " + r->progId());
        for (const ribbon::ShownControl& c : controls) {
            std::string line = "    " + std::string(static_cast<std::size_t>(c.depth) * 2, ' ') + c.element;
            if (!c.id.empty()) line += " " + c.id + (c.builtIn ? " (built-in)" : "");
            for (const ribbon::ShownProperty& p : c.properties) line += " " + p.name + " " + shown(p.value);
            transcript_.line(line);
        }
        transcript_.line("  asked " + std::to_string(r->session().callbackCount() - before) + " callbacks");
    }
}

bool RibbonHost::press(const std::string& id) {
    for (const auto& r : ribbons_) {
        const auto outcome = r->session().press(id);
        if (!outcome) continue;
        std::string line = "  " + outcome->element + " " + id + ": ";
        if (!outcome->refused.empty()) {
            line += outcome->refused;
        } else if (failed(outcome->result)) {
            line += "onAction " + shown(outcome->result);
        } else {
            line += "onAction done";
        }
        if (outcome->pressed) line += ", shows pressed " + shown(*outcome->pressed);
        if (outcome->closesBackstage) line += ", the backstage view closes";
        transcript_.line(line);
        return true;
    }
    return false;
}

RibbonHost::CommandFate RibbonHost::runCommand(const std::string& idMso) {
    for (const auto& r : ribbons_) {
        const auto outcome = r->session().runCommand(idMso);
        if (!outcome) continue;
        transcript_.line("  " + idMso + ": onAction of " + r->progId() +
                         (failed(outcome->result) ? std::string(" ").append(shown(outcome->result)) : std::string(" done")) +
                         (outcome->cancelled ? ", cancelled" : ", not cancelled"));
        return outcome->cancelled ? CommandFate::cancelled : CommandFate::proceeds;
    }
    return CommandFate::notRepurposed;
}

}  // namespace kq::simhost
