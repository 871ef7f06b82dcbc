#pragma once
// The COM class Connect2: the ribbon bridge the host creates and connects
// through its add-in connection interface, asks for its markup through
// IRibbonExtensibility, and calls back by name through _Connect2.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "Kez_QuorvexForRibbon_h.h"
#include "common/win32/com_addin.h"
#include "common/win32/ribbon_interfaces.h"
#include "ribbon/connect2.h"
#include "ribbon/registration.h"
#include "ribbon/win32/win32_bridge_system.h"

namespace kq::ribbon::win32 {

// Every method answers S_OK whatever goes wrong inside (the host would
// otherwise show its own error for a ribbon it cannot help): only a missing
// out-pointer or a result that cannot be allocated fails.
class Connect2Object final : public kq::win32::ComAddinObject<kConnect2Class, _Connect2, kq::win32::IRibbonExtensibility,
                                                               ISupportErrorInfo> {
public:
    // Throws ComFailure when the library's type library cannot be read.
    Connect2Object();

    // IRibbonExtensibility
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;

    // _Connect2
    HRESULT STDMETHODCALLTYPE Callback_onLoad(IDispatch* ribbon) override;
    HRESULT STDMETHODCALLTYPE Callback_loadImage(BSTR strImage, IDispatch** image) override;
    HRESULT STDMETHODCALLTYPE Callback_Print_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) override;
    HRESULT STDMETHODCALLTYPE Callback_DirectPrint_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) override;
    HRESULT STDMETHODCALLTYPE Callback_Preview_onAction(IDispatch* Ctrl, VARIANT* fCancelDefault) override;
    HRESULT STDMETHODCALLTYPE Callback_getPressed(IDispatch* Ctrl, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Callback_ToggleButton_onAction(IDispatch* Ctrl, VARIANT_BOOL pressed) override;
    HRESULT STDMETHODCALLTYPE Callback_Button_onAction(IDispatch* Ctrl) override;
    HRESULT STDMETHODCALLTYPE Callback_getImage(IDispatch* Ctrl, IDispatch** image) override;
    HRESULT STDMETHODCALLTYPE Callback_getLabel(IDispatch* Ctrl, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Callback_getScreentip(IDispatch* Ctrl, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Callback_getSupertip(IDispatch* Ctrl, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Callback_getDescription(IDispatch* Ctrl, BSTR* text) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    ~Connect2Object() override = default;

    HRESULT connect(IDispatch* Application, IDispatch* AddInInst) override;
    HRESULT disconnect() override;

    using PrintCallback = void (Connect2::*)(RibbonControl&, bool&);
    HRESULT printCommand(PrintCallback callback, IDispatch* Ctrl, VARIANT* fCancelDefault);
    using TextCallback = std::string (Connect2::*)(RibbonControl&);
    HRESULT text(TextCallback callback, IDispatch* Ctrl, BSTR* text);

    Win32BridgeSystem system_;
    Connect2 connect_;
};

}  // namespace kq::ribbon::win32
