#pragma once
// The COM class Connect: the add-in object the host creates, connects and
// disconnects through its add-in connection interface, and that the ribbon
// bridge and the helper workbook call through _Connect, early or late bound.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "Kez_Quorvex_h.h"
#include "addin/core/connect.h"
#include "addin/core/win32/win32_addin_system.h"
#include "common/win32/com_object.h"
#include "common/win32/extensibility.h"

namespace kq::addin::win32 {

// IDispatch, of _Connect and of the connection interface alike, comes from
// _Connect's type information: callers reach the methods by name in any letter case.
class ConnectObject final
    : public kq::win32::DualObject<_Connect, kq::win32::IDTExtensibility2, ISupportErrorInfo> {
public:
    // Throws ComFailure when the library's type library cannot be read.
    ConnectObject();

    // The host's add-in connection interface.
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, kq::win32::ext_ConnectMode ConnectMode,
                                           IDispatch* AddInInst, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(kq::win32::ext_DisconnectMode RemoveMode, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

    // _Connect
    HRESULT STDMETHODCALLTYPE CallForXLA_WorkbookAfterPrint() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_GetThisSheetCheckEnabled(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_PrintOrPreview_onAction(LONG* lngValue) override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_ThisSheetCheck() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_OpenHistory() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_GoToHomePage() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_Setting() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_Help() override;
    HRESULT STDMETHODCALLTYPE CallForRibbon_About() override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
    ~ConnectObject() override = default;

    Win32AddinSystem system_;
    Connect connect_;
};

}  // namespace kq::addin::win32
