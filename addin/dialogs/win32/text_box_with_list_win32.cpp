#include "addin/dialogs/win32/text_box_with_list_win32.h"

#include <optional>
#include <vector>

#include "addin/core/texts.h"
#include "common/win32/control_kit.h"
#include "common/win32/form_window.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"

namespace kq::addin::dialogs::win32 {

namespace {

using namespace kq::win32;

constexpr wchar_t kClass[] = L"KqTextBoxWithList";
constexpr COLORREF kPlaceholderColour = RGB(128, 128, 128);
constexpr COLORREF kTextColour = RGB(0, 0, 0);

}  // namespace

u_TextBoxWithList::u_TextBoxWithList(TextBoxWithListModel& model) : BoxWithButton(kClass, model.shown), model_(model) {}

HWND u_TextBoxWithList::createButton(int id) { return createGlyphButton(hwnd(), id, Glyph::dropDown, {}); }

void u_TextBoxWithList::focusLost() {
    model_.focusLost();
    left();
}

void u_TextBoxWithList::buttonClicked() {
    const int chosen = trackMenu(button(), model_.ShowListMenu());
    model_.menuChosen(chosen);
    // The control may be gone once a dialog the command showed has closed its holder.
    if (hwnd()) SetFocus(box());
}

std::optional<LRESULT> u_TextBoxWithList::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CTLCOLOREDIT: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, model_.grey() ? kPlaceholderColour : kTextColour);
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        case WM_DRAWITEM:
            return drawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? std::optional<LRESULT>(TRUE)
                                                                                     : std::nullopt;
        default:
            return std::nullopt;
    }
}

namespace {

class ListEditorWindow final : public kq::win32::Form {
public:
    explicit ListEditorWindow(ListEditorModel& model) : model_(model) {}
    bool written() const { return written_; }

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    std::optional<LRESULT> OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void fill();
    void RefreshButtons();

    ListEditorModel& model_;
    HWND list_ = nullptr;
    std::optional<Tooltips> tips_;
    bool filling_ = false;
    bool written_ = false;
};

bool ListEditorWindow::OnLoad() {
    // The toolbar above the list: up, down, delete.
    const HWND up = createGlyphButton(hwnd(), list_editor_ids::kUp, Glyph::up, pixels({120, 120, 330, 300}));
    const HWND down = createGlyphButton(hwnd(), list_editor_ids::kDown, Glyph::down, pixels({450, 120, 330, 300}));
    const HWND remove = createGlyphButton(hwnd(), list_editor_ids::kDelete, Glyph::remove, pixels({780, 120, 330, 300}));
    tips_.emplace(hwnd());
    tips_->add(up, texts::kToolUp);
    tips_->add(down, texts::kToolDown);
    tips_->add(remove, texts::kToolDelete);

    list_ = addControl(hwnd(), WC_LISTVIEWW, "",
                       WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER,
                       {120, 480, 4200, 3000}, list_editor_ids::kList, WS_EX_CLIENTEDGE);
    if (!list_ || !up || !down || !remove) return false;
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    RECT inside{};
    GetClientRect(list_, &inside);
    column.cx = inside.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));

    addControl(hwnd(), L"BUTTON", std::string(texts::kListEditorOk), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
               {1860, 3600, 1215, 375}, IDOK);
    addControl(hwnd(), L"BUTTON", std::string(texts::kCancel), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
               {3105, 3600, 1215, 375}, IDCANCEL);
    fill();
    focus(list_);
    return true;
}

void ListEditorWindow::fill() {
    filling_ = true;
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    const std::vector<std::string>& rows = model_.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::wstring text = wide(rows[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (const auto selected = model_.selected()) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list_, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&state));
        SendMessageW(list_, LVM_ENSUREVISIBLE, *selected, FALSE);
    }
    filling_ = false;
    RefreshButtons();
}

void ListEditorWindow::RefreshButtons() {
    const ListEditorModel::Buttons buttons = model_.buttons();
    EnableWindow(GetDlgItem(hwnd(), list_editor_ids::kUp), buttons.up);
    EnableWindow(GetDlgItem(hwnd(), list_editor_ids::kDown), buttons.down);
    EnableWindow(GetDlgItem(hwnd(), list_editor_ids::kDelete), buttons.remove);
}

std::optional<LRESULT> ListEditorWindow::OnNotify(const NMHDR& header) {
    if (header.idFrom != list_editor_ids::kList || header.code != LVN_ITEMCHANGED || filling_) return std::nullopt;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE)) return std::nullopt;
    const int selected = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    model_.select(selected < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(selected)));
    RefreshButtons();
    return 0;
}

bool ListEditorWindow::OnCommand(int id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case list_editor_ids::kUp:
        case list_editor_ids::kDown:
        case list_editor_ids::kDelete:
            // With no row selected the toolbar does nothing, not even a refresh.
            if (!model_.selected()) return true;
            if (id == list_editor_ids::kUp) model_.up();
            if (id == list_editor_ids::kDown) model_.down();
            if (id == list_editor_ids::kDelete) model_.remove();
            fill();
            return true;
        case IDOK:
            model_.ok();
            written_ = true;
            end(IDOK);
            return true;
        case IDCANCEL:
            end(IDCANCEL);
            return true;
        default:
            return false;
    }
}

std::optional<LRESULT> ListEditorWindow::OnFormMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_DRAWITEM && drawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
    return std::nullopt;
}

}  // namespace

bool frmForTextBoxWithList(HWND owner, SettingsStore& lists, Prompts& prompts, const std::string& saveRegKey) {
    initCommonControls();
    ListEditorModel model(lists, prompts, saveRegKey);
    ListEditorWindow window(model);
    window.showModal(owner, wide(texts::kListEditorCaption), 4440, 4095);
    return window.written();
}

}  // namespace kq::addin::dialogs::win32
