#include "host/dispatch/variant_convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kq::host::dispatch {

namespace {

[[noreturn]] void typeMismatch() { throw HostError(err::kTypeMismatch, "Type mismatch"); }

// The value itself when the variant refers to it.
win32::Variant indirect(const VARIANT& v) {
    win32::Variant out;
    if (FAILED(VariantCopyInd(out.get(), const_cast<VARIANT*>(&v)))) typeMismatch();
    return out;
}

// The conversion the runtime applies on assignment; overflow is told apart.
win32::Variant changed(const VARIANT& v, VARTYPE type, USHORT flags = 0) {
    win32::Variant source = indirect(v);
    win32::Variant out;
    const HRESULT hr = VariantChangeType(out.get(), source.get(), flags, type);
    if (hr == DISP_E_OVERFLOW) throw HostError(vb::kOverflow, "Overflow");
    if (FAILED(hr)) typeMismatch();
    return out;
}

bool isNumberType(VARTYPE type) {
    switch (type) {
        case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
        case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
        case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL:
            return true;
        default:
            return false;
    }
}

}  // namespace

Value toValue(const VARIANT& v) {
    win32::Variant plain = indirect(v);
    const VARIANT& p = *plain.get();
    const VARTYPE type = V_VT(&p);
    if (type == VT_EMPTY || type == VT_NULL) return Empty{};
    if (type == VT_BSTR) return toText(p);
    if (type == VT_BOOL) return V_BOOL(&p) != VARIANT_FALSE;
    if (type == VT_DATE) return Date{V_DATE(&p)};
    if (type == VT_ERROR) {
        const SCODE code = V_ERROR(&p);
        // Cell errors carry the runtime's facility; anything else keeps its whole code.
        if ((static_cast<std::uint32_t>(code) & 0xFFFF0000u) == 0x800A0000u) return CellError{HRESULT_CODE(code)};
        return CellError{static_cast<std::int32_t>(code)};
    }
    if (isNumberType(type)) return toDouble(p);
    if (type & VT_ARRAY) {
        // A block of cells: the host's array of their values; the first counts.
        SAFEARRAY* array = V_ARRAY(&p);
        if (!array || array->cDims == 0 || (type & ~VT_ARRAY) != VT_VARIANT) typeMismatch();
        std::vector<LONG> index(array->cDims);
        for (UINT d = 0; d < array->cDims; ++d) {
            if (FAILED(SafeArrayGetLBound(array, d + 1, &index[d]))) typeMismatch();
        }
        win32::Variant first;
        if (FAILED(SafeArrayGetElement(array, index.data(), first.get()))) return Empty{};
        return toValue(*first.get());
    }
    typeMismatch();
}

std::string toText(const VARIANT& v) {
    if (V_VT(&v) == VT_BSTR) {
        const BSTR b = V_BSTR(&v);
        return b ? win32::narrow(std::wstring_view(b, SysStringLen(b))) : std::string();
    }
    if (V_VT(&v) == VT_EMPTY) return {};
    win32::Variant text = changed(v, VT_BSTR, VARIANT_ALPHABOOL);
    return toText(*text.get());
}

std::int32_t toLong(const VARIANT& v) {
    win32::Variant n = changed(v, VT_I4);
    return V_I4(n.get());
}

double toDouble(const VARIANT& v) {
    win32::Variant n = changed(v, VT_R8);
    return V_R8(n.get());
}

bool toBool(const VARIANT& v) {
    win32::Variant b = changed(v, VT_BOOL);
    return V_BOOL(b.get()) != VARIANT_FALSE;
}

double toDate(const VARIANT& v) {
    win32::Variant d = changed(v, VT_DATE);
    return V_DATE(d.get());
}

win32::ComPtr<IDispatch> toObject(const VARIANT& v) {
    win32::Variant plain = indirect(v);
    const VARIANT& p = *plain.get();
    if (V_VT(&p) == VT_EMPTY) return {};
    if (V_VT(&p) == VT_DISPATCH || V_VT(&p) == VT_UNKNOWN) {
        IUnknown* unknown = V_VT(&p) == VT_DISPATCH ? V_DISPATCH(&p) : V_UNKNOWN(&p);
        if (!unknown) return {};
        win32::ComPtr<IDispatch> object;
        if (FAILED(unknown->QueryInterface(IID_IDispatch, object.putVoid())) || !object) {
            throw HostError(err::kObjectRequired, "Object required");
        }
        return object;
    }
    throw HostError(err::kObjectRequired, "Object required");
}

bool isMissing(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

win32::Variant fromValue(const Value& value) {
    struct Visitor {
        win32::Variant operator()(Empty) const { return {}; }
        win32::Variant operator()(double d) const { return fromDouble(d); }
        win32::Variant operator()(const std::string& s) const { return fromText(s); }
        win32::Variant operator()(bool b) const { return fromBool(b); }
        win32::Variant operator()(Date d) const { return fromDate(d.value); }
        win32::Variant operator()(CellError e) const {
            win32::Variant out;
            V_VT(out.get()) = VT_ERROR;
            V_ERROR(out.get()) = cellErrorScode(e.code);
            return out;
        }
    };
    return std::visit(Visitor{}, value);
}

win32::Variant fromText(std::string_view text) {
    win32::Variant out;
    V_VT(out.get()) = VT_BSTR;
    V_BSTR(out.get()) = win32::Bstr(text).detach();
    return out;
}

win32::Variant fromLong(std::int32_t number) {
    win32::Variant out;
    V_VT(out.get()) = VT_I4;
    V_I4(out.get()) = number;
    return out;
}

win32::Variant fromDouble(double number) {
    win32::Variant out;
    V_VT(out.get()) = VT_R8;
    V_R8(out.get()) = number;
    return out;
}

win32::Variant fromBool(bool flag) {
    win32::Variant out;
    V_VT(out.get()) = VT_BOOL;
    V_BOOL(out.get()) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return out;
}

win32::Variant fromDate(double oleDate) {
    win32::Variant out;
    V_VT(out.get()) = VT_DATE;
    V_DATE(out.get()) = oleDate;
    return out;
}

win32::Variant fromObject(IDispatch* object) {
    win32::Variant out;
    V_VT(out.get()) = VT_DISPATCH;
    V_DISPATCH(out.get()) = object;
    if (object) object->AddRef();
    return out;
}

win32::Variant missingArgument() {
    win32::Variant out;
    V_VT(out.get()) = VT_ERROR;
    V_ERROR(out.get()) = DISP_E_PARAMNOTFOUND;
    return out;
}

std::string describe(const Value& value) {
    struct Visitor {
        std::string operator()(Empty) const { return "Empty"; }
        std::string operator()(double d) const {
            char buffer[40];
            if (std::floor(d) == d && std::fabs(d) < 1e15) {
                std::snprintf(buffer, sizeof buffer, "%.0f", d);
                return buffer;
            }
            // The shortest text that reads back as the same number.
            for (int precision = 1; precision <= 17; ++precision) {
                std::snprintf(buffer, sizeof buffer, "%.*g", precision, d);
                if (std::strtod(buffer, nullptr) == d) break;
            }
            return buffer;
        }
        std::string operator()(const std::string& s) const { return "\"" + s + "\""; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(Date d) const { return "Date " + (*this)(d.value); }
        std::string operator()(CellError e) const { return "Error " + std::to_string(e.code); }
    };
    return std::visit(Visitor{}, value);
}

}  // namespace kq::host::dispatch
