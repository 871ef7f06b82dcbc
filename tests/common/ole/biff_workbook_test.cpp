#include "common/ole/biff_workbook.h"

#include <gtest/gtest.h>

#include "common/ole/little_endian.h"

namespace kq::ole {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Record {
    std::uint16_t id;
    std::size_t at;  // of the record's header in the stream
    Bytes data;
};

// Every record from `at` to the next EOF, that one included.
std::vector<Record> substream(const Bytes& stream, std::size_t at) {
    std::vector<Record> records;
    ByteCursor cursor(stream);
    cursor.take(at);
    for (;;) {
        const std::size_t start = cursor.position();
        const std::uint16_t id = cursor.u16();
        const auto data = cursor.take(cursor.u16());
        if (!cursor.ok()) ADD_FAILURE() << "a record runs past the end";
        if (!cursor.ok()) return records;
        records.push_back({id, start, Bytes(data.begin(), data.end())});
        if (id == 0x000A) return records;
    }
}

const Record* find(const std::vector<Record>& records, std::uint16_t id) {
    for (const Record& r : records) {
        if (r.id == id) return &r;
    }
    return nullptr;
}

TEST(BiffWorkbook, ReadsBackWhatWasWritten) {
    const BiffWorkbook books[] = {
        {true, true, "ThisWorkbook", {{"Sheet1", "Sheet1"}}},
        {false, false, "", {{"Data", ""}, {"\xE9\x9B\x86\xE8\xA8\x88", "Sheet2"}, {"Third", "Sheet3"}}},
        {false, true, "DieseArbeitsmappe", {{"Tabelle1", "Tabelle1"}}},
    };
    for (const BiffWorkbook& book : books) {
        SCOPED_TRACE(book.sheets.front().name);
        const Bytes stream = writeBiffWorkbook(book);
        EXPECT_GE(stream.size(), 4096u);
        const auto read = readBiffWorkbook(stream);
        ASSERT_TRUE(read) << read.damage;
        EXPECT_EQ(*read, book);
    }
}

// What the host looks for: the add-in mark right after the globals' BOF, the
// project mark before the workbook's code name, each sheet's position at its
// own BOF, and the worksheet index pointing at the column width record.
TEST(BiffWorkbook, PlacesTheRecordsTheHostLooksFor) {
    const Bytes stream = writeBiffWorkbook({true, true, "ThisWorkbook", {{"Sheet1", "Sheet1"}, {"Sheet2", "Sheet2"}}});
    const auto globals = substream(stream, 0);
    ASSERT_GE(globals.size(), 3u);
    EXPECT_EQ(globals[0].id, 0x0809);
    EXPECT_EQ(loadLe16(std::span(globals[0].data).subspan(2)), 0x0005);
    EXPECT_EQ(globals[1].id, 0x0087) << "the add-in mark";
    const Record* project = find(globals, 0x00D3);
    const Record* codeName = find(globals, 0x01BA);
    ASSERT_TRUE(project && codeName);
    EXPECT_LT(project->at, codeName->at);
    int sheets = 0;
    for (const Record& r : globals) {
        if (r.id != 0x0085) continue;
        ++sheets;
        const std::uint32_t at = loadLe32(r.data);
        const auto sheet = substream(stream, at);
        ASSERT_FALSE(sheet.empty());
        EXPECT_EQ(sheet[0].id, 0x0809);
        EXPECT_EQ(loadLe16(std::span(sheet[0].data).subspan(2)), 0x0010);
        const Record* index = find(sheet, 0x020B);
        ASSERT_TRUE(index);
        const std::uint32_t columnWidth = loadLe32(std::span(index->data).subspan(12));
        EXPECT_EQ(loadLe16(std::span(stream).subspan(columnWidth)), 0x0055);
        EXPECT_TRUE(find(sheet, 0x01BA)) << "the sheet's code name";
    }
    EXPECT_EQ(sheets, 2);
    const auto plain = substream(writeBiffWorkbook({false, false, "", {{"Sheet1", ""}}}), 0);
    EXPECT_FALSE(find(plain, 0x0087));
    EXPECT_FALSE(find(plain, 0x00D3));
}

TEST(BiffWorkbook, DamagedStreamsAreReported) {
    const Bytes good = writeBiffWorkbook({true, true, "ThisWorkbook", {{"Sheet1", "Sheet1"}}});
    const auto globals = substream(good, 0);
    const Record* sheet = find(globals, 0x0085);
    ASSERT_TRUE(sheet);
    const auto sheetEof = substream(good, loadLe32(sheet->data)).back().at;
    for (std::size_t size = 0; size < sheetEof + 4; ++size) {
        EXPECT_FALSE(readBiffWorkbook(std::span(good).first(size))) << "cut at " << size;
    }
    Bytes backwards = good;
    storeLe32(std::span(backwards).subspan(sheet->at + 4), 0);  // the sheet said to start at the globals
    const auto read = readBiffWorkbook(backwards);
    EXPECT_FALSE(read);
    EXPECT_NE(read.damage.find("outside"), std::string::npos) << read.damage;
    Bytes notBiff8 = good;
    notBiff8[4] = 0x00;
    notBiff8[5] = 0x05;  // BIFF5
    EXPECT_FALSE(readBiffWorkbook(notBiff8));
}

}  // namespace
}  // namespace kq::ole
