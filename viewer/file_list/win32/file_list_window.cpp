#include "viewer/file_list/win32/file_list_window.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "common/win32/control_kit.h"
#include "common/win32/forms.h"
#include "common/win32/wide.h"

namespace kq::viewer::win32 {

namespace {

using kq::win32::wide;

constexpr wchar_t kClass[] = L"KqFileList";
constexpr int kListId = 1;
// The list view's selection changes come in bursts (one click unselects,
// selects and focuses); they are taken together once the burst is over.
constexpr UINT kSelectionTouched = WM_APP + 1;
// A key has been handled by the list view: where did its focus go.
constexpr UINT kKeyDone = WM_APP + 2;
constexpr COLORREF kPlaceholderGrey = RGB(128, 128, 128);

void copyText(const std::string& text, wchar_t* to, int capacity) {
    if (!to || capacity <= 0) return;
    const std::wstring w = wide(text);
    lstrcpynW(to, w.c_str(), capacity);
}

}  // namespace

FontWidths::FontWidths(HFONT font, double twipsPerPixel)
    : dc_(kq::win32::memoryDc(nullptr)), selected_(kq::win32::selectObject(dc_.get(), font)),
      twipsPerPixel_(twipsPerPixel) {}

double FontWidths::textWidth(std::string_view text) {
    const std::wstring w = wide(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_.get(), w.c_str(), static_cast<int>(w.size()), &size)) return 0;
    return size.cx * twipsPerPixel_;
}

FileListWindow::FileListWindow(HistoryBrowser& browser, const PictureList& pictures)
    : browser_(browser), pictures_(pictures), onListBuilt_(browser.listBuilt.connect([this] { newList_ = true; })) {}

bool FileListWindow::create(HWND parent, int id) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The list covers the window: no background goes first.
    return kq::win32::createCompoundControl(*this, parent, {.windowClass = kClass, .id = id, .background = nullptr}) !=
           nullptr;
}

bool FileListWindow::OnCreate(const CREATESTRUCTW&) {
    font_ = kq::win32::createFormFont();
    list_ = kq::win32::createChild(
        hwnd(), {.windowClass = WC_LISTVIEWW,
                 .style = WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHAREIMAGELISTS,
                 .exStyle = WS_EX_CLIENTEDGE,
                 .id = kListId,
                 .font = font_.get()});
    if (!list_) return false;
    // The marks serve the rows and the column headers alike.
    ListView_SetImageList(list_, pictures_.handle(), LVSIL_SMALL);
    Header_SetImageList(ListView_GetHeader(list_), pictures_.handle());
    // The column chooser opens before the list's own handling of the click.
    return headerClicks_.attach(list_, [this](UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_RCLICK)) {
            columnMenuAsked();
        }
        return std::nullopt;
    });
}

void FileListWindow::place(const RECT& pixels) {
    MoveWindow(hwnd(), pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, TRUE);
}

bool FileListWindow::OnSize(UINT, int width, int height) {
    if (list_) MoveWindow(list_, 0, 0, width, height, TRUE);
    return true;
}

void FileListWindow::update() {
    if (!list_) return;
    updating_ = true;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    if (newList_) {
        // A new list: its own columns and widths, and its selection set anew.
        newList_ = false;
        showColumns();
        shown_.reset();
    }
    ListView_SetItemCountEx(list_, static_cast<int>(browser_.list().rows().size()), LVSICF_NOSCROLL);
    showSelection();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    updating_ = false;
}

void FileListWindow::showColumns() {
    const std::vector<FileListColumn>& columns = browser_.list().columns();
    while (ListView_DeleteColumn(list_, 0)) {
    }
    const kq::Twips twips = kq::win32::screenTwips();
    const int userPicture = pictures_.index("USER");
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const FileListColumn& column = columns[i];
        std::wstring caption = wide(column.caption);
        LVCOLUMNW lvc{};
        lvc.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        lvc.fmt = LVCFMT_LEFT;
        // As wide as the list says: the rows' marks in the first column take
        // their room within it.
        lvc.cx = twips.x(column.width);
        lvc.pszText = caption.data();
        if (column.userPicture()) {
            lvc.mask |= LVCF_IMAGE;
            lvc.fmt |= LVCFMT_IMAGE;
            lvc.iImage = userPicture;
        }
        ListView_InsertColumn(list_, static_cast<int>(i), &lvc);
    }
}

void FileListWindow::showSelection() {
    const std::set<std::size_t>& selected = browser_.selectedRows();
    const std::optional<std::size_t> current = browser_.currentRow();
    // Setting the states anew is not free with many rows selected, and most
    // updates follow the user's own change of them.
    if (!shown_ || shown_->rows != selected || shown_->current != current) {
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        const std::size_t count = browser_.list().rows().size();
        if (!selected.empty() && selected.size() == count) {
            ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
        } else {
            for (const std::size_t row : selected) {
                ListView_SetItemState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
            }
        }
        if (current) {
            ListView_SetItemState(list_, static_cast<int>(*current), LVIS_FOCUSED, LVIS_FOCUSED);
            ListView_SetSelectionMark(list_, static_cast<int>(*current));
        }
        shown_ = ShownSelection{selected, current};
    }
    if (ListView_GetItemCount(list_) > 0) ListView_EnsureVisible(list_, current ? static_cast<int>(*current) : 0, FALSE);
}

int FileListWindow::focusedRow() const { return ListView_GetNextItem(list_, -1, LVNI_FOCUSED); }

bool FileListWindow::takeSelection() {
    selectionPosted_ = false;
    const std::size_t count = browser_.list().rows().size();
    const auto wanted = static_cast<std::size_t>(ListView_GetSelectedCount(list_));
    std::set<std::size_t> rows;
    if (wanted == count) {
        // All of a long list: no walk through the list view's states.
        for (std::size_t row = 0; row < count; ++row) rows.emplace_hint(rows.end(), row);
    } else {
        for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0 && rows.size() < wanted;
             row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
            rows.insert(static_cast<std::size_t>(row));
        }
    }
    const int focus = focusedRow();
    const std::optional<std::size_t> current =
        focus >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(focus)) : std::nullopt;
    const std::set<std::size_t> before = browser_.selectedRows();
    const std::optional<std::size_t> currentBefore = browser_.currentRow();
    shown_ = ShownSelection{rows, current};
    browser_.setListSelection(std::move(rows), current);
    return browser_.selectedRows() != before || browser_.currentRow() != currentBefore;
}

void FileListWindow::selectionTouched() {
    if (updating_ || selectionPosted_) return;
    selectionPosted_ = PostMessageW(hwnd(), kSelectionTouched, 0, 0) != FALSE;
}

void FileListWindow::itemClick(int row) {
    browser_.itemClick(static_cast<std::size_t>(row));
    changed(BrowserChange::page);
}

void FileListWindow::clicked(const NMITEMACTIVATE& click) {
    if (takeSelection()) changed(BrowserChange::list);
    // A click beside the rows, or on a part of a row that does not take it,
    // leaves the page as it is.
    if (click.iItem >= 0 && click.iItem == focusedRow()) itemClick(click.iItem);
}

void FileListWindow::keyDone() {
    // The list view's own notices of this key come after this message: the
    // browser still holds the selection from before the key.
    const std::set<std::size_t> before = browser_.selectedRows();
    if (takeSelection()) changed(BrowserChange::list);
    // A key that changed the selection shows the row it left the focus on,
    // as a click on it does; one that moved only the focus does not.
    const int focus = focusedRow();
    if (browser_.selectedRows() != before && focus >= 0 && ListView_GetItemState(list_, focus, LVIS_SELECTED)) {
        itemClick(focus);
    }
}

void FileListWindow::columnClick(int column) {
    if (column < 0) return;
    browser_.columnClick(static_cast<std::size_t>(column));
    update();
    changed(BrowserChange::list);
}

void FileListWindow::cell(NMLVDISPINFOW& request) const {
    LVITEMW& item = request.item;
    const std::vector<FileListRow>& rows = browser_.list().rows();
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.size()) return;
    const FileListRow& row = rows[static_cast<std::size_t>(item.iItem)];
    if (item.mask & LVIF_TEXT) {
        const auto column = static_cast<std::size_t>(item.iSubItem);
        copyText(column < row.cells.size() ? row.cells[column] : std::string(), item.pszText, item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE) item.iImage = row.errorPicture ? pictures_.index("ERROR") : I_IMAGENONE;
}

LRESULT FileListWindow::customDraw(NMLVCUSTOMDRAW& draw) const {
    const FileList::Placeholder shown = browser_.list().placeholder();
    if (shown != FileList::Placeholder::noResults && shown != FileList::Placeholder::searching) return CDRF_DODEFAULT;
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: draw.clrText = kPlaceholderGrey; return CDRF_DODEFAULT;
        default: return CDRF_DODEFAULT;
    }
}

LRESULT FileListWindow::findRow(const NMLVFINDITEMW& find) const {
    // Typing in the list finds the next row whose first cell starts with the
    // letters typed, letter case aside.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    const std::wstring typed = find.lvfi.psz;
    const std::vector<FileListRow>& rows = browser_.list().rows();
    const std::size_t count = rows.size();
    if (count == 0 || typed.empty()) return -1;
    const auto start = static_cast<std::size_t>(std::max(0, find.iStart)) % count;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t row = (start + step) % count;
        if (rows[row].cells.empty()) continue;
        const std::wstring first = wide(rows[row].cells.front());
        const bool whole = !(find.lvfi.flags & LVFI_PARTIAL);
        if (first.size() < typed.size() || (whole && first.size() != typed.size())) continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first.c_str(), static_cast<int>(typed.size()),
                           typed.c_str(), static_cast<int>(typed.size())) == CSTR_EQUAL) {
            return static_cast<LRESULT>(row);
        }
    }
    return -1;
}

std::optional<LRESULT> FileListWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return std::nullopt;
    // The list view's notifications carry answers back in the structures it sent.
    auto& mutableHeader = const_cast<NMHDR&>(header);
    switch (header.code) {
        case LVN_GETDISPINFOW: cell(reinterpret_cast<NMLVDISPINFOW&>(mutableHeader)); return 0;
        case NM_CUSTOMDRAW: return customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(mutableHeader));
        case LVN_ODFINDITEMW: return findRow(reinterpret_cast<const NMLVFINDITEMW&>(header));
        case LVN_ITEMCHANGED:
            if (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) selectionTouched();
            return 0;
        case LVN_ODSTATECHANGED: selectionTouched(); return 0;
        case NM_CLICK: clicked(reinterpret_cast<const NMITEMACTIVATE&>(header)); return 0;
        case NM_RCLICK:
            // The list keeps the right button's release to itself; this notice is what comes of it.
            if (takeSelection()) changed(BrowserChange::list);
            fileMenuAsked();
            return 0;
        case LVN_KEYDOWN:
            PostMessageW(hwnd(), kKeyDone, 0, 0);
            return 0;
        case LVN_COLUMNCLICK: columnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem); return 0;
        default: return std::nullopt;
    }
}

std::optional<LRESULT> FileListWindow::OnMessage(UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case kSelectionTouched:
            if (selectionPosted_ && takeSelection()) changed(BrowserChange::list);
            return 0;
        case kKeyDone: keyDone(); return 0;
        case WM_SETFOCUS:
            if (list_) SetFocus(list_);
            return 0;
        default: return std::nullopt;
    }
}

}  // namespace kq::viewer::win32
