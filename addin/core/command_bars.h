#pragma once
// The legacy menu and floating toolbar of hosts before 12: their tags,
// captions and icons, the toolbar's placement kept in the settings, the
// painting of icon faces and the state of the this-sheet toggle. Building,
// restoring, saving and removing the bars are the add-in object's own steps
// (Connect, in command_bars.cpp).

#include <cstdint>
#include <memory>
#include <string_view>

#include "common/prompts.h"
#include "common/settings_store.h"
#include "host/host.h"

namespace kq::addin {

class AddinState;

// The maker's menu and its site button are shared with the maker's other
// add-ins; the rest is this add-in's own.
namespace bar_tags {
inline constexpr std::string_view kMakerMenu = "KEZ";
inline constexpr std::string_view kSite = "KEZ_SITE";
inline constexpr std::string_view kProductMenu = "KEZ_QUORVEX";
inline constexpr std::string_view kThisSheet = "KEZ_QUORVEX_THISSHEETCHECK";
inline constexpr std::string_view kOpenHistory = "KEZ_QUORVEX_OPENHISTORY";
inline constexpr std::string_view kSetting = "KEZ_QUORVEX_SETTING";
inline constexpr std::string_view kHelp = "KEZ_QUORVEX_HELP";
inline constexpr std::string_view kAbout = "KEZ_QUORVEX_ABOUT";
}  // namespace bar_tags

// The captions' ids in the string table, from the string base.
namespace bar_strings {
inline constexpr std::int32_t kTitle = 0;  // also the toolbar's name and its captions' prefix
inline constexpr std::int32_t kMakerMenu = 100;
inline constexpr std::int32_t kProductMenu = 200;
inline constexpr std::int32_t kThisSheet = 201;
inline constexpr std::int32_t kOpenHistory = 202;
inline constexpr std::int32_t kSetting = 210;
inline constexpr std::int32_t kHelp = 211;
inline constexpr std::int32_t kAbout = 212;
inline constexpr std::int32_t kSite = 900;
}  // namespace bar_strings

// The icon resources of the two buttons that carry the add-in's own faces.
inline constexpr std::string_view kIconThisSheet = "ICON_THISSITECHECK";
inline constexpr std::string_view kIconOpenHistory = "ICON_OPENHISTORY";

// The host's faces of the other buttons.
inline constexpr std::int32_t kFaceSetting = 611;
inline constexpr std::int32_t kFaceHelp = 3278;
inline constexpr std::int32_t kFaceAbout = 0;
inline constexpr std::int32_t kFaceSite = 1016;

// Hosts before 12 have the legacy bars; later ones the ribbon.
bool HasLegacyBars(host::Application& application);

// Where the toolbar stands, as kept in section "Bar" between sessions.
struct ToolbarPlacement {
    std::int32_t RowIndex = -1;
    std::int32_t Position = host::msoBarTop;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    bool Visible = true;
    friend bool operator==(const ToolbarPlacement&, const ToolbarPlacement&) = default;
};

namespace bar_setting {
inline constexpr std::string_view kSection = "Bar";
inline constexpr std::string_view kRowIndex = "RowIndex";
inline constexpr std::string_view kPosition = "Position";
inline constexpr std::string_view kLeft = "Left";
inline constexpr std::string_view kTop = "Top";
inline constexpr std::string_view kVisible = "Visible";
}  // namespace bar_setting

// A value that is missing or is no number (no "True" or "False" for
// Visible) gives that value's default.
ToolbarPlacement ReadToolbarPlacement(SettingsStore& store);
// Position, RowIndex, Left and Top in decimal, Visible as "True" or "False".
void WriteToolbarPlacement(SettingsStore& store, const ToolbarPlacement& placement);

// Painting icons onto button faces goes through the clipboard, as the host
// copies and pastes faces. One painter serves one building of the bars: while
// it lives the user's clipboard is kept aside, and it is put back when the
// painter goes.
class IconFaces {
public:
    virtual ~IconFaces() = default;
    // Takes the picture the host put on the clipboard, draws the icon resource
    // of that name onto it at 16 x 16, and puts the picture back on the
    // clipboard as a bitmap and as a device-independent bitmap. False, with
    // nothing put back, when a step fails.
    virtual bool drawIcon(std::string_view iconResourceName) = 0;
    virtual void clearClipboard() = 0;
};

// Paints the icon resource onto the button's face. When a step fails the
// button keeps the face it had and the user hears a beep. Nothing is thrown.
void SetIconToOfficeCommandbarButton(const host::CommandBarControlPtr& button, std::string_view iconResourceName,
                                     IconFaces& faces, Prompts& prompts);

// Shows the this-sheet buttons pressed while the active sheet is watched (up
// whatever it is when forceUp); hosts 12 and later have no such buttons.
void SetThisSiteCheckButtonPushed(AddinState& state, bool forceUp);

}  // namespace kq::addin
