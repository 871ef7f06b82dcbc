#pragma once
// The façade's side of the host's events: sink objects that the host calls
// through the events dispinterfaces of app_events.h and button_events.h,
// forwarding to the add-in's ApplicationEvents and ButtonEvents.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <memory>

#include "host/host.h"

namespace kq::host::dispatch {

// Connects a sink to the application's events; the connection ends when the
// result is destroyed. Throws HostError when the host offers no such events.
std::unique_ptr<EventConnection> adviseApplicationEvents(IDispatch* application, ApplicationEvents& events);
// Connects a sink to the Click of a command-bar control (and of the controls
// the host counts as the same); the same ownership and failures.
std::unique_ptr<EventConnection> adviseButtonEvents(IDispatch* control, ButtonEvents& events);

}  // namespace kq::host::dispatch
