#include "common/win32/registry_settings_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/win32_registry.h"

namespace kq::win32 {
namespace {

const std::wstring kAppKey = test::kProgramSettings + L"KQ_TEST_STORE";
const std::wstring kSectionKey = kAppKey + L"\\Sect";

class RegistryStore : public ::testing::Test {
protected:
    void SetUp() override { test::deleteRegistryTree(kAppKey); }
    void TearDown() override { test::deleteRegistryTree(kAppKey); }
    RegistrySettingsStore store{"KQ_TEST_STORE"};
};

TEST_F(RegistryStore, WritesStringValuesUnderTheApplicationAndSectionKeys) {
    EXPECT_EQ(store.read("Sect", "Name"), std::nullopt);  // neither key nor value yet
    const std::vector<std::string> texts = {"D:\\履歴\\印刷", "", "1", "2.5"};
    for (const std::string& text : texts) {
        store.write("Sect", "Name", text);
        EXPECT_EQ(store.read("Sect", "Name"), text);
        const auto raw = test::readRawValue(kSectionKey, L"Name");
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
    }
    EXPECT_EQ(test::readRawValue(kSectionKey, L"Name")->text, L"2.5");
    EXPECT_EQ(store.read("Sect", "Other"), std::nullopt);
    EXPECT_EQ(store.read("Other", "Name"), std::nullopt);
}

TEST_F(RegistryStore, DamagedValuesReadAsMissingOrAsTheTextBeforeTheFirstNul) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<unsigned char> bytes;
        std::optional<std::string> read;
    };
    const std::vector<unsigned char> huge(256 * 1024, 'a');
    const std::vector<Case> cases = {
        {"number", REG_DWORD, {1, 0, 0, 0}, std::nullopt},
        {"binary", REG_BINARY, {'1', 0}, std::nullopt},
        {"list of texts", REG_MULTI_SZ, {'1', 0, 0, 0, 0, 0}, std::nullopt},
        {"no bytes", REG_SZ, {}, ""},
        {"no terminator", REG_SZ, {'a', 0, 'b', 0, 'c', 0}, "abc"},
        {"odd length", REG_SZ, {'a', 0, 'b'}, "a"},
        {"single byte", REG_SZ, {'a'}, ""},
        {"inner NUL", REG_SZ, {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}, "ab"},
        {"unexpanded", REG_EXPAND_SZ, {'%', 0, 'T', 0, '%', 0, 0, 0}, "%T%"},
        {"lone surrogate", REG_SZ, {0x00, 0xD8, 'x', 0, 0, 0}, "\xEF\xBF\xBDx"},
        {"absurdly large", REG_SZ, huge, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::setRawValue(kSectionKey, L"Value", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(store.read("Sect", "Value"), c.read);
    }
}

}  // namespace
}  // namespace kq::win32
