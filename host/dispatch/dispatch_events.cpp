#include "host/dispatch/dispatch_events.h"

#include <ocidl.h>

#include "common/win32/com.h"
#include "host/dispatch/app_events.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_objects.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

using win32::ComPtr;

namespace {

// What the host calls. It may keep its reference after the connection ended,
// so the connection cuts the sink off from the add-in's handlers first.
class EventSink final : public IDispatch {
public:
    explicit EventSink(ApplicationEvents& events) : events_(&events) {}

    void detach() { events_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kAppEventsIid) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        ApplicationEvents* events = events_;
        if (!events || !params) return S_OK;
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

private:
    ~EventSink() = default;

    LONG references_ = 1;
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
    auto sink = ComPtr<EventSink>::adopt(new EventSink(events));
    DWORD cookie = 0;
    hr = point->Advise(sink.get(), &cookie);
    if (FAILED(hr)) {
        sink->detach();
        throw errorFromResult(hr, nullptr);
    }
    return std::make_unique<DispEventConnection>(std::move(point), std::move(sink), cookie);
}

}  // namespace kq::host::dispatch
