#pragma once
// The façade's side of the application events: a sink object that the host
// calls through the events dispinterface of app_events.h, forwarding to the
// add-in's ApplicationEvents.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <memory>

#include "host/host.h"

namespace kq::host::dispatch {

// Connects a sink to the application's events; the connection ends when the
// result is destroyed. Throws HostError when the host offers no such events.
std::unique_ptr<EventConnection> adviseApplicationEvents(IDispatch* application, ApplicationEvents& events);

}  // namespace kq::host::dispatch
