#pragma once
// The program-wide values of one run of the viewer: what the command line
// gave, and the view settings, read from the settings store by their first
// use (the command line's card request or the main window's start).

#include <optional>

#include "common/settings_store.h"
#include "viewer/start/command_line.h"
#include "viewer/main_window/view_setting.h"

namespace kq::viewer {

class ViewerRun {
public:
    explicit ViewerRun(SettingsStore& store) : store_(store) {}
    ViewerRun(const ViewerRun&) = delete;
    ViewerRun& operator=(const ViewerRun&) = delete;

    // gParentHwnd, gParentWindowMaximized, gSaveFolder, gShowCardKey.
    StartValues start;

    // gViewSetting. The main window writes it back when it goes.
    c_Setting_View& viewSetting() {
        if (!viewSetting_) viewSetting_.emplace(store_);
        return *viewSetting_;
    }
    SettingsStore& store() { return store_; }

private:
    SettingsStore& store_;
    std::optional<c_Setting_View> viewSetting_;
};

}  // namespace kq::viewer
