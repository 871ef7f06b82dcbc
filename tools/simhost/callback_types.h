#pragma once
// How an add-in object's own type information declares the method a callback
// name resolves to, read from the ITypeInfo its IDispatch gives: the host
// compares it with what it will pass (host/sim/ribbon/callback_signatures.h)
// before it takes the markup.

#include "common/win32/windows_api.h"

#include <oaidl.h>

#include <optional>

#include "common/win32/com.h"
#include "host/sim/ribbon/callback_signatures.h"

namespace kq::simhost {

// The object's own type information; none when it gives none.
win32::ComPtr<ITypeInfo> typeInformation(IDispatch* object);

// The method of that id as the type information declares it, in the type or
// the interfaces it derives from (or, for a class, implements); a property of
// the id when there is no method; none when there is no member of that id.
std::optional<host::sim::ribbon::DeclaredMethod> declaredMethod(ITypeInfo* info, DISPID id);

}  // namespace kq::simhost
