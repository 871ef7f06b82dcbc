// The home-page command through the simulated host and the real add-in
// library, with the shell's opening of addresses stood in for by the
// command-line recorder.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "common/win32/wide.h"
#include "tests/tools/end_to_end_support.h"
#include "tests/tools/shell_open_recorder.h"

namespace kq {
namespace {

namespace fs = std::filesystem;

TEST(HomePageCommand, TheShellOpensTheMakersAddress) {
    const fs::path scratch = fs::path(test::wide(test::windowsPath(KQ_E2E_SCRATCH))) / L"home_page";
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    fs::create_directories(scratch);
    const test::ShellOpenRecorder shell(test::wide(test::windowsPath(KQ_RECORDER_EXE)), {L"http", L"https"});

    const fs::path transcript = scratch / "transcript.txt";
    const int exitCode = test::runScenario(KQ_TEST_DATA "/simhost/quorvex_home_page.txt", transcript,
                                           {{"ADDIN", test::windowsPath(KQ_ADDIN_DLL)}}, 120000);
    EXPECT_EQ(exitCode, 0) << test::readText(transcript);

    const std::optional<std::wstring> opened = shell.opened();
    ASSERT_TRUE(opened) << "the shell opened nothing";
    EXPECT_EQ(win32::narrow(*opened), "https://example.com/kez-quorvex");
}

}  // namespace
}  // namespace kq
