#include "addin/dialogs/win32/settings_dialog_win32.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <variant>

#include "addin/core/texts.h"
#include "addin/dialogs/settings_dialog.h"
#include "addin/dialogs/win32/numeric_box_win32.h"
#include "common/win32/folder_picker_win32.h"
#include "common/win32/form_window.h"
#include "common/win32/message_prompts.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;
namespace design = settings_design;
namespace ids = settings_ids;

constexpr std::array<std::string_view, 2> kPages = {texts::kPageBasic, texts::kPagePrintStart};
constexpr std::array<std::string_view, 4> kStartBoxes = {texts::kStartByPrint, texts::kStartByQuickPrint,
                                                         texts::kStartByPreview, texts::kStartUnknown};
constexpr DWORD kCheckStyle = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;

// A place on a page's inner area, as a place on the page (the frame's rectangle).
TwipsRect onPage(const TwipsRect& r) {
    return {design::kPageInnerLeft + r.left, design::kPageInnerTop + r.top, r.width, r.height};
}

void tick(HWND box, bool ticked) { SendMessageW(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0); }
bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class frmSetting final : public Form {
public:
    frmSetting(c_Setting& setting, FileSystem& files, const std::string& title)
        : model_(setting, {files, prompts_, title}), useFolderBrowser_(files), txtShowProgressTime_(UserNumberCharacters()) {}

    void show(HWND owner) {
        // However the dialog ends but by OK, nothing of it stays in the settings.
        if (showModal(owner, wide(model_.caption()), design::kClientWidth, design::kClientHeight) != IDOK) {
            model_.cancel();
        }
    }

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    bool makePages();
    void ShowSettingPage();
    void chkSurveillance_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();

    // The dialog's messages, owned by it.
    WindowPrompts prompts_{*this};
    SettingsDialog model_;
    HWND lstMenu_ = nullptr;
    std::array<HWND, kPages.size()> fraSetting_{};
    FolderPickerControl useFolderBrowser_;
    NumericBoxControl txtShowProgressTime_;
    HWND chkShowMessageWhenPrintRun_ = nullptr;
    HWND chkShowMessageWhenAdd_ = nullptr;
    HWND chkShowMessageXlaError_ = nullptr;
    std::array<HWND, kStartBoxes.size()> chkSurveillance_{};
};

bool frmSetting::OnLoad() {
    lstMenu_ = addControl(hwnd(), L"LISTBOX", "", WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          design::lstMenu, ids::lstMenu, WS_EX_CLIENTEDGE);
    for (const std::string_view page : kPages) {
        SendMessageW(lstMenu_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(page).c_str()));
    }
    if (!makePages()) return false;
    addControl(hwnd(), L"BUTTON", std::string(texts::kOk), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, design::cmdOK,
               IDOK);
    addControl(hwnd(), L"BUTTON", std::string(texts::kCancel), WS_VISIBLE | WS_TABSTOP, design::cmdCancel, IDCANCEL);
    if (!lstMenu_ || !chkSurveillance_.back()) return false;

    SendMessageW(lstMenu_, LB_SETCURSEL, 0, 0);
    ShowSettingPage();

    NumericBox& seconds = txtShowProgressTime_.model();
    seconds.Min(design::kShowProgressTimeMin);
    seconds.Max(design::kShowProgressTimeMax);
    seconds.ChangeOrder(design::kShowProgressTimeStep);
    seconds.NumberOfDecimals(0);
    seconds.MaxMinRotate(false);

    const SettingsChoices shown = model_.load();
    useFolderBrowser_.picker().Folder(shown.folder);
    tick(chkShowMessageWhenPrintRun_, shown.ShowMessageWhenPrintRun);
    txtShowProgressTime_.setText(LocaleNumberText(shown.ShowProgressTime, UserNumberCharacters()));
    tick(chkShowMessageWhenAdd_, shown.ShowMessageWhenAdd);
    tick(chkShowMessageXlaError_, shown.ShowMessageXlaError);
    tick(chkSurveillance_[start_box::kPrint], true);
    tick(chkSurveillance_[start_box::kQuickPrint], shown.Surveillance_DirectPrint);
    tick(chkSurveillance_[start_box::kPreview], shown.Surveillance_Preview);
    tick(chkSurveillance_[start_box::kUnknown], shown.Surveillance_Unkown);
    return true;
}

bool frmSetting::makePages() {
    for (std::size_t i = 0; i < kPages.size(); ++i) {
        // Every page takes the rectangle of the first; only the chosen one shows.
        const HWND page = createPanel(hwnd(), pixels(design::fraSetting), ids::kFirstPage + static_cast<int>(i));
        fraSetting_[i] = page;
        addControl(page, L"BUTTON", std::string(kPages[i]), WS_VISIBLE | BS_GROUPBOX,
                   {0, 0, design::fraSetting.width, design::fraSetting.height}, ids::kFirstFrame + static_cast<int>(i));
    }
    const HWND basic = fraSetting_[0];
    const int innerRight = pixels(onPage({0, 0, design::kPageInnerWidth, 0})).right;
    fitToText(addControl(basic, L"STATIC", std::string(texts::kFolderLabel), WS_VISIBLE | SS_NOPREFIX,
                         onPage(design::Label3), ids::Label3),
              innerRight);
    const RECT picker = pixels(onPage(design::useFolderBrowser));
    if (!useFolderBrowser_.create({.parent = basic,
                                   .at = picker,
                                   .id = ids::useFolderBrowser,
                                   .font = font(),
                                   .PromptCaption = {},
                                   .selectAfterBrowse = false})) {
        return false;
    }
    chkShowMessageWhenPrintRun_ = addControl(basic, L"BUTTON", std::string(texts::kConfirmBeforeSaving), kCheckStyle,
                                             onPage(design::chkShowMessageWhenPrintRun), ids::chkShowMessageWhenPrintRun);
    const int label1Right = fitToText(addControl(basic, L"STATIC", std::string(texts::kNoticeTimeLabel),
                                                 WS_VISIBLE | SS_NOPREFIX, onPage(design::Label1), ids::Label1),
                                      innerRight);
    // The box keeps its distance after its label, however wide the label grew.
    RECT seconds = pixels(onPage(design::txtShowProgressTime));
    const int gap = pixels({0, 0, design::txtShowProgressTime.left - design::Label1.right(), 0}).right;
    OffsetRect(&seconds, std::max(0, label1Right + gap - static_cast<int>(seconds.left)), 0);
    if (!txtShowProgressTime_.create({.parent = basic,
                                      .at = seconds,
                                      .id = ids::txtShowProgressTime,
                                      .font = font(),
                                      .HojoText = std::string(texts::kSeconds)})) {
        return false;
    }
    fitToText(chkShowMessageWhenPrintRun_, innerRight);
    chkShowMessageWhenAdd_ = addControl(basic, L"BUTTON", std::string(texts::kShowAddedMessage), kCheckStyle,
                                        onPage(design::chkShowMessageWhenAdd), ids::chkShowMessageWhenAdd);
    chkShowMessageXlaError_ = addControl(basic, L"BUTTON", std::string(texts::kShowXlaError), kCheckStyle,
                                         onPage(design::chkShowMessageXlaError), ids::chkShowMessageXlaError);

    fitToText(chkShowMessageWhenAdd_, innerRight);
    fitToText(chkShowMessageXlaError_, innerRight);

    const HWND starts = fraSetting_[1];
    for (std::size_t i = 0; i < kStartBoxes.size(); ++i) {
        chkSurveillance_[i] = addControl(starts, L"BUTTON", std::string(kStartBoxes[i]), kCheckStyle,
                                         onPage(design::chkSurveillance[i]),
                                         ids::kFirstSurveillance + static_cast<int>(i));
        fitToText(chkSurveillance_[i], innerRight);
    }
    fitToText(addControl(starts, L"STATIC", std::string(texts::kStartNote), WS_VISIBLE | SS_NOPREFIX,
                         onPage(design::Label4), ids::Label4),
              innerRight);
    return true;
}

// Only the chosen page shows: a page beneath another would still take the
// keyboard's focus where the user cannot see it.
void frmSetting::ShowSettingPage() {
    const auto chosen = SendMessageW(lstMenu_, LB_GETCURSEL, 0, 0);
    for (std::size_t i = 0; i < fraSetting_.size(); ++i) {
        ShowWindow(fraSetting_[i], static_cast<LRESULT>(i) == chosen || (chosen < 0 && i == 0) ? SW_SHOW : SW_HIDE);
    }
}

bool frmSetting::OnCommand(int id, UINT code, HWND) {
    if (id == ids::lstMenu) {
        if (code == LBN_SELCHANGE) ShowSettingPage();
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (id >= ids::kFirstSurveillance && id < ids::kFirstSurveillance + static_cast<int>(kStartBoxes.size())) {
        chkSurveillance_Click(id - ids::kFirstSurveillance);
        return true;
    }
    switch (id) {
        case IDOK:
            cmdOK_Click();
            return true;
        case IDCANCEL:
            cmdCancel_Click();
            return true;
        default:
            return false;
    }
}

void frmSetting::chkSurveillance_Click(int index) {
    const HWND box = chkSurveillance_[static_cast<std::size_t>(index)];
    if (!ticked(box) && model_.untickRefused(index)) tick(box, true);
}

void frmSetting::cmdOK_Click() {
    SettingsChoices chosen;
    chosen.folder = windowText(useFolderBrowser_.pathBox());
    chosen.ShowMessageWhenPrintRun = ticked(chkShowMessageWhenPrintRun_);
    // The box is left as the user left it: its number within the limits first.
    txtShowProgressTime_.model().focusLost();
    const NumTextValue seconds = txtShowProgressTime_.model().NumText();
    chosen.ShowProgressTime = std::holds_alternative<double>(seconds) ? std::get<double>(seconds) : design::kShowProgressTimeMin;
    chosen.ShowMessageWhenAdd = ticked(chkShowMessageWhenAdd_);
    chosen.ShowMessageXlaError = ticked(chkShowMessageXlaError_);
    chosen.Surveillance_DirectPrint = ticked(chkSurveillance_[start_box::kQuickPrint]);
    chosen.Surveillance_Preview = ticked(chkSurveillance_[start_box::kPreview]);
    chosen.Surveillance_Unkown = ticked(chkSurveillance_[start_box::kUnknown]);
    if (model_.ok(chosen) == SettingsDialog::Closing::closed) {
        end(IDOK);
        return;
    }
    // The folder is what stays to be put right: the first page, the path box.
    SendMessageW(lstMenu_, LB_SETCURSEL, 0, 0);
    ShowSettingPage();
    focus(useFolderBrowser_.pathBox());
}

void frmSetting::cmdCancel_Click() { end(IDCANCEL); }

}  // namespace

void ShowSettingsDialog(HWND owner, c_Setting& setting, FileSystem& files, const std::string& title) {
    frmSetting form(setting, files, title);
    form.show(owner);
}

}  // namespace kq::addin::dialogs::win32
