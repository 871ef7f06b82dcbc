#include "tools/simhost/com_registration.h"

#include <shlwapi.h>

#include <cstdio>
#include <cwchar>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::simhost {

namespace {

const std::wstring kClasses = L"Software\\Classes\\";

// A key opened for reading, with what the registration mirror reads of it.
class Key {
public:
    // Empty when the key cannot be opened: the system leaves the slot null then.
    Key(HKEY root, const std::wstring& path, REGSAM access = KEY_READ) {
        RegOpenKeyExW(root, path.c_str(), 0, access, key_.put());
    }
    explicit operator bool() const { return static_cast<bool>(key_); }
    HKEY get() const { return key_.get(); }

    std::wstring text(const wchar_t* name) const {
        wchar_t buffer[1024] = {};
        DWORD bytes = sizeof buffer - sizeof(wchar_t);
        DWORD type = 0;
        if (!key_ || RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return {};
        }
        return std::wstring(buffer, wcsnlen(buffer, bytes / sizeof(wchar_t)));
    }
    bool number(const wchar_t* name, DWORD& out) const {
        DWORD bytes = sizeof out;
        DWORD type = 0;
        return key_ && RegQueryValueExW(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &bytes) == ERROR_SUCCESS &&
               type == REG_DWORD;
    }
    std::vector<std::wstring> subkeys() const {
        std::vector<std::wstring> names;
        wchar_t name[256];
        for (DWORD i = 0; key_; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(key_.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name, length);
        }
        return names;
    }

private:
    win32::RegistryKey key_;
};

std::string lastError(const char* what, DWORD code) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " (%lu)", static_cast<unsigned long>(code));
    return std::string(what) + buffer;
}

// RegCopyTreeW exists from Vista on; looked up so that simhost still starts on older systems.
using CopyTree = LONG(WINAPI*)(HKEY, LPCWSTR, HKEY);

std::string mirrorKey(const std::wstring& path) {
    Key source(HKEY_CURRENT_USER, kClasses + path);
    if (!source) return {};
    static const auto copyTree =
        reinterpret_cast<CopyTree>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegCopyTreeW")));
    if (!copyTree) return "the registry cannot copy trees here";
    win32::RegistryKey target;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  target.put(), nullptr);
    if (result != ERROR_SUCCESS) return lastError("cannot create the machine's key", static_cast<DWORD>(result));
    result = copyTree(source.get(), nullptr, target.get());
    return result == ERROR_SUCCESS ? std::string() : lastError("cannot copy the key", static_cast<DWORD>(result));
}

}  // namespace

std::string callRegistrationEntry(const std::string& dllPath, bool unregister) {
    const std::wstring path = win32::wide(dllPath);
    const win32::Module module(LoadLibraryW(path.c_str()));
    if (!module) return lastError("cannot load the library", GetLastError());
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto function = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module.get(), entry)));
    std::string problem;
    if (!function) {
        problem = std::string("the library has no ") + entry;
    } else {
        const HRESULT hr = function();
        if (FAILED(hr)) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, " failed (0x%08lX)", static_cast<unsigned long>(hr));
            problem = std::string(entry) + buffer;
        }
    }
    return problem;
}

std::string libraryUnloadState(const std::string& dllPath) {
    // Not counted: the library stays exactly as loaded as COM left it.
    const HMODULE module = GetModuleHandleW(win32::wide(dllPath).c_str());
    if (!module) return "not loaded";
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto canUnload =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    if (!canUnload) return "has no DllCanUnloadNow";
    return canUnload() == S_OK ? "unloadable" : "holds objects";
}

namespace {

struct WindowSearch {
    HMODULE module;
    std::vector<HWND> found;
};

BOOL CALLBACK collectLibraryWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const auto instance = reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (process == GetCurrentProcessId() && instance == search.module) search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> libraryWindows(const std::string& dllPath) {
    WindowSearch search{GetModuleHandleW(win32::wide(dllPath).c_str()), {}};
    if (!search.module) return {};
    EnumWindows(collectLibraryWindow, reinterpret_cast<LPARAM>(&search));
    std::vector<std::pair<std::string, std::string>> windows;
    for (const HWND window : search.found) {
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        windows.emplace_back(win32::narrow(name), win32::windowText(window));
    }
    return windows;
}

std::vector<std::string> startupAddIns() {
    std::vector<std::string> progIds;
    Key list(HKEY_CURRENT_USER, kAddInsKey);
    for (const std::wstring& name : list.subkeys()) {
        Key entry(list.get(), name);
        DWORD behaviour = 0;
        if (entry.number(L"LoadBehavior", behaviour) && behaviour == 3) progIds.push_back(win32::narrow(name));
    }
    return progIds;
}

void forgetAddIns(const std::vector<std::string>& progIds) {
    for (const std::string& progId : progIds) {
        SHDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kAddInsKey) + L"\\" + win32::wide(progId)).c_str());
    }
}

std::string mirrorClassRegistration(const std::string& progId) {
    const std::wstring id = win32::wide(progId);
    std::string problem = mirrorKey(id);
    const std::wstring clsid = Key(HKEY_CURRENT_USER, kClasses + id + L"\\CLSID").text(nullptr);
    if (problem.empty() && !clsid.empty()) problem = mirrorKey(L"CLSID\\" + clsid);
    const std::wstring library = Key(HKEY_CURRENT_USER, kClasses + L"CLSID\\" + clsid + L"\\TypeLib").text(nullptr);
    if (problem.empty() && !clsid.empty() && !library.empty()) {
        problem = mirrorKey(L"TypeLib\\" + library);
        Key interfaces(HKEY_CURRENT_USER, kClasses + L"Interface");
        for (const std::wstring& iid : interfaces.subkeys()) {
            if (!problem.empty()) break;
            const std::wstring owner = Key(interfaces.get(), iid + L"\\TypeLib").text(nullptr);
            if (_wcsicmp(owner.c_str(), library.c_str()) == 0) {
                problem = mirrorKey(L"Interface\\" + iid);
            }
        }
    }
    return problem;
}

}  // namespace kq::simhost
