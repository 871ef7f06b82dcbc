#include "ribbon/win32/connect2_object.h"

#include <new>

#include "common/win32/wide.h"
#include "host/dispatch/dispatch_host.h"
#include "host/dispatch/variant_convert.h"
#include "ribbon/win32/host_ribbon.h"
#include "ribbon/win32/pictures.h"

namespace kq::ribbon::win32 {

namespace {

// Runs `body`; nothing it throws reaches the host, which gets S_OK and
// whatever results were set before, except that memory running out is told.
template <typename Body>
HRESULT quietly(Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return S_OK;
    }
}

HRESULT newBstr(const std::string& text, BSTR* out) {
    const std::wstring wide = kq::win32::wide(text);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The host's own command runs after the repurposing callback: False, written
// through whatever reference the host passed.
void letTheCommandRun(VARIANT* cancel) {
    if (!cancel) return;
    if (V_VT(cancel) == (VT_BOOL | VT_BYREF) && V_BOOLREF(cancel)) {
        *V_BOOLREF(cancel) = VARIANT_FALSE;
    } else if (V_VT(cancel) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(cancel)) {
        letTheCommandRun(V_VARIANTREF(cancel));
    } else {
        VariantClear(cancel);
        V_VT(cancel) = VT_BOOL;
        V_BOOL(cancel) = VARIANT_FALSE;
    }
}

}  // namespace

Connect2Object::Connect2Object() : connect_(system_) {}

HRESULT Connect2Object::connect(IDispatch* Application, IDispatch* AddInInst) {
    return quietly([&] {
        if (!Application || !AddInInst) return;
        const host::AddInEntryPtr entry = host::dispatch::wrapAddInEntry(AddInInst);
        // The entry then holds this object as VT_DISPATCH, the way the host binds the callbacks by name.
        connect_.AddinInstance_OnConnection(host::dispatch::wrapApplication(Application), *entry,
                                            host::dispatch::wrapLateBound(static_cast<_Connect2*>(this)));
    });
}

HRESULT Connect2Object::disconnect() {
    return quietly([&] { connect_.AddinInstance_OnDisconnection(); });
}

HRESULT Connect2Object::GetCustomUI(BSTR, BSTR* RibbonXml) {
    if (!RibbonXml) return E_POINTER;
    *RibbonXml = nullptr;
    std::string markup;
    const HRESULT result = quietly([&] { markup = connect_.IRibbonExtensibility_GetCustomUI(); });
    if (FAILED(result)) return result;
    return newBstr(markup, RibbonXml);
}

HRESULT Connect2Object::Callback_onLoad(IDispatch* ribbon) {
    return quietly([&] { connect_.Callback_onLoad(wrapRibbonUi(ribbon)); });
}

HRESULT Connect2Object::Callback_loadImage(BSTR strImage, IDispatch** image) {
    if (!image) return E_POINTER;
    *image = nullptr;
    return quietly([&] {
        const std::string name = kq::win32::narrow(std::wstring_view(strImage, SysStringLen(strImage)));
        *image = detachedDispatch(connect_.Callback_loadImage(name));
    });
}

HRESULT Connect2Object::printCommand(PrintCallback callback, IDispatch* Ctrl, VARIANT* fCancelDefault) {
    // Before anything can fail: a failing bridge never stops the host's printing.
    letTheCommandRun(fCancelDefault);
    return quietly([&] {
        HostRibbonControl control(Ctrl);
        bool cancel = false;
        (connect_.*callback)(control, cancel);
    });
}

HRESULT Connect2Object::Callback_Print_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) {
    return printCommand(&Connect2::Callback_Print_onAction, Ctrl, fCancelDefault);
}
HRESULT Connect2Object::Callback_DirectPrint_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) {
    return printCommand(&Connect2::Callback_DirectPrint_onAction, Ctrl, fCancelDefault);
}
HRESULT Connect2Object::Callback_Preview_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) {
    return printCommand(&Connect2::Callback_Preview_onAction, Ctrl, fCancelDefault);
}

HRESULT Connect2Object::Callback_getPressed(IDispatch* Ctrl, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    return quietly([&] {
        HostRibbonControl control(Ctrl);
        *result = host::dispatch::fromValue(connect_.Callback_getPressed(control)).detach();
    });
}

HRESULT Connect2Object::Callback_ToggleButton_onAction(IDispatch* Ctrl, VARIANT_BOOL pressed) {
    return quietly([&] {
        HostRibbonControl control(Ctrl);
        connect_.Callback_ToggleButton_onAction(control, pressed != VARIANT_FALSE);
    });
}

HRESULT Connect2Object::Callback_Button_onAction(IDispatch* Ctrl) {
    return quietly([&] {
        HostRibbonControl control(Ctrl);
        connect_.Callback_Button_onAction(control);
    });
}

HRESULT Connect2Object::Callback_getImage(IDispatch* Ctrl, IDispatch** image) {
    if (!image) return E_POINTER;
    *image = nullptr;
    return quietly([&] {
        HostRibbonControl control(Ctrl);
        *image = detachedDispatch(connect_.Callback_getImage(control));
    });
}

HRESULT Connect2Object::text(TextCallback callback, IDispatch* Ctrl, BSTR* text) {
    if (!text) return E_POINTER;
    *text = nullptr;
    std::string value;
    const HRESULT result = quietly([&] {
        HostRibbonControl control(Ctrl);
        value = (connect_.*callback)(control);
    });
    if (FAILED(result)) return result;
    return newBstr(value, text);
}

HRESULT Connect2Object::Callback_getLabel(IDispatch* Ctrl, BSTR* text) {
    return this->text(&Connect2::Callback_getLabel, Ctrl, text);
}
HRESULT Connect2Object::Callback_getScreentip(IDispatch* Ctrl, BSTR* text) {
    return this->text(&Connect2::Callback_getScreentip, Ctrl, text);
}
HRESULT Connect2Object::Callback_getSupertip(IDispatch* Ctrl, BSTR* text) {
    return this->text(&Connect2::Callback_getSupertip, Ctrl, text);
}
HRESULT Connect2Object::Callback_getDescription(IDispatch* Ctrl, BSTR* text) {
    return this->text(&Connect2::Callback_getDescription, Ctrl, text);
}

HRESULT Connect2Object::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, kIid) ? S_OK : S_FALSE;
}

}  // namespace kq::ribbon::win32

namespace kq::win32 {
constinit const ServedAddin kServedAddin = servedAddinOf<ribbon::win32::Connect2Object>();
}  // namespace kq::win32
