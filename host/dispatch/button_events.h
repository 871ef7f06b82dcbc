#pragma once
// The command-bar button events dispinterface: what the host calls on a sink
// that it was given through a control's connection point
// (IConnectionPointContainer::FindConnectionPoint with kButtonEventsIid on the
// control, then IConnectionPoint::Advise). The façade's sink and simhost's
// control objects both use this one definition.
//
// The host calls IDispatch::Invoke on the sink with DISPATCH_METHOD, the DISPID
// below and the arguments in the usual reversed order (rgvarg[0] is the last
// argument): the clicked control as VT_DISPATCH, then CancelDefault as
// VT_BOOL | VT_BYREF, which the sink may set to keep the control's own command
// from running. A sink answers S_OK also to DISPIDs it does not know.
//
//   DISPID  event   arguments
//   1       Click   Ctrl, CancelDefault (by reference)
//
// A host with its own events dispinterface differs from this only in the
// identifier and the DISPID: this header is the one place that names them.

#include "common/win32/windows_api.h"

#include <ole2.h>

namespace kq::host::dispatch {

// {976B984E-7276-4EFA-A581-4C7B28444C02}
inline constexpr GUID kButtonEventsIid = {
    0x976B984E, 0x7276, 0x4EFA, {0xA5, 0x81, 0x4C, 0x7B, 0x28, 0x44, 0x4C, 0x02}};

namespace button_event {
inline constexpr DISPID kClick = 1;
}  // namespace button_event

}  // namespace kq::host::dispatch
