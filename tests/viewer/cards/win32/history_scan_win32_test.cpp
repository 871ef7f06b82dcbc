// The history folder's scan and its cards on the system's own files: a
// history two levels down, names of other kinds, and the files a rebuild
// must pass over without stopping (cut short, held without sharing, gone
// between the scan and the read), and a link that leads back up.

#include "viewer/cards/history_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32_scratch.h"

namespace kq::viewer {
namespace {

HistoryRecords ofSheet(std::string sheet) {
    HistoryRecords r;
    // Moved in whole: assigning the literals trips a false -Wrestrict of i686 GCC 12.
    r.header.strSheetId = std::move(sheet);
    r.header.strVersionId = std::string(1, 'V');
    r.header.datPrintDate = 45000;
    return r;
}

std::vector<std::string> cardsOf(const CardBar& bar) {
    std::vector<std::string> out;
    for (std::size_t i = 1; i <= bar.Count(); ++i) {
        out.push_back(bar.Item(i)->Key() + ": " + std::to_string(bar.Item(i)->FilesCount()));
    }
    return out;
}

TEST(HistoryScanOnDisk, FindsWhatIsSoundAndPassesOverTheRest) {
    const test::ScratchFolder folder(L"kq_scan_履歴");
    const auto at = [&](const std::string& inside) { return folder.path(inside); };
    CreateDirectoryW(win32::wide(at("sub")).c_str(), nullptr);
    CreateDirectoryW(win32::wide(at("sub\\deep")).c_str(), nullptr);
    ASSERT_TRUE(test::writeHistoryFile(at("a.tvk"), ofSheet("A"), 1));
    ASSERT_TRUE(test::writeHistoryFile(at("sub\\deep\\b.TVK"), ofSheet("B"), 2));
    ASSERT_TRUE(test::writeHistoryFile(at("c.tvk.bak"), ofSheet("C"), 3));
    ASSERT_TRUE(test::writeHistoryFile(at("d.txt"), ofSheet("D"), 3));
    ASSERT_TRUE(test::writeHistoryFile(at("held.tvk"), ofSheet("E"), 4));
    ASSERT_TRUE(test::writeHistoryFile(at("gone.tvk"), ofSheet("F"), 5));
    ASSERT_TRUE(test::writeHistoryFile(at("cut.tvk"), ofSheet("G"), 6));
    {
        const win32::FileHandle cut(CreateFileW(win32::wide(at("cut.tvk")).c_str(), GENERIC_WRITE, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        SetFilePointer(cut.get(), 20, nullptr, FILE_BEGIN);
        ASSERT_TRUE(SetEndOfFile(cut.get()));  // and so the newest
    }
    const win32::FileHandle held(CreateFileW(win32::wide(at("held.tvk")).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    win32::Win32FileSystem files;
    const std::vector<FoundHistory> found = scanHistoryFolder(files, folder.path());
    std::vector<std::string> names;
    for (const FoundHistory& f : found) names.push_back(f.path.substr(folder.path().size() + 1));
    EXPECT_EQ(names, (std::vector<std::string>{"cut.tvk", "a.tvk", "sub\\deep\\b.TVK", "held.tvk", "gone.tvk"}));

    ASSERT_TRUE(DeleteFileW(win32::wide(at("gone.tvk")).c_str()));
    CardBar bar;
    makeCards(bar, found, headerReader(files, systemAnsiCodec()), Grouping::sheet);
    EXPECT_EQ(cardsOf(bar), (std::vector<std::string>{"A: 1", "B: 1"}));
}

// A folder holding a link to itself (made by the test session): the walk
// lists the folder's one history once and ends.
TEST(HistoryScanOnDisk, ALinkLoopIsWalkedOnce) {
    win32::Win32FileSystem files;
    const std::vector<FoundHistory> found = scanHistoryFolder(files, KQ_LINK_LOOP_FOLDER);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].path.ends_with("Hist\\a.tvk")) << found[0].path;
}

}  // namespace
}  // namespace kq::viewer
