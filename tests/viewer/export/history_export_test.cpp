#include "viewer/export/history_export.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/runtime_errors.h"
#include "tests/support/history_bytes.h"
#include "tests/support/memory_file_system.h"

namespace kq::viewer {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kHistory[] = "C:\\Hist\\S_V_1.tvk";
constexpr char kOut[] = "D:\\出力";

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

// Three pages, four captured pieces, two shapes, one comment and an error line.
HistoryRecords records() {
    HistoryRecords r;
    r.header.strSheetId = "S";
    r.pageTexts = {{"一\t1\r\n"}, {"二"}, {"三"}, {""}};
    r.shapes = {{"四角 1", "図形の文字", "A1", "B2"}, {"四角 2", "second", "C3", "D4"}};
    r.comments = {{"確認済み\r\n二行目", "A1", "kei"}};
    r.errorLines = {{"ページ 2 を写せません"}};
    return r;
}
const std::vector<Bytes> kPages = {{1, 2, 3}, {4, 5, 6, 7}, {0, 0xFF, 0x0D, 0x0A}};

struct Folder {
    test::MemoryFileSystem files;
    Folder() {
        files.addFile(kHistory, test::historyBytes(records(), kPages));
        files.addDirectory(kOut);
    }
    ExportOutcome run(ExportChoices choices = {true, true, true, true}) {
        return exportHistory(files, cp932Codec(), kHistory, kOut, choices);
    }
    std::string in(const std::string& name) const { return std::string(kOut) + "\\" + name; }
    std::vector<std::string> inAll(const std::vector<std::string>& names) const {
        std::vector<std::string> paths;
        for (const std::string& name : names) paths.push_back(in(name));
        return paths;
    }
    std::vector<std::string> listed() {
        std::vector<std::string> names;
        const std::optional<FolderListing> listing = files.listFolder(kOut);
        for (const FolderEntry& e : listing->entries) names.push_back(e.name);
        return names;
    }
};

const std::vector<std::string> kEverything = {
    "Image_001.emf", "Image_002.emf", "Image_003.emf", "Cell_001.txt",  "Cell_002.txt", "Cell_003.txt",
    "Cell_004.txt",  "Shape_001.txt", "Shape_002.txt", "Comment_001.txt"};

TEST(ExportFilePath, NumbersInThreeDigitsAtLeastAndTheSuffixFromTheSecondAttempt) {
    struct Case {
        int number, attempt;
        const char* path;
    };
    const Case cases[] = {
        {1, 1, "D:\\x\\Image_001.emf"},      {12, 2, "D:\\x\\Image_012(2).emf"},
        {999, 3, "D:\\x\\Image_999(3).emf"}, {1000, 1, "D:\\x\\Image_1000.emf"},
        {7, kLastExportAttempt, "D:\\x\\Image_007(32767).emf"},
    };
    for (const Case& c : cases) EXPECT_EQ(exportFilePath("D:\\x", "Image_", c.number, c.attempt, ".emf"), c.path);
}

TEST(HistoryExport, WritesEveryPageAsStoredAndEveryTextInTheCodePage) {
    Folder f;
    const ExportOutcome out = f.run();
    ASSERT_FALSE(out.failure) << out.failure->description;
    EXPECT_EQ(out.written, f.inAll(kEverything));
    for (std::size_t n = 0; n < kPages.size(); ++n) {
        EXPECT_EQ(f.files.contents(f.in("Image_00" + std::to_string(n + 1) + ".emf")), kPages[n]);
    }
    // A captured piece goes out whole, with no line end added.
    EXPECT_EQ(f.files.contents(f.in("Cell_001.txt")), bytesOf("\x88\xea\t1\r\n"));
    EXPECT_EQ(f.files.contents(f.in("Cell_002.txt")), bytesOf("\x93\xf1"));
    EXPECT_EQ(f.files.contents(f.in("Cell_004.txt")), Bytes{});
    // Shape and comment texts end with a line end.
    EXPECT_EQ(f.files.contents(f.in("Shape_001.txt")),
              bytesOf("\x90\x7d\x8c\x60\x82\xcc\x95\xb6\x8e\x9a\r\n"));
    EXPECT_EQ(f.files.contents(f.in("Shape_002.txt")), bytesOf("second\r\n"));
    EXPECT_EQ(f.files.contents(f.in("Comment_001.txt")),
              bytesOf("\x8a\x6d\x94\x46\x8d\xcf\x82\xdd\r\n\x93\xf1\x8d\x73\x96\xda\r\n"));
}

TEST(HistoryExport, WritesOnlyWhatIsChosen) {
    struct Case {
        ExportChoices choices;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{true, false, false, false}, {"Image_001.emf", "Image_002.emf", "Image_003.emf"}},
        {{false, true, false, false}, {"Cell_001.txt", "Cell_002.txt", "Cell_003.txt", "Cell_004.txt"}},
        {{false, false, true, false}, {"Shape_001.txt", "Shape_002.txt"}},
        {{false, false, false, true}, {"Comment_001.txt"}},
        {{false, false, false, false}, {}},
    };
    for (const Case& c : cases) {
        Folder f;
        const ExportOutcome out = f.run(c.choices);
        EXPECT_FALSE(out.failure);
        EXPECT_EQ(out.written, f.inAll(c.names));
    }
}

TEST(HistoryExport, ASecondExportTakesTheNextFreeNamesAndOverwritesNothing) {
    Folder f;
    ASSERT_FALSE(f.run().failure);
    // Taken names: a file beside the first export, and a folder of a file's name.
    f.files.addFile(f.in("Image_001(2).emf"), {9});
    f.files.addDirectory(f.in("Shape_001(2).txt"));
    const ExportOutcome second = f.run({true, false, true, false});
    ASSERT_FALSE(second.failure);
    EXPECT_EQ(second.written, f.inAll({"Image_001(3).emf", "Image_002(2).emf", "Image_003(2).emf",
                                       "Shape_001(3).txt", "Shape_002(2).txt"}));
    EXPECT_EQ(f.files.contents(f.in("Image_001(2).emf")), Bytes{9});
    EXPECT_EQ(f.files.contents(f.in("Image_001.emf")), kPages[0]);
    EXPECT_EQ(f.files.contents(f.in("Image_001(3).emf")), kPages[0]);
}

TEST(HistoryExport, AFailureTakesAwayWhatTheExportMadeAndNothingElse) {
    struct Case {
        const char* what;
        std::function<void(Folder&)> arrange;
        std::int32_t number;
    };
    const Case cases[] = {
        {"a text file that may not be made", [](Folder& f) { f.files.refuseNewFile(f.in("Cell_003.txt")); },
         runtime_errors::kPathFileAccessError},
        {"a file that cannot be written", [](Folder& f) { f.files.failWriting(f.in("Comment_001.txt")); },
         runtime_errors::kDeviceIoError},
        {"a page file that cannot be written", [](Folder& f) { f.files.failWriting(f.in("Image_001(2).emf")); },
         runtime_errors::kDeviceIoError},
        {"a folder out of reach", [](Folder& f) { f.files.makeUnreachable(kOut); }, runtime_errors::kPathNotFound},
        {"a damaged history", [](Folder& f) {
             Bytes cut = test::historyBytes(records(), kPages);
             cut.resize(cut.size() - 3);
             f.files.addFile(kHistory, cut);
         },
         runtime_errors::kInputPastEndOfFile},
        {"a history gone", [](Folder& f) { f.files.removeFile(kHistory); }, runtime_errors::kFileNotFound},
        {"a history held open without sharing", [](Folder& f) { f.files.lockExclusively(kHistory); },
         runtime_errors::kPathFileAccessError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        f.files.addFile(f.in("Image_001.emf"), {9});
        c.arrange(f);
        const ExportOutcome out = f.run();
        ASSERT_TRUE(out.failure);
        EXPECT_EQ(out.failure->number, c.number);
        EXPECT_EQ(out.failure->description, runtime_errors::description(c.number));
        EXPECT_TRUE(out.written.empty());
        f.files.makeReachable();
        EXPECT_EQ(f.listed(), std::vector<std::string>{"Image_001.emf"});
        EXPECT_EQ(f.files.contents(f.in("Image_001.emf")), Bytes{9});
    }
}

TEST(HistoryExport, TheSuffixCounterRunningOutStopsTheExport) {
    Folder f;
    for (int attempt = 1; attempt <= kLastExportAttempt; ++attempt) {
        f.files.addFile(exportFilePath(kOut, "Image_", 2, attempt, ".emf"));
    }
    const ExportOutcome out = f.run();
    ASSERT_TRUE(out.failure);
    EXPECT_EQ(*out.failure, (ExportFailure{runtime_errors::kOverflow, "Overflow"}));
    EXPECT_EQ(f.files.kind(f.in("Image_001.emf")), PathKind::missing);
    EXPECT_EQ(f.listed().size(), static_cast<std::size_t>(kLastExportAttempt));
}

}  // namespace
}  // namespace kq::viewer
