#include "common/win32/com_object.h"

#include <oleauto.h>

#include "common/win32/module.h"

namespace kq::win32 {

ComPtr<ITypeLib> loadModuleTypeLibrary() {
    const std::wstring path = thisModulePath();
    if (path.empty()) throw ComFailure(HRESULT_FROM_WIN32(GetLastError()), "The module's file cannot be named");
    ComPtr<ITypeLib> library;
    const HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(result)) throw ComFailure(result, "The module's type library cannot be loaded");
    return library;
}

ComPtr<ITypeInfo> loadModuleTypeInfo(REFIID iid) {
    ComPtr<ITypeInfo> info;
    const HRESULT result = loadModuleTypeLibrary()->GetTypeInfoOfGuid(iid, info.put());
    if (FAILED(result)) throw ComFailure(result, "The module's type library does not describe the interface");
    return info;
}

TypeInfoDispatch::TypeInfoDispatch(REFIID iid) : typeInfo_(loadModuleTypeInfo(iid)) {}

HRESULT TypeInfoDispatch::getTypeInfoCount(UINT* count) const noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TypeInfoDispatch::getTypeInfo(UINT index, ITypeInfo** info) const noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    typeInfo_->AddRef();
    *info = typeInfo_.get();
    return S_OK;
}

HRESULT TypeInfoDispatch::getIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) const noexcept {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (count > 0 && (!names || !ids)) return E_POINTER;
    return typeInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT TypeInfoDispatch::invoke(IDispatch* self, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) const noexcept {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_INVALIDARG;
    return typeInfo_->Invoke(self, id, flags, params, result, exception, argumentError);
}

HRESULT getClassObject(std::span<const ServedClass> classes, REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const ServedClass& served : classes) {
        if (IsEqualCLSID(clsid, *served.clsid)) return served.classObject(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace kq::win32
