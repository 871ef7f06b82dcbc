#pragma once
// The application events dispinterface: what the host calls on an event sink
// that it was given through the application's connection point
// (IConnectionPointContainer::FindConnectionPoint with kAppEventsIid, then
// IConnectionPoint::Advise). The façade's sink and simhost's application
// object both use this one definition.
//
// The host calls IDispatch::Invoke on the sink with DISPATCH_METHOD, the DISPID
// below and the arguments in the usual reversed order (rgvarg[0] is the last
// argument). Workbooks, windows and sheets arrive as VT_DISPATCH; Cancel and
// SaveAsUI of the "before" events as VT_BOOL | VT_BYREF (the sink may set
// Cancel; ours never does). A sink answers S_OK also to DISPIDs it does not know.
//
//   DISPID  event                arguments
//   1       WorkbookBeforePrint  Wb, Cancel (by reference)
//   2       WorkbookBeforeSave   Wb, SaveAsUI, Cancel (by reference)
//   3       WorkbookOpen         Wb
//   4       NewWorkbook          Wb
//   5       WorkbookActivate     Wb
//   6       WindowActivate       Wb, Wn
//   7       WindowDeactivate     Wb, Wn
//   8       SheetActivate        Sh
//
// A host with its own events dispinterface differs from this only in the
// identifier and the DISPIDs: this header is the one place that names them.

#include "common/win32/windows_api.h"

#include <ole2.h>

namespace kq::host::dispatch {

// {3CE8AFE2-82D0-40DD-A8FD-675CEB82AC79}
inline constexpr GUID kAppEventsIid = {
    0x3CE8AFE2, 0x82D0, 0x40DD, {0xA8, 0xFD, 0x67, 0x5C, 0xEB, 0x82, 0xAC, 0x79}};

namespace app_event {
inline constexpr DISPID kWorkbookBeforePrint = 1;
inline constexpr DISPID kWorkbookBeforeSave = 2;
inline constexpr DISPID kWorkbookOpen = 3;
inline constexpr DISPID kNewWorkbook = 4;
inline constexpr DISPID kWorkbookActivate = 5;
inline constexpr DISPID kWindowActivate = 6;
inline constexpr DISPID kWindowDeactivate = 7;
inline constexpr DISPID kSheetActivate = 8;
}  // namespace app_event

}  // namespace kq::host::dispatch
