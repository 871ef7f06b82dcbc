#include "addin/core/runtime_error.h"

#include <exception>
#include <new>

#include "common/runtime_errors.h"
#include "host/host.h"

namespace kq::addin {

namespace {

RuntimeError withOwnDescription(std::int32_t number) {
    return {number, std::string(runtime_errors::description(number))};
}

}  // namespace

RuntimeError CurrentRuntimeError() {
    try {
        throw;
    } catch (const host::HostError& e) {
        return {e.number(), e.what()};
    } catch (const std::bad_alloc&) {
        return withOwnDescription(runtime_errors::kOutOfMemory);
    } catch (const std::exception& e) {
        return {runtime_errors::kInternalError, e.what()};
    } catch (...) {
        return withOwnDescription(runtime_errors::kInternalError);
    }
}

}  // namespace kq::addin
