#pragma once
// What the add-in object needs of Windows: for its connection the version,
// country, string table, message boxes and settings kept in the user's
// registry; for its methods the procedures that use windows and the
// recorder's services.

#include "addin/core/connect.h"
#include "addin/core/open_history.h"
#include "addin/core/procedures.h"
#include "addin/core/win32/system_helpers.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/win32_file_system.h"

namespace kq::addin::win32 {

// Message boxes owned by whichever window of the thread is active when the
// message comes: the host's window at connection, a dialog while one is open.
class ActiveWindowPrompts final : public Prompts {
public:
    int message(std::string_view text, std::string_view title, unsigned style) override;
    void beep() override;
};

// The event sink's services: the helper workbook from the library's
// resources, the Win32 file system and the add-in's own message box over the
// host's main window.
class Win32SinkServices final : public XlSinkServices {
public:
    std::vector<std::uint8_t> HelperWorkbookFile() override;
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return prompts_; }
    const Clock& clock() override { return systemClock(); }
    std::int32_t MsgBoxEx(const host::ApplicationPtr& host, const MsgBoxExArgs& args) override;

private:
    kq::win32::Win32FileSystem files_;
    ActiveWindowPrompts prompts_;
};

// The viewer start on Windows.
class Win32CommandServices final : public ViewerStartServices {
public:
    std::int32_t HostWindowHandle(const host::ApplicationPtr& host) override;
    std::string LibraryFolder() override;
    std::optional<SystemFailure> StartProcess(const std::string& program, const std::string& commandLine) override;
    Prompts& prompts() override { return prompts_; }

private:
    ActiveWindowPrompts prompts_;
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
    XlSinkServices& sinkServices() override { return sink_; }

private:
    ModuleStrings strings_;
    ActiveWindowPrompts prompts_;
    kq::win32::RegistrySettingsStore store_;
    Win32SinkServices sink_;
};

// The add-in's procedures on Windows: the portable ones; the after-print
// recording with the recorder's Windows services, made for each run at the
// host's main window as it is then; the viewer start and the help command.
Procedures AddinProcedures();

}  // namespace kq::addin::win32
