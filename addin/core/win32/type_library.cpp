#include "addin/core/win32/type_library.h"

#include <oleauto.h>

#include "addin/core/win32/com_boundary.h"
#include "addin/core/win32/guids.h"
#include "addin/core/win32/system_helpers.h"
#include "common/win32/module.h"

namespace kq::addin::win32 {

kq::win32::ComPtr<ITypeLib> loadOwnTypeLibrary() {
    const std::wstring path = kq::win32::thisModulePath();
    kq::win32::ComPtr<ITypeLib> library;
    // Loaded without touching the registry: the object works before and without registration.
    const HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(result)) throw ComFailure(result, "The type library of the add-in library cannot be loaded");
    return library;
}

kq::win32::ComPtr<ITypeInfo> connectTypeInfo() {
    const auto library = loadOwnTypeLibrary();
    kq::win32::ComPtr<ITypeInfo> info;
    const HRESULT result = library->GetTypeInfoOfGuid(kIidConnect, info.put());
    if (FAILED(result)) throw ComFailure(result, "The type library does not describe the add-in object");
    return info;
}

}  // namespace kq::addin::win32
