#include "addin/dialogs/remembered_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kq::addin::dialogs {
namespace {

using Entries = std::vector<std::string>;

std::optional<std::string> stored(MemorySettingsStore& store) { return store.read("LIST", "CATEGORY"); }

TEST(RememberedList, AppendKeepsEveryNewTextOnceAndNothingThatWouldBreakTheList) {
    struct Case {
        const char* what;
        std::optional<std::string> before;
        std::string text;
        std::optional<std::string> after;
    };
    const Case cases[] = {
        {"first of a missing list, no leading TAB", std::nullopt, "請求書", "請求書"},
        {"appended last", "a\tb", "c", "a\tb\tc"},
        {"present exactly", "a\tb", "b", "a\tb"},
        {"letter case counts", "ABC", "abc", "ABC\tabc"},
        {"spaces count", "abc", " abc", "abc\t abc"},
        {"nothing for an empty text", "a", "", "a"},
        {"a TAB is taken out, not a second entry", "a", "x\ty", "a\txy"},
        {"line breaks are taken out", "a", "x\r\ny\n", "a\txy"},
        {"only breaks is nothing", std::nullopt, "\t\r\n", std::nullopt},
        {"present once its breaks are out", "xy", "x\ty", "xy"},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        if (c.before) store.set("LIST", "CATEGORY", *c.before);
        RememberedList(store, "CATEGORY").append(c.text);
        EXPECT_EQ(stored(store), c.after) << c.what;
    }
}

TEST(RememberedList, MenuOffersTheStoredEntriesAndTheNewestWhenThereAreTooMany) {
    MemorySettingsStore store;
    store.set("LIST", "TITLE", "\t a \t\tb\t");
    EXPECT_EQ(RememberedList(store, "TITLE").menuEntries(), (Entries{" a ", "b"}));

    std::string many;
    for (int n = 1; n <= 900; ++n) {
        if (n > 1) many += '\t';
        many += std::to_string(n);
    }
    store.set("LIST", "TITLE", many);
    const Entries offered = RememberedList(store, "TITLE").menuEntries();
    ASSERT_EQ(offered.size(), kMenuEntryLimit);
    EXPECT_EQ(offered.front(), "3");
    EXPECT_EQ(offered.back(), "900");
}

TEST(RememberedList, EditorShowsEntriesTrimmedOnceAndRewritesTheWholeList) {
    MemorySettingsStore store;
    store.set("LIST", "CATEGORY", " a \t  \ta\tb \t b\tc");
    RememberedList list(store, "CATEGORY");
    EXPECT_EQ(list.editorEntries(), (Entries{"a", "b", "c"}));

    list.rewrite({" z ", "", "a", "z", "b\tx"});
    EXPECT_EQ(stored(store), "z\ta\tbx");
    list.rewrite({});
    EXPECT_EQ(stored(store), "");
}

TEST(RememberedList, ABoxWithoutANameUsesTheSharedListOfNamelessBoxes) {
    MemorySettingsStore store;
    RememberedList list(store, "");
    EXPECT_EQ(list.name(), "NOTITLE");
    list.append("x");
    EXPECT_EQ(store.read("LIST", "NOTITLE"), "x");
}

}  // namespace
}  // namespace kq::addin::dialogs
