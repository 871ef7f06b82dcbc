#include "addin/core/win32/connect_object.h"

#include <oleauto.h>

#include <utility>

#include "addin/core/win32/class_factory.h"
#include "addin/core/win32/com_boundary.h"
#include "addin/core/win32/guids.h"
#include "addin/core/win32/type_library.h"
#include "host/dispatch/dispatch_host.h"

namespace kq::addin::win32 {

HRESULT ConnectObject::create(REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    HRESULT answer = S_OK;
    const HRESULT made = comBoundary(iid, [&] {
        auto* connect = new ConnectObject(connectTypeInfo());
        answer = connect->QueryInterface(iid, object);
        connect->Release();
    });
    return FAILED(made) ? made : answer;
}

ConnectObject::ConnectObject(kq::win32::ComPtr<ITypeInfo> typeInfo)
    : typeInfo_(std::move(typeInfo)), connect_(system_, AddinProcedures()) {
    lockModule();
}

ConnectObject::~ConnectObject() { unlockModule(); }

HRESULT ConnectObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidConnect)) {
        *object = static_cast<_Connect*>(this);
    } else if (IsEqualIID(iid, kq::win32::IID_IDTExtensibility2)) {
        *object = static_cast<kq::win32::IDTExtensibility2*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
        *object = static_cast<ISupportErrorInfo*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ConnectObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ConnectObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT ConnectObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT ConnectObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    typeInfo_->AddRef();
    *info = typeInfo_.get();
    return S_OK;
}

HRESULT ConnectObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return typeInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT ConnectObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return typeInfo_->Invoke(static_cast<_Connect*>(this), id, flags, params, result, exception, argumentError);
}

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
    return comBoundary(kq::win32::IID_IDTExtensibility2, [&] { connect_.AddinInstance_OnDisconnection(); });
}

HRESULT ConnectObject::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnStartupComplete(SAFEARRAY**) { return S_OK; }
HRESULT ConnectObject::OnBeginShutdown(SAFEARRAY**) { return S_OK; }

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
