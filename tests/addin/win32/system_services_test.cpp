// What the add-in's commands ask of Windows: a program started with a
// command line it receives whole, the system's own words for a failure, the
// plain files the help command accepts, and the helper workbook among the
// library's resources.

#include "addin/core/win32/system_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/wide.h"
#include "tests/support/win32_scratch.h"
#include "tests/tools/end_to_end_support.h"
#include "tests/tools/shell_open_recorder.h"

namespace kq::addin::win32 {
namespace {

using kq::win32::narrow;
using kq::win32::wide;

TEST(StartProgram, TheProgramReceivesItsCommandLineWhole) {
    const test::ScratchFolder folder(L"start program ü 履歴");
    const std::string program = folder.path("Kez_Quorvex_View.exe");
    ASSERT_TRUE(CopyFileW(wide(test::windowsPath(KQ_RECORDER_EXE)).c_str(), wide(program).c_str(), FALSE));
    const std::string line = "\"" + program + "\" ParentHwnd=-5\tSaveFolder=D:\\a b\\ü\tShowCategory=月次 締め";

    EXPECT_EQ(StartProgram(program, line), std::nullopt);
    const auto received = test::ShellOpenRecorder::waitForLog(test::ShellOpenRecorder::logOf(wide(program)), 10000);
    ASSERT_TRUE(received);
    EXPECT_EQ(narrow(*received), line);
}

TEST(StartProgram, AFailureCarriesTheSystemsNumberAndText) {
    const test::ScratchFolder folder(L"start missing");
    const std::string program = folder.path("Kez_Quorvex_View.exe");
    const std::optional<SystemFailure> failure = StartProgram(program, "\"" + program + "\"");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->number, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(failure->description, SystemError(ERROR_FILE_NOT_FOUND).description);
    EXPECT_FALSE(failure->description.empty());
    EXPECT_FALSE(failure->description.ends_with("\n"));
}

TEST(PlainFileExists, HiddenSystemFilesAndFoldersCountAsMissing) {
    const test::ScratchFolder folder(L"plain files");
    struct Case {
        const char* name;
        DWORD attributes;  // 0: a folder
        bool plain;
    };
    const Case cases[] = {
        {"normal.chm", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.chm", FILE_ATTRIBUTE_READONLY, true},
        {"hidden.chm", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.chm", FILE_ATTRIBUTE_SYSTEM, false},
        {"folder.chm", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = wide(folder.path(c.name));
        if (c.attributes == 0) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        } else {
            const kq::win32::FileHandle file(
                CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, c.attributes, nullptr));
            ASSERT_TRUE(file);
        }
        EXPECT_EQ(PlainFileExists(narrow(path)), c.plain);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(PlainFileExists(folder.path("missing.chm")));
}

TEST(ModuleResource, TheHelperWorkbookIsACompoundFile) {
    const std::vector<std::uint8_t> file = ModuleResource(L"XLA", 10);
    ASSERT_GE(file.size(), 512u);
    const std::vector<std::uint8_t> signature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
    EXPECT_TRUE(ModuleResource(L"XLA", 11).empty());
}

}  // namespace
}  // namespace kq::addin::win32
