#include "common/ole/compound_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

#include "common/ole/little_endian.h"

namespace kq::ole {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A name made of a prefix and a number (appended: "literal" + std::string
// trips a false warning of the 32-bit compiler).
std::string numbered(std::string prefix, std::size_t number) { return prefix.append(std::to_string(number)); }

Bytes pattern(std::size_t size, std::uint8_t seed) {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    return out;
}

// Streams on both sides of each size that decides where a stream's bytes go:
// the mini stream's 64-byte sectors, the 4096-byte cut-off, the file's
// 512-byte sectors and a second sector table sector.
TEST(CompoundFile, RoundTripsStreamsOfEverySize) {
    const std::size_t sizes[] = {0, 1, 63, 64, 65, 4095, 4096, 4097, 512 * 130, 70000};
    CompoundFileWriter writer;
    for (std::size_t size : sizes) writer.addStream(numbered("sizes/s", size), pattern(size, static_cast<std::uint8_t>(size)));
    writer.addStream("top", pattern(10, 1));
    writer.addStream("a/b/c/deep", pattern(5000, 2));
    const Bytes file = writer.bytes();
    ASSERT_EQ(file.size() % 512, 0u);

    const auto read = CompoundFile::read(file);
    ASSERT_TRUE(read) << read.damage;
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(read->stream(numbered("sizes/s", size)), pattern(size, static_cast<std::uint8_t>(size)));
    }
    EXPECT_EQ(read->stream("top"), pattern(10, 1));
    EXPECT_EQ(read->stream("a/b/c/deep"), pattern(5000, 2));
    EXPECT_EQ(read->streamPaths().size(), std::size(sizes) + 2);
}

TEST(CompoundFile, FindsNamesWhateverTheirLetterCase) {
    CompoundFileWriter writer;
    writer.addStream("Workbook", {1});
    writer.addStream("_VBA_PROJECT_CUR/VBA/dir", {2});
    const auto read = CompoundFile::read(writer.bytes());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->stream("WORKBOOK"), Bytes{1});
    EXPECT_EQ(read->stream("_vba_project_cur/vba/DIR"), Bytes{2});
    EXPECT_FALSE(read->stream("_VBA_PROJECT_CUR/VBA"));  // a storage, not a stream
    EXPECT_FALSE(read->stream("missing"));
    EXPECT_EQ(read->streamPaths(), (std::vector<std::string>{"Workbook", "_VBA_PROJECT_CUR/VBA/dir"}));
}

// Each storage's children form a red-black tree ordered as the format orders
// names: shorter first, then by the names in upper case.
TEST(CompoundFile, KeepsSiblingsInAValidRedBlackTree) {
    for (int count = 1; count <= 40; ++count) {
        SCOPED_TRACE(count);
        CompoundFileWriter writer;
        for (int i = 0; i < count; ++i) writer.addStream(numbered(std::string("s").append(static_cast<std::size_t>(i % 5), 'x'), static_cast<std::size_t>(i)), {});
        const auto read = CompoundFile::read(writer.bytes());
        ASSERT_TRUE(read);
        const auto& entries = read->entries();
        const auto less = [](const std::u16string& a, const std::u16string& b) {
            if (a.size() != b.size()) return a.size() < b.size();
            return a < b;  // the names here have no lower-case letters to fold but 'x' and 's'
        };
        int visited = 0;
        std::function<int(std::uint32_t, bool, const std::u16string*, const std::u16string*)> check =
            [&](std::uint32_t id, bool parentRed, const std::u16string* low, const std::u16string* high) -> int {
            if (id == kNoEntry) return 1;
            const DirectoryEntry& e = entries.at(id);
            ++visited;
            EXPECT_FALSE(parentRed && !e.black) << "red under red";
            if (low) {
                EXPECT_TRUE(less(*low, e.name));
            }
            if (high) {
                EXPECT_TRUE(less(e.name, *high));
            }
            const int left = check(e.left, !e.black, low, &e.name);
            const int right = check(e.right, !e.black, &e.name, high);
            EXPECT_EQ(left, right) << "unequal black heights";
            return left + (e.black ? 1 : 0);
        };
        const DirectoryEntry& root = entries.front();
        EXPECT_TRUE(entries.at(root.child).black);
        check(root.child, false, nullptr, nullptr);
        EXPECT_EQ(visited, count);
    }
}

TEST(CompoundFile, RefusesNamesAndPathsItCannotStore) {
    struct Case {
        const char* name;
        std::function<void(CompoundFileWriter&)> add;
    };
    const Case cases[] = {
        {"32 characters", [](auto& w) { w.addStream(std::string(32, 'n'), {}); }},
        {"empty name", [](auto& w) { w.addStream("a//b", {}); }},
        {"a colon", [](auto& w) { w.addStream("a:b", {}); }},
        {"a backslash", [](auto& w) { w.addStream("a\\b", {}); }},
        {"the same path again", [](auto& w) { w.addStream("S/x", {}); w.addStream("s/X", {}); }},
        {"a stream under a stream", [](auto& w) { w.addStream("s", {}); w.addStream("s/x", {}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CompoundFileWriter writer;
        EXPECT_THROW(c.add(writer), std::invalid_argument);
    }
    CompoundFileWriter writer;
    EXPECT_NO_THROW(writer.addStream(std::string(31, 'n'), {}));
}

// The header's fields, for patching a file into damage.
std::uint32_t field(const Bytes& file, std::size_t at) { return loadLe32(std::span(file).subspan(at)); }

Bytes twoStreamFile() {
    CompoundFileWriter writer;
    writer.addStream("small", pattern(100, 3));
    writer.addStream("large", pattern(6000, 4));
    return writer.bytes();
}

std::size_t sectorOffset(std::uint32_t sector) { return 512 + std::size_t{sector} * 512; }

TEST(CompoundFile, ReportsDamagedStructure) {
    const Bytes good = twoStreamFile();
    const std::uint32_t fatSector = field(good, 76);
    const std::uint32_t directorySector = field(good, 48);
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
    };
    const Case cases[] = {
        {"wrong signature", [](Bytes& f) { f[0] = 0; }},
        {"unknown version", [](Bytes& f) { f[26] = 5; }},
        {"more table sectors than sectors", [](Bytes& f) { storeLe32(std::span(f).subspan(44), 1000); }},
        {"table sector outside the file", [](Bytes& f) { storeLe32(std::span(f).subspan(76), 5000); }},
        {"directory chain loops", [&](Bytes& f) {
             storeLe32(std::span(f).subspan(sectorOffset(fatSector) + 4 * directorySector), directorySector);
         }},
        {"sibling points to itself", [&](Bytes& f) {
             // The root's child, whose left link is made to point back to it.
             const std::uint32_t child = field(f, sectorOffset(directorySector) + 76);
             storeLe32(std::span(f).subspan(sectorOffset(directorySector) + 128 * child + 68), child);
         }},
        {"root is no root", [&](Bytes& f) { f[sectorOffset(directorySector) + 66] = 1; }},
        {"cut inside the header", [](Bytes& f) { f.resize(300); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = good;
        c.damage(file);
        const auto read = CompoundFile::read(file);
        EXPECT_FALSE(read);
        EXPECT_FALSE(read.damage.empty());
    }
}

TEST(CompoundFile, ReportsADamagedStreamChain) {
    Bytes file = twoStreamFile();
    const auto read = CompoundFile::read(file);
    ASSERT_TRUE(read);
    const auto large = std::find_if(read->entries().begin(), read->entries().end(), [](const auto& e) { return e.name == u"large"; });
    ASSERT_NE(large, read->entries().end());
    // The large stream's first sector made to point to itself.
    storeLe32(std::span(file).subspan(sectorOffset(field(file, 76)) + 4 * large->start), large->start);
    const auto damaged = CompoundFile::read(file);
    ASSERT_TRUE(damaged);
    EXPECT_FALSE(damaged->stream("large"));
    EXPECT_EQ(damaged->stream("small"), pattern(100, 3));
}

// A file cut anywhere reads as damaged or gives each stream whole or not at all.
TEST(CompoundFile, TruncationsNeverGiveWrongBytes) {
    const Bytes good = twoStreamFile();
    int wholeReads = 0;
    for (std::size_t size = 0; size <= good.size(); size += 37) {
        const auto read = CompoundFile::read(std::span(good).first(std::min(size, good.size())));
        if (!read) continue;
        for (const auto& [name, bytes] : {std::pair{"small", pattern(100, 3)}, std::pair{"large", pattern(6000, 4)}}) {
            const auto got = read->stream(name);
            if (!got) continue;
            EXPECT_EQ(*got, bytes) << "cut at " << size;
            ++wholeReads;
        }
    }
    EXPECT_GT(wholeReads, 0);
}

}  // namespace
}  // namespace kq::ole
