#include "addin/core/connect.h"

#include <algorithm>
#include <utility>

#include "common/os_code.h"
#include "addin/core/runtime_error.h"
#include "addin/core/texts.h"
#include "addin/core/xl_events.h"
#include "common/vb.h"

namespace kq::addin {

namespace {

// Where the store edition of the host lives, in upper case.
constexpr std::string_view kStoreEditionFolder = "\\WINDOWS\\APPS\\";
// The user locale's country that takes the Japanese strings.
constexpr std::string_view kJapan = "JAPAN";

constexpr double kFirstRibbonHost = 12;

bool hostVersionAccepted(double v) { return (v >= 9 && v <= 12) || v == 14 || v == 15 || v == 16; }

std::string upperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

double versionOf(host::Application& application) { return vb::Val(application.Version()); }

// The library's connection in force. Its state is the library's, not one
// object's: the helper workbook's macro keeps the add-in object it first
// found, and after the add-in was disconnected and connected again (a new
// object) its call must still reach the connection there is.
std::weak_ptr<AddinState>& libraryConnection() {
    static std::weak_ptr<AddinState> current;
    return current;
}

}  // namespace

Connect::Connect(AddinSystem& system, Procedures procedures) : system_(system), procedures_(std::move(procedures)) {}

void Connect::AddinInstance_OnConnection(const host::ApplicationPtr& Application,
                                         const host::AddInEntryPtr& AddInInst, const host::LateBoundPtr& self) {
    AddinInstance_OnDisconnection();
    try {
        if (!Application || !AddInInst) throw host::runtimeError(host::err::kObjectRequired);
        if (!passesGates(*Application, *AddInInst)) return;

        state_ = std::make_shared<AddinState>(Application);
        libraryConnection() = state_;
        AddinState& state = *state_;
        state.g_Xl = std::make_unique<c_Xl>(state, system_.sinkServices(), [this](AddinState& s) {
            if (procedures_.SetThisSiteCheckButtonPushed) procedures_.SetThisSiteCheckButtonPushed(s, false);
        });
        state.g_Setting = system_.NewSetting(versionOf(*state.g_Application));
        onActionText_ = "!<" + AddInInst->ProgId() + ">";
        AddInInst->SetObject(self);
        state.g_ResBase = system_.LanguagenameFromOS() == kJapan ? kResBaseJapanese : kResBaseOther;

        if (versionOf(*state.g_Application) < kFirstRibbonHost) {
            printSink_.hook(state.g_Application->FindControl(kControlPrint), state);
            directPrintSink_.hook(state.g_Application->FindControl(kControlQuickPrint), state);
            previewSink_.hook(state.g_Application->FindControl(kControlPreview), state);
            state.g_Title = LoadResStringEx(system_, state.g_ResBase);
            BuildCommandBars();
            RestoreToolbarState();
        }
        if (procedures_.SetThisSiteCheckButtonPushed) procedures_.SetThisSiteCheckButtonPushed(state, false);
    } catch (...) {
        reportConnectionError();
    }
}

bool Connect::passesGates(host::Application& application, host::AddInEntry& addInInst) {
    const double v = versionOf(application);
    if (!hostVersionAccepted(v)) {
        refuse(addInInst, texts::kHostVersionRefused);
        return false;
    }
    if (v > kFirstRibbonHost) {
        // A 64-bit host has no 32-bit instance handle to give; an unreadable one counts as none.
        std::int32_t instance = 0;
        host::ignoreErrors([&] { instance = application.hInstance(); });
        if (instance == 0) {
            refuse(addInInst, texts::kHost64BitRefused);
            return false;
        }
    }
    std::string versionText;
    const std::int32_t os = system_.GetOS(versionText);
    if (os == kOsOther9x || os == kOsOtherNT) {
        refuse(addInInst, texts::kOsRefused);
        return false;
    }
    // The store edition cannot load the add-in's parts; it stays loaded but idle.
    if (upperAscii(application.Path()).find(kStoreEditionFolder) != std::string::npos) {
        system_.prompts().message(texts::kStoreEdition, GetAppTitle(), mb::kOkOnly | mb::kIconCritical);
        return false;
    }
    return true;
}

void Connect::refuse(host::AddInEntry& addInInst, std::string_view message) {
    system_.prompts().message(message, GetAppTitle(), mb::kOkOnly | mb::kIconCritical);
    addInInst.SetConnect(false);
}

void Connect::reportConnectionError() {
    const RuntimeError error = CurrentRuntimeError();
    system_.prompts().message(
        std::string(texts::kConnectionError) + std::to_string(error.number) + "\r\n" + error.description,
        texts::kDefaultTitle, mb::kOkOnly);
}

void Connect::AddinInstance_OnDisconnection() {
    if (!state_) return;
    AddinState& state = *state_;
    try {
        if (versionOf(*state.g_Application) < kFirstRibbonHost) {
            SaveToolbarState();
            RemoveCommandBars();
        }
    } catch (...) {
        // Whatever failed with the bars, the settings below are still written.
    }
    // Writing the settings is the destructor's work; it reports nothing.
    state.g_Setting.reset();

    state.g_Xl.reset();
    printSink_.unhook();
    directPrintSink_.unhook();
    previewSink_.unhook();
    // The sheet watches and the host go with the state, or with the last call
    // in progress that still holds it.
    if (libraryConnection().lock() == state_) libraryConnection().reset();
    state_.reset();
}

std::shared_ptr<AddinState> Connect::connection() const { return state_ ? state_ : libraryConnection().lock(); }

void Connect::CallForXLA_WorkbookAfterPrint() {
    const std::shared_ptr<AddinState> state = connection();
    if (!state) return;
    // Cleared first: a print that starts while this one is recorded is scheduled again.
    state->AfterPrintPending = false;
    if (procedures_.SaveHistory) procedures_.SaveHistory(*state);
}

bool Connect::CallForRibbon_GetThisSheetCheckEnabled() {
    const std::shared_ptr<AddinState> state = connection();
    return state && procedures_.CheckThissiteButtonPush && procedures_.CheckThissiteButtonPush(*state);
}

void Connect::CallForRibbon_PrintOrPreview_onAction(std::int32_t& lngValue) {
    const std::shared_ptr<AddinState> state = connection();
    if (!state) return;
    if (lngValue >= print_kind::kPrint && lngValue <= print_kind::kPreview) state->PrintCommandKind = lngValue;
}

void Connect::forward(const std::function<void(AddinState&)>& command) {
    const std::shared_ptr<AddinState> state = connection();
    if (!state || !command) return;
    try {
        command(*state);
    } catch (...) {
    }
}

void Connect::CallForRibbon_ThisSheetCheck() { forward(procedures_.Command_ThisSheetCheck); }
void Connect::CallForRibbon_OpenHistory() { forward(procedures_.Command_OpenHistory); }
void Connect::CallForRibbon_GoToHomePage() { forward(procedures_.Command_GotoHomePage); }
void Connect::CallForRibbon_Setting() { forward(procedures_.Command_Setting); }
void Connect::CallForRibbon_Help() { forward(procedures_.Command_Help); }
void Connect::CallForRibbon_About() { forward(procedures_.Command_About); }

// The façade does not reach the host's command bars yet, so hosts before 12 get no menu or toolbar.
void Connect::BuildCommandBars() {}
void Connect::RestoreToolbarState() {}
void Connect::SaveToolbarState() {}
void Connect::RemoveCommandBars() {}

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

void expectArguments(const std::vector<host::Value>& args, std::size_t count) {
    if (args.size() != count) {
        throw host::runtimeError(host::err::kWrongArgumentCount);
    }
}

std::int32_t longArgument(const host::Value& value) {
    if (const double* number = std::get_if<double>(&value)) {
        if (const auto asLong = vb::CLng(*number)) return *asLong;
        throw host::runtimeError(host::err::kOverflow);
    }
    throw host::runtimeError(host::err::kTypeMismatch);
}

}  // namespace

host::Value ConnectLateBound::Invoke(const std::string& name, std::vector<host::Value>& args) {
    using Plain = void (Connect::*)();
    static constexpr std::pair<std::string_view, Plain> kPlain[] = {
        {"CallForXLA_WorkbookAfterPrint", &Connect::CallForXLA_WorkbookAfterPrint},
        {"CallForRibbon_ThisSheetCheck", &Connect::CallForRibbon_ThisSheetCheck},
        {"CallForRibbon_OpenHistory", &Connect::CallForRibbon_OpenHistory},
        {"CallForRibbon_GoToHomePage", &Connect::CallForRibbon_GoToHomePage},
        {"CallForRibbon_Setting", &Connect::CallForRibbon_Setting},
        {"CallForRibbon_Help", &Connect::CallForRibbon_Help},
        {"CallForRibbon_About", &Connect::CallForRibbon_About},
    };
    for (const auto& [known, method] : kPlain) {
        if (!sameName(name, known)) continue;
        expectArguments(args, 0);
        (connect_.get()->*method)();
        return host::Empty{};
    }
    if (sameName(name, "CallForRibbon_GetThisSheetCheckEnabled")) {
        expectArguments(args, 0);
        return connect_->CallForRibbon_GetThisSheetCheckEnabled();
    }
    if (sameName(name, "CallForRibbon_PrintOrPreview_onAction")) {
        expectArguments(args, 1);
        std::int32_t lngValue = longArgument(args[0]);
        connect_->CallForRibbon_PrintOrPreview_onAction(lngValue);
        args[0] = static_cast<double>(lngValue);
        return host::Empty{};
    }
    throw host::runtimeError(host::err::kNoSuchMember);
}

}  // namespace kq::addin
