// The property windows of a history and of a card, over real files, driven
// as a user would: the rows as the list shows them, F1 let go for the help,
// the close button and Esc.

#include "viewer/properties/win32/history_properties_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "common/text_codec.h"
#include "common/vb.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32_scratch.h"
#include "viewer/properties/history_properties.h"
#include "viewer/properties/win32/property_window.h"

namespace kq::viewer::win32 {
namespace {

namespace ids = property_ids;
using Rows = std::vector<std::vector<std::string>>;

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const kq::win32::FileHandle file(CreateFileW(kq::win32::wide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

double at(int year, int month, int day, int hour, int minute, int second) {
    return *vb::ToOleDate({year, month, day, hour, minute, second});
}

std::vector<std::string> headerCaptions(HWND list) {
    const HWND header = ListView_GetHeader(list);
    std::vector<std::string> out;
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        wchar_t text[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        Header_GetItem(header, i, &item);
        out.push_back(kq::win32::narrow(text));
    }
    return out;
}

// What a user sees of a property window, and the help it has run.
struct Shown {
    HWND owner = nullptr;
    bool ownerDisabled = false;
    std::string caption;
    std::vector<std::string> columns;
    Rows rows;
};
Shown look(HWND form) {
    const HWND list = kq::test::control(form, ids::lstProperty);
    return {GetWindow(form, GW_OWNER), !IsWindowEnabled(GetWindow(form, GW_OWNER)), kq::test::textOf(form),
            headerCaptions(list), kq::test::rowsOf(list)};
}

TEST(HistoryPropertiesWindow, ListsTheHistoryAndOpensTheHelpWhenF1IsLetGo) {
    const test::ScratchFolder folder(L"kq_properties");
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strCategory = "月次";
    h.strBookPath = "C:\\帳票";
    h.strBookName = "Q&A.xls";
    h.strSheetName = "売上";
    h.datPrintDate = at(2012, 5, 7, 13, 5, 9);
    h.strPrinterName = "Office Printer";
    h.strLeftHeader = "&P / &N &D";
    h.strCenterHeader = "&F";
    h.dblLeftMargin = 72;
    h.lngPaperSize = 256;
    h.lngOrder = 1;
    h.lngOrientation = 2;
    h.lngFirstPageNumber = -4105;
    h.dblExcelVersion = 11;
    h.lngOSVersion = 6;
    r.headings = {{"担当", "$C$3", "山田", 0}};
    r.errorLines = {{"印刷できませんでした"}};
    const std::string path = folder.path("SHEET_VER_HIST.tvk");
    writeFile(path, test::historyBytes(r));

    const kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {0, 0, 900, 700});
    int helps = 0;
    Shown shown;
    bool opened = false;
    const kq::test::ModalRun drive = kq::test::runModal(
        [&] { opened = showHistoryProperties(host.get(), path, {.help = [&] { ++helps; }}); },
        {kq::test::onClass(L"KqForm",
                           [&](HWND form) {
                               shown = look(form);
                               EXPECT_TRUE(kq::test::screenshot(form, "history_properties.png"));
                               const HWND list = kq::test::control(form, ids::lstProperty);
                               ListView_EnsureVisible(list, ListView_GetItemCount(list) - 1, FALSE);
                               // Pressed, not yet let go: no help.
                               PostMessageW(list, WM_KEYDOWN, VK_F1, 0x003B0001);
                           }),
         kq::test::onClass(L"KqForm",
                           [&](HWND form) {
                               EXPECT_TRUE(kq::test::screenshot(form, "history_properties_end.png"));
                               EXPECT_EQ(helps, 0);
                               kq::test::pressKeys(kq::test::control(form, ids::lstProperty), {{VK_F1}});
                           }),
         kq::test::Step({.windowClass = L"KqForm"},
                        [&](HWND form) { kq::test::click(kq::test::control(form, ids::cmdClose)); },
                        [&](HWND) { return helps > 0; })});
    EXPECT_TRUE(drive.finished) << "the window did not close";
    EXPECT_TRUE(opened);
    EXPECT_EQ(helps, 1);
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(shown.owner, host.get());
    EXPECT_TRUE(shown.ownerDisabled);
    EXPECT_EQ(shown.caption, "プロパティ");
    EXPECT_EQ(shown.columns, (std::vector<std::string>{"名前", "値", "備考"}));
    // The list shows the rows as they are worked out, one item each, the
    // value as its first sub-item and nothing in the third column.
    kq::win32::Win32FileSystem files;
    const std::optional<HistoryProperties> read = readHistoryProperties(files, systemAnsiCodec(), path);
    ASSERT_TRUE(read);
    Rows expected;
    for (const PropertyRow& row : historyPropertyRows(path, *read)) expected.push_back({row.label, row.value.value_or(""), ""});
    ASSERT_EQ(expected.size(), 45u);
    EXPECT_EQ(expected[1], (std::vector<std::string>{"　　パス", folder.path(), ""}));
    EXPECT_EQ(expected[6], (std::vector<std::string>{"　　ファイルのサイズ", "1 KB", ""}));
    EXPECT_EQ(expected[20], (std::vector<std::string>{"　　ヘッダー(左)", "&P / &N 2012/5/7", ""}));
    EXPECT_EQ(expected[21], (std::vector<std::string>{"　　ヘッダー(中)", "C:\\帳票\\Q&A.xls", ""}));
    EXPECT_EQ(expected[26], (std::vector<std::string>{"　　余白(左)", "2.5cm", ""}));
    EXPECT_EQ(expected[32], (std::vector<std::string>{"　　用紙サイズ", "ユーザー設定", ""}));
    EXPECT_EQ(expected[34], (std::vector<std::string>{"　　印刷方向", "上から下", ""}));
    EXPECT_EQ(expected[39], (std::vector<std::string>{"　　担当", "山田 (=$C$3)", ""}));
    EXPECT_EQ(expected[44], (std::vector<std::string>{"エラー発生数", "1", ""}));
    ASSERT_EQ(shown.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(shown.rows[i], expected[i]) << "row " << i + 1;
}

TEST(HistoryPropertiesWindow, AHistoryThatIsGoneOpensNoWindow) {
    const test::ScratchFolder folder(L"kq_properties_gone");
    const kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {0, 0, 400, 300});
    EXPECT_FALSE(showHistoryProperties(host.get(), folder.path("gone.tvk")));
    EXPECT_FALSE(showHistoryProperties(host.get(), ""));
    EXPECT_FALSE(showHistoryProperties(host.get(), folder.path()));
    EXPECT_TRUE(kq::test::findWindows({.windowClass = L"KqForm"}).empty());
}

TEST(CardPropertiesWindow, ListsTheCardAndClosesOnEsc) {
    const test::ScratchFolder folder(L"kq_card_properties");
    Card card;
    card.setKey("S");
    const struct {
        const char* name;
        double date;
        bool errors;
    } files[] = {{"S_V_1.tvk", at(2011, 1, 2, 3, 4, 5), false}, {"S_V_2.tvk", at(2010, 5, 1, 10, 0, 0), true}};
    for (const auto& f : files) {
        HistoryRecords r;
        r.header.datPrintDate = f.date;
        if (f.errors) r.errorLines = {{"failed"}};
        writeFile(folder.path(f.name), test::historyBytes(r));
        card.FilesAdd(folder.path(f.name), "", "", "", f.date);
    }
    const kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {0, 0, 900, 700});
    Shown shown;
    const kq::test::ModalRun drive = kq::test::runModal(
        [&] {
            kq::win32::Win32FileSystem files;
            showPropertyList(host.get(), cardPropertyRows(card, headerReader(files, systemAnsiCodec())));
        },
        {kq::test::onClass(L"KqForm", [&](HWND form) {
            shown = look(form);
            EXPECT_TRUE(kq::test::screenshot(form, "card_properties.png"));
            kq::test::pressKeys(kq::test::control(form, ids::lstProperty), {{VK_ESCAPE}});
        })});
    EXPECT_TRUE(drive.finished) << "Esc did not close the window";
    EXPECT_EQ(shown.owner, host.get());
    EXPECT_EQ(shown.caption, "プロパティ");
    EXPECT_EQ(shown.rows, (Rows{{"データファイル", "", ""},
                                {"　　ファイル数", "2", ""},
                                {"　　エラーが含まれるファイル数", "1", ""},
                                {"　　開始日時", "2010/05/01(土)10:00:00", ""},
                                {"　　最新日時", "2011/01/02(日)03:04:05", ""}}));
}

}  // namespace
}  // namespace kq::viewer::win32
