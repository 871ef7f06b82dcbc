#pragma once
// The host's ribbon interfaces, as a ribbon host and a ribbon add-in call each
// other by their virtual tables: the add-in's markup source, the ribbon the
// host hands to the markup's onLoad callback, and the control every callback
// receives. The system's SDK headers here do not declare them. All three are
// dual: callers may equally reach them by name (dispatch ids below).

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "common/win32/com.h"

namespace kq::win32 {

// {000C0396-0000-0000-C000-000000000046}
inline constexpr GUID IID_IRibbonExtensibility = {
    0x000C0396, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {000C03A7-0000-0000-C000-000000000046}
inline constexpr GUID IID_IRibbonUI = {0x000C03A7, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {000C0395-0000-0000-C000-000000000046}
inline constexpr GUID IID_IRibbonControl = {
    0x000C0395, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace ribbon_dispid {
inline constexpr DISPID kGetCustomUI = 1;

inline constexpr DISPID kInvalidate = 1;
inline constexpr DISPID kInvalidateControl = 2;
inline constexpr DISPID kInvalidateControlMso = 3;
inline constexpr DISPID kActivateTab = 4;
inline constexpr DISPID kActivateTabMso = 5;
inline constexpr DISPID kActivateTabQ = 6;

inline constexpr DISPID kId = 1;
inline constexpr DISPID kContext = 2;
inline constexpr DISPID kTag = 3;
}  // namespace ribbon_dispid

// What an add-in gives the host's ribbon: its markup, asked once per ribbon
// (`RibbonID` names the kind of window; one workbook ribbon here).
struct IRibbonExtensibility : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) = 0;
};

// The ribbon built from an add-in's markup. Invalidate and InvalidateControl
// are there from the first ribbon host on; the later methods came with later
// hosts and sit after them in the table.
struct IRibbonUI : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR ControlID) = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR ControlID) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR ControlID) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR ControlID) = 0;
    virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR ControlID, BSTR Namespace) = 0;
};

// The control a callback is about: its id and tag as the markup gives them,
// and the window it sits in.
struct IRibbonControl : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* Id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** Context) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* Tag) = 0;
};

template <>
struct InterfaceId<IRibbonExtensibility> {
    static const IID& get() { return IID_IRibbonExtensibility; }
};
template <>
struct InterfaceId<IRibbonUI> {
    static const IID& get() { return IID_IRibbonUI; }
};
template <>
struct InterfaceId<IRibbonControl> {
    static const IID& get() { return IID_IRibbonControl; }
};

}  // namespace kq::win32
