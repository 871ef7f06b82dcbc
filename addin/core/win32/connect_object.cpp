#include "addin/core/win32/connect_object.h"

#include "addin/core/win32/com_boundary.h"
#include "common/win32/module.h"
#include "host/dispatch/dispatch_host.h"

namespace kq::addin::win32 {

ConnectObject::ConnectObject() : connect_(system_, AddinProcedures()) { reportWindowFailures(); }

HRESULT ConnectObject::connect(IDispatch* Application, IDispatch* AddInInst) {
    return comBoundary(kq::win32::IID_IDTExtensibility2, [&] {
        if (!Application || !AddInInst) throw ComFailure(E_INVALIDARG, "The host gave no application or add-in entry");
        const host::ApplicationPtr application = host::dispatch::wrapApplication(Application);
        const host::AddInEntryPtr entry = host::dispatch::wrapAddInEntry(AddInInst);
        // The entry then holds this object as VT_DISPATCH, the way callers reach it by name.
        const host::LateBoundPtr self = host::dispatch::wrapLateBound(static_cast<_Connect*>(this));
        connect_.AddinInstance_OnConnection(application, entry, self);
    });
}

HRESULT ConnectObject::disconnect() {
    // The windows go first: a modal one ends its run as by Cancel, and the
    // code waiting on it returns once this call has returned to its loop.
    kq::win32::closeOpenWindows();
    return comBoundary(kq::win32::IID_IDTExtensibility2, [&] { connect_.AddinInstance_OnDisconnection(); });
}

void ConnectObject::beginShutdown() noexcept { kq::win32::closeOpenWindows(); }

HRESULT ConnectObject::CallForXLA_WorkbookAfterPrint() {
    return comBoundary(kIid, [&] { connect_.CallForXLA_WorkbookAfterPrint(); });
}

HRESULT ConnectObject::CallForRibbon_GetThisSheetCheckEnabled(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    return comBoundary(kIid, [&] {
        *result = connect_.CallForRibbon_GetThisSheetCheckEnabled() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT ConnectObject::CallForRibbon_PrintOrPreview_onAction(LONG* lngValue) {
    if (!lngValue) return E_POINTER;
    return comBoundary(kIid, [&] {
        std::int32_t value = *lngValue;
        connect_.CallForRibbon_PrintOrPreview_onAction(value);
        *lngValue = value;
    });
}

HRESULT ConnectObject::CallForRibbon_ThisSheetCheck() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_ThisSheetCheck(); });
}
HRESULT ConnectObject::CallForRibbon_OpenHistory() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_OpenHistory(); });
}
HRESULT ConnectObject::CallForRibbon_GoToHomePage() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_GoToHomePage(); });
}
HRESULT ConnectObject::CallForRibbon_Setting() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_Setting(); });
}
HRESULT ConnectObject::CallForRibbon_Help() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_Help(); });
}
HRESULT ConnectObject::CallForRibbon_About() {
    return comBoundary(kIid, [&] { connect_.CallForRibbon_About(); });
}

HRESULT ConnectObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, kIid) || IsEqualIID(iid, kq::win32::IID_IDTExtensibility2) ? S_OK : S_FALSE;
}

}  // namespace kq::addin::win32

namespace kq::win32 {
constinit const ServedAddin kServedAddin = servedAddinOf<addin::win32::ConnectObject>();
}  // namespace kq::win32
