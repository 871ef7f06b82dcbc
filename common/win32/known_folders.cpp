#include "common/win32/known_folders.h"

#include <string_view>

#include "common/win32/com.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

#include <shlobj.h>

namespace kq::win32 {

namespace {

namespace texts {
constexpr wchar_t kScriptShell[] = L"WScript.Shell";
constexpr wchar_t kSpecialFolders[] = L"SpecialFolders";
constexpr std::string_view kMyDocuments = "MyDocuments";
}  // namespace texts

// A property read late-bound, with at most one text argument.
bool getProperty(IDispatch* object, DISPID id, std::optional<std::string_view> argument, Variant& result) {
    Variant arg;
    DISPPARAMS params{};
    if (argument) {
        V_VT(arg.get()) = VT_BSTR;
        V_BSTR(arg.get()) = Bstr(*argument).detach();
        if (!V_BSTR(arg.get())) return false;
        params.rgvarg = arg.get();
        params.cArgs = 1;
    }
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                    &params, result.put(), nullptr, nullptr));
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
    const ComApartment apartment;
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(texts::kScriptShell, &clsid))) return std::nullopt;
    ComPtr<IDispatch> shell;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                shell.putVoid()))) {
        return std::nullopt;
    }
    DISPID specialFoldersId = 0;
    LPOLESTR name = const_cast<LPOLESTR>(texts::kSpecialFolders);
    if (FAILED(shell->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &specialFoldersId))) {
        return std::nullopt;
    }
    Variant folders;
    if (!getProperty(shell.get(), specialFoldersId, std::nullopt, folders) || V_VT(folders.get()) != VT_DISPATCH ||
        !V_DISPATCH(folders.get())) {
        return std::nullopt;
    }
    Variant path;
    if (!getProperty(V_DISPATCH(folders.get()), DISPID_VALUE, folderName, path) || V_VT(path.get()) != VT_BSTR ||
        !V_BSTR(path.get())) {
        return std::nullopt;
    }
    const std::wstring_view text(V_BSTR(path.get()), SysStringLen(V_BSTR(path.get())));
    if (text.empty()) return std::nullopt;
    return narrow(text);
}

std::optional<std::string> Win32KnownFolders::documentsFolder() {
    if (auto folder = documentsFolderFromShell()) return folder;
    return documentsFolderFromScriptHost();
}

}  // namespace kq::win32
