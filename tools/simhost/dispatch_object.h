#pragma once
// simhost's IDispatch objects: each answers by a small name table, as the
// host's objects answer script callers. A table lists each member's name
// (letter case ignored), how it may be invoked (property get, property put,
// method) and its parameters with their names, types and whether they may be
// left out. Invoke checks the argument count, fills named arguments into their
// places and converts every argument to its declared type before the member
// runs, so a member's code never sees a wrong argument. A HostError thrown by
// a member reaches the caller as DISP_E_EXCEPTION with its number and text.
//
// DISPIDs are given in table order from 1, one per distinct name (a property's
// get and put share one); a parameter's DISPID, for named arguments, is its
// place from 0.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "host/dispatch/variant_convert.h"
#include "host/host.h"

namespace kq::simhost {

enum class ArgType { variant, text, number, real, flag, date, object };

struct Param {
    const char* name;
    ArgType type;
    bool optional = false;
};

inline constexpr WORD kGet = DISPATCH_PROPERTYGET;
inline constexpr WORD kPut = DISPATCH_PROPERTYPUT;
inline constexpr WORD kMethod = DISPATCH_METHOD;

// The arguments of one call, each already of its parameter's type; a left-out
// optional argument is absent. A put's value is its last parameter.
class CallArgs {
public:
    explicit CallArgs(std::vector<win32::Variant> values) : values_(std::move(values)) {}
    bool has(std::size_t i) const;
    std::string text(std::size_t i) const;
    std::int32_t number(std::size_t i) const;
    double real(std::size_t i) const;
    bool flag(std::size_t i) const;
    win32::ComPtr<IDispatch> object(std::size_t i) const;  // empty for Nothing
    const VARIANT& raw(std::size_t i) const;               // a variant parameter as given

private:
    std::vector<win32::Variant> values_;
};

struct MemberSpec {
    std::string name;
    WORD kind;  // kGet, kPut or kMethod
    std::vector<Param> params;
};

// Names to DISPIDs and back.
class NameTable {
public:
    explicit NameTable(std::vector<MemberSpec> members);
    const std::vector<MemberSpec>& members() const { return members_; }
    DISPID idOf(std::size_t member) const { return ids_[member]; }
    // DISPID_UNKNOWN when no member has that name.
    DISPID find(const wchar_t* name) const;
    // The member with that DISPID that may be invoked with `flags`, or -1 when the
    // DISPID is known but not for that kind, -2 when it is unknown.
    std::ptrdiff_t select(DISPID id, WORD flags) const;

private:
    std::vector<MemberSpec> members_;
    std::vector<DISPID> ids_;
};

// The private interface by which simhost knows its own objects when the
// add-ins hand them back (ranges given to Intersect, say).
// {1DFDB46C-35BE-422F-A1B3-A5F80C6ADB32}
inline constexpr GUID kHostObjectIid = {
    0x1DFDB46C, 0x35BE, 0x422F, {0xA1, 0xB3, 0xA5, 0xF8, 0x0C, 0x6A, 0xDB, 0x32}};

class DispatchObject : public win32::LateBoundObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;

    // The object behind it, when it is one of ours.
    static DispatchObject* ours(IDispatch* object);

protected:
    DispatchObject() = default;
    ~DispatchObject() override = default;
    virtual const NameTable& nameTable() const = 0;
    virtual win32::Variant run(std::size_t member, CallArgs& args) = 0;
    // Answers kHostObjectIid with the object itself.
    void* findInterface(REFIID iid) noexcept override;
};

// An object whose members run on a façade object of type T.
template <typename T>
struct Entry {
    MemberSpec spec;
    win32::Variant (*run)(const std::shared_ptr<T>& target, CallArgs& args);
};

template <typename T>
class Table {
public:
    explicit Table(std::vector<Entry<T>> entries) : names_(specsOf(entries)) {
        for (auto& e : entries) runs_.push_back(e.run);
    }
    const NameTable& names() const { return names_; }
    win32::Variant run(std::size_t member, const std::shared_ptr<T>& target, CallArgs& args) const {
        return runs_[member](target, args);
    }

private:
    static std::vector<MemberSpec> specsOf(const std::vector<Entry<T>>& entries) {
        std::vector<MemberSpec> specs;
        for (const auto& e : entries) specs.push_back(e.spec);
        return specs;
    }
    NameTable names_;
    std::vector<win32::Variant (*)(const std::shared_ptr<T>&, CallArgs&)> runs_;
};

template <typename T>
class Wrapper : public DispatchObject {
public:
    Wrapper(std::shared_ptr<T> target, const Table<T>& table) : target_(std::move(target)), table_(table) {}
    const std::shared_ptr<T>& target() const { return target_; }

protected:
    const NameTable& nameTable() const override { return table_.names(); }
    win32::Variant run(std::size_t member, CallArgs& args) override { return table_.run(member, target_, args); }

private:
    std::shared_ptr<T> target_;
    const Table<T>& table_;
};

// A new object of ours as an IDispatch reference.
template <typename T>
win32::ComPtr<IDispatch> wrap(std::shared_ptr<T> target, const Table<T>& table) {
    return win32::makeObject<Wrapper<T>>(std::move(target), table);
}

// The façade object behind an object of ours of that kind, or empty.
template <typename T>
std::shared_ptr<T> unwrap(IDispatch* object) {
    auto* wrapper = dynamic_cast<Wrapper<T>*>(DispatchObject::ours(object));
    return wrapper ? wrapper->target() : nullptr;
}

// What members answer: values, the host's Nothing, nothing at all (a put or
// a method without a result), and objects of ours (Nothing for none).
inline win32::Variant text(const std::string& s) { return host::dispatch::fromText(s); }
inline win32::Variant number(std::int32_t n) { return host::dispatch::fromLong(n); }
inline win32::Variant real(double d) { return host::dispatch::fromDouble(d); }
inline win32::Variant flag(bool b) { return host::dispatch::fromBool(b); }
inline win32::Variant nothing() { return host::dispatch::fromObject(nullptr); }
inline win32::Variant none() { return {}; }

template <typename T>
win32::Variant object(std::shared_ptr<T> target, const Table<T>& table) {
    if (!target) return nothing();
    win32::ComPtr<IDispatch> wrapped = wrap(std::move(target), table);
    return host::dispatch::fromObject(wrapped.get());
}

// A parameter the add-ins never give but the host's member has; left out, it changes nothing.
inline Param ignored(const char* name) { return {name, ArgType::variant, true}; }

// What the simulated host does not do: the run fails where an add-in relies on it.
[[noreturn]] inline void notSimulated(const char* what) {
    throw host::HostError(host::err::kApplicationDefined, std::string(what) + " is not simulated");
}

}  // namespace kq::simhost
