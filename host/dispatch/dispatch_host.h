#pragma once
// The host façade over late-bound IDispatch: how the add-ins reach the real
// host (and simhost.exe). Nothing outside host/dispatch calls IDispatch::Invoke
// on host objects. Host errors (DISP_E_EXCEPTION and failed results) become
// kq::host::HostError with the host's number and description.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "host/host.h"

namespace kq::host::dispatch {

// The host application object handed to the add-in at connection.
ApplicationPtr wrapApplication(IDispatch* application);
// The add-in's entry in the host's COM add-in list (the AddInInst of the connection).
AddInEntryPtr wrapAddInEntry(IDispatch* entry);
// Any object called late-bound by name.
LateBoundPtr wrapLateBound(IDispatch* object);

}  // namespace kq::host::dispatch
