#include "addin/core/runtime_error.h"

#include <exception>
#include <new>

#include "host/host.h"

namespace kq::addin {

namespace {
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;
}  // namespace

RuntimeError CurrentRuntimeError() {
    try {
        throw;
    } catch (const host::HostError& e) {
        return {e.number(), e.what()};
    } catch (const std::bad_alloc&) {
        return {kOutOfMemory, "Out of memory"};
    } catch (const std::exception& e) {
        return {kInternalError, e.what()};
    } catch (...) {
        return {kInternalError, "Internal error"};
    }
}

}  // namespace kq::addin
