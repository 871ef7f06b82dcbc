// The viewer program as it is shipped, read as the system reads it: its
// version resource, its manifest, and a start that the system accepts.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "kq_version.h"
#include "tests/support/win32/window_driver.h"

namespace kq {
namespace {

const std::wstring kProgram = win32::wide(KQ_VIEWER_EXE);
const std::wstring kCaption = win32::wide("Brelmont for Excel(ビュー) - 履歴管理");
// The control id of the first splitter part on the main window.
constexpr int kFirstSplitterId = 106;

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

// The main window of a running viewer, by its caption; null when none comes.
HWND mainWindowOf(DWORD processId) {
    HWND found = nullptr;
    test::waitUntil([&] {
        for (HWND w = FindWindowW(nullptr, kCaption.c_str()); w; w = FindWindowExW(nullptr, w, nullptr, kCaption.c_str())) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId && IsWindowVisible(w)) found = w;
        }
        return found != nullptr;
    });
    return found;
}

struct RunningViewer {
    win32::KernelHandle process;
    DWORD id = 0;
};

RunningViewer startViewer(const std::wstring& folder) {
    std::wstring line = L"\"" + kProgram + L"\" ParentHwnd=0\tParentWindowMaximized=0\tSaveFolder=" + folder +
                        L"\tShowId=\tShowCategory=";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(kProgram.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return {win32::KernelHandle(process.hProcess), process.dwProcessId};
}

// Closes the window as its close box does; the program's exit code, or -1 when it did not end.
long closeAndWait(const RunningViewer& viewer, HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(viewer.process.get(), 20000) != WAIT_OBJECT_0) return -1;
    DWORD exitCode = 1;
    GetExitCodeProcess(viewer.process.get(), &exitCode);
    return static_cast<long>(exitCode);
}

std::wstring storedView(const wchar_t* name) {
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\View", name,
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return L"(none)";
    }
    return value;
}

TEST(ViewerProgram, StartsShowsItsWindowAndEndsWhenItCloses) {
    const RunningViewer viewer = startViewer(L"");
    ASSERT_TRUE(viewer.process) << "the system refused to start it: error " << GetLastError();
    const HWND window = mainWindowOf(viewer.id);
    ASSERT_NE(window, nullptr) << "no main window came";
    EXPECT_EQ(closeAndWait(viewer, window), 0);
}

TEST(ViewerProgram, ASplitterMovedIsWhereItWasAtTheNextStart) {
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\View", 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const win32::RegistryKey view(key);
        RegSetValueExW(key, L"Positon1", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"4500"), sizeof L"4500");
    }
    const RunningViewer first = startViewer(L"");
    const HWND window = mainWindowOf(first.id);
    ASSERT_NE(window, nullptr);
    // Splitter 1's bar, a window of its own between the cards and the list.
    const HWND bar = GetDlgItem(window, kFirstSplitterId + 1);
    ASSERT_NE(bar, nullptr);
    POINT at{0, 0};
    test::waitUntil([&] {
        at = {0, 0};
        MapWindowPoints(bar, window, &at, 1);
        return at.x == 300;
    });
    EXPECT_EQ(at.x, 300) << "4500 twips";
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 40));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(32, 40));
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(32, 40));
    EXPECT_EQ(closeAndWait(first, window), 0);
    EXPECT_EQ(storedView(L"Positon1"), L"4950");

    const RunningViewer second = startViewer(L"");
    const HWND again = mainWindowOf(second.id);
    ASSERT_NE(again, nullptr);
    POINT moved{0, 0};
    // The window may show before its first layout is done.
    test::waitUntil([&] {
        moved = {0, 0};
        MapWindowPoints(GetDlgItem(again, kFirstSplitterId + 1), again, &moved, 1);
        return moved.x == 330;
    });
    EXPECT_EQ(moved.x, 330);
    EXPECT_EQ(closeAndWait(second, again), 0);
}

}  // namespace
}  // namespace kq
