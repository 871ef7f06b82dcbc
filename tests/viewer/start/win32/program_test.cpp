// The viewer program as it is shipped, read as the system reads it: its
// version resource, its manifest, and a start that the system accepts.

#include "common/win32/windows_api.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

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
// The control ids of the main toolbar's strip and of the first splitter part on the main window.
constexpr int kMainStripId = 100;
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

// The program started as the add-in starts it, with `arguments` after its quoted path.
RunningViewer startWithArguments(const std::wstring& arguments, const std::wstring& program = kProgram) {
    std::wstring line = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return {win32::KernelHandle(process.hProcess), process.dwProcessId};
}

RunningViewer startViewer(const std::wstring& folder, const std::wstring& showId = L"",
                          const std::wstring& showCategory = L"") {
    return startWithArguments(L"ParentHwnd=0\tParentWindowMaximized=0\tSaveFolder=" + folder + L"\tShowId=" + showId +
                              L"\tShowCategory=" + showCategory);
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

// ---- One viewer per user

const std::wstring kReceiverCaption = win32::wide("Brelmont for Excel(ビュー)_Instance");

// The hidden window by which the viewer of that process takes later starts' lines; null when it has none.
HWND receiverOf(DWORD processId) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"KqViewerInstance", kReceiverCaption.c_str()); w;
         w = FindWindowExW(nullptr, w, L"KqViewerInstance", kReceiverCaption.c_str())) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId) return w;
    }
    return nullptr;
}

// The main windows of every running viewer.
int viewerWindows() {
    int count = 0;
    for (HWND w = FindWindowW(nullptr, kCaption.c_str()); w; w = FindWindowExW(nullptr, w, nullptr, kCaption.c_str())) {
        if (IsWindowVisible(w)) ++count;
    }
    return count;
}

BOOL CALLBACK findMessageBox(HWND window, LPARAM query) {
    auto& [process, found] = *reinterpret_cast<std::pair<DWORD, HWND>*>(query);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != process || !IsWindowVisible(window) || test::classOf(window) != "#32770") return TRUE;
    found = window;
    return FALSE;
}

// The message box that process shows; null when none comes.
HWND messageBoxOf(DWORD processId) {
    std::pair<DWORD, HWND> query{processId, nullptr};
    test::waitUntil([&] {
        EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&query));
        return query.second != nullptr;
    });
    return query.second;
}

// Whether the process ended by itself within the time, with exit code 0.
bool endedWithin(const RunningViewer& viewer, DWORD milliseconds) {
    if (WaitForSingleObject(viewer.process.get(), milliseconds) != WAIT_OBJECT_0) return false;
    DWORD exitCode = 1;
    GetExitCodeProcess(viewer.process.get(), &exitCode);
    return exitCode == 0;
}

// Sends a block as any program may; the receiver's answer, or -1 when the send failed.
LRESULT sendBlock(HWND receiver, ULONG_PTR tag, const std::string& bytes) {
    COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                             &answer)) {
        return -1;
    }
    return static_cast<LRESULT>(answer);
}

// A viewer by sheet over the grouped folder, started for sheet B.
struct OnSheetB {
    GroupedFolder grouped;
    std::wstring folder;
    RunningViewer first;
    HWND window = nullptr;
    OnSheetB() {
        storeView(L"CardsCategoryType", L"2");
        folder = win32::wide(grouped.folder.path());
        first = startViewer(folder, L"B_v1");
        window = mainWindowOf(first.id);
    }
    // Its window shows sheet B's four histories.
    bool shown() const {
        return window && test::waitUntil([&] { return listedRows(window) == 4; });
    }
};

TEST(ViewerInstance, ASecondStartHandsItsLineToTheRunningViewerWhichComesToTheFront) {
    const OnSheetB on;
    ASSERT_TRUE(on.shown());
    const RunningViewer& first = on.first;
    const HWND window = on.window;
    const std::wstring& folder = on.folder;
    const HWND receiver = receiverOf(first.id);
    ASSERT_NE(receiver, nullptr) << "the running viewer's receiver";
    EXPECT_FALSE(IsWindowVisible(receiver));
    EXPECT_TRUE(GetWindowLongPtrW(receiver, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(test::waitUntil([&] { return IsIconic(window) != 0; }));

    const RunningViewer second = startViewer(folder, L"A_v2");
    ASSERT_TRUE(second.process);
    EXPECT_TRUE(endedWithin(second, 5000)) << "the second start hands over and ends";
    // Sheet A's three histories: its card is selected.
    EXPECT_TRUE(test::waitUntil([&] { return listedRows(window) == 3; }));
    EXPECT_TRUE(test::waitUntil([&] { return !IsIconic(window) && GetForegroundWindow() == window; }))
        << "restored and in front";
    EXPECT_EQ(viewerWindows(), 1);
    test::screenshot(window, "viewer_handed_over.png");

    EXPECT_EQ(closeAndWait(first, window), 0);
    EXPECT_EQ(receiverOf(first.id), nullptr);
    // Nothing runs any longer: the next start is a first one.
    const RunningViewer next = startViewer(folder, L"A_v2");
    const HWND again = mainWindowOf(next.id);
    ASSERT_NE(again, nullptr) << "a start after the viewer closed opens a new one";
    EXPECT_TRUE(test::waitUntil([&] { return listedRows(again) == 3; }));
    EXPECT_EQ(closeAndWait(next, again), 0);
}

TEST(ViewerInstance, TwoFirstStartsAtOnceGiveOneViewer) {
    const GroupedFolder grouped;
    storeView(L"CardsCategoryType", L"2");
    const std::wstring folder = win32::wide(grouped.folder.path());
    const RunningViewer one = startViewer(folder, L"B_v1");
    const RunningViewer other = startViewer(folder, L"B_v1");
    ASSERT_TRUE(one.process && other.process);
    // Whichever decided second hands over and ends; the other shows the viewer.
    const HANDLE both[] = {one.process.get(), other.process.get()};
    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, 10000);
    ASSERT_TRUE(ended == WAIT_OBJECT_0 || ended == WAIT_OBJECT_0 + 1) << "one of them ends";
    const RunningViewer& running = ended == WAIT_OBJECT_0 ? other : one;
    const HWND window = mainWindowOf(running.id);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(test::waitUntil([&] { return listedRows(window) == 4; }));
    EXPECT_EQ(viewerWindows(), 1);
    EXPECT_EQ(closeAndWait(running, window), 0);
}

// A receiver whose thread takes no messages: a viewer that hangs.
class HungReceiver {
public:
    HungReceiver() : made_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"KqViewerInstance";
            RegisterClassW(&wc);
            const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"KqViewerInstance", kReceiverCaption.c_str(), WS_POPUP,
                                                0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
            SetEvent(made_.get());
            WaitForSingleObject(stop_.get(), INFINITE);
            DestroyWindow(window);
        });
        WaitForSingleObject(made_.get(), 5000);
    }
    ~HungReceiver() {
        SetEvent(stop_.get());
        thread_.join();
    }

private:
    win32::KernelHandle made_;
    win32::KernelHandle stop_;
    std::thread thread_;
};

TEST(ViewerInstance, AStartGivesUpOnAHungViewerAndOpensItsOwn) {
    const HungReceiver hung;
    const RunningViewer viewer = startViewer(L"", L"A_1");
    const HWND window = mainWindowOf(viewer.id);
    ASSERT_NE(window, nullptr) << "the line is not lost with the hung viewer";
    EXPECT_NE(receiverOf(viewer.id), nullptr) << "later starts find this one";
    EXPECT_EQ(closeAndWait(viewer, window), 0);
}

TEST(ViewerInstance, AHandOverWhileTheDeleteQuestionIsOpenWaitsForTheAnswer) {
    const OnSheetB on;
    ASSERT_TRUE(on.shown());
    const RunningViewer& first = on.first;
    const HWND window = on.window;
    const std::wstring& folder = on.folder;
    HWND list = nullptr;
    EnumChildWindows(window, findList, reinterpret_cast<LPARAM>(&list));
    ASSERT_NE(list, nullptr);
    PostMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
    const HWND question = messageBoxOf(first.id);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(test::messageOf(question), "選択ファイルを削除しますか？\r\n（元に戻せません。）");

    const RunningViewer second = startViewer(folder, L"A_v2");
    EXPECT_TRUE(endedWithin(second, 5000)) << "taken at once, though the viewer is busy";
    EXPECT_FALSE(test::waitUntil([&] { return listedRows(window) != 4; }, std::chrono::milliseconds(1500)))
        << "nothing changes under the question";
    test::answer(question, IDYES);
    EXPECT_TRUE(test::waitUntil([&] { return listedRows(window) == 3; })) << "the line, after the answer";
    // The history chosen when the user said yes went, and only that one: B's newest.
    int sheetA = 0;
    int sheetB = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(win32::wide(on.grouped.folder.path())))) {
        const std::string name = entry.path().filename().string();
        (name.starts_with("A_") ? sheetA : sheetB) += 1;
    }
    EXPECT_EQ(sheetA, 3);
    EXPECT_EQ(sheetB, 3);
    EXPECT_EQ(closeAndWait(first, window), 0);
}

TEST(ViewerInstance, BlocksNoSecondStartSendsLeaveTheViewerRunningAndAsItWas) {
    const OnSheetB on;
    ASSERT_TRUE(on.shown());
    const RunningViewer& first = on.first;
    const HWND window = on.window;
    const HWND receiver = receiverOf(first.id);
    ASSERT_NE(receiver, nullptr);
    const struct {
        const char* what;
        ULONG_PTR tag;
        std::string bytes;
        LRESULT answer;
    } cases[] = {
        {"another program's tag", 7, std::string("ShowId=A_v2\0\0\0", 14), FALSE},
        {"no bytes", 0, "", FALSE},
        {"only NULs", 0, std::string(3, '\0'), FALSE},
        {"over 64 KiB", 0, "ShowId=A_v2\t" + std::string(70000, 'x'), FALSE},
        // Read leniently and carried out: no card has such an id.
        {"bytes of no character, unterminated", 0, "ShowId=\x82\xff\xfd", TRUE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(sendBlock(receiver, c.tag, c.bytes), c.answer);
    }
    EXPECT_FALSE(test::waitUntil([&] { return listedRows(window) != 4; }, std::chrono::milliseconds(1000)));
    EXPECT_EQ(WaitForSingleObject(first.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    EXPECT_EQ(sendBlock(receiver, 0, std::string("ShowId=A_v2\0\0\0", 14)), TRUE);
    EXPECT_TRUE(test::waitUntil([&] { return listedRows(window) == 3; })) << "a sound line still works";
    EXPECT_EQ(closeAndWait(first, window), 0);
}

TEST(ViewerInstance, ASecondStartWithNothingToHandOverSaysTheViewerRuns) {
    const RunningViewer first = startViewer(L"");
    const HWND window = mainWindowOf(first.id);
    ASSERT_NE(window, nullptr);
    const RunningViewer second = startWithArguments(L"");
    const HWND box = messageBoxOf(second.id);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(test::messageOf(box), "すでに起動しています。");
    EXPECT_EQ(test::textOf(box), "Brelmont for Excel(ビュー)");
    test::answer(box, IDOK);
    EXPECT_TRUE(endedWithin(second, 10000));
    EXPECT_EQ(viewerWindows(), 1);
    EXPECT_EQ(closeAndWait(first, window), 0);
}

// ---- A folder of many histories

// 50,000 histories in 100 folders, written as fast as the system takes
// them: one header each, of one of ten sheets, whose bytes are made once.
struct LargeFolder {
    static constexpr int kSheets = 10;
    static constexpr int kFolders = 100;
    static constexpr int kPerFolder = 500;
    static constexpr LRESULT kHistories = kFolders * kPerFolder;
    test::ScratchFolder folder{L"kq_viewer_50000"};
    bool made = write();

    bool write() {
        std::vector<std::vector<std::uint8_t>> sheets;
        HistoryRecords r;
        r.header.strVersionId = "v";
        r.header.strBookName = "月次報告.xls";
        r.header.strSheetName = "売上";
        for (int s = 0; s < kSheets; ++s) {
            r.header.strSheetId = std::string("S").append(std::to_string(s));
            r.header.datPrintDate = 45000 + s;
            sheets.push_back(test::historyBytes(r, {}));
        }
        for (int f = 0; f < kFolders; ++f) {
            const std::wstring below = win32::wide(folder.path(std::string("F").append(std::to_string(f))));
            if (!CreateDirectoryW(below.c_str(), nullptr)) return false;
            for (int i = 0; i < kPerFolder; ++i) {
                const std::vector<std::uint8_t>& bytes = sheets[static_cast<std::size_t>(i % kSheets)];
                const std::wstring path = below + L"\\H" + std::to_wstring(f * kPerFolder + i) + L".tvk";
                const win32::FileHandle file(
                    CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
                DWORD written = 0;
                if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
                    return false;
                }
            }
        }
        return true;
    }
};

// How long the window took to answer a message, at worst, while `busy`
// held; pinged every 20 ms. Lost: one went unanswered for a second.
struct Answers {
    std::chrono::milliseconds worst{0};
    int pings = 0;
    bool lost = false;
};
Answers answersWhile(HWND window, const std::function<bool()>& busy) {
    Answers a;
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (busy() && std::chrono::steady_clock::now() < until) {
        const auto sent = std::chrono::steady_clock::now();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) a.lost = true;
        a.worst = std::max(a.worst, std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - sent));
        ++a.pings;
        Sleep(20);
    }
    return a;
}

// While a viewer reads a large folder (every header, then one card of every
// history in its list), it answers every message at once: a second start
// reaches it, hands its line over and ends. A close while the line's own
// reading runs ends the viewer without waiting for it.
TEST(ViewerInstance, AViewerReadingALargeFolderAnswersAndTakesASecondStartsLine) {
    const LargeFolder large;
    ASSERT_TRUE(large.made);
    storeView(L"CardsCategoryType", L"1");
    const std::wstring folder = win32::wide(large.folder.path());
    const RunningViewer first = startViewer(folder, L"S1_v");
    const HWND window = mainWindowOf(first.id);
    ASSERT_NE(window, nullptr) << "the window shows while the folder is read";
    ASSERT_EQ(listedRows(window), 0) << "still reading";

    RunningViewer second;
    bool secondEnded = false;
    const Answers reading = answersWhile(window, [&] {
        if (!second.process) {
            second = startViewer(folder, L"S7_v");
        } else if (!secondEnded) {
            secondEnded = WaitForSingleObject(second.process.get(), 0) == WAIT_OBJECT_0;
        }
        return listedRows(window) != LargeFolder::kHistories;
    });
    EXPECT_EQ(listedRows(window), LargeFolder::kHistories);
    EXPECT_FALSE(reading.lost);
    EXPECT_LT(reading.worst.count(), 250) << reading.pings << " messages sent while the folder was read";
    EXPECT_GE(reading.pings, 10);
    EXPECT_TRUE(secondEnded || endedWithin(second, 5000)) << "the second start handed over and ended";
    EXPECT_EQ(viewerWindows(), 1);
    test::screenshot(window, "viewer_50000.png");

    // The handed-over line reads the folder anew; the close does not wait for it.
    const auto closed = std::chrono::steady_clock::now();
    EXPECT_EQ(closeAndWait(first, window), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - closed, std::chrono::seconds(5));
}

// Built without its pictures, the program cannot make its main window: it
// says why, once, under its title, and ends with a failure's exit code.
TEST(ViewerProgram, AStartThatCannotMakeItsWindowSaysWhyAndEndsInFailure) {
    const test::ScratchFolder folder(L"kq_bare_start");
    const RunningViewer bare =
        startWithArguments(L"SaveFolder=" + win32::wide(folder.path()), win32::wide(KQ_BARE_VIEWER_EXE));
    ASSERT_TRUE(bare.process) << "the system refused to start it: error " << GetLastError();
    const HWND box = messageBoxOf(bare.id);
    ASSERT_NE(box, nullptr) << "never a silent end";
    EXPECT_EQ(test::textOf(box), "Brelmont for Excel(ビュー)");
    const std::string said = test::messageOf(box);
    EXPECT_EQ(said.rfind("err(51) the picture resource ", 0), 0u) << said;
    test::answer(box, IDOK);
    ASSERT_EQ(WaitForSingleObject(bare.process.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0)) << "no second message";
    DWORD exitCode = 0;
    GetExitCodeProcess(bare.process.get(), &exitCode);
    EXPECT_NE(exitCode, 0u);
}

}  // namespace
}  // namespace kq
