#pragma once
// The COM class Connect: the add-in object the host creates, connects and
// disconnects through its add-in connection interface, and that the ribbon
// bridge and the helper workbook call through _Connect, early or late bound.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "Kez_Quorvex_h.h"
#include "addin/core/connect.h"
#include "addin/core/registration.h"
#include "addin/core/win32/win32_addin_system.h"
#include "common/win32/com_addin.h"

namespace kq::addin::win32 {

// IDispatch, of _Connect and of the connection interface alike, comes from
// _Connect's type information: callers reach the methods by name in any letter case.
class ConnectObject final : public kq::win32::ComAddinObject<kConnectClass, _Connect, ISupportErrorInfo> {
public:
    // Throws ComFailure when the library's type library cannot be read.
    ConnectObject();

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

    HRESULT connect(IDispatch* Application, IDispatch* AddInInst) override;
    HRESULT disconnect() override;
    void beginShutdown() noexcept override;

    Win32AddinSystem system_;
    Connect connect_;
};

}  // namespace kq::addin::win32
