#include "addin/core/win32/com_boundary.h"

#include <oleauto.h>

#include "addin/core/registration.h"
#include "addin/core/runtime_error.h"
#include "common/win32/com.h"
#include "common/win32/wide.h"

namespace kq::addin::win32 {

namespace {

void setErrorObject(REFIID iid, const std::string& description) {
    kq::win32::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.put()))) return;
    const std::wstring text = kq::win32::wide(description);
    const std::wstring source = kq::win32::wide(kProgId);
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source.c_str()));
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

HRESULT failureResult(REFIID iid) noexcept {
    try {
        HRESULT result = E_FAIL;
        std::string description;
        try {
            throw;
        } catch (const ComFailure& failure) {
            result = failure.result();
            description = failure.what();
        } catch (...) {
            const RuntimeError error = CurrentRuntimeError();
            result = resultOfErrorNumber(error.number);
            description = error.description;
        }
        setErrorObject(iid, description);
        return result;
    } catch (...) {
        // Not even the description could be built.
        return E_OUTOFMEMORY;
    }
}

}  // namespace kq::addin::win32
