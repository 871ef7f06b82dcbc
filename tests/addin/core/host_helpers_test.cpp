#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "addin/core/library_file.h"
#include "common/os_code.h"
#include "addin/core/res_string.h"
#include "host/host.h"

namespace kq::addin {
namespace {

class ScriptedVersion final : public VersionSource {
public:
    bool extendedRecord() override { return extended; }
    std::optional<WindowsVersion> basicRecord() override { return basic; }
    std::optional<TrueVersion> trueVersion() override {
        ++trueAsked;
        return actual;
    }

    bool extended = true;
    std::optional<WindowsVersion> basic;
    std::optional<TrueVersion> actual;
    int trueAsked = 0;
};

TEST(GetOS, CodesFromPlatformAndVersion) {
    struct Case {
        std::uint32_t platform, major, minor;
        std::optional<TrueVersion> actual;
        std::int32_t code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {1, 4, 0, {}, 0, "4.0"},
        {1, 4, 10, {}, 1, "4.10"},
        {1, 4, 90, {}, 2, "4.90"},
        {1, 4, 3, {}, 3, "4.3"},
        {1, 5, 0, {}, 3, "5.0"},
        {2, 3, 51, {}, 4, "3.51"},
        {2, 4, 0, {}, 4, "4.0"},
        {2, 5, 0, {}, 5, "5.0"},
        {2, 5, 1, {}, 6, "5.1"},
        {2, 5, 2, {}, 13, "5.2"},
        {2, 6, 0, TrueVersion{6, 0}, 7, "6.0"},
        {2, 6, 1, TrueVersion{6, 1}, 8, "6.1"},
        {2, 6, 2, TrueVersion{6, 2}, 9, "6.2"},
        // Without a compatibility manifest 8.1 and 10 report 6.2; the kernel tells the truth.
        {2, 6, 2, TrueVersion{6, 3}, 10, "6.3"},
        {2, 6, 2, TrueVersion{6, 4}, 11, "6.4"},
        {2, 6, 2, TrueVersion{10, 0}, 12, "10.0"},
        {2, 6, 2, TrueVersion{6, 5}, 13, "6.5"},
        {2, 6, 2, TrueVersion{10, 1}, 13, "10.1"},
        {2, 6, 2, TrueVersion{7, 0}, 13, "7.0"},
        {2, 6, 2, TrueVersion{11, 0}, 13, "11.0"},
        {2, 6, 1, std::nullopt, 8, "6.1"},  // no kernel answer: the reported version stands
        {0, 6, 1, TrueVersion{10, 0}, 0, "6.1"},
        {3, 10, 0, TrueVersion{10, 0}, 0, "10.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.platform) + ":" + std::to_string(c.major) + "." + std::to_string(c.minor));
        ScriptedVersion source;
        source.basic = WindowsVersion{c.platform, c.major, c.minor};
        source.actual = c.actual;
        std::string text = "unchanged";
        EXPECT_EQ(GetOS(source, text), c.code);
        EXPECT_EQ(text, c.text);
        // Only NT 6 and later need the kernel's word.
        EXPECT_EQ(source.trueAsked > 0, c.platform == 2 && c.major >= 6);
    }
}

TEST(GetOS, RefusedQueryGivesZeroAndLeavesTheText) {
    for (const bool extended : {false, true}) {
        ScriptedVersion source;
        source.extended = extended;
        source.basic = extended ? std::nullopt : std::optional(WindowsVersion{2, 6, 1});
        std::string text = "as passed";
        EXPECT_EQ(GetOS(source, text), 0);
        EXPECT_EQ(text, "as passed");
    }
}

TEST(LoadResStringEx, ExpandsBackslashNIntoLineBreaks) {
    struct Case {
        std::string stored, expanded;
    };
    const std::vector<Case> cases = {
        {"印刷監視(&S)", "印刷監視(&S)"},
        {"one\\ntwo", "one\r\ntwo"},
        {"\\n\\n", "\r\n\r\n"},
        {"a\\tb\\N", "a\\tb\\N"},
        {"ends\\", "ends\\"},
        {"\\\\n", "\\\r\n"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandLineBreaks(c.stored), c.expanded) << c.stored;
}

TEST(LoadResStringEx, MissingEntryRaisesTheRuntimesError) {
    class Table final : public ResourceStrings {
    public:
        std::optional<std::string> LoadResString(std::int32_t id) override {
            if (id == 2201) return "&This\\nSheet";
            return std::nullopt;
        }
    } table;
    EXPECT_EQ(LoadResStringEx(table, 2201), "&This\r\nSheet");
    try {
        LoadResStringEx(table, 1201);
        ADD_FAILURE();
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), 326);
        EXPECT_STREQ(e.what(), "Resource with identifier '1201' not found");
    }
}

TEST(GetAppDay, LibraryPathHasOneSeparatorAfterAnyFolder) {
    EXPECT_EQ(LibraryFilePath("C:\\Program Files\\Kez", "Kez_Quorvex"), "C:\\Program Files\\Kez\\Kez_Quorvex.dll");
    EXPECT_EQ(LibraryFilePath("D:\\", "Kez_Quorvex"), "D:\\Kez_Quorvex.dll");
}

}  // namespace
}  // namespace kq::addin
