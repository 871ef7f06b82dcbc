#include "tools/simhost/callback_types.h"

namespace kq::simhost {

namespace {

namespace rb = kq::host::sim::ribbon;
using rb::DeclaredKind;
using win32::ComPtr;

// Interfaces deriving from one another are followed this far, and aliases as deep.
constexpr int kDeepest = 8;

ComPtr<ITypeInfo> referencedType(ITypeInfo* info, HREFTYPE reference) {
    ComPtr<ITypeInfo> referenced;
    if (FAILED(info->GetRefTypeInfo(reference, referenced.put()))) return {};
    return referenced;
}

rb::DeclaredType declaredType(ITypeInfo* info, const TYPEDESC& type, int depth);

// A type of the library: an alias reads as what it stands for, an enumeration
// as a number, an interface as an object.
rb::DeclaredType userDefined(ITypeInfo* info, HREFTYPE reference, int depth) {
    const ComPtr<ITypeInfo> referenced = referencedType(info, reference);
    if (!referenced || depth > kDeepest) return {};
    const auto attributes = win32::typeAttributes(referenced.get());
    if (!attributes) return {};
    switch (attributes->typekind) {
        case TKIND_ALIAS: return declaredType(referenced.get(), attributes->tdescAlias, depth + 1);
        case TKIND_ENUM: return {DeclaredKind::number, false};
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
        case TKIND_COCLASS: return {DeclaredKind::object, false};
        default: return {};
    }
}

bool isInterface(ITypeInfo* info, const TYPEDESC& type) {
    return type.vt == VT_USERDEFINED && userDefined(info, type.hreftype, 0).kind == DeclaredKind::object;
}

// One pointer makes a value by reference, except the pointer that is an
// interface's own (IRibbonControl* is an object given by value).
rb::DeclaredType declaredType(ITypeInfo* info, const TYPEDESC& type, int depth) {
    switch (type.vt) {
        case VT_PTR: {
            if (!type.lptdesc) return {};
            if (isInterface(info, *type.lptdesc)) return {DeclaredKind::object, false};
            if (depth > 0) return {};
            rb::DeclaredType pointee = declaredType(info, *type.lptdesc, depth + 1);
            pointee.byReference = true;
            return pointee;
        }
        case VT_USERDEFINED: return userDefined(info, type.hreftype, depth);
        case VT_VARIANT: return {DeclaredKind::variant, false};
        case VT_DISPATCH:
        case VT_UNKNOWN: return {DeclaredKind::object, false};
        case VT_BOOL: return {DeclaredKind::truth, false};
        case VT_BSTR: return {DeclaredKind::text, false};
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_DECIMAL: return {DeclaredKind::number, false};
        default: return {};
    }
}

// The answer is the [retval] parameter of an interface's method, or the
// declared result of a dispatch interface's.
rb::DeclaredMethod methodOf(ITypeInfo* info, const FUNCDESC& function) {
    rb::DeclaredMethod method;
    method.isMethod = function.invkind == INVOKE_FUNC;
    for (SHORT i = 0; i < function.cParams; ++i) {
        const ELEMDESC& element = function.lprgelemdescParam[i];
        const USHORT flags = element.paramdesc.wParamFlags;
        rb::DeclaredType type = declaredType(info, element.tdesc, 0);
        if (flags & PARAMFLAG_FRETVAL) {
            type.byReference = false;
            method.result = type;
            continue;
        }
        method.parameters.push_back({type, (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0});
    }
    const VARTYPE result = function.elemdescFunc.tdesc.vt;
    if (!method.result && result != VT_VOID && result != VT_HRESULT && result != VT_EMPTY) {
        method.result = declaredType(info, function.elemdescFunc.tdesc, 0);
    }
    return method;
}

std::optional<rb::DeclaredMethod> findMethod(ITypeInfo* info, DISPID id, int depth) {
    const auto attributes = win32::typeAttributes(info);
    if (!attributes) return std::nullopt;
    std::optional<rb::DeclaredMethod> property;
    for (WORD i = 0; i < attributes->cFuncs; ++i) {
        const auto function = win32::functionDescription(info, i);
        if (!function || function->memid != id) continue;
        rb::DeclaredMethod method = methodOf(info, *function);
        if (method.isMethod) return method;
        property = std::move(method);
    }
    if (depth >= kDeepest) return property;
    for (WORD i = 0; i < attributes->cImplTypes; ++i) {
        HREFTYPE reference = 0;
        if (FAILED(info->GetRefTypeOfImplType(i, &reference))) continue;
        const ComPtr<ITypeInfo> base = referencedType(info, reference);
        if (!base) continue;
        std::optional<rb::DeclaredMethod> found = findMethod(base.get(), id, depth + 1);
        if (found && found->isMethod) return found;
        if (found && !property) property = std::move(found);
    }
    return property;
}

}  // namespace

ComPtr<ITypeInfo> typeInformation(IDispatch* object) {
    UINT count = 0;
    if (FAILED(object->GetTypeInfoCount(&count)) || count == 0) return {};
    ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()))) return {};
    return info;
}

std::optional<rb::DeclaredMethod> declaredMethod(ITypeInfo* info, DISPID id) { return findMethod(info, id, 0); }

}  // namespace kq::simhost
