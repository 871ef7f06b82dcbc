#pragma once
// The host façade over late-bound IDispatch: how the add-ins reach the real
// host (and simhost.exe). Nothing outside host/dispatch calls IDispatch::Invoke
// on host objects. Host errors (DISP_E_EXCEPTION and failed results) become
// kq::host::HostError with the host's number and description; no other
// exception leaves a façade call.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <memory>

#include "host/host.h"

namespace kq::host::dispatch {

// The host application object handed to the add-in at connection.
ApplicationPtr wrapApplication(IDispatch* application);
// The add-in's entry in the host's COM add-in list (the AddInInst of the connection).
AddInEntryPtr wrapAddInEntry(IDispatch* entry);
// Any object called late-bound by name.
LateBoundPtr wrapLateBound(IDispatch* object);

// What every façade object made here is besides its host.h interface.
class DispatchBacked {
public:
    virtual ~DispatchBacked() = default;
    // The host's object behind it; valid while the façade object lives.
    virtual IDispatch* dispatch() const = 0;
};

// The IDispatch behind a façade object made here (no reference added), or
// null for an object of another implementation.
template <typename T>
IDispatch* dispatchOf(const std::shared_ptr<T>& object) {
    const auto* backed = dynamic_cast<const DispatchBacked*>(object.get());
    return backed ? backed->dispatch() : nullptr;
}

}  // namespace kq::host::dispatch
