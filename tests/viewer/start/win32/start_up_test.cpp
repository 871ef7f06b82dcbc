// The start-up's reading of the process's command line: UTF-16 as the system
// gives it, so that a folder outside the code page arrives whole; the
// program's own path skipped, quoted or not; the card asked for by the
// grouping stored in the view settings, which are read only then.

#include "viewer/start/win32/start_up.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "common/settings_store.h"
#include "common/win32/module.h"

namespace kq::viewer::win32 {
namespace {

// Counts the reads, to tell whether the view settings were read.
class CountingStore final : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view section, std::string_view name) override {
        ++reads;
        return store.read(section, name);
    }
    void write(std::string_view section, std::string_view name, std::string_view value) override {
        store.write(section, name, value);
    }
    MemorySettingsStore store;
    int reads = 0;
};

const std::wstring kProgram = kq::win32::thisModulePath();

struct Case {
    const char* name;
    std::wstring line;
    const char* grouping;  // as stored; nullptr for none
    StartValues expected;
    bool readsSettings;
};

const Case kCases[] = {
    {"EverythingTheAddinWrites",
     L"\"" + kProgram + L"\" ParentHwnd=-2147483648\tParentWindowMaximized=1\tSaveFolder=C:\\履歴 フォルダ ü\\月=1\t"
                        L"ShowId=20100101000000ABC_20100102000000DEF\tShowCategory=",
     nullptr, {INT32_MIN, true, "C:\\履歴 フォルダ ü\\月=1", "20100101000000ABC"}, true},
    {"AnUnquotedProgramPath", kProgram + L" SaveFolder=D:\\h", nullptr, {0, false, "D:\\h", ""}, false},
    {"NothingAfterTheProgram", L"\"" + kProgram + L"\"", nullptr, {}, false},
    {"ACategoryUnderGrouping4",
     L"\"" + kProgram + L"\" ShowId=20100101000000ABC_20100102000000DEF\tShowCategory=請求書",
     "4", {0, false, "", "CATEGORY_請求書"}, true},
    {"AVersionUnderGrouping3", L"\"" + kProgram + L"\" showid=20100101000000ABC_20100102000000DEF", "3",
     {0, false, "", "20100101000000ABC_20100102000000DEF"}, true},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class StartValuesOf : public ::testing::TestWithParam<Case> {};

TEST_P(StartValuesOf, CommandLine) {
    const Case& c = GetParam();
    CountingStore store;
    if (c.grouping) store.store.set("View", "CardsCategoryType", c.grouping);
    ViewerRun run(store);

    ReadStartValues(c.line, run);

    EXPECT_EQ(run.start.gParentHwnd, c.expected.gParentHwnd);
    EXPECT_EQ(run.start.gParentWindowMaximized, c.expected.gParentWindowMaximized);
    EXPECT_EQ(run.start.gSaveFolder, c.expected.gSaveFolder);
    EXPECT_EQ(run.start.gShowCardKey, c.expected.gShowCardKey);
    EXPECT_EQ(store.reads > 0, c.readsSettings);
}

INSTANTIATE_TEST_SUITE_P(Viewer, StartValuesOf, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kq::viewer::win32
