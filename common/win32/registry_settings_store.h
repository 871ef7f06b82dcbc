#pragma once
// The settings store in the user's registry, where the classic forms runtime
// keeps program settings: HKEY_CURRENT_USER\Software\VB and VBA Program
// Settings\<application>\<section>, one string value per setting.

#include <string>

#include "common/settings_store.h"

namespace kq::win32 {

class RegistrySettingsStore final : public SettingsStore {
public:
    // The application key of this system's settings.
    static constexpr char kApplication[] = "KEZ_QUORVEX";

    explicit RegistrySettingsStore(std::string application = kApplication);

    // Registry values are outside bytes: only string values are read; one that is
    // absurdly large reads as missing, one that is damaged as the text up to its
    // first NUL.
    std::optional<std::string> read(std::string_view section, std::string_view name) override;
    // Creates the keys as needed; failures are ignored.
    void write(std::string_view section, std::string_view name, std::string_view value) override;

private:
    std::wstring keyPath(std::string_view section) const;

    std::string application_;
};

}  // namespace kq::win32
