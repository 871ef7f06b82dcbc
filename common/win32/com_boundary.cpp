#include "common/win32/com_boundary.h"

#include <oleauto.h>

#include <new>

#include "common/win32/com.h"
#include "common/win32/wide.h"

namespace kq::win32 {

namespace {

void setErrorObject(REFIID iid, std::string_view source, const std::string& description) {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put()))) return;
    const std::wstring text = wide(description);
    const std::wstring from = wide(source);
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(from.c_str()));
    create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
    const auto info = create.as<IErrorInfo>(IID_IErrorInfo);
    SetErrorInfo(0, info.get());
}

}  // namespace

HRESULT resultOfErrorNumber(std::int32_t number) {
    if (number < 0) return static_cast<HRESULT>(number);
    if (number == 0) return E_FAIL;
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number) & 0xFFFFu);
}

HRESULT failureResult(const FailureReporting& reporting, REFIID iid) noexcept {
    try {
        HRESULT result = E_FAIL;
        std::string description;
        try {
            throw;
        } catch (const ComFailure& failure) {
            result = failure.result();
            description = failure.what();
        } catch (...) {
            const RuntimeFailure failure = reporting.readCurrent();
            result = resultOfErrorNumber(failure.number);
            description = failure.description;
        }
        setErrorObject(iid, reporting.source, description);
        return result;
    } catch (...) {
        // Not even the description could be built.
        return E_OUTOFMEMORY;
    }
}

HRESULT bareFailureResult() noexcept {
    try {
        throw;
    } catch (const ComFailure& failure) {
        return failure.result();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace kq::win32
