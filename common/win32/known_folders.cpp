#include "common/win32/known_folders.h"

#include <string_view>
#include <utility>

#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

#include <oleauto.h>
#include <shlobj.h>

namespace kq::win32 {

namespace {

namespace texts {
constexpr wchar_t kScriptShell[] = L"WScript.Shell";
constexpr wchar_t kSpecialFolders[] = L"SpecialFolders";
constexpr std::string_view kMyDocuments = "MyDocuments";
}  // namespace texts

// COM for the calling thread when it has none yet; a thread that already chose
// its apartment is left as it is.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

class DispatchPtr {
public:
    DispatchPtr() = default;
    DispatchPtr(DispatchPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    DispatchPtr& operator=(DispatchPtr&&) = delete;
    DispatchPtr(const DispatchPtr&) = delete;
    DispatchPtr& operator=(const DispatchPtr&) = delete;
    ~DispatchPtr() {
        if (p_) p_->Release();
    }
    IDispatch* get() const { return p_; }
    IDispatch** put() { return &p_; }

private:
    IDispatch* p_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() { return &v_; }

private:
    VARIANT v_;
};

// A property read late-bound, with at most one text argument.
bool getProperty(IDispatch* object, DISPID id, const wchar_t* argument, Variant& result) {
    Variant arg;
    DISPPARAMS params{};
    if (argument) {
        arg.get()->vt = VT_BSTR;
        arg.get()->bstrVal = SysAllocString(argument);
        if (!arg.get()->bstrVal) return false;
        params.rgvarg = arg.get();
        params.cArgs = 1;
    }
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                    &params, result.get(), nullptr, nullptr));
}

}  // namespace

std::optional<std::string> documentsFolderFromShell() {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, FALSE)) return std::nullopt;
    const std::wstring_view path(buffer, wcsnlen(buffer, MAX_PATH));
    if (path.empty()) return std::nullopt;
    return narrow(path);
}

std::optional<std::string> documentsFolderFromScriptHost() { return scriptHostSpecialFolder(texts::kMyDocuments); }

std::optional<std::string> scriptHostSpecialFolder(std::string_view folderName) {
    const ComScope com;
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(texts::kScriptShell, &clsid))) return std::nullopt;
    DispatchPtr shell;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(shell.put())))) {
        return std::nullopt;
    }
    DISPID specialFoldersId = 0;
    LPOLESTR name = const_cast<LPOLESTR>(texts::kSpecialFolders);
    if (FAILED(shell.get()->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &specialFoldersId))) {
        return std::nullopt;
    }
    Variant folders;
    if (!getProperty(shell.get(), specialFoldersId, nullptr, folders) || folders.get()->vt != VT_DISPATCH ||
        !folders.get()->pdispVal) {
        return std::nullopt;
    }
    Variant path;
    const std::wstring item = wide(folderName);
    if (!getProperty(folders.get()->pdispVal, DISPID_VALUE, item.c_str(), path) || path.get()->vt != VT_BSTR ||
        !path.get()->bstrVal) {
        return std::nullopt;
    }
    const std::wstring_view text(path.get()->bstrVal, SysStringLen(path.get()->bstrVal));
    if (text.empty()) return std::nullopt;
    return narrow(text);
}

std::optional<std::string> Win32KnownFolders::documentsFolder() {
    if (auto folder = documentsFolderFromShell()) return folder;
    return documentsFolderFromScriptHost();
}

}  // namespace kq::win32
