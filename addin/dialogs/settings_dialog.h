#pragma once
// The settings dialog `frmSetting`, as decisions: what it shows of the
// settings object when it opens, which print-start boxes cannot be unticked,
// which history folders OK refuses, and what OK and Cancel leave in the
// settings. It edits the settings object in memory only; the settings reach
// the registry when the add-in disconnects. The window is
// win32/settings_dialog_win32.h; the design (in twips) is below.

#include <optional>
#include <string>

#include "addin/core/setting.h"
#include "common/file_system.h"
#include "common/form_layout.h"
#include "common/prompts.h"

namespace kq::addin::dialogs {

// What the dialog's controls hold.
struct SettingsChoices {
    std::string folder;
    bool ShowMessageWhenPrintRun = true;
    double ShowProgressTime = 2;
    bool ShowMessageWhenAdd = true;
    bool ShowMessageXlaError = true;
    bool Surveillance_DirectPrint = true;
    bool Surveillance_Preview = false;
    bool Surveillance_Unkown = true;
    friend bool operator==(const SettingsChoices&, const SettingsChoices&) = default;
};

// The print-start boxes `chkSurveillance`, by index.
namespace start_box {
inline constexpr int kPrint = 0;
inline constexpr int kQuickPrint = 1;
inline constexpr int kPreview = 2;
inline constexpr int kUnknown = 3;
}  // namespace start_box

struct SettingsDialogServices {
    FileSystem& files;
    Prompts& prompts;
    // The add-in's title: the caption's start and the messages' title.
    std::string title;
};

class SettingsDialog {
public:
    SettingsDialog(c_Setting& setting, SettingsDialogServices services)
        : setting_(setting), s_(std::move(services)) {}

    std::string caption() const;

    // The opening: the folder as it stands is kept for Cancel, then the folder
    // in use (created when missing) and every setting the controls show.
    SettingsChoices load();

    // Whether a print-start box stays ticked whatever the user does.
    bool locked(int index) const;
    // A print-start box was unticked: true when it must be ticked again,
    // after the message that says why.
    bool untickRefused(int index);

    enum class Closing { closed, folderRefused };
    // OK: a folder that cannot take history files is refused with a message
    // and the dialog stays open; otherwise every choice goes into the settings.
    Closing ok(const SettingsChoices& chosen);
    // Cancel, Esc or the close box: the settings stay as they were, the folder
    // included.
    void cancel();

private:
    // The message for a folder history files cannot go to; none for a usable one.
    std::optional<std::string> folderProblem(const std::string& folder);
    void refuse(const std::string& message);

    c_Setting& setting_;
    SettingsDialogServices s_;
    std::optional<HistoryFolder::Kept> keptFolder_;
};

// The design: the client area and every control's place, in twips, on the
// dialog or, for the pages' controls, on the page's inner area.
namespace settings_design {
inline constexpr int kClientWidth = 7650;
inline constexpr int kClientHeight = 3735;
inline constexpr TwipsRect lstMenu{120, 120, 2175, 2940};
inline constexpr TwipsRect fraSetting{2400, 120, 5175, 2895};
inline constexpr TwipsRect cmdOK{4920, 3165, 1275, 435};
inline constexpr TwipsRect cmdCancel{6240, 3165, 1275, 435};
// The page's inner area within its frame.
inline constexpr int kPageInnerLeft = 240;
inline constexpr int kPageInnerTop = 360;
inline constexpr int kPageInnerWidth = 4815;

// Page 0 "基本設定".
inline constexpr TwipsRect Label3{0, 0, 1755, 180};
inline constexpr TwipsRect useFolderBrowser{0, 360, 4815, 255};
inline constexpr TwipsRect chkShowMessageWhenPrintRun{0, 720, 4695, 255};
inline constexpr TwipsRect Label1{0, 1200, 2265, 180};
inline constexpr TwipsRect txtShowProgressTime{2520, 1200, 855, 255};
inline constexpr TwipsRect chkShowMessageWhenAdd{0, 1680, 4695, 255};
inline constexpr TwipsRect chkShowMessageXlaError{0, 2040, 4695, 255};

// Page 1 "印刷開始の判定".
inline constexpr TwipsRect chkSurveillance[] = {
    {0, 0, 1455, 180}, {0, 360, 2175, 180}, {0, 720, 1695, 180}, {0, 1080, 1455, 180}};
inline constexpr TwipsRect Label4{360, 1440, 4335, 495};

// The display time's box: whole seconds from 1 to the most the settings keep.
inline constexpr double kShowProgressTimeMin = 1;
inline constexpr double kShowProgressTimeMax = c_Setting::kMaxProgressTime;
inline constexpr double kShowProgressTimeStep = 1;
}  // namespace settings_design

}  // namespace kq::addin::dialogs
