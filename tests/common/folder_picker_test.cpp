#include "common/folder_picker.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/memory_file_system.h"

namespace kq {
namespace {

// The picker's box and what was done to it.
struct FakeBox final : FolderPickerView {
    std::string text;
    std::vector<std::string> writes;
    int beeps = 0;
    int focused = 0;
    int selected = 0;
    std::string pathText() const override { return text; }
    void setPathText(const std::string& t) override {
        text = t;
        writes.push_back(t);
    }
    void focusPath() override { ++focused; }
    void selectPath() override { ++selected; }
    void beep() override { ++beeps; }
};

struct FakeBrowser final : FolderBrowseDialog {
    std::optional<std::string> answer;
    std::vector<std::pair<std::string, std::string>> opened;  // title, start folder
    std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& start) override {
        opened.emplace_back(title, start);
        return answer;
    }
};

struct Picker {
    test::MemoryFileSystem files;
    FakeBox box;
    FolderPicker picker;
    explicit Picker(bool viewers = false) : picker(files, box, viewers) {
        files.addDirectory("C:\\Hist");
        files.addDirectory("D:\\");
        files.addFile("C:\\Hist\\a.tvk");
    }
};

TEST(FolderPicker, ReadingTheFolder) {
    struct Case {
        const char* text;
        const char* folder;
        const char* boxAfter;
        int beeps;
    };
    const Case cases[] = {
        {"", "", "", 0},
        {"C:\\Hist", "C:\\Hist", "C:\\Hist", 0},
        {"C:\\Hist\\", "C:\\Hist", "C:\\Hist", 0},
        {"D:\\", "D:", "D:", 0},
        {"C:\\Hist\\a.tvk", "", "", 1},
        {"C:\\Missing", "", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Picker p;
        p.box.text = c.text;
        EXPECT_EQ(p.picker.Folder(), c.folder);
        EXPECT_EQ(p.box.text, c.boxAfter);
        EXPECT_EQ(p.box.beeps, c.beeps);
    }
}

TEST(FolderPicker, WritingTheFolder) {
    struct Case {
        const char* value;
        const char* boxAfter;
        int beeps;
    };
    const Case cases[] = {
        {"C:\\Hist", "C:\\Hist", 0},
        {"C:\\Hist\\", "C:\\Hist", 0},
        {"C:\\Hist\\a.tvk", "", 1},
        {"C:\\Missing", "", 1},
        {"", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Picker p;
        p.box.text = "old";
        p.picker.Folder(c.value);
        EXPECT_EQ(p.box.text, c.boxAfter);
        EXPECT_EQ(p.box.beeps, c.beeps);
        // Every write is a change the holder hears of, the clearing included.
        EXPECT_EQ(p.box.writes.size(), 1u);
    }
}

TEST(FolderPicker, BrowsingStartsAtTheBoxOrTheDefaultFolder) {
    struct Case {
        const char* name;
        const char* text;
        const char* defaultFolder;
        std::optional<std::string> answer;
        const char* started;
        const char* boxAfter;
        int beeps;
    };
    const Case cases[] = {
        {"box folder", "C:\\Hist\\", "D:\\", "D:\\Other", "C:\\Hist", "D:\\Other", 0},
        {"empty box, no default", "", "", "C:\\Hist", "", "C:\\Hist", 0},
        {"empty box, default", "", "D:\\", "C:\\Hist", "D:\\", "C:\\Hist", 0},
        {"no folder in the box", "C:\\Missing", "D:\\", "C:\\Hist", "D:\\", "C:\\Hist", 1},
        {"cancelled", "C:\\Hist", "", std::nullopt, "C:\\Hist", "C:\\Hist", 0},
        {"cancelled after a bad box", "C:\\Missing", "", std::nullopt, "", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picker p;
        p.box.text = c.text;
        p.picker.DefaultFolder = c.defaultFolder;
        p.picker.BrowserTitle = "保存先";
        FakeBrowser browser;
        browser.answer = c.answer;
        p.picker.browse(browser);
        ASSERT_EQ(browser.opened.size(), 1u);
        EXPECT_EQ(browser.opened[0].first, "保存先");
        EXPECT_EQ(browser.opened[0].second, c.started);
        EXPECT_EQ(p.box.text, c.boxAfter);
        EXPECT_EQ(p.box.beeps, c.beeps);
        EXPECT_EQ(p.box.focused, 1);
        EXPECT_EQ(p.box.selected, 0);
    }
}

TEST(FolderPicker, TheViewersPickerSelectsABrowsedFolder) {
    Picker p(true);
    FakeBrowser browser;
    browser.answer = "C:\\Hist";
    p.picker.browse(browser);
    EXPECT_EQ(p.box.text, "C:\\Hist");
    EXPECT_EQ(p.box.selected, 1);
    EXPECT_EQ(p.box.focused, 2);
}

TEST(FolderPicker, LayoutPutsTheButtonInsideTheBoxsRightEnd) {
    const FolderPickerLayout bare = layOutFolderPicker({.width = 4815});
    EXPECT_EQ(bare.box, (TwipsRect{0, 0, 4815, 270}));
    EXPECT_EQ(bare.button, (TwipsRect{4815 - 255 - 30, 30, 255, 210}));
    EXPECT_EQ(bare.height, 270);
    const FolderPickerLayout prompted = layOutFolderPicker({.width = 4815, .promptWidth = 900, .promptHeight = 180});
    EXPECT_EQ(prompted.prompt, (TwipsRect{0, 45, 900, 180}));
    EXPECT_EQ(prompted.box, (TwipsRect{900, 0, 3915, 270}));
    EXPECT_EQ(prompted.button.right(), 4815 - 30);
}

}  // namespace
}  // namespace kq
