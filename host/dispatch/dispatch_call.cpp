#include "host/dispatch/dispatch_call.h"

namespace kq::host::dispatch {

namespace {

// A result that the runtime knows by its own number.
struct KnownResult {
    HRESULT hr;
    std::int32_t number;
    const char* text;
};

constexpr KnownResult kKnownResults[] = {
    {DISP_E_TYPEMISMATCH, err::kTypeMismatch, "Type mismatch"},
    {DISP_E_UNKNOWNNAME, vb::kNoSuchMember, "Object doesn't support this property or method"},
    {DISP_E_MEMBERNOTFOUND, vb::kNoSuchMember, "Object doesn't support this property or method"},
    {DISP_E_BADPARAMCOUNT, vb::kWrongArgumentCount, "Wrong number of arguments or invalid property assignment"},
    {DISP_E_PARAMNOTOPTIONAL, vb::kArgumentNotOptional, "Argument not optional"},
    {DISP_E_PARAMNOTFOUND, vb::kNamedArgumentNotFound, "Named argument not found"},
    {DISP_E_OVERFLOW, vb::kOverflow, "Overflow"},
    {DISP_E_BADINDEX, err::kSubscriptOutOfRange, "Subscript out of range"},
    {DISP_E_DIVBYZERO, vb::kDivisionByZero, "Division by zero"},
    {E_OUTOFMEMORY, vb::kOutOfMemory, "Out of memory"},
    {E_INVALIDARG, err::kInvalidCall, "Invalid procedure call or argument"},
};

std::int32_t numberOfScode(SCODE scode) {
    if ((static_cast<std::uint32_t>(scode) & 0xFFFF0000u) == 0x800A0000u) return HRESULT_CODE(scode);
    for (const auto& known : kKnownResults) {
        if (known.hr == scode) return known.number;
    }
    return static_cast<std::int32_t>(scode);
}

std::string textOf(BSTR b) { return b ? win32::narrow(std::wstring_view(b, SysStringLen(b))) : std::string(); }

}  // namespace

HostError errorFromResult(HRESULT hr, EXCEPINFO* info) {
    if (hr == DISP_E_EXCEPTION && info) {
        if (info->pfnDeferredFillIn) {
            info->pfnDeferredFillIn(info);
            info->pfnDeferredFillIn = nullptr;
        }
        std::string description = textOf(info->bstrDescription);
        const std::int32_t number = info->wCode != 0 ? info->wCode : numberOfScode(info->scode);
        if (description.empty()) description = "Automation error";
        return HostError(number, description);
    }
    for (const auto& known : kKnownResults) {
        if (known.hr == hr) return HostError(known.number, known.text);
    }
    return HostError(numberOfScode(hr), "Automation error");
}

void fillException(EXCEPINFO& info, std::int32_t number, const std::string& description) {
    info = EXCEPINFO{};
    // Runtime numbers travel as wCode; whole results (0x8....) as scode.
    if (number > 0 && number <= 0xFFFF) {
        info.wCode = static_cast<WORD>(number);
    } else {
        info.scode = number;
    }
    info.bstrDescription = win32::Bstr(description).detach();
}

void Caller::put(std::string_view name, Arg value) {
    std::vector<Arg> list;
    list.push_back(std::move(value));
    invoke(name, DISPATCH_PROPERTYPUT, list);
}

win32::Variant Caller::invoke(std::string_view name, WORD flags, std::vector<Arg>& args) {
    if (!object_) throw HostError(err::kObjectRequired, "Object required");

    // Names: the member first, then each named argument's.
    std::vector<std::wstring> names{win32::wide(name)};
    std::size_t positional = 0;
    for (const Arg& a : args) {
        if (a.name.empty()) {
            if (names.size() > 1) throw HostError(err::kInvalidCall, "Positional argument after a named one");
            ++positional;
        } else {
            names.push_back(win32::wide(a.name));
        }
    }
    std::vector<LPOLESTR> namePointers;
    for (auto& n : names) namePointers.push_back(n.data());
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    HRESULT hr = object_->GetIDsOfNames(IID_NULL, namePointers.data(), static_cast<UINT>(names.size()),
                                        LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(hr)) {
        if (hr == DISP_E_UNKNOWNNAME && ids[0] != DISPID_UNKNOWN) {
            throw HostError(vb::kNamedArgumentNotFound, "Named argument not found");
        }
        throw errorFromResult(hr == DISP_E_UNKNOWNNAME ? DISP_E_MEMBERNOTFOUND : hr, nullptr);
    }

    // rgvarg holds the named arguments first, then the positional ones last to
    // first. It holds shallow copies: the arguments keep what they own, and what
    // a callee writes through a by-reference argument lands in the caller's storage.
    const std::size_t namedCount = args.size() - positional;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    std::vector<VARIANT> raw(args.size());
    std::vector<DISPID> namedIds;
    std::size_t slot = 0;
    if (isPut) {
        // The assigned value is the last argument and travels as the named DISPID_PROPERTYPUT.
        if (args.empty() || namedCount != 0) throw HostError(vb::kWrongArgumentCount, "Property assignment needs one value");
        raw[slot++] = *args.back().value.get();
        namedIds.push_back(DISPID_PROPERTYPUT);
        for (std::size_t i = args.size() - 1; i-- > 0;) raw[slot++] = *args[i].value.get();
    } else {
        for (std::size_t i = 0; i < namedCount; ++i) {
            raw[slot++] = *args[positional + i].value.get();
            namedIds.push_back(ids[1 + i]);
        }
        for (std::size_t i = positional; i-- > 0;) raw[slot++] = *args[i].value.get();
    }
    DISPPARAMS params{};
    params.rgvarg = raw.empty() ? nullptr : raw.data();
    params.cArgs = static_cast<UINT>(raw.size());
    params.rgdispidNamedArgs = namedIds.empty() ? nullptr : namedIds.data();
    params.cNamedArgs = static_cast<UINT>(namedIds.size());

    win32::Variant result;
    EXCEPINFO info{};
    UINT argError = 0;
    hr = object_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params, isPut ? nullptr : result.get(), &info,
                         &argError);
    if (FAILED(hr)) {
        HostError error = errorFromResult(hr, &info);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
        throw error;
    }
    return result;
}

}  // namespace kq::host::dispatch
