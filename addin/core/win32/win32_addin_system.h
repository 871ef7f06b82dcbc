#pragma once
// What the add-in object needs of Windows: for its connection the version,
// country, string table, message boxes and settings kept in the user's
// registry; for its methods the procedures that use windows and the
// recorder's services.

#include "addin/core/connect.h"
#include "addin/core/procedures.h"
#include "addin/core/win32/system_helpers.h"
#include "common/win32/registry_settings_store.h"

namespace kq::addin::win32 {

// Message boxes owned by whichever window of the thread is active when the
// message comes: the host's window at connection, a dialog while one is open.
class ActiveWindowPrompts final : public Prompts {
public:
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;
};

class Win32AddinSystem final : public AddinSystem {
public:
    std::int32_t GetOS(std::string& versionText) override { return win32::GetOS(versionText); }
    std::string LanguagenameFromOS() override { return win32::LanguagenameFromOS(); }
    std::optional<std::string> LoadResString(std::int32_t id) override { return strings_.LoadResString(id); }
    Prompts& prompts() override { return prompts_; }
    std::shared_ptr<c_Setting> NewSetting(double hostVersion) override;
    SettingsStore& settingsStore() override { return store_; }
    std::unique_ptr<IconFaces> iconFaces() override;

private:
    ModuleStrings strings_;
    ActiveWindowPrompts prompts_;
    kq::win32::RegistrySettingsStore store_;
};

// The add-in's procedures on Windows: the portable ones, the after-print
// recording with the recorder's Windows services, made for each run at the
// host's main window as it is then, and the maker's home page in the browser.
Procedures AddinProcedures();

}  // namespace kq::addin::win32
