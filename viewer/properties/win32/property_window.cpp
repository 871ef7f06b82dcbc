#include "viewer/properties/win32/property_window.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "common/form_layout.h"
#include "common/win32/form_window.h"
#include "common/win32/message_loop.h"
#include "common/win32/message_prompts.h"
#include "common/win32/wide.h"
#include "viewer/main_window/win32/help.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

namespace {

using kq::win32::wide;
namespace ids = property_ids;

constexpr int kClientWidth = 6285;
constexpr int kClientHeight = 4680;
constexpr TwipsRect kList{120, 120, 6015, 3855};
constexpr TwipsRect kClose{4920, 4200, 1215, 375};
constexpr int kColumnWidths[] = {2000, 4000, 3000};

class frmProperty final : public kq::win32::Form {
public:
    frmProperty(const PropertyRows& rows, const std::function<void()>& help) : rows_(rows), help_(help) {}

    void show(HWND owner) { showModal(owner, wide(texts::kPropertyCaption), kClientWidth, kClientHeight); }

private:
    bool OnLoad() override;
    bool OnCommand(int id, UINT code, HWND control) override;
    void OnDestroy() override { keys_.reset(); }
    bool keyPreviewed(const MSG& key);
    void fill(HWND list);

    const PropertyRows& rows_;
    const std::function<void()>& help_;
    std::optional<kq::win32::WindowKeys> keys_;
};

bool frmProperty::OnLoad() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HWND list = addControl(hwnd(), WC_LISTVIEWW, "",
                                 WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, kList,
                                 ids::lstProperty, WS_EX_CLIENTEDGE);
    const HWND close = addControl(hwnd(), L"BUTTON", std::string(texts::kPropertyClose),
                                  WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kClose, ids::cmdClose);
    if (!list || !close) return false;
    fill(list);
    // The form sees its keys before its controls do.
    keys_.emplace(hwnd(), [this](const MSG& key) { return keyPreviewed(key); });
    return true;
}

void frmProperty::fill(HWND list) {
    for (std::size_t i = 0; i < texts::kPropertyColumnCaptions.size(); ++i) {
        std::wstring caption = wide(texts::kPropertyColumnCaptions[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = pixels({0, 0, kColumnWidths[i], 0}).right;
        column.pszText = caption.data();
        ListView_InsertColumn(list, static_cast<int>(i), &column);
    }
    int index = 0;
    for (const PropertyRow& row : rows_) {
        std::wstring label = wide(row.label);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = label.data();
        const int at = ListView_InsertItem(list, &item);
        if (at < 0) continue;
        if (row.value) {
            std::wstring value = wide(*row.value);
            ListView_SetItemText(list, at, 1, value.data());
        }
        ++index;
    }
}

bool frmProperty::keyPreviewed(const MSG& key) {
    if (key.wParam != VK_F1 || (key.message != WM_KEYDOWN && key.message != WM_KEYUP)) return false;
    // The help comes as the key is let go, once however long it is held.
    if (key.message == WM_KEYUP) {
        if (help_) {
            help_();
        } else {
            kq::win32::MessagePrompts prompts(hwnd());
            Command_Help(prompts);
        }
    }
    return true;
}

bool frmProperty::OnCommand(int id, UINT code, HWND) {
    if ((id == ids::cmdClose && code == BN_CLICKED) || id == IDCANCEL) {
        end(0);
        return true;
    }
    return false;
}

}  // namespace

void showPropertyList(HWND owner, const PropertyRows& rows, const std::function<void()>& help) {
    frmProperty form(rows, help);
    form.show(owner);
}

}  // namespace kq::viewer::win32
