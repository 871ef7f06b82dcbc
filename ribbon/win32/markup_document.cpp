#include "ribbon/win32/markup_document.h"

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <oleauto.h>

#include <cstring>

#include "common/win32/com_boundary.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "host/dispatch/dispatch_call.h"

namespace kq::ribbon::win32 {

namespace {

using kq::win32::ComFailure;
using kq::win32::ComPtr;
using kq::win32::Variant;

// The MSXML 3.0 DOM document.
// {F6D90F11-9C73-11D3-B32E-00C04F990BB4}
constexpr CLSID kClsidDomDocument30 = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};

// The bytes as a one-dimensional byte array, the form in which the document loads raw bytes.
Variant byteArray(std::span<const std::byte> bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) throw ComFailure(E_OUTOFMEMORY, "Out of memory");
    Variant held;
    V_VT(held.put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(held.get()) = array;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) throw ComFailure(E_UNEXPECTED, "The byte array cannot be filled");
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    return held;
}

}  // namespace

std::optional<std::string> loadMarkupResource(std::string_view name) {
    const std::wstring resourceName = kq::win32::wide(name);
    const auto bytes = kq::win32::moduleResource(L"XML", resourceName.c_str());
    if (!bytes) throw ComFailure(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND), "Resource not found");

    ComPtr<IDispatch> made;
    const HRESULT result =
        CoCreateInstance(kClsidDomDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, made.putVoid());
    if (FAILED(result)) throw ComFailure(result, "The XML document cannot be made");
    host::dispatch::Caller document(std::move(made));
    document.put("async", false);
    const Variant loaded = document.get("load", byteArray(*bytes));
    if (!host::dispatch::toBool(*loaded.get())) return std::nullopt;
    return host::dispatch::toText(*document.get("xml").get());
}

}  // namespace kq::ribbon::win32
