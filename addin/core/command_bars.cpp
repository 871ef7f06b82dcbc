#include "addin/core/command_bars.h"

#include <optional>
#include <string>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/check_thissite_button_push.h"
#include "addin/core/connect.h"
#include "common/vb.h"

namespace kq::addin {

namespace {

constexpr double kFirstRibbonHost = 12;
// More toolbars of one name than this are no leftovers of ours: something keeps refusing to delete them.
constexpr int kMostLeftoverToolbars = 16;

std::string text(std::string_view view) { return std::string(view); }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A stored number: optional blanks, a sign, digits with at most one decimal
// point, optional blanks; nothing else.
std::optional<std::int32_t> storedNumber(const std::optional<std::string>& stored) {
    if (!stored) return std::nullopt;
    const std::string& s = *stored;
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            digits = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (i < s.size() && isBlank(s[i])) ++i;
    if (!digits || i != s.size()) return std::nullopt;
    return vb::CLng(vb::Val(s));
}

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::optional<bool> storedFlag(const std::optional<std::string>& stored) {
    if (!stored) return std::nullopt;
    if (sameLetters(*stored, "True")) return true;
    if (sameLetters(*stored, "False")) return false;
    if (const auto number = storedNumber(stored)) return *number != 0;
    return std::nullopt;
}

// The stored value; when the host refuses it, the default.
template <typename T, typename Set>
void setOrDefault(T stored, T fallback, Set set) {
    if (host::ignoreErrors([&] { set(stored); })) return;
    set(fallback);
}

host::CommandBarControlPtr makerMenuOf(host::CommandBar& menuBar) {
    return menuBar.FindControl({.Id = std::nullopt, .Tag = text(bar_tags::kMakerMenu)});
}

// One of the product submenu's buttons, in the order they stand.
struct ProductButton {
    std::int32_t caption;
    std::string_view tag;
    std::string_view icon;  // empty: the host's face FaceId
    std::int32_t faceId;
    bool groupInMenu;
    bool onToolbar;
    bool groupOnToolbar;
    ControlSink* sink;
};

}  // namespace

bool HasLegacyBars(host::Application& application) { return vb::Val(application.Version()) < kFirstRibbonHost; }

ToolbarPlacement ReadToolbarPlacement(SettingsStore& store) {
    using namespace bar_setting;
    const ToolbarPlacement defaults;
    const auto number = [&](std::string_view name, std::int32_t fallback) {
        return storedNumber(store.read(kSection, name)).value_or(fallback);
    };
    return {.RowIndex = number(kRowIndex, defaults.RowIndex),
            .Position = number(kPosition, defaults.Position),
            .Left = number(kLeft, defaults.Left),
            .Top = number(kTop, defaults.Top),
            .Visible = storedFlag(store.read(kSection, kVisible)).value_or(defaults.Visible)};
}

void WriteToolbarPlacement(SettingsStore& store, const ToolbarPlacement& placement) {
    using namespace bar_setting;
    store.write(kSection, kPosition, std::to_string(placement.Position));
    store.write(kSection, kRowIndex, std::to_string(placement.RowIndex));
    store.write(kSection, kLeft, std::to_string(placement.Left));
    store.write(kSection, kTop, std::to_string(placement.Top));
    store.write(kSection, kVisible, placement.Visible ? "True" : "False");
}

void SetIconToOfficeCommandbarButton(const host::CommandBarControlPtr& button, std::string_view iconResourceName,
                                     IconFaces& faces, Prompts& prompts) {
    if (!button) return;
    // Stops at the first failing step, so that the button keeps the face it had.
    const bool painted = host::ignoreErrors([&] { button->CopyFace(); }) && faces.drawIcon(iconResourceName) &&
                         host::ignoreErrors([&] { button->PasteFace(); });
    faces.clearClipboard();
    if (!painted) prompts.beep();
}

void SetThisSiteCheckButtonPushed(AddinState& state, bool forceUp) {
    if (!state.g_Application || !HasLegacyBars(*state.g_Application)) return;
    const std::int32_t pressed = !forceUp && CheckThissiteButtonPush(state) ? host::msoButtonDown : host::msoButtonUp;
    host::ignoreErrors([&] {
        const auto buttons =
            state.g_Application->CommandBars()->FindControls({.Id = std::nullopt, .Tag = text(bar_tags::kThisSheet)});
        for (const auto& button : buttons) host::ignoreErrors([&] { button->SetState(pressed); });
    });
}

void Connect::clearOwnLeftovers(host::CommandBars& bars) {
    host::ignoreErrors([&] {
        for (const auto& submenu : bars.FindControls({.Id = std::nullopt, .Tag = text(bar_tags::kProductMenu)})) {
            host::ignoreErrors([&] { submenu->Delete(); });
        }
    });
    for (int i = 0; i < kMostLeftoverToolbars; ++i) {
        host::CommandBarPtr toolbar;
        host::ignoreErrors([&] { toolbar = bars.FindBar(state_->g_Title); });
        if (!toolbar || !host::ignoreErrors([&] { toolbar->Delete(); })) break;
    }
}

void Connect::BuildCommandBars() {
    AddinState& state = *state_;
    host::Application& app = *state.g_Application;
    if (!HasLegacyBars(app)) return;
    const host::CommandBarsPtr bars = app.CommandBars();
    clearOwnLeftovers(*bars);
    const std::int32_t base = state.g_ResBase;
    const auto stored = [&](std::int32_t offset) { return StoredResString(system_, base + offset); };

    const host::CommandBarPtr menuBar = bars->Item(1);
    host::CommandBarControlPtr makerMenu;
    host::CommandBarControlPtr siteButton;
    host::ignoreErrors([&] { makerMenu = makerMenuOf(*menuBar); });
    if (!makerMenu) {
        makerMenu = menuBar->AddControl(host::msoControlPopup, std::nullopt, true);
    } else {
        // Another of the maker's add-ins made the menu: its site button serves both.
        host::ignoreErrors([&] {
            siteButton = makerMenu->CommandBar()->FindControl({.Id = std::nullopt, .Tag = text(bar_tags::kSite)});
        });
    }
    makerMenu->SetTag(text(bar_tags::kMakerMenu));
    makerMenu->SetCaption(stored(bar_strings::kMakerMenu));
    makerMenu->SetBeginGroup(true);

    const host::CommandBarControlPtr productMenu = makerMenu->CommandBar()->AddControl(host::msoControlPopup, 1, true);
    productMenu->SetCaption(stored(bar_strings::kProductMenu));
    productMenu->SetTag(text(bar_tags::kProductMenu));

    const ProductButton buttons[] = {
        {bar_strings::kThisSheet, bar_tags::kThisSheet, kIconThisSheet, 0, false, true, false, &thisSheetSink_},
        {bar_strings::kOpenHistory, bar_tags::kOpenHistory, kIconOpenHistory, 0, false, true, false, &openHistorySink_},
        {bar_strings::kSetting, bar_tags::kSetting, {}, kFaceSetting, true, true, true, &settingSink_},
        {bar_strings::kHelp, bar_tags::kHelp, {}, kFaceHelp, false, true, true, &helpSink_},
        {bar_strings::kAbout, bar_tags::kAbout, {}, kFaceAbout, false, false, false, &aboutSink_},
    };
    {
        // The faces go through the clipboard; the user's content comes back when the painter goes.
        const std::unique_ptr<IconFaces> faces = system_.iconFaces();
        for (const ProductButton& b : buttons) {
            b.sink->holdControl(productMenu->CommandBar()->AddControl(host::msoControlButton, std::nullopt, true));
            const host::CommandBarControlPtr& button = b.sink->CB;
            button->SetCaption(LoadResStringEx(system_, base + b.caption));
            if (b.icon.empty()) {
                button->SetFaceId(b.faceId);
            } else {
                SetIconToOfficeCommandbarButton(button, b.icon, *faces, system_.prompts());
            }
            if (b.groupInMenu) button->SetBeginGroup(true);
            button->SetStyle(host::msoButtonIconAndCaption);
            button->SetOnAction(onActionText_);
            button->SetTag(text(b.tag));
        }
    }
    if (!siteButton) {
        siteSink_.holdControl(makerMenu->CommandBar()->AddControl(host::msoControlButton, std::nullopt, true));
        const host::CommandBarControlPtr& site = siteSink_.CB;
        site->SetCaption(LoadResStringEx(system_, base + bar_strings::kSite));
        site->SetFaceId(kFaceSite);
        site->SetStyle(host::msoButtonIconAndCaption);
        site->SetOnAction(onActionText_);
        site->SetBeginGroup(true);
        site->SetTag(text(bar_tags::kSite));
    }

    const host::CommandBarPtr toolbar = bars->Add(state.g_Title, host::msoBarFloating, false, true);
    for (const ProductButton& b : buttons) {
        if (!b.onToolbar) continue;
        const host::CommandBarControlPtr copy = b.sink->CB->Copy(toolbar);
        if (b.groupOnToolbar) copy->SetBeginGroup(true);
        copy->SetCaption(state.g_Title + "-" + copy->Caption());
        copy->SetStyle(host::msoButtonIcon);
        copy->SetOnAction(onActionText_);
        copy->SetTag(text(b.tag));
    }
    toolbar->SetProtection(host::msoBarNoCustomize);
    toolbar->SetVisible(false);
}

void Connect::RestoreToolbarState() {
    AddinState& state = *state_;
    host::CommandBarPtr toolbar;
    host::ignoreErrors([&] { toolbar = state.g_Application->CommandBars()->FindBar(state.g_Title); });
    if (!toolbar) return;
    toolbar->SetVisible(false);
    const ToolbarPlacement stored = ReadToolbarPlacement(system_.settingsStore());
    const ToolbarPlacement fallback;
    setOrDefault(stored.RowIndex, fallback.RowIndex, [&](std::int32_t v) { toolbar->SetRowIndex(v); });
    setOrDefault(stored.Position, fallback.Position, [&](std::int32_t v) { toolbar->SetPosition(v); });
    setOrDefault(stored.Left, fallback.Left, [&](std::int32_t v) { toolbar->SetLeft(v); });
    setOrDefault(stored.Top, fallback.Top, [&](std::int32_t v) { toolbar->SetTop(v); });
    setOrDefault(stored.Visible, fallback.Visible, [&](bool v) { toolbar->SetVisible(v); });
}

void Connect::SaveToolbarState() {
    AddinState& state = *state_;
    const host::CommandBarPtr toolbar = state.g_Application->CommandBars()->FindBar(state.g_Title);
    if (!toolbar) return;
    // Read whole before anything is written, so that a failing read leaves the last placement kept.
    const ToolbarPlacement placement{.RowIndex = toolbar->RowIndex(),
                                     .Position = toolbar->Position(),
                                     .Left = toolbar->Left(),
                                     .Top = toolbar->Top(),
                                     .Visible = toolbar->Visible()};
    WriteToolbarPlacement(system_.settingsStore(), placement);
}

void Connect::RemoveCommandBars() {
    AddinState& state = *state_;
    host::CommandBarsPtr bars;
    if (!host::ignoreErrors([&] { bars = state.g_Application->CommandBars(); }) || !bars) return;
    const auto deleteToolbar = [&] {
        host::ignoreErrors([&] {
            if (const auto toolbar = bars->FindBar(state.g_Title)) toolbar->Delete();
        });
    };
    deleteToolbar();
    host::CommandBarControlPtr makerMenu;
    host::ignoreErrors([&] { makerMenu = makerMenuOf(*bars->Item(1)); });
    if (makerMenu) {
        host::ignoreErrors([&] {
            const auto menu = makerMenu->CommandBar();
            if (const auto product = menu->FindControl({.Id = std::nullopt, .Tag = text(bar_tags::kProductMenu)})) {
                product->Delete();
            }
        });
        // The maker's menu goes only when nothing but its site button is left:
        // what another add-in put there stays with it.
        host::ignoreErrors([&] {
            const auto rest = makerMenu->CommandBar()->Controls();
            const bool onlySite = rest.size() <= 1 && (rest.empty() || rest.front()->Tag() == bar_tags::kSite);
            if (onlySite) makerMenu->Delete();
        });
    }
    deleteToolbar();
}

}  // namespace kq::addin
