// A whole recording of the simulated host with the system's clipboard, real
// metafiles and the Win32 file system: what the add-in does after a print,
// short of the host and the windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/recording/save_history.h"
#include "common/history_reader.h"
#include "common/win32/handles.h"
#include "host/sim/sim_application.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"

namespace kq::addin::recording::win32 {
namespace {

std::wstring clipboardUnicodeText() {
    std::wstring text;
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(nullptr);
    if (!open) return text;
    if (const kq::win32::LockedGlobal lock = kq::win32::lockGlobal(GetClipboardData(CF_UNICODETEXT))) {
        text = static_cast<const wchar_t*>(lock.get());
    }
    return text;
}

TEST(RecordingWin32, PagesAreRealMetafilesAndTheUsersClipboardComesBack) {
    test::Win32RecordingWorld w(L"kq_recording");
    const std::shared_ptr<host::sim::SimApplication>& sim = w.sim;
    test::ScratchTempFiles& files = w.files;
    const std::string& history = w.history;
    const auto book = sim->addWorkbook("Book.xls", "C:\\books");
    const auto ledger = book->addWorksheet("Ledger");
    for (std::int32_t row = 1; row <= 40; ++row) {
        for (std::int32_t column = 1; column <= 5; ++column) {
            ledger->setCell(row, column, host::sim::columnLetters(column) + std::to_string(row));
        }
    }
    ledger->setPrintArea("$B$3:$E$40");
    ledger->setPrintTitleRows("$1:$2");
    ledger->setPrintTitleColumns("$A:$A");
    ledger->rowBreaks() = {20};
    const auto memo = book->addWorksheet("Memo");
    memo->setCell("A1", std::string("台帳"));
    memo->setCell("B1", std::string("B1"));
    w.docPros.Add(book, ledger, "", "20240101090000SAA", "20240101090000VAA", "", {}, {}, {});
    w.docPros.Add(book, memo, "", "20240101090000SBA", "20240101090000VBA", "", {}, {}, {});
    book->selectSheets(std::vector<std::string>{"Ledger", "Memo"});

    // What the user had copied.
    host::sim::win32::Win32SimClipboard user;
    user.putText("ユーザーの文字");

    RecorderWorld world = w.world();
    SaveHistory(world);

    EXPECT_TRUE(w.system.shown.messages.empty());
    EXPECT_EQ(clipboardUnicodeText(), L"ユーザーの文字");
    EXPECT_EQ(test::filesIn(w.temp), std::vector<std::string>{});
    const std::vector<std::string> names = test::filesIn(history);
    ASSERT_EQ(names.size(), 2u);

    // Every page a sound metafile; a page of titles and body is as large as they are together.
    const auto pagesOf = [&](const std::string& name, std::vector<ENHMETAHEADER>& headers) {
        const std::unique_ptr<ByteSource> source = files.openForReading(history + "\\" + name);
        const HistoryRead<std::vector<PageImageRecord>> pages = readHistoryPages(*source);
        ASSERT_TRUE(pages) << pages.damage;
        for (const PageImageRecord& page : *pages.value) {
            const HistoryRead<std::vector<std::uint8_t>> bytes = readHistoryPage(*source, page);
            ASSERT_TRUE(bytes);
            const kq::win32::EnhMetafile metafile(SetEnhMetaFileBits(static_cast<UINT>(bytes.value->size()), bytes.value->data()));
            ASSERT_TRUE(metafile);
            headers.push_back(test::headerOf(metafile.get()));
        }
    };
    const double pointsToHimetric = 2540 / 72.0;
    const double x = GetHimetricPerPixel(0);
    const double y = GetHimetricPerPixel(1);
    std::vector<ENHMETAHEADER> ledgerPages;
    std::vector<ENHMETAHEADER> memoPages;
    pagesOf(names[0], ledgerPages);
    pagesOf(names[1], memoPages);
    ASSERT_EQ(ledgerPages.size(), 2u);
    // Page 2: title column and body across (1 + 4 columns), title rows and body down (2 + 21 rows).
    EXPECT_NEAR(ledgerPages[1].rclFrame.right, 5 * 54 * pointsToHimetric, 2 * x);
    EXPECT_NEAR(ledgerPages[1].rclFrame.bottom, 23 * 13.5 * pointsToHimetric, 2 * y);
    ASSERT_EQ(memoPages.size(), 1u);
    EXPECT_NEAR(memoPages[0].rclFrame.right, 2 * 54 * pointsToHimetric, 1);
    EXPECT_NEAR(memoPages[0].rclFrame.bottom, 1 * 13.5 * pointsToHimetric, 1);

    // The page text went through the ANSI code page and back.
    const std::unique_ptr<ByteSource> source = files.openForReading(history + "\\" + names[1]);
    const HistoryRead<HistoryRecords> records = readHistoryRecords(*source, systemAnsiCodec());
    ASSERT_TRUE(records);
    EXPECT_EQ(records.value->pageTexts, std::vector<TextLineRecord>{{"台帳\tB1\r\n"}});
    EXPECT_EQ(records.value->header.intPageCount, 1);
}

}  // namespace
}  // namespace kq::addin::recording::win32
