#pragma once
// The host's command bars as IDispatch objects, answering by the host's member
// names: the CommandBars collection, each bar with its Controls, and the
// controls, which also offer their Click through a connection point
// (host/dispatch/button_events.h).

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "common/win32/com.h"
#include "host/host.h"

namespace kq::simhost {

// Each gives Nothing for an empty pointer.
win32::Variant commandBarsObject(host::CommandBarsPtr bars);
win32::Variant controlObject(host::CommandBarControlPtr control);

}  // namespace kq::simhost
