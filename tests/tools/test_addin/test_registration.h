#pragma once
// Per-user registration of the test add-ins, as the product registers itself:
// the ProgID, the class with its in-process server, and the host's add-in
// entry with LoadBehavior 3. Unregistering also takes away what simhost
// mirrored into the machine's classes for Wine's COM.

#include "common/win32/windows_api.h"

#include <olectl.h>
#include <shlwapi.h>

#include <string>

#include "common/win32/handles.h"
#include "common/win32/module.h"

namespace kq::test {

inline bool setRegistryText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    win32::RegistryKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

inline const std::wstring kClassesKey = L"Software\\Classes\\";

inline std::wstring addInKey(const std::wstring& progId) {
    return L"Software\\Microsoft\\Office\\Excel\\Addins\\" + progId;
}

inline HRESULT registerTestAddIn(const std::wstring& progId, const std::wstring& clsidText) {
    const std::wstring path = win32::thisModulePath();
    const std::wstring clsidKey = kClassesKey + L"CLSID\\" + clsidText;
    const std::wstring addIn = addInKey(progId);
    bool ok = setRegistryText(HKEY_CURRENT_USER, kClassesKey + progId + L"\\CLSID", nullptr, clsidText) &&
              setRegistryText(HKEY_CURRENT_USER, clsidKey, nullptr, progId) &&
              setRegistryText(HKEY_CURRENT_USER, clsidKey + L"\\ProgID", nullptr, progId) &&
              setRegistryText(HKEY_CURRENT_USER, clsidKey + L"\\InprocServer32", nullptr, path) &&
              setRegistryText(HKEY_CURRENT_USER, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
              setRegistryText(HKEY_CURRENT_USER, addIn, L"FriendlyName", L"") &&
              setRegistryText(HKEY_CURRENT_USER, addIn, L"Description", L"");
    const DWORD startUp = 3;
    win32::RegistryKey key;
    ok = ok && RegOpenKeyExW(HKEY_CURRENT_USER, addIn.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS;
    if (key) {
        ok = RegSetValueExW(key.get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&startUp),
                            sizeof startUp) == ERROR_SUCCESS;
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

inline HRESULT unregisterTestAddIn(const std::wstring& progId, const std::wstring& clsidText) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        SHDeleteKeyW(root, (kClassesKey + progId).c_str());
        SHDeleteKeyW(root, (kClassesKey + L"CLSID\\" + clsidText).c_str());
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, addInKey(progId).c_str());
    return S_OK;
}

}  // namespace kq::test
