#include "host/dispatch/dispatch_events.h"

#include <ocidl.h>

#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "host/dispatch/app_events.h"
#include "host/dispatch/button_events.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_objects.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

using win32::ComPtr;

namespace {

// What the host calls for one events dispinterface. It may keep its reference
// after the connection ended, so the connection cuts the sink off from the
// add-in's handlers first.
class EventSink : public win32::LateBoundObject<IDispatch> {
public:
    virtual void detach() = 0;

    // The host calls by DISPID only.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        if (ids) {
            for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        }
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!params || (params->cArgs > 0 && !params->rgvarg)) return S_OK;
        // The add-in's handlers decide nothing for the host but what the
        // event lets them: whatever they throw ends here and the host goes on.
        try {
            deliver(id, *params);
        } catch (...) {
        }
        return S_OK;
    }

protected:
    explicit EventSink(const IID& events) : events_(events) {}
    ~EventSink() override = default;

    // Calls the handler of event `id`, when the sink is still attached.
    virtual void deliver(DISPID id, DISPPARAMS& params) = 0;

    // The i-th argument in the host's order of the event's parameters.
    static VARIANT& argument(DISPPARAMS& params, UINT i) { return params.rgvarg[params.cArgs - 1 - i]; }
    static ComPtr<IDispatch> object(DISPPARAMS& params, UINT i) {
        return i < params.cArgs ? toObject(argument(params, i)) : ComPtr<IDispatch>();
    }

    // The events' dispinterface is served by this IDispatch.
    void* findInterface(REFIID iid) noexcept override {
        if (IsEqualIID(iid, events_)) return static_cast<IDispatch*>(this);
        return LateBoundObject::findInterface(iid);
    }

private:
    const IID& events_;
};

// A sink forwarding to the add-in's handlers of `Events` until it is detached.
template <typename Events>
class SinkTo : public EventSink {
public:
    SinkTo(const IID& iid, Events& events) : EventSink(iid), events_(&events) {}
    void detach() override { events_ = nullptr; }

protected:
    ~SinkTo() override = default;
    Events* events_;
};

class ApplicationSink final : public SinkTo<ApplicationEvents> {
public:
    explicit ApplicationSink(ApplicationEvents& events) : SinkTo(kAppEventsIid, events) {}

private:
    ~ApplicationSink() override = default;

    void deliver(DISPID id, DISPPARAMS& p) override {
        ApplicationEvents* events = events_;
        if (!events) return;
        switch (id) {
            case app_event::kWorkbookBeforePrint: events->WorkbookBeforePrint(makeWorkbook(object(p, 0))); break;
            case app_event::kWorkbookBeforeSave: events->WorkbookBeforeSave(makeWorkbook(object(p, 0))); break;
            case app_event::kWorkbookOpen: events->WorkbookOpen(makeWorkbook(object(p, 0))); break;
            case app_event::kNewWorkbook: events->NewWorkbook(makeWorkbook(object(p, 0))); break;
            case app_event::kWorkbookActivate: events->WorkbookActivate(makeWorkbook(object(p, 0))); break;
            case app_event::kWindowActivate:
                events->WindowActivate(makeWorkbook(object(p, 0)), makeWindow(object(p, 1)));
                break;
            case app_event::kWindowDeactivate:
                events->WindowDeactivate(makeWorkbook(object(p, 0)), makeWindow(object(p, 1)));
                break;
            case app_event::kSheetActivate: events->SheetActivate(makeSheet(object(p, 0))); break;
            default: break;
        }
    }
};

class ButtonSink final : public SinkTo<ButtonEvents> {
public:
    explicit ButtonSink(ButtonEvents& events) : SinkTo(kButtonEventsIid, events) {}

private:
    ~ButtonSink() override = default;

    void deliver(DISPID id, DISPPARAMS& p) override {
        ButtonEvents* events = events_;
        if (!events || id != button_event::kClick || p.cArgs < 2) return;
        VARIANT& cancelDefault = argument(p, 1);
        bool cancel = toBool(cancelDefault);
        events->Click(makeControl(object(p, 0)), cancel);
        if (V_VT(&cancelDefault) == (VT_BOOL | VT_BYREF) && V_BOOLREF(&cancelDefault)) {
            *V_BOOLREF(&cancelDefault) = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
    }
};

class DispEventConnection final : public EventConnection {
public:
    DispEventConnection(ComPtr<IConnectionPoint> point, ComPtr<EventSink> sink, DWORD cookie)
        : point_(std::move(point)), sink_(std::move(sink)), cookie_(cookie) {}
    ~DispEventConnection() override {
        sink_->detach();
        point_->Unadvise(cookie_);
    }

private:
    ComPtr<IConnectionPoint> point_;
    ComPtr<EventSink> sink_;
    DWORD cookie_;
};

// Gives `sink` to the source's connection point for the events `iid`.
std::unique_ptr<EventConnection> connect(IDispatch* source, const IID& iid, ComPtr<EventSink> sink) {
    if (!source) throw HostError(err::kObjectRequired, "Object required");
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    if (FAILED(hr)) throw errorFromResult(hr, nullptr);
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(iid, point.put());
    if (FAILED(hr)) throw errorFromResult(hr, nullptr);
    DWORD cookie = 0;
    hr = point->Advise(sink.get(), &cookie);
    if (FAILED(hr)) {
        sink->detach();
        throw errorFromResult(hr, nullptr);
    }
    return std::make_unique<DispEventConnection>(std::move(point), std::move(sink), cookie);
}

}  // namespace

std::unique_ptr<EventConnection> adviseApplicationEvents(IDispatch* application, ApplicationEvents& events) {
    return connect(application, kAppEventsIid, win32::makeObject<ApplicationSink>(events));
}

std::unique_ptr<EventConnection> adviseButtonEvents(IDispatch* control, ButtonEvents& events) {
    return connect(control, kButtonEventsIid, win32::makeObject<ButtonSink>(events));
}

}  // namespace kq::host::dispatch
