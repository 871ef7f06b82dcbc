#include "common/win32/registry_settings_store.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

namespace {

constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\";
// A setting is a short text (a path at most): anything larger is not one of ours.
constexpr DWORD kMaxValueBytes = 64 * 1024;

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string application) : application_(std::move(application)) {}

std::wstring RegistrySettingsStore::keyPath(std::string_view section) const {
    return kSettingsRoot + wide(application_) + L"\\" + wide(section);
}

std::optional<std::string> RegistrySettingsStore::read(std::string_view section, std::string_view name) {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(section).c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring valueName = wide(name);

    // The value may change between the size query and the read: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxValueBytes) return std::nullopt;
        // One spare character, zeroed, ends a text stored without its terminator.
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LONG result =
            RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        // An odd byte count leaves half a character: it is dropped.
        const std::size_t characters = std::min<std::size_t>(got / sizeof(wchar_t), text.size() - 1);
        std::wstring_view value(text.data(), characters);
        value = value.substr(0, value.find(L'\0'));
        return narrow(value);
    }
    return std::nullopt;
}

void RegistrySettingsStore::write(std::string_view section, std::string_view name, std::string_view value) {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring text = wide(value);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (bytes > kMaxValueBytes) return;
    RegSetValueExW(key.get(), wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(bytes));
}

}  // namespace kq::win32
