#include "addin/core/win32/connect_object.h"

#include "addin/core/win32/com_boundary.h"
#include "addin/core/win32/guids.h"
#include "common/win32/module.h"
#include "host/dispatch/dispatch_host.h"

namespace kq::addin::win32 {

ConnectObject::ConnectObject() : connect_(system_, AddinProcedures()) { reportWindowFailures(); }

HRESULT ConnectObject::OnConnection(IDispatch* Application, kq::win32::ext_ConnectMode, IDispatch* AddInInst,
                                    SAFEARRAY**) {
    return comBoundary(kq::win32::IID_IDTExtensibility2, [&] {
        if (!Application || !AddInInst) throw ComFailure(E_INVALIDARG, "The host gave no application or add-in entry");
        const host::ApplicationPtr application = host::dispatch::wrapApplication(Application);
        const host::AddInEntryPtr entry = host::dispatch::wrapAddInEntry(AddInInst);
        // The entry then holds this object as VT_DISPATCH, the way callers reach it by name.
        const host::LateBoundPtr self = host::dispatch::wrapLateBound(static_cast<_Connect*>(this));
        connect_.AddinInstance_OnConnection(application, entry, self);
    });
}

HRESULT ConnectObject::OnDisconnection(kq::win32::ext_DisconnectMode, SAFEARRAY**) {
    // The windows go first: a modal one ends its run as by Cancel, and the
    // code waiting on it returns once this call has returned to its loop.
    kq::win32::closeOpenWindows();
    return comBoundary(kq::win32::IID_IDTExtensibility2, [&] { connect_.AddinInstance_OnDisconnection(); });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) {
    kq::win32::closeOpenWindows();
    return S_OK;
}

HRESULT ConnectObject::CallForXLA_WorkbookAfterPrint() {
    return comBoundary(kIidConnect, [&] { connect_.CallForXLA_WorkbookAfterPrint(); });
}

HRESULT ConnectObject::CallForRibbon_GetThisSheetCheckEnabled(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    return comBoundary(kIidConnect, [&] {
        *result = connect_.CallForRibbon_GetThisSheetCheckEnabled() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT ConnectObject::CallForRibbon_PrintOrPreview_onAction(LONG* lngValue) {
    if (!lngValue) return E_POINTER;
    return comBoundary(kIidConnect, [&] {
        std::int32_t value = *lngValue;
        connect_.CallForRibbon_PrintOrPreview_onAction(value);
        *lngValue = value;
    });
}

HRESULT ConnectObject::CallForRibbon_ThisSheetCheck() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_ThisSheetCheck(); });
}
HRESULT ConnectObject::CallForRibbon_OpenHistory() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_OpenHistory(); });
}
HRESULT ConnectObject::CallForRibbon_GoToHomePage() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_GoToHomePage(); });
}
HRESULT ConnectObject::CallForRibbon_Setting() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_Setting(); });
}
HRESULT ConnectObject::CallForRibbon_Help() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_Help(); });
}
HRESULT ConnectObject::CallForRibbon_About() {
    return comBoundary(kIidConnect, [&] { connect_.CallForRibbon_About(); });
}

HRESULT ConnectObject::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, kIidConnect) || IsEqualIID(iid, kq::win32::IID_IDTExtensibility2) ? S_OK : S_FALSE;
}

}  // namespace kq::addin::win32
