// The settings objects over the real registry, file system and shell.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "addin/core/setting.h"
#include "common/win32/known_folders.h"
#include "common/win32/module.h"
#include "common/win32/registry_settings_store.h"
#include "common/win32/win32_file_system.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/win32_registry.h"
#include "tests/support/win32_scratch.h"
#include "viewer/main_window/setting.h"

#include <shlobj.h>

namespace kq::win32 {
namespace {

const std::wstring kApplicationKey = test::kProgramSettings + L"KEZ_QUORVEX";
const std::wstring kSettingKey = kApplicationKey + L"\\Setting";
const std::vector<std::wstring> kValueNames = {
    L"Folder",           L"ShowMessageWhenPrintRun",  L"ShowProgressTime",     L"ShowMessageWhenAdd",
    L"ShowMessageXlaError", L"Surveillance_DirectPrint", L"Surveillance_Preview", L"Surveillance_Unkown"};

class SettingsRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { test::deleteRegistryTree(kApplicationKey); }
    void TearDown() override { test::deleteRegistryTree(kApplicationKey); }

    HistoryFolderServices services(std::string title = "Brelmont for Excel") {
        return {.files = files,
                .prompts = prompts,
                .knownFolders = known,
                .programFolder = kq::win32::thisModuleFolder(),
                .title = std::move(title)};
    }
    void storeRaw(const std::map<std::wstring, std::wstring>& values) {
        for (const auto& [name, text] : values) test::setRawText(kSettingKey, name, text);
    }
    // Every value of the section as text; each must be a plain string.
    std::map<std::wstring, std::wstring> rawValues() {
        std::map<std::wstring, std::wstring> values;
        for (const auto& name : kValueNames) {
            if (const auto raw = test::readRawValue(kSettingKey, name)) {
                EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << narrow(name);
                values[name] = raw->text;
            }
        }
        return values;
    }

    test::ScratchFolder scratch{L"kq_round_trip"};
    Win32FileSystem files;
    test::ScriptedPrompts prompts;
    Win32KnownFolders known;
    RegistrySettingsStore store;
};

TEST_F(SettingsRoundTrip, EmptyRegistryGivesTheDefaults) {
    const auto documents = known.documentsFolder();
    ASSERT_TRUE(documents);
    {
        addin::c_Setting setting(store, services(), 11);
        EXPECT_TRUE(setting.ShowMessageWhenPrintRun());
        EXPECT_EQ(setting.ShowProgressTime(), 2);
        EXPECT_TRUE(setting.Surveillance_DirectPrint());
        EXPECT_FALSE(setting.Surveillance_Preview());
        EXPECT_TRUE(setting.Surveillance_Unkown());
    }
    const std::map<std::wstring, std::wstring> expected = {
        {L"Folder", wide(*documents) + L"\\Brelmont for Excel"},
        {L"ShowMessageWhenPrintRun", L"1"},
        {L"ShowProgressTime", L"2"},
        {L"ShowMessageWhenAdd", L"1"},
        {L"ShowMessageXlaError", L"1"},
        {L"Surveillance_DirectPrint", L"1"},
        {L"Surveillance_Preview", L"0"},
        {L"Surveillance_Unkown", L"1"},
    };
    EXPECT_EQ(rawValues(), expected);
    EXPECT_FALSE(test::readRawValue(kSettingKey, L"Surveillance_Print"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsRoundTrip, StoredTextsAreReadByTheRulesAndWrittenBackClean) {
    const std::string folder = scratch.path("歴\\b\\c");
    storeRaw({{L"Folder", wide(folder) + L"\\"},
              {L"ShowMessageWhenPrintRun", L" 1"},
              {L"ShowProgressTime", L"25"},
              {L"ShowMessageWhenAdd", L"True"},
              {L"ShowMessageXlaError", L"-1"},
              {L"Surveillance_DirectPrint", L"1abc"},
              {L"Surveillance_Preview", L"1.5"},
              {L"Surveillance_Unkown", L"2"}});
    {
        addin::c_Setting setting(store, services(), 12);
        EXPECT_TRUE(setting.ShowMessageWhenPrintRun());
        EXPECT_EQ(setting.ShowProgressTime(), 10);
        EXPECT_FALSE(setting.ShowMessageWhenAdd());
        EXPECT_FALSE(setting.ShowMessageXlaError());
        EXPECT_TRUE(setting.Surveillance_DirectPrint());
        EXPECT_FALSE(setting.Surveillance_Preview());
        EXPECT_FALSE(setting.Surveillance_Unkown());
        EXPECT_EQ(setting.SaveFolder(), folder);
        EXPECT_NE(test::attributesOf(folder) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    }
    const std::map<std::wstring, std::wstring> expected = {
        {L"Folder", wide(folder)},
        {L"ShowMessageWhenPrintRun", L"1"},
        {L"ShowProgressTime", L"10"},
        {L"ShowMessageWhenAdd", L"0"},
        {L"ShowMessageXlaError", L"0"},
        {L"Surveillance_DirectPrint", L"1"},
        {L"Surveillance_Preview", L"0"},
        {L"Surveillance_Unkown", L"0"},
    };
    EXPECT_EQ(rawValues(), expected);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsRoundTrip, NewerHostLeavesUnknownStartsAloneAndFractionsKeepTheirPoint) {
    storeRaw({{L"ShowProgressTime", L"7.5"}, {L"Surveillance_Unkown", L"0"}});
    {
        addin::c_Setting setting(store, services(), 16);
        EXPECT_TRUE(setting.Surveillance_Unkown());
        EXPECT_EQ(setting.ShowProgressTime(), 7.5);
    }
    const auto values = rawValues();
    EXPECT_EQ(values.at(L"ShowProgressTime"), L"7.5");
    EXPECT_EQ(values.at(L"Surveillance_Unkown"), L"0");
}

TEST_F(SettingsRoundTrip, UnreachableFolderIsStoodInForButKept) {
    const std::string chosen = test::unusedDrive() + "\\Hist";
    storeRaw({{L"Folder", wide(chosen)}});
    {
        addin::c_Setting setting(store, services(), 14);
        EXPECT_EQ(setting.SaveFolder(), kq::win32::thisModuleFolder());
    }
    EXPECT_EQ(rawValues().at(L"Folder"), wide(chosen));
    const unsigned critical = mb::kIconCritical;
    EXPECT_EQ(prompts.messages, (std::vector<test::ShownMessage>{{"Err:CheckEnabledFolder", "エラー", critical},
                                                                 {"err:SaveFolder", "Brelmont for Excel", critical}}));
}

TEST_F(SettingsRoundTrip, ViewerReadsTheFolderTheAddinWroteAndWritesNothing) {
    std::string folder = scratch.path();
    {
        addin::c_Setting setting(store, services(), 14);
        setting.SetFolder(folder);
    }
    const auto before = rawValues();
    {
        viewer::c_Setting setting(store, services("Brelmont for Excel(ビュー)"));
        EXPECT_EQ(setting.SaveFolder(), folder);
    }
    EXPECT_EQ(rawValues(), before);
}

TEST(KnownFolders, DocumentsFolderBothWaysAndTheModulesOwnFolder) {
    const auto shell = documentsFolderFromShell();
    ASSERT_TRUE(shell);
    EXPECT_NE(test::attributesOf(*shell) & FILE_ATTRIBUTE_DIRECTORY, 0u) << *shell;
    // Wine's script host knows no "MyDocuments"; the desktop shows that the late-bound road works.
    if (const auto scriptHost = documentsFolderFromScriptHost()) {
        EXPECT_EQ(*scriptHost, *shell);
    }
    wchar_t desktop[MAX_PATH + 1] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    EXPECT_EQ(scriptHostSpecialFolder("Desktop"), narrow(desktop));

    wchar_t program[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring expected = program;
    expected.resize(expected.rfind(L'\\'));
    EXPECT_EQ(kq::win32::thisModuleFolder(), narrow(expected));
}

}  // namespace
}  // namespace kq::win32
