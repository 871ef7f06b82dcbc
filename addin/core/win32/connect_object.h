#pragma once
// The COM class Connect: the add-in object the host creates, connects and
// disconnects through its add-in connection interface, and that the ribbon
// bridge and the helper workbook call through _Connect, early or late bound.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "Kez_Quorvex_h.h"
#include "addin/core/connect.h"
#include "addin/core/win32/win32_addin_system.h"
#include "common/win32/com.h"
#include "common/win32/extensibility.h"

namespace kq::addin::win32 {

class ConnectObject final : public _Connect, public kq::win32::IDTExtensibility2, public ISupportErrorInfo {
public:
    // A new object, answering `iid`.
    static HRESULT create(REFIID iid, void** object) noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, from the type library: names in any letter case.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

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
    explicit ConnectObject(kq::win32::ComPtr<ITypeInfo> typeInfo);
    ~ConnectObject();
    ConnectObject(const ConnectObject&) = delete;
    ConnectObject& operator=(const ConnectObject&) = delete;

    LONG references_ = 1;
    kq::win32::ComPtr<ITypeInfo> typeInfo_;
    Win32AddinSystem system_;
    Connect connect_;
};

}  // namespace kq::addin::win32
