// One print of a watched sheet, through the simulated host and the real
// add-in library, down to the history file the viewer will read. The unit
// tests see each step with fakes; only here do the registry settings, COM
// loading, the system clipboard, metafile composition and the file writer
// meet, so faults in how they fit together show up nowhere else.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "addin/core/texts.h"
#include "common/byte_io.h"
#include "common/history_reader.h"
#include "common/text_codec.h"
#include "common/win32/handles.h"
#include "tests/tools/end_to_end_support.h"

namespace kq {
namespace {

namespace fs = std::filesystem;
namespace texts = addin::texts;
using test::readBytes;
using test::readText;
using test::windowsPath;

// Wine's clipboard forgets its data shortly after the last process with a
// window ends, so this process keeps one for as long as it looks.
class ClipboardWindow {
public:
    ClipboardWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KqEndToEndClipboard";
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowExW(0, windowClass.lpszClassName, L"kq-e2e", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      windowClass.hInstance, nullptr));
        if (!window_) error_ = GetLastError();
    }

    bool putText(const std::wstring& text) {
        const win32::OpenedClipboard open = openClipboard();
        if (!open) return false;
        EmptyClipboard();
        win32::GlobalMemory memory = win32::globalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        if (!memory || !SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
        memory.release();
        return true;
    }

    std::wstring text() {
        const win32::OpenedClipboard open = openClipboard();
        if (!open) return L"<clipboard busy>";
        const win32::LockedGlobal lock = win32::lockGlobal(GetClipboardData(CF_UNICODETEXT));
        return lock ? static_cast<const wchar_t*>(lock.get()) : L"";
    }

    HWND handle() const { return window_.get(); }
    DWORD error() const { return error_; }

private:
    // The simulated host in the other process may be copying: waited for longer than a user's program would.
    win32::OpenedClipboard openClipboard() { return win32::openClipboard(window_.get(), {.attempts = 50, .pauseMs = 100}); }

    win32::OwnedWindow window_;
    DWORD error_ = 0;
};

struct EmfFrame {
    long width = 0;   // 0.01 mm
    long height = 0;  // 0.01 mm
};

// Null when the bytes are no enhanced metafile the system accepts.
std::optional<EmfFrame> emfFrame(const std::vector<std::uint8_t>& bytes, std::string& why) {
    const win32::EnhMetafile emf(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
    if (!emf) {
        why = "SetEnhMetaFileBits refused the bytes";
        return std::nullopt;
    }
    ENHMETAHEADER header{};
    const UINT got = GetEnhMetaFileHeader(emf.get(), sizeof header, &header);
    if (got == 0 || header.dSignature != ENHMETA_SIGNATURE || header.nBytes != bytes.size() || header.nRecords < 2) {
        why = "the header is not a sound metafile's";
        return std::nullopt;
    }
    return EmfFrame{header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
}

// Points to 0.01 mm, the unit of a metafile's frame.
long hundredthsOfMm(double points) { return static_cast<long>(points / 72.0 * 2540.0); }

class PrintEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = fs::path(windowsPath(KQ_E2E_SCRATCH)) / "print";
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);
        history_ = scratch_ / "history";
        fs::create_directories(history_);
        book_ = scratch_ / "Ledger.xls";
        fs::copy_file(fs::path(windowsPath(KQ_TEST_DATA "/sim/print3x2.simbook")), book_);
        transcript_ = scratch_ / "transcript.txt";
    }

    fs::path scratch_, history_, book_, transcript_;
};

TEST_F(PrintEndToEnd, AWatchedSheetPrintedThreeByTwoLeavesOneCompleteHistoryFile) {
    ClipboardWindow clipboard;
    ASSERT_NE(clipboard.handle(), nullptr) << "error " << clipboard.error();
    // The recorder borrows the user's clipboard for its copies; what the user
    // had there must be back afterwards.
    const std::wstring userText = L"ユーザーの控え before print";
    ASSERT_TRUE(clipboard.putText(userText));

    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/print3x2.txt", transcript_,
                                           {{"ADDIN", windowsPath(KQ_ADDIN_DLL)},
                                            {"BOOK", book_.string()},
                                            {"HISTORY", history_.string()}},
                                           240000);
    const std::wstring clipboardAfter = clipboard.text();
    const std::string transcript = readText(transcript_);
    EXPECT_EQ(exitCode, 0) << transcript;
    EXPECT_EQ(clipboardAfter, userText);

    // The #REF heading is reported to the user once the file is written.
    const std::size_t shownAt = transcript.find(texts::kHeadingError);
    EXPECT_NE(shownAt, std::string::npos) << transcript;
    if (shownAt != std::string::npos) {
        const std::size_t lineAt = transcript.rfind('\n', shownAt) + 1;
        EXPECT_EQ(transcript.compare(lineAt, 6, "  box "), 0) << "not in a message box:\n" << transcript;
    }
    EXPECT_EQ(transcript.find(texts::kErrorsOccurred.substr(0, 20)), std::string::npos) << transcript;

    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(history_)) {
        if (entry.path().extension() == ".tvk") files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u) << "history files written";
    const std::vector<std::uint8_t> bytes = readBytes(files[0]);
    const AnsiCodec& codec = systemAnsiCodec();

    MemorySource source(bytes);
    const HistoryRead<HistoryRecords> read = readHistoryRecords(source, codec);
    ASSERT_TRUE(read) << read.damage;
    const HistoryRecords& records = *read.value;
    const HistoryFileHeader& h = records.header;

    // The file is named after the ids it holds.
    EXPECT_EQ(files[0].filename().string(), h.strSheetId + "_" + h.strVersionId + "_" + h.strHistoryId + ".tvk");
    EXPECT_EQ(h.strCategory, "月次");
    EXPECT_EQ(h.strSheetId, "20240131120000ABC");
    EXPECT_EQ(h.strVersionId, "20240131120000DEF");
    EXPECT_EQ(h.strHistoryId.size(), 17u);
    EXPECT_NE(h.strHistoryId, h.strVersionId);
    EXPECT_EQ(h.strSaveRange, "");
    EXPECT_EQ(h.strBookName, "Ledger.xls");
    EXPECT_EQ(h.strSheetName, "Ledger");
    EXPECT_EQ(h.strPrintTitleRows, "$1:$2");
    EXPECT_EQ(h.strPrintTitleColumns, "$A:$A");
    EXPECT_EQ(h.strCenterHeader, "&A");
    EXPECT_EQ(h.strRightFooter, "&P / &N");
    EXPECT_DOUBLE_EQ(h.dblExcelVersion, 16.0);
    EXPECT_EQ(h.lngPaperSize, 9);
    EXPECT_EQ(h.lngOrientation, 1);
    EXPECT_GT(h.datPrintDate, 45000.0);
    EXPECT_EQ(h.intTitleCount, static_cast<std::int16_t>(records.headings.size()));
    EXPECT_EQ(h.intTextCount, static_cast<std::int16_t>(records.pageTexts.size()));
    EXPECT_EQ(h.intShapeCount, static_cast<std::int16_t>(records.shapes.size()));
    EXPECT_EQ(h.intCommentCount, static_cast<std::int16_t>(records.comments.size()));
    EXPECT_EQ(h.intErrorCount, static_cast<std::int16_t>(records.errorLines.size()));
    EXPECT_EQ(h.intPageCount, 6);

    // Pages: six sound metafiles. Every page carries the title row and
    // column besides its body, so each is larger than its body alone; rows
    // 3-51 and columns B-I are the largest body a page has.
    source = MemorySource(bytes);
    const HistoryRead<std::vector<PageImageRecord>> pages = readHistoryPages(source);
    ASSERT_TRUE(pages) << pages.damage;
    ASSERT_EQ(pages.value->size(), 6u);
    std::vector<EmfFrame> frames;
    for (std::size_t i = 0; i < pages.value->size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const HistoryRead<std::vector<std::uint8_t>> page = readHistoryPage(source, (*pages.value)[i]);
        ASSERT_TRUE(page) << page.damage;
        std::string why;
        const std::optional<EmfFrame> frame = emfFrame(*page.value, why);
        ASSERT_TRUE(frame) << why;
        EXPECT_GT(frame->width, 0);
        EXPECT_GT(frame->height, 0);
        frames.push_back(*frame);
    }
    // Pages go down, then across: rows 3-51, 52-100 and 101-120 of columns
    // B-I, then the same rows of columns J-M. Each page is its body with the
    // title rows (27 pt) and title column (54 pt) added, to within a pixel.
    const double bodyWidths[] = {8 * 54.0, 8 * 54.0, 8 * 54.0, 4 * 54.0, 4 * 54.0, 4 * 54.0};
    const double bodyHeights[] = {49 * 13.5, 49 * 13.5, 20 * 13.5, 49 * 13.5, 49 * 13.5, 20 * 13.5};
    const long slack = 100;  // 1 mm
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        EXPECT_GT(frames[i].width, hundredthsOfMm(bodyWidths[i]));
        EXPECT_GT(frames[i].height, hundredthsOfMm(bodyHeights[i]));
        EXPECT_LE(frames[i].width, hundredthsOfMm(bodyWidths[i] + 54.0) + slack);
        EXPECT_LE(frames[i].height, hundredthsOfMm(bodyHeights[i] + 27.0) + slack);
    }

    // Page texts: one per captured piece, four a page (body, corner, title
    // rows, title column), in page order.
    const std::vector<TextLineRecord>& pieces = records.pageTexts;
    ASSERT_EQ(pieces.size(), 24u);
    auto startsWith = [](const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; };
    for (std::size_t page = 0; page < 6; ++page) {
        SCOPED_TRACE("page " + std::to_string(page + 1));
        EXPECT_TRUE(startsWith(pieces[page * 4 + 1].strText, "台帳\r\nNo.")) << pieces[page * 4 + 1].strText;
        EXPECT_TRUE(startsWith(pieces[page * 4 + 2].strText, page < 3 ? "月次売上台帳" : "\t")) << pieces[page * 4 + 2].strText;
        if (page % 3 == 0) {
            EXPECT_TRUE(startsWith(pieces[page * 4 + 3].strText, "1\r\n")) << pieces[page * 4 + 3].strText;
        }
    }
    // The yen sign as the system writes it: 0x5C, which Japanese fonts show
    // as the yen sign.
    EXPECT_TRUE(startsWith(pieces[0].strText, "神田商事\tボールペン 黒\t120\t\\1,500\t"))
        << pieces[0].strText;
    const std::string stored(bytes.begin(), bytes.end());
    EXPECT_NE(stored.find("120\t\x5c" "1,500\t"), std::string::npos);
    EXPECT_EQ(stored.find("?1,500"), std::string::npos);
    EXPECT_NE(pieces[0].strText.find("頁1終わり"), std::string::npos);
    EXPECT_TRUE(startsWith(pieces[8].strText, "頁3始まり")) << pieces[8].strText;
    EXPECT_NE(pieces[14].strText.find("単価"), std::string::npos) << pieces[14].strText;
    EXPECT_TRUE(startsWith(pieces[12].strText, "5,400\t\"say \"\"hi\"\"\"")) << pieces[12].strText;
    EXPECT_TRUE(startsWith(pieces[16].strText, "頁5始まり")) << pieces[16].strText;
    EXPECT_NE(pieces[20].strText.find("最終セル"), std::string::npos) << pieces[20].strText;

    // Shapes: the group's visible members with text, each at the group's
    // corners; the hidden shape is left out.
    ASSERT_EQ(records.shapes.size(), 2u);
    EXPECT_EQ(records.shapes[0], (ShapeRecord{"Text Box 2", "確認済み", "$C$5", "$E$9"}));
    EXPECT_EQ(records.shapes[1], (ShapeRecord{"Label 3", "承認", "$C$5", "$E$9"}));

    // Comments: line breaks stored as CR LF whatever the host gave.
    ASSERT_EQ(records.comments.size(), 2u);
    EXPECT_EQ(records.comments[0], (CommentRecord{"単価は\r\n電話で合意", "$C$4", "佐藤"}));
    EXPECT_EQ(records.comments[1], (CommentRecord{"checked", "$J$60", "Tanaka"}));

    // Headings: a reference joins the texts of its first ten cells only; a
    // literal is its own value; a deleted reference has none and an error line.
    ASSERT_EQ(records.headings.size(), 3u);
    const UserHeadingRecord& cells = records.headings[0];
    EXPECT_EQ(cells.strTitle, "取引先");
    EXPECT_EQ(cells.strSource, "$B$3:$M$3");
    EXPECT_EQ(cells.lngCellLinkValueType, 1);
    // Stored without the "/" and "|" the property format separates with, the
    // yen sign as 0x5C; no eleventh ("tab") or twelfth ("末尾") cell.
    EXPECT_EQ(cells.strValue, "神田商事ボールペン 黒120\\1,5002024131TRUE#NAtwo\nlines5,400say \"hi\"");
    EXPECT_EQ(records.headings[1], (UserHeadingRecord{"備考", "month end", "month end", 0}));
    EXPECT_EQ(records.headings[2], (UserHeadingRecord{"Checker", "#REF", "", 0}));
    ASSERT_EQ(records.errorLines.size(), 1u);
    EXPECT_EQ(records.errorLines[0].strText, texts::WithName(texts::kRef, "Checker"));

    // Nothing but the history file is left in the folder.
    std::size_t entries = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(history_)) ++entries;
    EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace kq
