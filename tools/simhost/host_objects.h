#pragma once
// The host's objects as IDispatch, answering by the host's member names: each
// wraps a façade object of host/host.h (the simulated host's, in simhost), so
// that add-ins reach the model through the same late-bound calls they make on
// the real host. The application object also offers the application events
// through a connection point (host/dispatch/app_events.h).

#include "common/win32/windows_api.h"

#include <ocidl.h>

#include <memory>
#include <utility>
#include <vector>

#include "common/win32/com.h"
#include "host/host.h"
#include "tools/simhost/dispatch_object.h"

namespace kq::simhost {

const Table<host::Application>& applicationTable();

class ApplicationObject final : public win32::ComExtension<Wrapper<host::Application>, IConnectionPointContainer> {
public:
    static win32::ComPtr<ApplicationObject> create(host::ApplicationPtr application);
    explicit ApplicationObject(host::ApplicationPtr application);

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // For the connection point.
    HRESULT advise(IUnknown* sink, DWORD* cookie);
    HRESULT unadvise(DWORD cookie);
    // Drops every sink still connected, as the host does when it closes.
    void disconnectAll();
    std::size_t sinkCount() const { return sinks_.size(); }

    // Calls every sink with the event's DISPID and arguments (in order).
    void raise(DISPID id, std::vector<win32::Variant> args);

private:
    ~ApplicationObject() override;

    class Forwarder;
    std::unique_ptr<Forwarder> forwarder_;
    std::unique_ptr<host::EventConnection> connection_;
    std::vector<std::pair<DWORD, win32::ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

// The entry of the COM add-in list, as the AddInInst of a connection.
win32::ComPtr<IDispatch> wrapAddInEntry(host::AddInEntryPtr entry);
// Other objects, for tests that start below the application.
win32::ComPtr<IDispatch> wrapWorkbook(host::WorkbookPtr workbook);
win32::ComPtr<IDispatch> wrapRange(host::RangePtr range);

}  // namespace kq::simhost
