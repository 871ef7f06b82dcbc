// The histories of one print held to those that an earlier recorder wrote for
// the same print: the same records and the same bytes, the history id and
// the print date aside. Pages of one, two and four pieces, texts in the code
// page, headings, shapes, comments and error lines all take part, on the
// system's clipboard and with real metafiles, so that a change in how the
// recorder moves its pieces around cannot change what a reader gets.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "addin/recording/save_history.h"
#include "common/byte_io.h"
#include "common/history_reader.h"
#include "tests/addin/recording/win32/recorder_win32_support.h"

namespace kq::addin::recording::win32 {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A history as records, with its pages' bytes.
struct History {
    HistoryRecords records;
    std::vector<std::vector<std::uint8_t>> pages;
};

History read(const std::vector<std::uint8_t>& bytes) {
    History history;
    MemorySource source(bytes);
    HistoryRead<HistoryRecords> records = readHistoryRecords(source, systemAnsiCodec());
    EXPECT_TRUE(records) << records.damage;
    if (!records) return history;
    history.records = std::move(*records.value);
    const HistoryRead<std::vector<PageImageRecord>> pages = readHistoryPages(source);
    EXPECT_TRUE(pages) << pages.damage;
    if (!pages) return history;
    for (const PageImageRecord& page : *pages.value) history.pages.push_back(readHistoryPage(source, page).value.value());
    return history;
}

// What may differ between two recordings of one print.
HistoryFileHeader withoutIdAndDate(HistoryFileHeader header) {
    header.strHistoryId.clear();
    header.datPrintDate = 0;
    return header;
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

// A wide text of a record up to its NUL: what GDI leaves in the rest of such
// a field is whatever its memory held, different from run to run.
std::u16string fieldText(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t chars) {
    std::u16string text;
    for (std::size_t i = 0; i < chars; ++i) {
        const auto c = static_cast<char16_t>(bytes[at + 2 * i] | bytes[at + 2 * i + 1] << 8);
        if (c == u'\0') break;
        text += c;
    }
    return text;
}

// Two metafiles record by record; the first record that differs, or empty.
// A font record is compared field by field, its texts up to their NULs.
std::string metafileDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    constexpr std::uint32_t kExtCreateFont = 82;
    // Type and size, handle, the fixed part of the font's LOGFONTW; its face
    // name, full name and style; the rest but the padding at the end.
    constexpr std::size_t kFixedEnd = 40, kFace = 40, kFullName = 104, kStyle = 232, kRest = 296, kRestEnd = 330;
    if (a.size() != b.size()) return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (std::size_t at = 0, record = 1; at + 8 <= a.size(); ++record) {
        const std::uint32_t type = wordAt(a, at);
        const std::uint32_t size = wordAt(a, at + 4);
        if (size < 8 || size > a.size() - at) return "record " + std::to_string(record) + " has no sound size";
        const auto same = [&](std::size_t from, std::size_t to) {
            return std::equal(a.begin() + static_cast<std::ptrdiff_t>(at + from),
                              a.begin() + static_cast<std::ptrdiff_t>(at + to),
                              b.begin() + static_cast<std::ptrdiff_t>(at + from));
        };
        const bool equal =
            type == kExtCreateFont && size >= kRestEnd
                ? same(0, kFixedEnd) && same(kRest, kRestEnd) &&
                      fieldText(a, at + kFace, 32) == fieldText(b, at + kFace, 32) &&
                      fieldText(a, at + kFullName, 64) == fieldText(b, at + kFullName, 64) &&
                      fieldText(a, at + kStyle, 32) == fieldText(b, at + kStyle, 32)
                : same(0, size);
        if (!equal) return "record " + std::to_string(record) + " of type " + std::to_string(type);
        at += size;
    }
    return {};
}

template <typename Record>
void expectSameBlock(const std::vector<Record>& got, const std::vector<Record>& kept, const char* block) {
    SCOPED_TRACE(block);
    ASSERT_EQ(got.size(), kept.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(got[i] == kept[i]) << "record " << i + 1;
}

TEST(HistoryReference, SamePrintGivesTheRecordsAndBytesKeptForIt) {
    const fs::path data = fs::path(KQ_TEST_DATA) / "addin" / "recording";
    test::Win32RecordingWorld w(L"kq_reference");
    // Read as text, so that the workbook's path is the one the file names
    // wherever the sources lie.
    const std::vector<std::uint8_t> fixture = bytesOf(data / "reference_print.simbook");
    ASSERT_FALSE(fixture.empty());
    w.docPros.LoadFromDocProps(w.sim->loadWorkbook(std::string(fixture.begin(), fixture.end())));
    RecorderWorld world = w.world();
    SaveHistory(world);
    // The Ledger's #REF heading is the only thing said.
    ASSERT_EQ(w.system.shown.messages.size(), 1u);
    EXPECT_EQ(test::filesIn(w.temp), std::vector<std::string>{});

    const std::vector<std::string> names = test::filesIn(w.history);
    const std::vector<std::pair<std::string, std::string>> sheets = {
        {"Ledger", "20240131120000ABC"}, {"Rows", "20240201100000RWS"},
        {"Columns", "20240201100000CLS"}, {"Plain", "20240201100000PLS"}};
    ASSERT_EQ(names.size(), sheets.size());
    for (const auto& [sheet, sheetId] : sheets) {
        SCOPED_TRACE(sheet);
        const auto name = std::find_if(names.begin(), names.end(),
                                       [&](const std::string& n) { return n.starts_with(sheetId + "_"); });
        ASSERT_NE(name, names.end());
        const std::vector<std::uint8_t> recorded = bytesOf(fs::path(w.history) / *name);
        const fs::path reference = data / ("reference_" + sheet + ".tvk");
        // For review, and to be kept once it is known to be right.
        const fs::path review = fs::path(KQ_RECORDED_REFERENCES) / reference.filename();
        fs::create_directories(review.parent_path());
        std::ofstream(review, std::ios::binary)
            .write(reinterpret_cast<const char*>(recorded.data()), static_cast<std::streamsize>(recorded.size()));
        if (!fs::exists(reference)) {
            ADD_FAILURE() << "no reference; this recording is in " << review;
            continue;
        }
        const History got = read(recorded);
        const History kept = read(bytesOf(reference));
        EXPECT_EQ(withoutIdAndDate(got.records.header), withoutIdAndDate(kept.records.header));
        expectSameBlock(got.records.headings, kept.records.headings, "headings");
        ASSERT_EQ(got.pages.size(), kept.pages.size());
        for (std::size_t page = 0; page < got.pages.size(); ++page) {
            EXPECT_EQ(metafileDifference(got.pages[page], kept.pages[page]), "") << "page " << page + 1;
        }
        expectSameBlock(got.records.pageTexts, kept.records.pageTexts, "page texts");
        expectSameBlock(got.records.shapes, kept.records.shapes, "shapes");
        expectSameBlock(got.records.comments, kept.records.comments, "comments");
        expectSameBlock(got.records.errorLines, kept.records.errorLines, "error lines");
    }
}

}  // namespace
}  // namespace kq::addin::recording::win32
