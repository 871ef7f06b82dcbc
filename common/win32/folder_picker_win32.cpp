#include "common/win32/folder_picker_win32.h"

#include <shlobj.h>

#include <memory>

#include "common/win32/control_kit.h"
#include "common/win32/form_window.h"
#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"

namespace kq::win32 {

namespace {

constexpr wchar_t kClass[] = L"KqFolderPicker";
// The parts' ids follow the control's own, so that no part shares an id with
// another control of the form (OK is 1, Cancel 2).
constexpr int kPromptId = 1;
constexpr int kBoxId = 2;
constexpr int kPathId = 3;
constexpr int kButtonId = 4;
constexpr int kPathBoxHeightTwips = 270;
constexpr int kButtonWidthTwips = 255;
// The path is longest as the shell writes it.
constexpr std::size_t kShellPath = MAX_PATH;

int CALLBACK BrowseCallbackProc(HWND browser, UINT message, LPARAM, LPARAM startFolder) {
    // The start folder is chosen once the browser stands, and again once its
    // first messages have run: a shell that fills its tree only after showing
    // it can drop the first selection. The text outlives both: the browser is
    // modal within the caller's frame that holds it.
    if (message == BFFM_INITIALIZED) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
        PostMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    }
    return 0;
}

// Ending the browser by its own Cancel: ended otherwise it may hand out the folder it shows.
void cancelBrowser(HWND browser) noexcept { SendMessageW(browser, WM_COMMAND, IDCANCEL, 0); }

int CALLBACK fontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool systemHasFont(const std::string& face) {
    const std::wstring name = wide(face);
    if (name.empty() || name.size() >= LF_FACESIZE) return false;
    // Asked by name, the enumeration lists only families of that name.
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, name.c_str(), LF_FACESIZE);
    bool found = false;
    const WindowDc screen = windowDc(nullptr);
    EnumFontFamiliesExW(screen.get(), &wanted, fontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::optional<std::string> ShellFolderBrowser::BrowseForFolder(const std::string& title, const std::string& startFolder) {
    const std::wstring wideTitle = wide(title);
    const std::wstring start = wide(startFolder);
    std::wstring displayName(kShellPath, L'\0');
    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!start.empty()) {
        info.lpfn = BrowseCallbackProc;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    const SystemDialogScope listed(cancelBrowser);
    const CoTaskMemory<ITEMIDLIST> chosen(SHBrowseForFolderW(&info));
    if (!chosen) return std::nullopt;
    std::wstring path(kShellPath, L'\0');
    if (!SHGetPathFromIDListW(chosen.get(), path.data())) return std::nullopt;
    path.resize(path.find(L'\0'));
    return narrow(path);
}

HWND FolderPickerControl::create(const FolderPickerArgs& args) {
    args_ = args;
    picker_.emplace(files_, static_cast<FolderPickerView&>(*this), args.selectAfterBrowse);
    picker_->PromptCaption = args.PromptCaption;
    return createCompoundControl(*this, args.parent, {.windowClass = kClass, .rect = args.at, .id = args.id});
}

bool FolderPickerControl::OnCreate(const CREATESTRUCTW&) {
    prompt_ = createChild(hwnd(), {.windowClass = L"STATIC",
                                   .text = wide(picker_->PromptCaption),
                                   .style = WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                   .id = args_.id + kPromptId,
                                   .font = args_.font});
    const HWND box = createPanel(hwnd(), {}, args_.id + kBoxId, WS_EX_CLIENTEDGE);
    if (!box) return false;
    path_ = createChild(box, {.windowClass = L"EDIT",
                              .style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              .id = args_.id + kPathId,
                              .font = args_.font});
    const BrowseButtonFace face = browseButtonFace((hasFont ? hasFont : systemHasFont)(kBrowseGlyphFont));
    if (face.font) glyphFont_ = createFont(wide(face.font).c_str(), face.points, false, SYMBOL_CHARSET);
    button_ = createChild(box, {.windowClass = L"BUTTON",
                                .text = wide(face.caption),
                                .style = WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                .id = args_.id + kButtonId,
                                .font = glyphFont_ ? glyphFont_.get() : args_.font});
    if (!prompt_ || !path_ || !button_) return false;
    layOut();
    return true;
}

void FolderPickerControl::PromptCaption(const std::string& caption) {
    picker_->PromptCaption = caption;
    SetWindowTextW(prompt_, wide(caption).c_str());
    layOut();
}

void FolderPickerControl::layOut() {
    const Twips twips = screenTwips();
    RECT client;
    GetClientRect(hwnd(), &client);
    const std::string& caption = picker_->PromptCaption;
    SIZE prompt{0, 0};
    if (!caption.empty()) {
        const WindowDc dc = windowDc(prompt_);
        const Selection use = selectObject(dc.get(), args_.font);
        prompt = lineExtent(dc.get(), wide(caption));
    }
    const FolderPickerLayout layout = layOutFolderPicker({.width = twips.fromX(client.right),
                                                          .promptWidth = twips.fromX(prompt.cx),
                                                          .promptHeight = twips.fromY(prompt.cy),
                                                          .boxHeight = kPathBoxHeightTwips,
                                                          .buttonWidth = kButtonWidthTwips,
                                                          .twips = twips});
    moveWindow(prompt_, pixelRect(twips, layout.prompt));
    ShowWindow(prompt_, caption.empty() ? SW_HIDE : SW_SHOW);
    const RECT box = pixelRect(twips, layout.box);
    const HWND panel = GetParent(path_);
    moveWindow(panel, box);
    // The path box fills the box up to the button, which stands in the box's right end.
    RECT inner;
    GetClientRect(panel, &inner);
    RECT button = pixelRect(twips, layout.button);
    OffsetRect(&button, -box.left - 2, -box.top);
    button.top = 0;
    button.bottom = inner.bottom;
    moveWindow(button_, button);
    moveWindow(path_, {0, 0, button.left, inner.bottom});
    const int height = twips.y(layout.height);
    if (client.bottom != height) SetWindowPos(hwnd(), nullptr, 0, 0, client.right, height, SWP_NOMOVE | SWP_NOZORDER);
}

bool FolderPickerControl::OnCommand(int id, UINT code, HWND) {
    if (id == args_.id + kPathId && code == EN_CHANGE) {
        Change();
        return true;
    }
    if (id == args_.id + kButtonId && code == BN_CLICKED) {
        const std::unique_ptr<FolderBrowseDialog> browser =
            makeBrowser ? makeBrowser(hwnd()) : std::make_unique<ShellFolderBrowser>(hwnd());
        picker_->browse(*browser);
        return true;
    }
    return false;
}

std::optional<LRESULT> FolderPickerControl::OnMessage(UINT msg, WPARAM, LPARAM lParam) {
    switch (msg) {
        case WM_DRAWITEM:
            drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETFOCUS:
            SetFocus(path_);
            return 0;
        default:
            return std::nullopt;
    }
}

// The button's caption in the button's font: the glyph, or the dots where the system lacks the glyph's font.
void FolderPickerControl::drawButton(const DRAWITEMSTRUCT& item) const {
    RECT r = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    if (pushed) OffsetRect(&r, 1, 1);
    const Selection use =
        selectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(IsWindowEnabled(item.hwndItem) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const std::wstring caption = wide(windowText(item.hwndItem));
    DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

std::string FolderPickerControl::pathText() const { return windowText(path_); }

void FolderPickerControl::setPathText(const std::string& text) { SetWindowTextW(path_, wide(text).c_str()); }

void FolderPickerControl::focusPath() { SetFocus(path_); }

void FolderPickerControl::selectPath() { SendMessageW(path_, EM_SETSEL, 0, -1); }

void FolderPickerControl::beep() { MessageBeep(MB_OK); }

}  // namespace kq::win32
