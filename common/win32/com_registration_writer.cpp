#include "common/win32/com_registration_writer.h"

#include <oleauto.h>

#include <string>
#include <variant>
#include <vector>

#include "common/win32/com_boundary.h"
#include "common/win32/com_object.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"

namespace kq::win32 {

namespace {

constexpr SYSKIND kOwnSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

LONG writeValue(const RegistryValue& value) {
    RegistryKey key;
    const std::wstring path = wide(value.key);
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                  nullptr);
    if (status != ERROR_SUCCESS) return status;
    const std::wstring name = wide(value.name);
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        const std::wstring data = wide(*text);
        return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
    const DWORD number = std::get<std::uint32_t>(value.data);
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number);
}

// Removes the value, then the key once nothing is left in it.
void removeValue(const RegistryValue& value) {
    const std::wstring path = wide(value.key);
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    RegDeleteValueW(key.get(), wide(value.name).c_str());
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (subkeys == 0 && values == 0) RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

// A function of the system's OLE Automation library, or null where the system
// lacks it (the per-user registration functions came with Vista).
template <typename Function>
Function oleAutomationFunction(const char* name) {
    const HMODULE module = GetModuleHandleW(L"oleaut32.dll");
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// While it lives, HKEY_CLASSES_ROOT stands for the user's own classes in the
// whole process (the registering program, never the host): what
// RegisterTypeLib writes there then needs no administrator.
class UserClassesAsClassRoot {
public:
    UserClassesAsClassRoot() {
        status_ = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  classes_.put(), nullptr);
        if (status_ == ERROR_SUCCESS) status_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_.get());
    }
    ~UserClassesAsClassRoot() {
        if (status_ == ERROR_SUCCESS) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    }
    UserClassesAsClassRoot(const UserClassesAsClassRoot&) = delete;
    UserClassesAsClassRoot& operator=(const UserClassesAsClassRoot&) = delete;
    HRESULT result() const { return HRESULT_FROM_WIN32(status_); }

private:
    RegistryKey classes_;
    LONG status_ = ERROR_SUCCESS;
};

template <typename Write>
HRESULT inUserClasses(Write&& write) {
    const UserClassesAsClassRoot redirected;
    if (FAILED(redirected.result())) return redirected.result();
    return write();
}

}  // namespace

HRESULT registerTypeLibraryForUser(ITypeLib* library, std::wstring path, RegisterTypeLibForUserFunction perUser) {
    if (perUser) return perUser(library, path.data(), nullptr);
    return inUserClasses([&] { return RegisterTypeLib(library, path.data(), nullptr); });
}

HRESULT unregisterTypeLibraryForUser(const TypeLibraryId& library, UnRegisterTypeLibForUserFunction perUser) {
    if (perUser) return perUser(library.libId, library.major, library.minor, LOCALE_NEUTRAL, kOwnSysKind);
    return inUserClasses(
        [&] { return UnRegisterTypeLib(library.libId, library.major, library.minor, LOCALE_NEUTRAL, kOwnSysKind); });
}

HRESULT registerComServer(const ComAddinIdentity& identity) noexcept {
    try {
        std::wstring path = thisModulePath();
        if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
        for (const RegistryValue& value : ComAddinRegistration(identity, narrow(path))) {
            const LONG status = writeValue(value);
            if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        }
        const auto library = loadModuleTypeLibrary();
        return registerTypeLibraryForUser(
            library.get(), path, oleAutomationFunction<RegisterTypeLibForUserFunction>("RegisterTypeLibForUser"));
    } catch (...) {
        return bareFailureResult();
    }
}

HRESULT unregisterComServer(const ComAddinIdentity& identity) noexcept {
    try {
        const std::vector<RegistryValue> values = ComAddinRegistration(identity, narrow(thisModulePath()));
        for (auto it = values.rbegin(); it != values.rend(); ++it) removeValue(*it);
        const HRESULT result = unregisterTypeLibraryForUser(
            typeLibraryOf(identity), oleAutomationFunction<UnRegisterTypeLibForUserFunction>("UnRegisterTypeLibForUser"));
        // A type library that was not registered is already as it should be.
        return SUCCEEDED(result) || result == TYPE_E_REGISTRYACCESS || result == TYPE_E_CANTLOADLIBRARY ? S_OK
                                                                                                       : result;
    } catch (...) {
        return bareFailureResult();
    }
}

}  // namespace kq::win32
