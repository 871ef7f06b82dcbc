#pragma once
// Raw access to the user's registry for Windows tests: values are written and
// read back with the registry functions themselves, not through the store
// under test.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/win32/handles.h"
#include "common/win32/windows_api.h"

namespace kq::test {

inline const std::wstring kProgramSettings = L"Software\\VB and VBA Program Settings\\";

// Removes a key with everything below it.
inline void deleteRegistryTree(const std::wstring& path) {
    std::vector<std::wstring> children;
    {
        win32::RegistryKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
            wchar_t name[256];
            for (DWORD i = 0;; ++i) {
                DWORD length = 256;
                if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
                children.emplace_back(name, length);
            }
        }
    }
    for (const auto& child : children) deleteRegistryTree(path + L"\\" + child);
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

inline void setRawValue(const std::wstring& keyPath, const std::wstring& name, DWORD type, const void* data,
                        DWORD bytes) {
    win32::RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
}

inline void setRawText(const std::wstring& keyPath, const std::wstring& name, const std::wstring& text) {
    setRawValue(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

struct RawValue {
    DWORD type = 0;
    std::wstring text;  // the bytes as UTF-16, terminator dropped
};

inline std::optional<RawValue> readRawValue(const std::wstring& keyPath, const std::wstring& name) {
    win32::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value;
    std::vector<wchar_t> buffer(4096, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LONG result =
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (result != ERROR_SUCCESS) return std::nullopt;
    value.text.assign(buffer.data(), bytes / sizeof(wchar_t));
    if (!value.text.empty() && value.text.back() == L'\0') value.text.pop_back();
    return value;
}

}  // namespace kq::test
