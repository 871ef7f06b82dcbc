#include "addin/core/win32/type_library.h"

#include "addin/core/win32/connect_object.h"
#include "common/win32/com_object.h"

namespace kq::addin::win32 {

kq::win32::ComPtr<ITypeLib> loadOwnTypeLibrary() { return kq::win32::loadModuleTypeLibrary(); }

kq::win32::ComPtr<ITypeInfo> connectTypeInfo() { return kq::win32::loadModuleTypeInfo(ConnectObject::kIid); }

}  // namespace kq::addin::win32
