#include "ribbon/controls.h"

#include <algorithm>
#include <array>

#include "common/os_code.h"

namespace kq::ribbon {

namespace {

using namespace control;

constexpr double kFirstRibbonHost = 12;

struct MarkupRow {
    double hostVersion;
    std::string_view resource;
};
// Host 16 takes the 2013 document: without it that host has no way into the
// add-in at all, and its ribbon reads the 2009/07 markup as 15 does.
constexpr std::array kMarkups = {
    MarkupRow{12, "CUSTOMUI2007"},
    MarkupRow{14, "CUSTOMUI2010"},
    MarkupRow{15, "CUSTOMUI2013"},
    MarkupRow{16, "CUSTOMUI2013"},
};

struct TextRow {
    TextKind kind;
    std::string_view control;
    std::int32_t stringId;
};
constexpr std::array kTexts = {
    TextRow{TextKind::Label, kOfficeMenu, 1000},
    TextRow{TextKind::Label, kGroup, 1001},
    TextRow{TextKind::Label, kBackstageGroup, 1001},
    TextRow{TextKind::Label, kThisSheetCheck, 1002},
    TextRow{TextKind::Label, kThisSheetCheck2, 1002},
    TextRow{TextKind::Label, kOpenHistory, 1003},
    TextRow{TextKind::Label, kOpenHistory2, 1003},
    TextRow{TextKind::Label, kSetting2, 1004},
    TextRow{TextKind::Label, kHelp, 1005},
    TextRow{TextKind::Label, kAbout, 1006},
    TextRow{TextKind::Label, kHomePage, 1007},
    TextRow{TextKind::Screentip, kThisSheetCheck, 3002},
    TextRow{TextKind::Screentip, kThisSheetCheck2, 3002},
    TextRow{TextKind::Screentip, kOpenHistory, 3003},
    TextRow{TextKind::Screentip, kOpenHistory2, 3003},
    TextRow{TextKind::Screentip, kSetting, 3004},
    TextRow{TextKind::Screentip, kSetting2, 3004},
    TextRow{TextKind::Screentip, kHelp, 3005},
    TextRow{TextKind::Screentip, kAbout, 3006},
    TextRow{TextKind::Screentip, kHomePage, 3007},
    TextRow{TextKind::Supertip, kThisSheetCheck, 4002},
    TextRow{TextKind::Supertip, kThisSheetCheck2, 4002},
    TextRow{TextKind::Supertip, kOpenHistory, 4003},
    TextRow{TextKind::Supertip, kOpenHistory2, 4003},
    TextRow{TextKind::Supertip, kSetting, 4004},
    TextRow{TextKind::Supertip, kSetting2, 4004},
    TextRow{TextKind::Supertip, kHelp, 4005},
    TextRow{TextKind::Supertip, kAbout, 4006},
    TextRow{TextKind::Supertip, kHomePage, 4007},
    TextRow{TextKind::Description, kThisSheetCheck, 5002},
    TextRow{TextKind::Description, kThisSheetCheck2, 5002},
    TextRow{TextKind::Description, kOpenHistory, 5003},
    TextRow{TextKind::Description, kOpenHistory2, 5003},
    TextRow{TextKind::Description, kSetting, 5004},
    TextRow{TextKind::Description, kSetting2, 5004},
};

struct ButtonRow {
    std::string_view control;
    ButtonCommand command;
};
constexpr std::array kButtons = {
    ButtonRow{kThisSheetCheck, ButtonCommand::ThisSheetCheck}, ButtonRow{kThisSheetCheck2, ButtonCommand::ThisSheetCheck},
    ButtonRow{kOpenHistory, ButtonCommand::OpenHistory},       ButtonRow{kOpenHistory2, ButtonCommand::OpenHistory},
    ButtonRow{kSetting, ButtonCommand::Setting},               ButtonRow{kSetting2, ButtonCommand::Setting},
    ButtonRow{kHelp, ButtonCommand::Help},                     ButtonRow{kAbout, ButtonCommand::About},
    ButtonRow{kHomePage, ButtonCommand::HomePage},
};

struct CoreMemberRow {
    ButtonCommand command;
    std::string_view member;
};
constexpr std::array kCoreMembers = {
    CoreMemberRow{ButtonCommand::ThisSheetCheck, "CallForRibbon_ThisSheetCheck"},
    CoreMemberRow{ButtonCommand::OpenHistory, "CallForRibbon_OpenHistory"},
    CoreMemberRow{ButtonCommand::Setting, "CallForRibbon_Setting"},
    CoreMemberRow{ButtonCommand::Help, "CallForRibbon_Help"},
    CoreMemberRow{ButtonCommand::About, "CallForRibbon_About"},
    CoreMemberRow{ButtonCommand::HomePage, "CallForRibbon_GoToHomePage"},
};

constexpr std::array<std::string_view, 3> kWatchStateControls = {kThisSheetCheck, kThisSheetCheck2, kOfficeMenu};

struct ImageRow {
    std::string_view imageName;
    ImageSource source;
};
constexpr std::array kImages = {
    ImageRow{kThisSheetCheck, {ImageSource::Kind::Resource, kPngThisSheetCheck}},
    ImageRow{kThisSheetCheck2, {ImageSource::Kind::Resource, kPngThisSheetCheck}},
    ImageRow{kOpenHistory, {ImageSource::Kind::Resource, kPngOpenHistory}},
    ImageRow{kOpenHistory2, {ImageSource::Kind::Resource, kPngOpenHistory}},
    ImageRow{kSetting, {ImageSource::Kind::BuiltIn, "ControlsGallery"}},
    ImageRow{kSetting2, {ImageSource::Kind::BuiltIn, "ControlsGallery"}},
    ImageRow{kHomePage, {ImageSource::Kind::BuiltIn, "OpenStartPage"}},
    ImageRow{kHelp, {ImageSource::Kind::BuiltIn, "ContentsAndIndex"}},
    ImageRow{kAbout, {ImageSource::Kind::BuiltIn, "Info"}},
};

template <typename Rows, typename Match>
auto findRow(const Rows& rows, Match match) -> decltype(&rows[0]) {
    const auto it = std::find_if(rows.begin(), rows.end(), match);
    return it == rows.end() ? nullptr : &*it;
}

}  // namespace

Gate connectionGate(double hostVersion, std::int32_t osCode) {
    if (hostVersion < kFirstRibbonHost) return Gate::Idle;
    const bool servedHost = hostVersion == 12 || hostVersion == 14 || hostVersion == 15 || hostVersion == 16;
    const bool namedWindows = osCode != kOsOther9x && osCode != kOsOtherNT;
    return servedHost && namedWindows ? Gate::Accept : Gate::Refuse;
}

std::optional<std::string_view> markupResourceFor(double hostVersion) {
    const auto* row = findRow(kMarkups, [&](const MarkupRow& r) { return r.hostVersion == hostVersion; });
    if (!row) return std::nullopt;
    return row->resource;
}

std::string_view textCallbackName(TextKind kind) {
    switch (kind) {
        case TextKind::Label: return "Callback_getLabel";
        case TextKind::Screentip: return "Callback_getScreentip";
        case TextKind::Supertip: return "Callback_getSupertip";
        case TextKind::Description: return "Callback_getDescription";
    }
    return {};
}

std::optional<std::int32_t> textStringId(TextKind kind, std::string_view controlId) {
    const auto* row = findRow(kTexts, [&](const TextRow& r) { return r.kind == kind && r.control == controlId; });
    if (!row) return std::nullopt;
    return row->stringId;
}

std::optional<ButtonCommand> buttonCommandOf(std::string_view controlId) {
    const auto* row = findRow(kButtons, [&](const ButtonRow& r) { return r.control == controlId; });
    if (!row) return std::nullopt;
    return row->command;
}

std::string_view coreMemberOf(ButtonCommand command) {
    const auto* row = findRow(kCoreMembers, [&](const CoreMemberRow& r) { return r.command == command; });
    return row ? row->member : std::string_view();
}

bool isThisSheetCheck(std::string_view controlId) {
    return controlId == kThisSheetCheck || controlId == kThisSheetCheck2;
}

bool showsWatchState(std::string_view controlId) {
    return std::find(kWatchStateControls.begin(), kWatchStateControls.end(), controlId) != kWatchStateControls.end();
}

std::span<const std::string_view> watchStateControls() { return kWatchStateControls; }

std::optional<ImageSource> imageOfName(std::string_view imageName) {
    const auto* row = findRow(kImages, [&](const ImageRow& r) { return r.imageName == imageName; });
    if (!row) return std::nullopt;
    return row->source;
}

}  // namespace kq::ribbon
