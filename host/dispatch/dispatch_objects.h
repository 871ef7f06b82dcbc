#pragma once
// The façade objects over IDispatch, for the parts of host/dispatch that make
// them from what the host hands over (event arguments).

#include <exception>
#include <new>
#include <string>

#include "common/win32/com.h"
#include "host/dispatch/dispatch_host.h"

namespace kq::host::dispatch {

// Each takes over the reference; an empty pointer gives an empty façade pointer.
WorkbookPtr makeWorkbook(win32::ComPtr<IDispatch> object);
SheetPtr makeSheet(win32::ComPtr<IDispatch> object);
WindowPtr makeWindow(win32::ComPtr<IDispatch> object);

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

}  // namespace kq::host::dispatch
