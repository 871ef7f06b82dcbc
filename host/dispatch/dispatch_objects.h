#pragma once
// The façade objects over IDispatch, for the parts of host/dispatch that make
// them from what the host hands over (event arguments).

#include <exception>
#include <new>
#include <string>

#include "common/win32/com.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_host.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

// Each takes over the reference; an empty pointer gives an empty façade pointer.
WorkbookPtr makeWorkbook(win32::ComPtr<IDispatch> object);
SheetPtr makeSheet(win32::ComPtr<IDispatch> object);
WindowPtr makeWindow(win32::ComPtr<IDispatch> object);
CommandBarControlPtr makeControl(win32::ComPtr<IDispatch> object);
CommandBarsPtr makeCommandBars(win32::ComPtr<IDispatch> object);

// Runs one façade call: only HostError leaves it.
template <typename F>
auto guarded(F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const HostError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw HostError(err::kOutOfMemory, "Out of memory");
    } catch (const std::exception& e) {
        throw HostError(err::kInternalError, std::string("Internal error: ") + e.what());
    }
}

// The base of the façade objects: the host's object, called by name, and
// its properties read and written as façade calls.
class DispObject : public DispatchBacked {
public:
    explicit DispObject(win32::ComPtr<IDispatch> object) : c_(std::move(object)) {}
    IDispatch* dispatch() const override { return c_.object(); }

protected:
    std::string textOf(const char* name) {
        return guarded([&] { return toText(*c_.get(name).get()); });
    }
    std::int32_t numberOf(const char* name) {
        return guarded([&] { return toLong(*c_.get(name).get()); });
    }
    double realOf(const char* name) {
        return guarded([&] { return toDouble(*c_.get(name).get()); });
    }
    bool flagOf(const char* name) {
        return guarded([&] { return toBool(*c_.get(name).get()); });
    }
    void put(const char* name, Arg value) {
        guarded([&] { c_.put(name, std::move(value)); });
    }
    // A method without arguments, called for its effect.
    void run(const char* name) {
        guarded([&] { c_.call(name); });
    }

    Caller c_;
};

}  // namespace kq::host::dispatch
