// The viewer program as it is shipped, read as the system reads it: its
// version resource, its manifest, and a start that the system accepts.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "kq_version.h"

namespace kq {
namespace {

const std::wstring kProgram = win32::wide(KQ_VIEWER_EXE);

std::string stringValue(const std::vector<char>& info, const wchar_t* name) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return "(none)";
    return win32::narrow(std::wstring_view(static_cast<const wchar_t*>(value), length - 1));
}

TEST(ViewerProgram, ItsVersionReadsBackAsTheProjectsVersion) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(kProgram.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(kProgram.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(KQ_VERSION_MAJOR << 16 | KQ_VERSION_MINOR));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(KQ_VERSION_REVISION));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(stringValue(info, L"FileVersion"), KQ_VERSION_TEXT);
    EXPECT_EQ(stringValue(info, L"ProductVersion"), KQ_VERSION_TEXT);
    EXPECT_EQ(stringValue(info, L"FileDescription"), "Brelmont for Excel(ビュー)");
    EXPECT_EQ(stringValue(info, L"OriginalFilename"), "Kez_Quorvex_View.exe");
    EXPECT_EQ(stringValue(info, L"InternalName"), "Kez_Quorvex_View");
}

TEST(ViewerProgram, ItsManifestAsksForTheCommonControls6AndNoDpiAwareness) {
    const win32::Module program(LoadLibraryExW(kProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    // Resource 1: the one the loader reads for a program.
    const HRSRC found = FindResourceW(program.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program.get(), found)));
    const std::string manifest(bytes, SizeofResource(program.get(), found));
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"), std::string::npos);
    EXPECT_NE(manifest.find(std::string(R"(version=")") + KQ_VERSION_TEXT + '"'), std::string::npos)
        << "the program's own identity carries its version";
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
}

TEST(ViewerProgram, StartsAndEndsWithoutAWord) {
    // Until its main window opens, a start reads its command line and ends.
    std::wstring line = L"\"" + kProgram + L"\" ParentHwnd=0\tParentWindowMaximized=0\tSaveFolder=\tShowId=\tShowCategory=";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(kProgram.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << "the system refused to start it: error " << GetLastError();
    const win32::KernelHandle processHandle(process.hProcess);
    const win32::KernelHandle thread(process.hThread);
    ASSERT_EQ(WaitForSingleObject(processHandle.get(), 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ASSERT_TRUE(GetExitCodeProcess(processHandle.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace kq
