#include "addin/core/win32/type_library.h"

#include "addin/core/win32/guids.h"
#include "common/win32/com_object.h"

namespace kq::addin::win32 {

kq::win32::ComPtr<ITypeLib> loadOwnTypeLibrary() { return kq::win32::loadModuleTypeLibrary(); }

kq::win32::ComPtr<ITypeInfo> connectTypeInfo() { return kq::win32::loadModuleTypeInfo(kIidConnect); }

}  // namespace kq::addin::win32
