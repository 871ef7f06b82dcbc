#include "tools/simhost/bar_objects.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "common/win32/com_object.h"
#include "host/dispatch/button_events.h"
#include "tools/simhost/connection_point.h"
#include "tools/simhost/dispatch_object.h"

namespace kq::simhost {

namespace dispatch = kq::host::dispatch;
using host::HostError;
using win32::ComPtr;
using win32::Variant;

namespace {

using BarsP = std::shared_ptr<host::CommandBars>;
using BarP = std::shared_ptr<host::CommandBar>;
using ControlP = std::shared_ptr<host::CommandBarControl>;

// A bar's Controls, or what FindControls found (no bar to add to then).
struct ControlList {
    std::vector<ControlP> items;
    BarP bar;
};
using ListP = std::shared_ptr<ControlList>;

const Table<host::CommandBars>& barsTable();
const Table<host::CommandBar>& barTable();
const Table<ControlList>& listTable();
const Table<host::CommandBarControl>& controlTable();

Variant bar(BarP b) { return object(std::move(b), barTable()); }
Variant list(std::vector<ControlP> items, BarP owner) {
    return object(std::make_shared<ControlList>(ControlList{std::move(items), std::move(owner)}), listTable());
}

// A property of the façade as the host's get and put: the value goes as the
// façade's getter gives it and comes as its setter takes it.
Variant answer(const std::string& s) { return text(s); }
Variant answer(std::int32_t n) { return number(n); }
Variant answer(bool b) { return flag(b); }

template <typename A>
struct PutArgument;
template <>
struct PutArgument<std::int32_t> {
    static constexpr ArgType type = ArgType::number;
    static std::int32_t of(CallArgs& a) { return a.number(0); }
};
template <>
struct PutArgument<bool> {
    static constexpr ArgType type = ArgType::flag;
    static bool of(CallArgs& a) { return a.flag(0); }
};
template <>
struct PutArgument<const std::string&> {
    static constexpr ArgType type = ArgType::text;
    static std::string of(CallArgs& a) { return a.text(0); }
};
template <typename C, typename A>
A setterArgument(void (C::*)(A));

template <typename T, auto Get>
Entry<T> getter(const char* name) {
    return {{name, kGet, {}}, [](const std::shared_ptr<T>& t, CallArgs&) { return answer(((*t).*Get)()); }};
}

template <typename T, auto Set>
Entry<T> setter(const char* name) {
    using Argument = PutArgument<decltype(setterArgument(Set))>;
    return {{name, kPut, {{"Value", Argument::type}}}, [](const std::shared_ptr<T>& t, CallArgs& a) {
                ((*t).*Set)(Argument::of(a));
                return none();
            }};
}

// FindControl's and FindControls' Id and Tag, at these places of their parameters.
host::ControlCriteria criteria(CallArgs& a, std::size_t id, std::size_t tag) {
    host::ControlCriteria c;
    if (a.has(id)) c.Id = a.number(id);
    if (a.has(tag)) c.Tag = a.text(tag);
    return c;
}

const std::vector<Param> kFindParams = {ignored("Type"), {"Id", ArgType::number, true}, {"Tag", ArgType::text, true},
                                        ignored("Visible"), ignored("Recursive")};

const Table<host::CommandBars>& barsTable() {
    static const Table<host::CommandBars> table({
        {{"Item", kGet | kMethod, {{"Index", ArgType::variant}}},
         [](const BarsP& b, CallArgs& a) {
             if (V_VT(&a.raw(0)) != VT_BSTR) return bar(b->Item(a.number(0)));
             BarP found = b->FindBar(a.text(0));
             if (!found) throw HostError(host::err::kInvalidCall, "Invalid procedure call or argument");
             return bar(std::move(found));
         }},
        {{"Add", kMethod | kGet,
          {{"Name", ArgType::text, true}, {"Position", ArgType::number, true}, {"MenuBar", ArgType::flag, true},
           {"Temporary", ArgType::flag, true}}},
         [](const BarsP& b, CallArgs& a) {
             return bar(b->Add(a.has(0) ? a.text(0) : std::string(), a.has(1) ? a.number(1) : host::msoBarFloating,
                               a.has(2) && a.flag(2), a.has(3) && a.flag(3)));
         }},
        {{"FindControl", kMethod | kGet, kFindParams},
         [](const BarsP& b, CallArgs& a) { return controlObject(b->FindControl(criteria(a, 1, 2))); }},
        // None found is Nothing, as the host answers.
        {{"FindControls", kMethod | kGet,
          {ignored("Type"), {"Id", ArgType::number, true}, {"Tag", ArgType::text, true}, ignored("Visible")}},
         [](const BarsP& b, CallArgs& a) {
             std::vector<ControlP> found = b->FindControls(criteria(a, 1, 2));
             return found.empty() ? nothing() : list(std::move(found), nullptr);
         }},
    });
    return table;
}

const Table<host::CommandBar>& barTable() {
    using B = host::CommandBar;
    static const Table<B> table({
        getter<B, &B::Name>("Name"),
        getter<B, &B::Position>("Position"),
        setter<B, &B::SetPosition>("Position"),
        getter<B, &B::RowIndex>("RowIndex"),
        setter<B, &B::SetRowIndex>("RowIndex"),
        getter<B, &B::Left>("Left"),
        setter<B, &B::SetLeft>("Left"),
        getter<B, &B::Top>("Top"),
        setter<B, &B::SetTop>("Top"),
        getter<B, &B::Visible>("Visible"),
        setter<B, &B::SetVisible>("Visible"),
        getter<B, &B::Protection>("Protection"),
        setter<B, &B::SetProtection>("Protection"),
        {{"Controls", kGet, {}}, [](const BarP& b, CallArgs&) { return list(b->Controls(), b); }},
        {{"FindControl", kMethod | kGet, kFindParams},
         [](const BarP& b, CallArgs& a) { return controlObject(b->FindControl(criteria(a, 1, 2))); }},
        {{"Delete", kMethod, {}},
         [](const BarP& b, CallArgs&) {
             b->Delete();
             return none();
         }},
    });
    return table;
}

const Table<ControlList>& listTable() {
    static const Table<ControlList> table({
        {{"Count", kGet, {}}, [](const ListP& l, CallArgs&) { return number(static_cast<std::int32_t>(l->items.size())); }},
        {{"Item", kGet | kMethod, {{"Index", ArgType::number}}},
         [](const ListP& l, CallArgs& a) {
             const std::int32_t i = a.number(0);
             if (i < 1 || static_cast<std::size_t>(i) > l->items.size()) {
                 throw HostError(host::err::kInvalidCall, "Invalid procedure call or argument");
             }
             return controlObject(l->items[static_cast<std::size_t>(i - 1)]);
         }},
        {{"Add", kMethod | kGet,
          {{"Type", ArgType::number, true}, ignored("Id"), ignored("Parameter"), {"Before", ArgType::number, true},
           {"Temporary", ArgType::flag, true}}},
         [](const ListP& l, CallArgs& a) {
             if (!l->bar) throw HostError(host::err::kNoSuchMember, "Object doesn't support this property or method");
             if (a.has(1) || a.has(2)) notSimulated("Adding a built-in control");
             const std::optional<std::int32_t> before = a.has(3) ? std::optional(a.number(3)) : std::nullopt;
             return controlObject(
                 l->bar->AddControl(a.has(0) ? a.number(0) : host::msoControlButton, before, a.has(4) && a.flag(4)));
         }},
    });
    return table;
}

const Table<host::CommandBarControl>& controlTable() {
    using C = host::CommandBarControl;
    static const Table<C> table({
        getter<C, &C::Enabled>("Enabled"),
        getter<C, &C::Id>("Id"),
        getter<C, &C::Type>("Type"),
        getter<C, &C::Caption>("Caption"),
        setter<C, &C::SetCaption>("Caption"),
        getter<C, &C::Tag>("Tag"),
        setter<C, &C::SetTag>("Tag"),
        getter<C, &C::OnAction>("OnAction"),
        setter<C, &C::SetOnAction>("OnAction"),
        getter<C, &C::BeginGroup>("BeginGroup"),
        setter<C, &C::SetBeginGroup>("BeginGroup"),
        getter<C, &C::Style>("Style"),
        setter<C, &C::SetStyle>("Style"),
        getter<C, &C::FaceId>("FaceId"),
        setter<C, &C::SetFaceId>("FaceId"),
        getter<C, &C::State>("State"),
        setter<C, &C::SetState>("State"),
        {{"CopyFace", kMethod, {}},
         [](const ControlP& c, CallArgs&) {
             c->CopyFace();
             return none();
         }},
        {{"PasteFace", kMethod, {}},
         [](const ControlP& c, CallArgs&) {
             c->PasteFace();
             return none();
         }},
        {{"CommandBar", kGet, {}}, [](const ControlP& c, CallArgs&) { return bar(c->CommandBar()); }},
        {{"Controls", kGet, {}},
         [](const ControlP& c, CallArgs&) {
             BarP menu = c->CommandBar();
             return list(menu->Controls(), menu);
         }},
        {{"Copy", kMethod | kGet, {{"Bar", ArgType::object, true}, {"Before", ArgType::number, true}}},
         [](const ControlP& c, CallArgs& a) {
             if (!a.has(0) || a.has(1)) notSimulated("Copy other than to the end of a bar");
             BarP to = unwrap<host::CommandBar>(a.object(0).get());
             if (!to) throw HostError(host::err::kTypeMismatch, "Type mismatch");
             return controlObject(c->Copy(to));
         }},
        {{"Delete", kMethod, {ignored("Temporary")}},
         [](const ControlP& c, CallArgs&) {
             c->Delete();
             return none();
         }},
    });
    return table;
}

class ControlObject;

// One handler the add-in connected: its sink, called by the events' DISPID.
class ClickForwarder final : public host::ButtonEvents {
public:
    explicit ClickForwarder(ComPtr<IDispatch> sink) : sink_(std::move(sink)) {}
    void hold(std::unique_ptr<host::EventConnection> connection) { connection_ = std::move(connection); }

    // The sink may end this connection while it handles the click: nothing of
    // this object is touched once the sink was called.
    void Click(const ControlP& Ctrl, bool& CancelDefault) override {
        const ComPtr<IDispatch> sink = ComPtr<IDispatch>::share(sink_.get());
        VARIANT_BOOL cancel = CancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
        Variant control = controlObject(Ctrl);
        VARIANT args[2];
        V_VT(&args[0]) = VT_BOOL | VT_BYREF;
        V_BOOLREF(&args[0]) = &cancel;
        args[1] = *control.get();
        DISPPARAMS params{args, nullptr, 2, 0};
        sink->Invoke(dispatch::button_event::kClick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
        CancelDefault = cancel != VARIANT_FALSE;
    }

private:
    ComPtr<IDispatch> sink_;
    std::unique_ptr<host::EventConnection> connection_;
};

// The Click connection point of one control.
class ClickPoint final : public ConnectionPoint {
public:
    ClickPoint(ComPtr<IConnectionPointContainer> owner, ControlP control)
        : ConnectionPoint(dispatch::kButtonEventsIid, std::move(owner)), control_(std::move(control)) {}

    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        ComPtr<IDispatch> events;
        if (FAILED(sink->QueryInterface(dispatch::kButtonEventsIid, events.putVoid())) || !events) {
            return CONNECT_E_CANNOTCONNECT;
        }
        try {
            auto forwarder = std::make_unique<ClickForwarder>(std::move(events));
            forwarder->hold(control_->AdviseClick(*forwarder));
            *cookie = nextCookie_++;
            forwarders_[*cookie] = std::move(forwarder);
            return S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return forwarders_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }

private:
    ~ClickPoint() override = default;

    ControlP control_;
    std::map<DWORD, std::unique_ptr<ClickForwarder>> forwarders_;
    DWORD nextCookie_ = 1;
};

class ControlObject final
    : public win32::ComExtension<Wrapper<host::CommandBarControl>, IConnectionPointContainer> {
public:
    explicit ControlObject(ControlP control) : ComExtension(std::move(control), controlTable()) {}

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != dispatch::kButtonEventsIid) return CONNECT_E_NOCONNECTION;
        return win32::createInstance<ClickPoint>(IID_IConnectionPoint, reinterpret_cast<void**>(out),
                                                 ComPtr<IConnectionPointContainer>::share(this), target());
    }

private:
    ~ControlObject() override = default;
};

}  // namespace

Variant commandBarsObject(host::CommandBarsPtr bars) { return object(std::move(bars), barsTable()); }

Variant controlObject(host::CommandBarControlPtr control) {
    if (!control) return nothing();
    const auto made = win32::makeObject<ControlObject>(std::move(control));
    return dispatch::fromObject(static_cast<Wrapper<host::CommandBarControl>*>(made.get()));
}

}  // namespace kq::simhost
