#include "addin/dialogs/win32/add_check_sheet_win32.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "addin/core/texts.h"
#include "addin/dialogs/add_check_sheet_model.h"
#include "addin/dialogs/win32/text_box_with_list_win32.h"
#include "addin/dialogs/win32/titles_win32.h"
#include "addin/dialogs/win32/xl_range_text_win32.h"
#include "addin/recording/save_history.h"
#include "common/win32/control_kit.h"
#include "common/win32/form_window.h"
#include "common/win32/letter_case_win32.h"
#include "common/win32/message_prompts.h"
#include "common/win32/msgbox_win32.h"
#include "common/win32/wide.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;
using namespace add_check_sheet_ids;

// The form, in twips.
constexpr int kClientWidth = 8520;
constexpr int kButtonsTop = 5220;
constexpr int kClientHeight = kButtonsTop + 375 + 120;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
// The status bar's first panel, in pixels.
constexpr int kVersionPanelWidth = 300;

class frmAddCheckSheet final : public kq::win32::Form {
public:
    frmAddCheckSheet(AddCheckSheetModel& model, HWND owner, std::string versionText)
        : model_(model), owner_(owner), versionText_(std::move(versionText)) {}

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    std::optional<LRESULT> OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    HWND label(std::string_view text, const TwipsRect& at);
    HWND groupBox(std::string_view text, const TwipsRect& at);
    void makeStatusBar();
    void show();
    void setVisible(bool visible);

    AddCheckSheetModel& model_;
    // Shown again, the range's focus, hidden around a range input box, closed.
    std::array<Connection, 4> onModel_;
    HWND owner_;
    std::string versionText_;
    kq::win32::Font linkFont_;
    kq::win32::Icon settingIcon_;
    kq::win32::Icon homeIcon_;
    std::optional<Tooltips> tips_;
    std::unique_ptr<u_TextBoxWithList> category_;
    std::unique_ptr<u_XlRangeText> range_;
    std::unique_ptr<u_Titles> titles_;
    // Holds every control but the status bar. Unlike the form, it does not
    // clip its children, so that it paints beneath the group boxes, which
    // draw only their frames.
    HWND surface_ = nullptr;
    HWND automatic_ = nullptr;
    HWND fixed_ = nullptr;
    HWND ok_ = nullptr;
    HWND status_ = nullptr;
    HWND settingImage_ = nullptr;
    HWND settingLink_ = nullptr;
    int nextStatic_ = kFirstStatic;
};

HWND frmAddCheckSheet::label(std::string_view text, const TwipsRect& at) {
    return addControl(surface_, L"STATIC", std::string(text), WS_VISIBLE | SS_LEFT | SS_NOPREFIX, at, nextStatic_++);
}

HWND frmAddCheckSheet::groupBox(std::string_view text, const TwipsRect& at) {
    return addControl(surface_, L"BUTTON", std::string(text), WS_VISIBLE | BS_GROUPBOX, at, nextStatic_++);
}

// A shared system icon copied at the small size, so that it can be owned.
kq::win32::Icon smallIcon(const wchar_t* id) {
    return kq::win32::Icon(static_cast<HICON>(CopyImage(LoadIconW(nullptr, id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0)));
}

bool frmAddCheckSheet::OnLoad() {
    LOGFONTW lf{};
    GetObjectW(font(), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    linkFont_ = kq::win32::Font(CreateFontIndirectW(&lf));
    tips_.emplace(hwnd());
    surface_ = kq::win32::createPanel(hwnd(), pixels({0, 0, kClientWidth, kClientHeight}));
    if (!surface_) return false;

    // Group boxes first: they lie beneath what they hold. Then the controls in tab order.
    groupBox(texts::kCategoryGroup, {120, 60, 8280, 1140});
    groupBox(texts::kSaveRangeGroup, {120, 1260, 8280, 720});
    groupBox(texts::kHeadingsGroup, {120, 2040, 8280, 3060});

    label(texts::kCategoryLabel, {300, 390, 840, 240});
    category_ = std::make_unique<u_TextBoxWithList>(model_.useCategory());
    if (!category_->create(surface_, pixels({1140, 345, 3600, 300}), font(), kCategory)) return false;
    label(texts::kCategoryHint, {300, 720, 7980, 420});

    automatic_ = addControl(surface_, L"BUTTON", std::string(texts::kSaveRangeAutomatic),
                            WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, {300, 1590, 1320, 270},
                            kSaveTypeAutomatic);
    fixed_ = addControl(surface_, L"BUTTON", std::string(texts::kSaveRangeFixed), WS_VISIBLE | BS_AUTORADIOBUTTON,
                        {1680, 1590, 1560, 270}, kSaveTypeFixed);
    label(texts::kSaveRangeLabel, {3420, 1620, 900, 240});
    range_ = std::make_unique<u_XlRangeText>(model_.txtSaveRange());
    if (!range_->create(surface_, pixels({4320, 1560, 3600, 300}), font(), kSaveRange)) return false;
    SetWindowLongPtrW(range_->box(), GWL_STYLE, GetWindowLongPtrW(range_->box(), GWL_STYLE) | WS_GROUP);

    label(texts::kHeadingTitleColumn, {795, 2310, 1455, 240});
    label(texts::kHeadingValueColumn, {2250, 2310, 1455, 240});
    label(texts::kHeadingTypeColumn, {3675, 2310, 2400, 240});
    titles_ = std::make_unique<u_Titles>(model_.useTitles());
    RECT titlesAt = pixels({300, 2580, 0, 2400});
    titlesAt.right = titlesAt.left + u_Titles::naturalWidth();
    if (!titles_->create(surface_, titlesAt, font(), kTitles)) return false;

    ok_ = addControl(surface_, L"BUTTON", std::string(texts::kOk),
                     WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, {5880, kButtonsTop, 1215, 375}, IDOK);
    addControl(surface_, L"BUTTON", std::string(texts::kCancel), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
               {7185, kButtonsTop, 1215, 375}, IDCANCEL);

    settingIcon_ = smallIcon(IDI_APPLICATION);
    settingImage_ = addControl(surface_, L"STATIC", "", WS_VISIBLE | SS_ICON | SS_NOTIFY | SS_CENTERIMAGE,
                               {300, 5280, 240, 240}, kSettingImage);
    SendMessageW(settingImage_, STM_SETICON, reinterpret_cast<WPARAM>(settingIcon_.get()), 0);
    settingLink_ = addControl(surface_, L"STATIC", std::string(texts::kSettingLink),
                              WS_VISIBLE | SS_NOTIFY | SS_LEFT | SS_NOPREFIX, {600, 5295, 1500, 240}, kSettingLink);
    SendMessageW(settingLink_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    tips_->add(settingImage_, texts::kSettingTip);
    tips_->add(settingLink_, texts::kSettingTip);
    makeStatusBar();

    onModel_ = {model_.shown.connect([this] { show(); }),
                model_.focusRange.connect([this] { focus(range_->box()); }),
                model_.visible.connect([this](bool visible) { setVisible(visible); }),
                model_.closing.connect([this] { end(IDOK); })};
    show();
    focus(category_->box());
    return true;
}

void frmAddCheckSheet::makeStatusBar() {
    status_ = kq::win32::createChild(hwnd(), {.windowClass = STATUSCLASSNAMEW,
                                              .style = WS_VISIBLE | SBARS_TOOLTIPS,
                                              .id = kStatusBar,
                                              .font = font()});
    int edges[] = {kVersionPanelWidth, -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide(versionText_).c_str()));
    SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(wide(texts::kHomePagePanel).c_str()));
    homeIcon_ = smallIcon(IDI_INFORMATION);
    SendMessageW(status_, SB_SETICON, 1, reinterpret_cast<LPARAM>(homeIcon_.get()));
    SendMessageW(status_, SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(wide(texts::kVersionTip).c_str()));
    SendMessageW(status_, SB_SETTIPTEXTW, 1, reinterpret_cast<LPARAM>(wide(texts::kHomePageTip).c_str()));

    // The form grows by the bar, which the system sizes, and stays centred.
    RECT bar{};
    RECT outer{};
    GetWindowRect(status_, &bar);
    GetWindowRect(hwnd(), &outer);
    const int grow = bar.bottom - bar.top;
    SetWindowPos(hwnd(), nullptr, outer.left, outer.top - grow / 2, outer.right - outer.left,
                 outer.bottom - outer.top + grow, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(status_, WM_SIZE, 0, 0);
}

void frmAddCheckSheet::show() {
    SendMessageW(automatic_, BM_SETCHECK, model_.optSaveType() == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(fixed_, BM_SETCHECK, model_.optSaveType() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(ok_, model_.okEnabled());
}

void frmAddCheckSheet::setVisible(bool visible) {
    // The host's range input box wants the host's window: it is given back
    // for the time of the box, and taken again as the dialog returns.
    if (!visible) {
        if (owner_) EnableWindow(owner_, TRUE);
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    ShowWindow(hwnd(), SW_SHOW);
    if (owner_) EnableWindow(owner_, FALSE);
    SetForegroundWindow(hwnd());
}

bool frmAddCheckSheet::OnCommand(int id, UINT code, HWND) {
    switch (id) {
        case IDOK:
            // Enter reaches here also while OK is disabled.
            if (IsWindowEnabled(ok_)) model_.cmdOK_Click();
            return true;
        case IDCANCEL:
            model_.cmdCancel_Click();
            return true;
        case kSaveTypeAutomatic:
        case kSaveTypeFixed:
            if (code == BN_CLICKED) model_.optSaveType_Click(id == kSaveTypeFixed ? 1 : 0);
            return true;
        case kSettingImage:
        case kSettingLink:
            if (code == STN_CLICKED) model_.settingLink();
            return true;
        default:
            return false;
    }
}

std::optional<LRESULT> frmAddCheckSheet::OnNotify(const NMHDR& header) {
    if (header.idFrom != kStatusBar || header.code != NM_CLICK) return std::nullopt;
    const auto& click = reinterpret_cast<const NMMOUSE&>(header);
    if (click.dwItemSpec == 0) model_.versionPanel();
    if (click.dwItemSpec == 1) model_.homePagePanel();
    return TRUE;
}

std::optional<LRESULT> frmAddCheckSheet::OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HELP:
            model_.helpKey();
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != settingLink_) return std::nullopt;
            SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_SETCURSOR: {
            const auto over = reinterpret_cast<HWND>(wParam);
            if (over != settingLink_ && over != settingImage_) return std::nullopt;
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

RegistrationExit ShowAddCheckSheet(AddinState& state, const host::WorkbookPtr& book, const host::WorksheetPtr& sheet,
                                   SettingsStore& lists, const RegistrationWindowServices& services) {
    initCommonControls();
    // Messages go to the dialog while it stands, to the host's window before and after.
    WindowPrompts prompts(services.owner);
    AddCheckSheetModel model({.state = state,
                              .prompts = prompts,
                              .lists = lists,
                              .msgBoxEx =
                                  [&prompts](const MsgBoxExArgs& args) {
                                      return kq::win32::MsgBoxEx(prompts.owner(), args);
                                  },
                              .editList =
                                  [&](const std::string& name) {
                                      frmForTextBoxWithList(prompts.owner(), lists, prompts, name);
                                  },
                              .help = services.help,
                              .homePage = services.homePage,
                              .upperCase = kq::win32::systemUpperCase},
                             book, sheet);
    const vb::DateTime updated = vb::FromOleDate(services.updated.value).value_or(vb::DateTime{});
    frmAddCheckSheet window(model, services.owner, StatusVersionText(recording::LibraryVersionText(), updated));
    prompts.ownedBy(window);
    window.showModal(services.owner, wide(model.Caption()), kClientWidth, kClientHeight);
    return model.exit().value_or(RegistrationExit::cancelled);
}

}  // namespace kq::addin::dialogs::win32
