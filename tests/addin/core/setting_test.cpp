#include "addin/core/setting.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/history_folder_world.h"

namespace kq::addin {
namespace {

using Write = MemorySettingsStore::Write;
using test::kProgramFolder;

constexpr double kHost2007 = 12;
constexpr double kHost2010 = 14;

struct Fixture {
    test::HistoryFolderWorld world;
    MemorySettingsStore store;

    void stored(const char* name, const char* value) { store.set("Setting", name, value); }
    // Loads, lets the test look and change, releases; the writes of the release.
    template <typename F>
    std::vector<Write> run(double hostVersion, F&& use) {
        {
            c_Setting setting(store, world.services(), hostVersion);
            use(setting);
            store.clearWrites();
        }
        return store.writes();
    }
};

TEST(AddinSetting, EmptyStoreGivesTheDefaultsWrittenInOrder) {
    Fixture f;
    f.world.files.addDirectory("C:\\Users\\kei\\Documents\\Brelmont for Excel");
    const auto writes = f.run(kHost2007, [](c_Setting& s) {
        EXPECT_TRUE(s.ShowMessageWhenPrintRun());
        EXPECT_EQ(s.ShowProgressTime(), 2);
        EXPECT_TRUE(s.ShowMessageWhenAdd());
        EXPECT_TRUE(s.ShowMessageXlaError());
        EXPECT_TRUE(s.Surveillance_Print());
        EXPECT_TRUE(s.Surveillance_DirectPrint());
        EXPECT_FALSE(s.Surveillance_Preview());
        EXPECT_TRUE(s.Surveillance_Unkown());
        EXPECT_EQ(s.SaveFolder(), "C:\\Users\\kei\\Documents\\Brelmont for Excel");
    });
    const std::vector<Write> expected = {
        {"Setting", "Folder", "C:\\Users\\kei\\Documents\\Brelmont for Excel"},
        {"Setting", "ShowMessageWhenPrintRun", "1"},
        {"Setting", "ShowProgressTime", "2"},
        {"Setting", "ShowMessageWhenAdd", "1"},
        {"Setting", "ShowMessageXlaError", "1"},
        {"Setting", "Surveillance_DirectPrint", "1"},
        {"Setting", "Surveillance_Preview", "0"},
        {"Setting", "Surveillance_Unkown", "1"},
    };
    EXPECT_EQ(writes, expected);
    EXPECT_TRUE(f.world.prompts.messages.empty());
}

TEST(AddinSetting, StoredBooleanIsTrueOnlyForALeadingNumberOfOne) {
    const struct {
        const char* text;
        bool value;
    } cases[] = {
        {"1", true},      {" 1", true},  {"1abc", true}, {"1.0", true}, {"0", false},   {"True", false},
        {"-1", false},    {"2", false},  {"1.5", false}, {"", false},   {"abc", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Fixture f;
        for (const char* name : {"ShowMessageWhenPrintRun", "ShowMessageWhenAdd", "ShowMessageXlaError",
                                 "Surveillance_DirectPrint", "Surveillance_Preview", "Surveillance_Unkown"}) {
            f.stored(name, c.text);
        }
        const auto writes = f.run(kHost2007, [&](c_Setting& s) {
            EXPECT_EQ(s.ShowMessageWhenPrintRun(), c.value);
            EXPECT_EQ(s.ShowMessageWhenAdd(), c.value);
            EXPECT_EQ(s.ShowMessageXlaError(), c.value);
            EXPECT_EQ(s.Surveillance_DirectPrint(), c.value);
            EXPECT_EQ(s.Surveillance_Preview(), c.value);
            EXPECT_EQ(s.Surveillance_Unkown(), c.value);
        });
        ASSERT_EQ(writes.size(), 8u);
        for (std::size_t i : {1u, 3u, 4u, 5u, 6u, 7u}) EXPECT_EQ(writes[i].value, c.value ? "1" : "0");
    }
}

TEST(AddinSetting, ProgressTimeIsClampedAtLoadOnlyAndWrittenWithADecimalPoint) {
    const struct {
        const char* stored;
        double loaded;
        double assigned;
        const char* written;
    } cases[] = {
        {"-3", 0, -1, "-1"},
        {"25", 10, 25, "25"},  // a value set in this run is kept until the next load
        {"abc", 0, 2.5, "2.5"},
        {"7.5", 7.5, 0.125, "0.125"},
        {"10", 10, 10, "10"},
        {"1e400", 10, 3, "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        Fixture f;
        f.stored("ShowProgressTime", c.stored);
        const auto writes = f.run(kHost2007, [&](c_Setting& s) {
            EXPECT_EQ(s.ShowProgressTime(), c.loaded);
            s.ShowProgressTime(c.assigned);
        });
        ASSERT_EQ(writes.size(), 8u);
        EXPECT_EQ(writes[2], (Write{"Setting", "ShowProgressTime", c.written}));
    }
}

TEST(AddinSetting, FromHostVersion14UnknownStartsAreRecordedAndTheValueIsLeftAlone) {
    const struct {
        double version;
        bool value;
        bool written;
    } cases[] = {{11, false, true}, {12, false, true}, {13.9, false, true}, {14, true, false}, {15, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        Fixture f;
        f.stored("Surveillance_Unkown", "0");
        f.stored("Surveillance_Print", "0");
        const auto writes = f.run(c.version, [&](c_Setting& s) {
            EXPECT_EQ(s.Surveillance_Unkown(), c.value);
            EXPECT_TRUE(s.Surveillance_Print());
            s.Surveillance_Unkown(true);
        });
        EXPECT_EQ(writes.size(), c.written ? 8u : 7u);
        EXPECT_EQ(writes.back().name, c.written ? "Surveillance_Unkown" : "Surveillance_Preview");
        EXPECT_EQ(f.store.read("Setting", "Surveillance_Unkown"), c.written ? "1" : "0");
        EXPECT_EQ(f.store.read("Setting", "Surveillance_Print"), "0");
    }
}

TEST(AddinSetting, FolderTextWrittenAtRelease) {
    const struct {
        const char* what;
        const char* stored;
        const char* setFolder;  // assigned after SaveFolder, when given
        const char* used;
        const char* written;
    } cases[] = {
        {"trailing separator dropped", "D:\\Data\\Hist\\", nullptr, "D:\\Data\\Hist", "D:\\Data\\Hist"},
        {"not creatable: program folder kept", "D:\\Locked\\Hist", nullptr, kProgramFolder, kProgramFolder},
        {"unreachable: choice kept", "Q:\\Hist", nullptr, kProgramFolder, "Q:\\Hist"},
        {"new choice after a stand-in", "Q:\\Hist", "D:\\Data\\Hist\\", kProgramFolder, "D:\\Data\\Hist"},
        {"never asked: text as stored", "D:\\Data\\Hist\\", nullptr, nullptr, "D:\\Data\\Hist\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.world.files.addDirectory("D:\\Data\\Hist");
        f.world.files.addDirectory("D:\\Locked");
        f.world.files.refuseCreate("D:\\Locked\\Hist");
        f.world.files.makeUnreachable("Q:\\");
        f.stored("Folder", c.stored);
        const auto writes = f.run(kHost2010, [&](c_Setting& s) {
            if (c.used) {
                EXPECT_EQ(s.SaveFolder(), c.used);
            }
            if (c.setFolder) {
                std::string path = c.setFolder;
                s.SetFolder(path);
            }
        });
        EXPECT_EQ(writes.front(), (Write{"Setting", "Folder", c.written}));
    }
}

TEST(AddinSetting, StoredFolderThatNamesNoFolderGivesTheDefaultAsInTheViewer) {
    const char* const unusable[] = {"", "Hist", "\\Hist", "%USERPROFILE%\\Hist", "\\\\server"};
    const std::string defaultFolder = "C:\\Users\\kei\\Documents\\Brelmont for Excel";
    for (const char* text : unusable) {
        SCOPED_TRACE(text);
        Fixture f;
        f.stored("Folder", text);
        const auto writes = f.run(kHost2010, [&](c_Setting& s) { EXPECT_EQ(s.SaveFolder(), defaultFolder); });
        EXPECT_EQ(writes.front(), (Write{"Setting", "Folder", defaultFolder}));
        EXPECT_TRUE(f.world.prompts.messages.empty());
        EXPECT_TRUE(f.world.files.isDirectory(defaultFolder));
    }
}

class FailingStore final : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view, std::string_view) override { return std::nullopt; }
    void write(std::string_view, std::string_view, std::string_view) override { throw std::runtime_error("store"); }
};

TEST(AddinSetting, FailureWhileSavingAtReleaseDoesNotEscape) {
    test::HistoryFolderWorld world;
    FailingStore store;
    EXPECT_NO_THROW({ c_Setting setting(store, world.services(), kHost2010); });
}

}  // namespace
}  // namespace kq::addin
