#include "tools/simhost/dispatch_object.h"

#include <cwctype>

#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/variant_convert.h"

namespace kq::simhost {

namespace dispatch = kq::host::dispatch;
using host::HostError;

namespace {

bool sameName(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

// The argument converted to the parameter's type; HostError when it cannot be.
win32::Variant convert(const VARIANT& given, ArgType type) {
    switch (type) {
        case ArgType::variant: {
            win32::Variant copy;
            if (FAILED(VariantCopyInd(copy.get(), const_cast<VARIANT*>(&given)))) {
                throw HostError(host::err::kTypeMismatch, "Type mismatch");
            }
            return copy;
        }
        case ArgType::text: return dispatch::fromText(dispatch::toText(given));
        case ArgType::number: return dispatch::fromLong(dispatch::toLong(given));
        case ArgType::real: return dispatch::fromDouble(dispatch::toDouble(given));
        case ArgType::flag: return dispatch::fromBool(dispatch::toBool(given));
        case ArgType::date: return dispatch::fromDate(dispatch::toDate(given));
        case ArgType::object: {
            win32::ComPtr<IDispatch> object = dispatch::toObject(given);
            return dispatch::fromObject(object.get());
        }
    }
    throw HostError(host::err::kTypeMismatch, "Type mismatch");
}

HRESULT raise(EXCEPINFO* exception, std::int32_t number, const std::string& description) {
    if (exception) dispatch::fillException(*exception, number, description);
    return DISP_E_EXCEPTION;
}

}  // namespace

bool CallArgs::has(std::size_t i) const { return i < values_.size() && !dispatch::isMissing(*values_[i].get()); }

std::string CallArgs::text(std::size_t i) const { return dispatch::toText(raw(i)); }
std::int32_t CallArgs::number(std::size_t i) const { return dispatch::toLong(raw(i)); }
double CallArgs::real(std::size_t i) const { return dispatch::toDouble(raw(i)); }
bool CallArgs::flag(std::size_t i) const { return dispatch::toBool(raw(i)); }
win32::ComPtr<IDispatch> CallArgs::object(std::size_t i) const { return dispatch::toObject(raw(i)); }

const VARIANT& CallArgs::raw(std::size_t i) const {
    if (!has(i)) throw HostError(dispatch::vb::kArgumentNotOptional, "Argument not optional");
    return *values_[i].get();
}

NameTable::NameTable(std::vector<MemberSpec> members) : members_(std::move(members)) {
    DISPID next = 1;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        const std::wstring name = win32::wide(members_[i].name);
        DISPID id = DISPID_UNKNOWN;
        for (std::size_t j = 0; j < i; ++j) {
            if (sameName(win32::wide(members_[j].name), name.c_str())) id = ids_[j];
        }
        ids_.push_back(id == DISPID_UNKNOWN ? next++ : id);
    }
}

DISPID NameTable::find(const wchar_t* name) const {
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (sameName(win32::wide(members_[i].name), name)) return ids_[i];
    }
    return DISPID_UNKNOWN;
}

std::ptrdiff_t NameTable::select(DISPID id, WORD flags) const {
    bool known = false;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (ids_[i] != id) continue;
        known = true;
        const WORD kind = members_[i].kind;
        if (put ? kind == kPut : (kind != kPut && (flags & kind))) return static_cast<std::ptrdiff_t>(i);
    }
    return known ? -1 : -2;
}

void* DispatchObject::findInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, kHostObjectIid)) return this;
    return LateBoundObject::findInterface(iid);
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const NameTable& table = nameTable();
    ids[0] = table.find(names[0]);
    if (ids[0] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    bool allFound = true;
    for (UINT n = 1; n < count; ++n) {
        // A parameter name of any member of that name.
        for (std::size_t m = 0; m < table.members().size() && ids[n] == DISPID_UNKNOWN; ++m) {
            if (table.idOf(m) != ids[0]) continue;
            const auto& params = table.members()[m].params;
            for (std::size_t p = 0; p < params.size(); ++p) {
                if (sameName(win32::wide(params[p].name), names[n])) {
                    ids[n] = static_cast<DISPID>(p);
                    break;
                }
            }
        }
        if (ids[n] == DISPID_UNKNOWN) allFound = false;
    }
    return allFound ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError) {
    const NameTable& table = nameTable();
    const std::ptrdiff_t chosen = table.select(id, flags);
    if (chosen < 0) return DISP_E_MEMBERNOTFOUND;
    const MemberSpec& member = table.members()[static_cast<std::size_t>(chosen)];
    const std::vector<Param>& declared = member.params;

    DISPPARAMS none{};
    if (!params) params = &none;
    const UINT namedCount = params->cNamedArgs;
    if (namedCount > params->cArgs) return E_INVALIDARG;
    const UINT positional = params->cArgs - namedCount;

    // Each parameter's argument, by its index into rgvarg.
    std::vector<int> source(declared.size(), -1);
    const bool put = member.kind == kPut;
    const std::size_t leading = put ? (declared.empty() ? 0 : declared.size() - 1) : declared.size();
    if (positional > leading) return DISP_E_BADPARAMCOUNT;
    for (UINT i = 0; i < positional; ++i) source[i] = static_cast<int>(params->cArgs - 1 - i);
    for (UINT i = 0; i < namedCount; ++i) {
        const DISPID target = params->rgdispidNamedArgs[i];
        std::size_t place;
        if (target == DISPID_PROPERTYPUT && put && !declared.empty()) {
            place = declared.size() - 1;
        } else if (target >= 0 && static_cast<std::size_t>(target) < leading) {
            place = static_cast<std::size_t>(target);
        } else {
            if (argError) *argError = i;
            return DISP_E_PARAMNOTFOUND;
        }
        if (source[place] >= 0) return DISP_E_BADPARAMCOUNT;
        source[place] = static_cast<int>(i);
    }
    if (put && (declared.empty() || source.back() < 0)) return DISP_E_BADPARAMCOUNT;

    std::vector<win32::Variant> values;
    for (std::size_t p = 0; p < declared.size(); ++p) {
        if (source[p] < 0 || dispatch::isMissing(params->rgvarg[source[p]])) {
            if (!declared[p].optional) return DISP_E_PARAMNOTOPTIONAL;
            values.push_back(dispatch::missingArgument());
            continue;
        }
        try {
            values.push_back(convert(params->rgvarg[source[p]], declared[p].type));
        } catch (const HostError& e) {
            if (argError) *argError = static_cast<UINT>(source[p]);
            return e.number() == dispatch::vb::kOverflow ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
        }
    }

    CallArgs args(std::move(values));
    try {
        win32::Variant answer = run(static_cast<std::size_t>(chosen), args);
        if (result) *result = answer.detach();
        return S_OK;
    } catch (const HostError& e) {
        return raise(exception, e.number(), e.what());
    } catch (const std::exception& e) {
        // A scenario that asked the model for something it cannot do.
        return raise(exception, host::err::kApplicationDefined, e.what());
    }
}

DispatchObject* DispatchObject::ours(IDispatch* object) {
    if (!object) return nullptr;
    void* found = nullptr;
    if (FAILED(object->QueryInterface(kHostObjectIid, &found)) || !found) return nullptr;
    auto* mine = static_cast<DispatchObject*>(found);
    // The caller holds its own reference; the one QueryInterface added goes.
    mine->Release();
    return mine;
}

}  // namespace kq::simhost
