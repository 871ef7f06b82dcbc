#pragma once
// The bridge's fixed knowledge of its ribbon: which hosts it serves, which
// markup each gets, and what each control of the markup shows and does. Ids
// and image names compare exactly, letter case included.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kq::ribbon {

namespace control {
inline constexpr std::string_view kGroup = "KEZ_QUORVEX_TAB_MAIN";
inline constexpr std::string_view kBackstageGroup = "KEZ_QUORVEX_TAB_MAIN_2";
inline constexpr std::string_view kOfficeMenu = "KEZ_QUORVEX_OFFICEMENU";
inline constexpr std::string_view kThisSheetCheck = "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK";
inline constexpr std::string_view kThisSheetCheck2 = "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK_2";
inline constexpr std::string_view kOpenHistory = "KEZ_QUORVEX_TAB_MAIN_OPENHISTORY";
inline constexpr std::string_view kOpenHistory2 = "KEZ_QUORVEX_TAB_MAIN_OPENHISTORY_2";
inline constexpr std::string_view kSetting = "KEZ_QUORVEX_TAB_MAIN_SETTING";
inline constexpr std::string_view kSetting2 = "KEZ_QUORVEX_TAB_MAIN_SETTING_2";
inline constexpr std::string_view kHelp = "KEZ_QUORVEX_TAB_MAIN_HELP";
inline constexpr std::string_view kAbout = "KEZ_QUORVEX_TAB_MAIN_ABOUT";
inline constexpr std::string_view kHomePage = "KEZ_QUORVEX_TAB_MAIN_HOMEPAGE";
}  // namespace control

// What the connection does with a host.
enum class Gate {
    Idle,    // a host without a ribbon: stay connected, publish nothing
    Accept,  // keep the host and publish the bridge as the add-in's object
    Refuse,  // tell the host to drop the bridge, silently
};

// `hostVersion` is the leading number of the host's Version text, `osCode`
// the running Windows' OsCode.
Gate connectionGate(double hostVersion, std::int32_t osCode);

// The name of the "XML" resource holding the markup for that host, or none
// (no custom controls).
std::optional<std::string_view> markupResourceFor(double hostVersion);

// The kinds of text the host asks a control for, each by its own callback.
enum class TextKind { Label, Screentip, Supertip, Description };

// The name of the callback that asks for that kind of text ("Callback_getLabel", ...).
std::string_view textCallbackName(TextKind kind);

// The id in the library's string table of that text of that control, or none
// when the markup gives the control no such text.
std::optional<std::int32_t> textStringId(TextKind kind, std::string_view controlId);

// What a button of the markup runs.
enum class ButtonCommand { ThisSheetCheck, OpenHistory, Setting, Help, About, HomePage };

std::optional<ButtonCommand> buttonCommandOf(std::string_view controlId);

// The add-in core's member that runs the command, called by name.
std::string_view coreMemberOf(ButtonCommand command);

// Whether the control is one of the this-sheet toggles (or the backstage button standing for them).
bool isThisSheetCheck(std::string_view controlId);

// Whether the control's image shows whether the active sheet is watched.
bool showsWatchState(std::string_view controlId);

// Every control whose image, label or pressed state shows whether the active
// sheet is watched: after the watch changes, the host asks them all again.
std::span<const std::string_view> watchStateControls();

// Where a picture comes from: a PNG resource of the library or a built-in image of the host.
struct ImageSource {
    enum class Kind { Resource, BuiltIn } kind;
    std::string_view name;
    friend bool operator==(const ImageSource&, const ImageSource&) = default;
};

// The picture of an image name of the markup (Callback_loadImage), or none for an unknown name.
std::optional<ImageSource> imageOfName(std::string_view imageName);

// The picture that stands for any image that could not be had.
inline constexpr ImageSource kFallbackImage{ImageSource::Kind::BuiltIn, "Delete"};
// The size, in pixels, at which the host's built-in images are asked for.
inline constexpr int kBuiltInImageSize = 32;

// PNG resources of the library: the this-sheet picture unwatched and watched, and the history picture.
inline constexpr std::string_view kPngThisSheetCheck = "PNG_ICON_THISSHEETCHECK";
inline constexpr std::string_view kPngThisSheetCheckWatched = "PNG_ICON_THISSHEETCHECK2";
inline constexpr std::string_view kPngOpenHistory = "PNG_ICON_OPENHISTORY";

}  // namespace kq::ribbon
