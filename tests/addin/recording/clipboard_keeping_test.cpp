#include "addin/recording/clipboard_keeping.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kq::addin::recording {
namespace {

using F = ClipFormat;

struct FakeData final : ClipboardData {
    explicit FakeData(std::string v) : value(std::move(v)) {}
    std::string value;
};

// A clipboard of named values that logs what is done to it.
class FakeClipboard final : public Clipboard {
public:
    bool has(ClipFormat f) override { return content.contains(f); }
    std::unique_ptr<ClipboardData> get(ClipFormat f) override {
        if (unreadable.contains(f) || !content.contains(f)) return nullptr;
        return std::make_unique<FakeData>(content.at(f));
    }
    void clear() override {
        content.clear();
        log.emplace_back("clear");
    }
    bool put(ClipFormat f, const ClipboardData& data) override {
        if (refused.contains(f)) return false;
        const auto& value = dynamic_cast<const FakeData&>(data).value;
        content[f] = value;
        order.push_back(f);
        log.push_back("put " + value);
        return true;
    }

    std::map<ClipFormat, std::string> content;
    std::set<ClipFormat> unreadable;
    std::set<ClipFormat> refused;
    std::vector<ClipFormat> order;
    std::vector<std::string> log;
};

TEST(ClipboardKeeper, KeepsWhatIsThereInTableOrder) {
    struct Case {
        const char* name;
        std::map<ClipFormat, std::string> content;
        std::set<ClipFormat> unreadable;
        std::vector<ClipFormat> kept;
    };
    const std::vector<Case> cases = {
        {"empty", {}, {}, {}},
        {"text", {{F::Text, "t"}}, {}, {F::Text}},
        {"all", {{F::Text, "t"}, {F::Link, "l"}, {F::Palette, "p"}, {F::Dib, "d"}, {F::Metafile, "m"}, {F::Bitmap, "b"}},
         {}, {F::Bitmap, F::Metafile, F::Dib, F::Palette, F::Link, F::Text}},
        {"bitmap and DIB", {{F::Dib, "d"}, {F::Bitmap, "b"}}, {}, {F::Bitmap, F::Dib}},
        {"unreadable left out", {{F::Dib, "d"}, {F::Bitmap, "b"}, {F::Text, "t"}}, {F::Dib}, {F::Bitmap, F::Text}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClipboard clipboard;
        clipboard.content = c.content;
        clipboard.unreadable = c.unreadable;
        ClipboardKeeper keeper;
        keeper.BackupClipboard(clipboard);
        EXPECT_EQ(keeper.keptFormats(), c.kept);
        EXPECT_EQ(clipboard.content, c.content);  // keeping leaves the clipboard as it was
    }
}

TEST(ClipboardKeeper, RestoreReplacesWhatRecordingLeft) {
    FakeClipboard clipboard;
    clipboard.content = {{F::Text, "user text"}, {F::Dib, "user dib"}, {F::Bitmap, "user bitmap"}};
    ClipboardKeeper keeper;
    keeper.BackupClipboard(clipboard);

    clipboard.content = {{F::Metafile, "page picture"}, {F::Text, "page text"}};
    keeper.RestoreClipboard(clipboard);
    EXPECT_EQ(clipboard.content, (std::map<ClipFormat, std::string>{
                                     {F::Text, "user text"}, {F::Dib, "user dib"}, {F::Bitmap, "user bitmap"}}));
    EXPECT_EQ(clipboard.log, (std::vector<std::string>{"clear", "put user bitmap", "put user dib", "put user text"}));
}

TEST(ClipboardKeeper, EmptyClipboardStaysEmpty) {
    FakeClipboard clipboard;
    ClipboardKeeper keeper;
    keeper.BackupClipboard(clipboard);
    clipboard.content = {{F::Metafile, "page picture"}};
    keeper.RestoreClipboard(clipboard);
    EXPECT_TRUE(clipboard.content.empty());
}

TEST(ClipboardKeeper, RefusedFormatIsSkippedAndTheRestGoesBack) {
    FakeClipboard clipboard;
    clipboard.content = {{F::Bitmap, "b"}, {F::Palette, "p"}, {F::Text, "t"}};
    ClipboardKeeper keeper;
    keeper.BackupClipboard(clipboard);
    clipboard.refused = {F::Palette};
    keeper.RestoreClipboard(clipboard);
    EXPECT_EQ(clipboard.order, (std::vector<ClipFormat>{F::Bitmap, F::Text}));
}

TEST(ClipboardKeeper, EachBackupForgetsTheLast) {
    FakeClipboard clipboard;
    ClipboardKeeper keeper;
    clipboard.content = {{F::Text, "first sheet"}, {F::Link, "link"}};
    keeper.BackupClipboard(clipboard);
    clipboard.content = {{F::Text, "second sheet"}};
    keeper.BackupClipboard(clipboard);
    EXPECT_EQ(keeper.keptFormats(), std::vector<ClipFormat>{F::Text});

    clipboard.content.clear();
    keeper.RestoreClipboard(clipboard);
    keeper.RestoreClipboard(clipboard);  // kept entries outlive a restore
    EXPECT_EQ(clipboard.content, (std::map<ClipFormat, std::string>{{F::Text, "second sheet"}}));
}

}  // namespace
}  // namespace kq::addin::recording
