#pragma once
// Late-bound calls by member name, the way a script caller reaches the host:
// GetIDsOfNames for the member (and the names of named arguments), then
// IDispatch::Invoke. Every failure comes out as HostError.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/win32/com.h"
#include "host/dispatch/variant_convert.h"
#include "host/host.h"

namespace kq::host::dispatch {

// One argument of a call: positional, or named as a script writes Type:=8.
struct Arg {
    Arg(win32::Variant v) : value(std::move(v)) {}  // NOLINT: arguments read as the values they carry
    Arg(std::int32_t n) : value(fromLong(n)) {}     // NOLINT
    Arg(double d) : value(fromDouble(d)) {}         // NOLINT
    Arg(bool b) : value(fromBool(b)) {}             // NOLINT
    Arg(const char* s) : value(fromText(s)) {}      // NOLINT
    Arg(const std::string& s) : value(fromText(s)) {}  // NOLINT
    Arg(IDispatch* object) : value(fromObject(object)) {}  // NOLINT

    std::string name;  // empty for a positional argument
    win32::Variant value;
};

inline Arg named(std::string name, Arg arg) {
    arg.name = std::move(name);
    return arg;
}

// The HostError a failed Invoke (or GetIDsOfNames) stands for: the exception's
// wCode, or the runtime error number of a 0x800A.... scode, or the result
// itself; the dispatch errors a script runtime knows get its numbers. A
// deferred fill-in runs in place; the caller still frees the texts.
HostError errorFromResult(HRESULT hr, EXCEPINFO* info);

// How simhost reports a HostError to its caller, so that errorFromResult gives
// the same number and description back.
void fillException(EXCEPINFO& info, std::int32_t number, const std::string& description);

class Caller {
public:
    // A null object throws 424 (object required) at the first call.
    explicit Caller(win32::ComPtr<IDispatch> object) : object_(std::move(object)) {}

    // A property read, or a method's result (DISPATCH_PROPERTYGET | DISPATCH_METHOD).
    template <typename... A>
    win32::Variant get(std::string_view name, A&&... args) {
        std::vector<Arg> list;
        (list.emplace_back(std::forward<A>(args)), ...);
        return invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, list);
    }
    // A method called for its effect.
    template <typename... A>
    void call(std::string_view name, A&&... args) {
        std::vector<Arg> list;
        (list.emplace_back(std::forward<A>(args)), ...);
        invoke(name, DISPATCH_METHOD, list);
    }
    void put(std::string_view name, Arg value);

    // The general form: positional arguments first, then named ones; arguments
    // may be VT_BYREF and come back changed.
    win32::Variant invoke(std::string_view name, WORD flags, std::vector<Arg>& args);

    IDispatch* object() const { return object_.get(); }
    win32::ComPtr<IDispatch> share() const { return win32::ComPtr<IDispatch>::share(object_.get()); }

    // The object that a read returned, or empty for Nothing.
    template <typename... A>
    win32::ComPtr<IDispatch> object(std::string_view name, A&&... args) {
        win32::Variant v = get(name, std::forward<A>(args)...);
        return toObject(*v.get());
    }
    // Like object(), but Nothing throws 91 as the runtime does on use.
    template <typename... A>
    Caller child(std::string_view name, A&&... args) {
        win32::ComPtr<IDispatch> o = object(name, std::forward<A>(args)...);
        if (!o) throw HostError(err::kObjectNotSet, "Object variable or With block variable not set");
        return Caller(std::move(o));
    }

private:
    win32::ComPtr<IDispatch> object_;
};

}  // namespace kq::host::dispatch
