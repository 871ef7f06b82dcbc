#pragma once
// VARIANTs as the host hands them over, and the façade's C++ values. Both sides
// of the dispatch boundary use these: the façade reading the host's answers,
// simhost reading the add-ins' arguments.

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/win32/com.h"
#include "host/host.h"

namespace kq::host::dispatch {

// The runtime's numbers for the failures the dispatch path itself raises.
namespace vb = runtime_errors;

// The VARIANT error code the host gives a cell error: the runtime's facility,
// so that CVErr(2042) is 0x800A07FA.
inline SCODE cellErrorScode(std::int32_t code) {
    return static_cast<SCODE>(0x800A0000u | (static_cast<std::uint32_t>(code) & 0xFFFFu));
}

// Reading. By-reference variants are read through. Each throws HostError 13
// (type mismatch) when the value cannot be had as that type, as the runtime
// does on assignment; numbers that do not fit throw 6 (overflow).
Value toValue(const VARIANT& v);
std::string toText(const VARIANT& v);
std::int32_t toLong(const VARIANT& v);
double toDouble(const VARIANT& v);
bool toBool(const VARIANT& v);
// An OLE date; numbers are taken as dates as the runtime does.
double toDate(const VARIANT& v);
// An object, or empty for Nothing (a null VT_DISPATCH, VT_EMPTY). Anything else,
// or an object that will not answer IDispatch, throws 424 (object required).
win32::ComPtr<IDispatch> toObject(const VARIANT& v);
// An optional argument the caller left out.
bool isMissing(const VARIANT& v);

// Writing.
win32::Variant fromValue(const Value& value);
win32::Variant fromText(std::string_view text);
win32::Variant fromLong(std::int32_t number);
win32::Variant fromDouble(double number);
win32::Variant fromBool(bool flag);
win32::Variant fromDate(double oleDate);
// Adds a reference of its own; null gives Nothing.
win32::Variant fromObject(IDispatch* object);
win32::Variant missingArgument();

// A value as text for people: transcripts and messages. Texts in double quotes.
std::string describe(const Value& value);

}  // namespace kq::host::dispatch
