// A whole recording of the simulated host with the system's clipboard, real
// metafiles and the Win32 file system: what the add-in does after a print,
// short of the host and the windows.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/core/doc_pros.h"
#include "addin/core/setting.h"
#include "addin/recording/save_history.h"
#include "addin/recording/win32/clipboard_win32.h"
#include "addin/recording/win32/recorder_clipboard_win32.h"
#include "common/history_reader.h"
#include "common/settings_store.h"
#include "common/win32/handles.h"
#include "host/sim/sim_application.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_scratch.h"

namespace kq::addin::recording::win32 {
namespace {

constexpr char kTitle[] = "Brelmont for Excel";

// The system's clipboard and metafiles; messages and the notice answered by the test.
class TestedSystem final : public RecorderSystem {
public:
    explicit TestedSystem(FileSystem& files) : files_(files) {}
    std::int32_t GetOS() override { return 12; }
    std::int32_t MsgBoxEx(const MsgBoxExArgs&) override { return msgbox::kOk | msgbox::kChecked; }
    void ShowFinished(double seconds) override { notices.push_back(seconds); }
    Clipboard& userClipboard() override { return user_; }
    RecorderClipboard& clipboard() override { return clipboard_; }
    PageComposer& composer() override { return composer_; }
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return shown; }
    const AnsiCodec& codec() override { return systemAnsiCodec(); }

    kq::test::ScriptedPrompts shown;
    std::vector<double> notices;

private:
    FileSystem& files_;
    Win32Clipboard user_;
    Win32RecorderClipboard clipboard_;
    Win32PageComposer composer_{shown, kTitle};
};

class Clock final : public kq::Clock {
public:
    vb::DateTime now() const override { return {2024, 3, 15, 10, 15, 30}; }
};

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
    const kq::test::ScratchFolder scratch(L"kq_recording");
    const std::string history = scratch.path("History");
    const std::string temp = scratch.path("Temp");
    CreateDirectoryW(kq::win32::wide(history).c_str(), nullptr);
    CreateDirectoryW(kq::win32::wide(temp).c_str(), nullptr);
    test::ScratchTempFiles files(temp);
    TestedSystem system(files);

    MemorySettingsStore store;
    store.set("Setting", "Folder", history);
    store.set("Setting", "ShowMessageWhenPrintRun", "0");
    kq::test::FixedKnownFolders known{std::string("C:\\")};
    c_Setting setting(store,
                      HistoryFolderServices{.files = files,
                                            .prompts = system.shown,
                                            .knownFolders = known,
                                            .programFolder = scratch.path(),
                                            .title = kTitle},
                      16);
    Clock clock;
    c_Xl_DocPros docPros(clock, [] { return 0.5; });

    const auto sim = host::sim::SimApplication::create(files);
    sim->setClipboard(std::make_shared<host::sim::win32::Win32SimClipboard>());
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
    docPros.Add(book, ledger, "", "20240101090000SAA", "20240101090000VAA", "", {}, {}, {});
    docPros.Add(book, memo, "", "20240101090000SBA", "20240101090000VBA", "", {}, {}, {});
    book->selectSheets(std::vector<std::string>{"Ledger", "Memo"});

    // What the user had copied.
    host::sim::win32::Win32SimClipboard user;
    user.putText("ユーザーの文字");

    RecorderWorld world{sim, setting, docPros, clock, system, kTitle, "1.00.0.01"};
    SaveHistory(world);

    EXPECT_TRUE(system.shown.messages.empty());
    EXPECT_EQ(clipboardUnicodeText(), L"ユーザーの文字");
    EXPECT_EQ(test::filesIn(temp), std::vector<std::string>{});
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
