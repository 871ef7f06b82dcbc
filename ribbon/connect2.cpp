#include "ribbon/connect2.h"

#include <utility>

#include "common/vb.h"
#include "ribbon/texts.h"

namespace kq::ribbon {

namespace {

// The print kinds the core tells apart.
constexpr std::int32_t kPrintCommand = 1;
constexpr std::int32_t kQuickPrint = 2;
constexpr std::int32_t kPreview = 3;

constexpr std::string_view kGetThisSheetCheckEnabled = "CallForRibbon_GetThisSheetCheckEnabled";
constexpr std::string_view kPrintOrPreview = "CallForRibbon_PrintOrPreview_onAction";

double versionOf(host::Application& application) { return vb::Val(application.Version()); }

// A result compared with True as the runtime compares a Variant: Null and anything else count as False.
bool isTrue(const host::Value& value) {
    if (const bool* flag = std::get_if<bool>(&value)) return *flag;
    if (const double* number = std::get_if<double>(&value)) return *number == -1;
    return false;
}

template <typename Action>
void ignoringErrors(Action&& action) {
    try {
        action();
    } catch (...) {
    }
}

}  // namespace

Connect2::Connect2(BridgeSystem& system) : system_(system) {}

void Connect2::AddinInstance_OnConnection(const host::ApplicationPtr& Application, host::AddInEntry& AddInInst,
                                          const host::LateBoundPtr& self) {
    AddinInstance_OnDisconnection();
    try {
        if (!Application) return;
        switch (connectionGate(versionOf(*Application), system_.GetOS())) {
            case Gate::Idle:
                return;
            case Gate::Accept:
                mobjApplication = Application;
                AddInInst.SetObject(self);
                return;
            case Gate::Refuse:
                AddInInst.SetConnect(false);
                return;
        }
    } catch (...) {
        // A host that cannot be asked or told gets no ribbon from the bridge.
        mobjApplication.reset();
    }
}

void Connect2::AddinInstance_OnDisconnection() {
    mobjMainAddin.reset();
    mobjApplication.reset();
}

std::string Connect2::IRibbonExtensibility_GetCustomUI() {
    try {
        if (!mobjApplication) throw host::runtimeError(host::err::kObjectNotSet);
        const auto resource = markupResourceFor(versionOf(*mobjApplication));
        if (!resource) return {};
        if (std::optional<std::string> markup = system_.LoadCustomUI(*resource)) return std::move(*markup);
    } catch (...) {
    }
    show(texts::kLoadXmlFailed, mb::kOkOnly | mb::kIconCritical);
    return {};
}

void Connect2::Callback_onLoad(RibbonUiPtr ribbon) { mobjRibbon = std::move(ribbon); }

PicturePtr Connect2::Callback_loadImage(const std::string& strImage) {
    PicturePtr picture;
    ignoringErrors([&] {
        if (const auto source = imageOfName(strImage)) {
            picture = pictureOf(*source);
        } else {
            showUnknownControl("Callback_loadImage", strImage);
        }
    });
    if (!picture) ignoringErrors([&] { picture = pictureOf(kFallbackImage); });
    return picture;
}

void Connect2::Callback_Print_onAction(RibbonControl&, bool& fCancelDefault) {
    fCancelDefault = false;
    NotifyPrintKind(kPrintCommand);
}

void Connect2::Callback_DirectPrint_onAction(RibbonControl&, bool& fCancelDefault) {
    fCancelDefault = false;
    NotifyPrintKind(kQuickPrint);
}

void Connect2::Callback_Preview_onAction(RibbonControl&, bool& fCancelDefault) {
    fCancelDefault = false;
    NotifyPrintKind(kPreview);
}

void Connect2::NotifyPrintKind(std::int32_t kind) {
    if (!GetMainAddin(true)) return;
    std::vector<host::Value> args{static_cast<double>(kind)};
    ignoringErrors([&] { callCore(kPrintOrPreview, args); });
}

host::Value Connect2::Callback_getPressed(RibbonControl&) {
    host::Value result;
    if (!GetMainAddin(false)) return result;
    ignoringErrors([&] { result = callCore(kGetThisSheetCheckEnabled); });
    return result;
}

void Connect2::Callback_ToggleButton_onAction(RibbonControl& Ctrl, bool) {
    if (!GetMainAddin(true)) return;
    trapped([&] {
        const std::string id = Ctrl.Id();
        if (isThisSheetCheck(id)) {
            ThisSheetCheck(id);
        } else {
            showUnknownControl("Callback_ToggleButton_onAction", id);
        }
    });
}

void Connect2::Callback_Button_onAction(RibbonControl& Ctrl) {
    if (!GetMainAddin(true)) return;
    trapped([&] {
        const std::string id = Ctrl.Id();
        const std::optional<ButtonCommand> command = buttonCommandOf(id);
        if (!command) {
            showUnknownControl("Callback_Button_onAction", id);
        } else if (*command == ButtonCommand::ThisSheetCheck) {
            ThisSheetCheck(id);
        } else {
            callCore(coreMemberOf(*command));
        }
    });
}

void Connect2::ThisSheetCheck(const std::string& clickedId) {
    callCore(coreMemberOf(ButtonCommand::ThisSheetCheck));
    if (!mobjRibbon) throw host::runtimeError(host::err::kObjectNotSet);
    mobjRibbon->InvalidateControl(clickedId);
    // The other controls that show the same watch; a host without one of them
    // (no Office menu from 14 on) refuses it, which changes nothing.
    for (const std::string_view other : watchStateControls()) {
        if (other != clickedId) ignoringErrors([&] { mobjRibbon->InvalidateControl(std::string(other)); });
    }
}

PicturePtr Connect2::Callback_getImage(RibbonControl& Ctrl) {
    PicturePtr picture;
    if (!GetMainAddin(false)) return picture;
    ignoringErrors([&] {
        if (!showsWatchState(Ctrl.Id())) return;
        const bool watched = isTrue(callCore(kGetThisSheetCheckEnabled));
        picture = system_.LoadResPNGPicture(watched ? kPngThisSheetCheckWatched : kPngThisSheetCheck, silent_);
    });
    return picture;
}

std::string Connect2::Callback_getLabel(RibbonControl& Ctrl) { return textOf(TextKind::Label, Ctrl); }
std::string Connect2::Callback_getScreentip(RibbonControl& Ctrl) { return textOf(TextKind::Screentip, Ctrl); }
std::string Connect2::Callback_getSupertip(RibbonControl& Ctrl) { return textOf(TextKind::Supertip, Ctrl); }
std::string Connect2::Callback_getDescription(RibbonControl& Ctrl) { return textOf(TextKind::Description, Ctrl); }

std::string Connect2::textOf(TextKind kind, RibbonControl& Ctrl) {
    std::string text;
    ignoringErrors([&] {
        const std::string id = Ctrl.Id();
        if (const auto stringId = textStringId(kind, id)) {
            text = system_.LoadResString(*stringId).value_or(std::string());
        } else {
            showUnknownControl(textCallbackName(kind), id);
        }
    });
    return text;
}

bool Connect2::GetMainAddin(bool showError) {
    if (!mobjMainAddin && mobjApplication) {
        ignoringErrors([&] { mobjMainAddin = mobjApplication->COMAddIn(kCoreProgId)->Object(); });
    }
    if (mobjMainAddin) return true;
    if (showError) show(texts::kCoreMissing, mb::kOkOnly | mb::kIconCritical);
    return false;
}

host::Value Connect2::callCore(std::string_view member) {
    std::vector<host::Value> none;
    return callCore(member, none);
}

host::Value Connect2::callCore(std::string_view member, std::vector<host::Value>& args) {
    // Held for the call: the call may lead to this bridge's own disconnection.
    const host::LateBoundPtr core = mobjMainAddin;
    if (!core) throw host::runtimeError(host::err::kObjectNotSet);
    try {
        return core->Invoke(std::string(member), args);
    } catch (...) {
        if (mobjMainAddin == core) mobjMainAddin.reset();
        throw;
    }
}

template <typename Action>
void Connect2::trapped(Action&& action) {
    try {
        action();
    } catch (...) {
        ignoringErrors([&] { show(texts::kUnknownError, mb::kOkOnly | mb::kIconCritical); });
    }
}

PicturePtr Connect2::pictureOf(const ImageSource& source) {
    if (source.kind == ImageSource::Kind::Resource) return system_.LoadResPNGPicture(source.name, system_.prompts());
    if (!mobjApplication) throw host::runtimeError(host::err::kObjectNotSet);
    return system_.GetImageMso(mobjApplication, std::string(source.name), kBuiltInImageSize, kBuiltInImageSize);
}

void Connect2::show(std::string_view text, unsigned style) { system_.prompts().message(text, texts::kTitle, style); }

void Connect2::showUnknownControl(std::string_view callback, std::string_view id) {
    show(std::string(texts::kUnknownControlPrefix) + std::string(callback) + "\r\n" + std::string(id), mb::kOkOnly);
}

}  // namespace kq::ribbon
