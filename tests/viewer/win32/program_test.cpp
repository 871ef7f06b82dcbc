// The viewer program as it is shipped, read as the system reads it: its
// version resource, its manifest, and a start that the system accepts.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <string_view>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "kq_version.h"
#include "tests/support/win32/history_on_disk.h"
#include "tests/support/win32/window_driver.h"
#include "tests/support/win32_scratch.h"

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

RunningViewer startViewer(const std::wstring& folder, const std::wstring& showId = L"",
                          const std::wstring& showCategory = L"") {
    std::wstring line = L"\"" + kProgram + L"\" ParentHwnd=0\tParentWindowMaximized=0\tSaveFolder=" + folder +
                        L"\tShowId=" + showId + L"\tShowCategory=" + showCategory;
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

void storeView(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\View", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const win32::RegistryKey view(key);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
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
    storeView(L"Positon1", L"4500");
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

BOOL CALLBACK findList(HWND child, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (std::wstring_view(name) != WC_LISTVIEWW) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The rows of the viewer's history list: the histories of the selected card.
LRESULT listedRows(HWND window) {
    HWND list = nullptr;
    EnumChildWindows(window, findList, reinterpret_cast<LPARAM>(&list));
    return list ? SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : -1;
}

// Seven histories: sheet A's version 1 the newest, alone in category 経理;
// then two of A's version 2 and four of sheet B, all in 営業. Every grouping
// gives cards of other sizes, and the requested card is never the newest one.
struct GroupedFolder {
    test::ScratchFolder folder{L"kq_viewer_groups_ü"};
    GroupedFolder() {
        int age = 0;
        const auto write = [&](const char* sheet, const char* version, const char* category, int count) {
            for (int i = 0; i < count; ++i) {
                HistoryRecords r;
                r.header.strSheetId = sheet;
                r.header.strVersionId = version;
                r.header.strCategory = category;
                r.header.strBookName = "月次報告.xls";
                r.header.strSheetName = std::string("売上") + sheet;
                r.header.strExcelUserName = "田中";
                r.header.datPrintDate = 45000 - age;
                ++age;
                const std::string name = std::string(sheet) + "_" + version + "_" + std::to_string(age) + ".tvk";
                ASSERT_TRUE(test::writeHistoryFile(folder.path(name), r, age));
            }
        };
        write("A", "v1", "経理", 1);
        write("A", "v2", "営業", 2);
        write("B", "v1", "営業", 4);
    }
};

TEST(ViewerProgram, EachGroupingShowsItsCardsAndSelectsTheRequestedOne) {
    const GroupedFolder grouped;
    const struct {
        const wchar_t* grouping;
        const wchar_t* showId;
        const wchar_t* showCategory;
        LRESULT rows;
        const char* screen;
    } cases[] = {
        {L"1", L"B_v1", L"営業", 7, "viewer_all.png"},       // one card of every history
        {L"2", L"B_v1", L"", 4, "viewer_by_sheet.png"},     // the sheet before the "_"
        {L"3", L"A_v2", L"", 2, "viewer_by_version.png"},   // the whole id
        {L"4", L"A_v1", L"営業", 6, "viewer_by_category.png"},  // the category, never the id
        {L"4", L"", L"人事", 1, "viewer_category_absent.png"},  // no such card: the newest
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen);
        storeView(L"CardsCategoryType", c.grouping);
        const RunningViewer viewer = startViewer(win32::wide(grouped.folder.path()), c.showId, c.showCategory);
        const HWND window = mainWindowOf(viewer.id);
        ASSERT_NE(window, nullptr);
        test::waitUntil([&] { return listedRows(window) == c.rows; });
        EXPECT_EQ(listedRows(window), c.rows);
        test::screenshot(window, c.screen);
        EXPECT_EQ(closeAndWait(viewer, window), 0);
    }
    storeView(L"CardsCategoryType", L"2");
}

}  // namespace
}  // namespace kq
