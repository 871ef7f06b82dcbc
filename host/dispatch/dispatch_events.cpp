#include "host/dispatch/dispatch_events.h"

#include <ocidl.h>

#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "host/dispatch/app_events.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_objects.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

using win32::ComPtr;

namespace {

// What the host calls. It may keep its reference after the connection ended,
// so the connection cuts the sink off from the add-in's handlers first.
class EventSink final : public win32::LateBoundObject<IDispatch> {
public:
    explicit EventSink(ApplicationEvents& events) : events_(&events) {}

    void detach() { events_ = nullptr; }

    // The host calls by DISPID only.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        if (ids) {
            for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        }
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        ApplicationEvents* events = events_;
        if (!events || !params || (params->cArgs > 0 && !params->rgvarg)) return S_OK;
        // The add-in's handlers decide nothing for the host: whatever they
        // throw ends here and the host's action goes on.
        try {
            auto arg = [&](UINT i) -> const VARIANT& { return params->rgvarg[params->cArgs - 1 - i]; };
            auto object = [&](UINT i) { return i < params->cArgs ? toObject(arg(i)) : ComPtr<IDispatch>(); };
            switch (id) {
                case app_event::kWorkbookBeforePrint: events->WorkbookBeforePrint(makeWorkbook(object(0))); break;
                case app_event::kWorkbookBeforeSave: events->WorkbookBeforeSave(makeWorkbook(object(0))); break;
                case app_event::kWorkbookOpen: events->WorkbookOpen(makeWorkbook(object(0))); break;
                case app_event::kNewWorkbook: events->NewWorkbook(makeWorkbook(object(0))); break;
                case app_event::kWorkbookActivate: events->WorkbookActivate(makeWorkbook(object(0))); break;
                case app_event::kWindowActivate:
                    events->WindowActivate(makeWorkbook(object(0)), makeWindow(object(1)));
                    break;
                case app_event::kWindowDeactivate:
                    events->WindowDeactivate(makeWorkbook(object(0)), makeWindow(object(1)));
                    break;
                case app_event::kSheetActivate: events->SheetActivate(makeSheet(object(0))); break;
                default: break;
            }
        } catch (...) {
        }
        return S_OK;
    }

protected:
    // The events' dispinterface is served by this IDispatch.
    void* findInterface(REFIID iid) noexcept override {
        if (IsEqualIID(iid, kAppEventsIid)) return static_cast<IDispatch*>(this);
        return LateBoundObject::findInterface(iid);
    }

private:
    ~EventSink() override = default;

    ApplicationEvents* events_;
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

}  // namespace

std::unique_ptr<EventConnection> adviseApplicationEvents(IDispatch* application, ApplicationEvents& events) {
    if (!application) throw HostError(err::kObjectRequired, "Object required");
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = application->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    if (FAILED(hr)) throw errorFromResult(hr, nullptr);
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(kAppEventsIid, point.put());
    if (FAILED(hr)) throw errorFromResult(hr, nullptr);
    auto sink = win32::makeObject<EventSink>(events);
    DWORD cookie = 0;
    hr = point->Advise(sink.get(), &cookie);
    if (FAILED(hr)) {
        sink->detach();
        throw errorFromResult(hr, nullptr);
    }
    return std::make_unique<DispEventConnection>(std::move(point), std::move(sink), cookie);
}

}  // namespace kq::host::dispatch
