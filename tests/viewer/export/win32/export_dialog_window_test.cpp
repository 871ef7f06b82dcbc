// The export dialog as a real window, driven step by step as a user would
// (modal_run.h), its message boxes answered OK on the way: a history of three
// metafile pages exported twice into a folder whose name the code page cannot
// spell, each page checked byte for byte and rendered by a reader we did not
// write (emf2svg), and a folder that goes while the dialog is open.

#include "viewer/export/win32/export_dialog_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/history_file.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"
#include "tests/support/win32/modal_run.h"
#include "tests/support/win32_scratch.h"

namespace kq::viewer::win32 {
namespace {

namespace ids = export_ids;
using Bytes = std::vector<std::uint8_t>;
using kq::test::textOf;
using kq::win32::narrow;
using kq::win32::wide;

HWND item(HWND form, int id) { return kq::test::control(form, id); }
RECT placeOf(HWND form, int id) { return kq::test::placeIn(item(form, id), form); }
void click(HWND form, int id) { kq::test::click(item(form, id)); }
bool enabled(HWND form, int id) { return IsWindowEnabled(item(form, id)) != FALSE; }
HWND folderBox(HWND form) { return kq::test::controlOfClass(item(form, ids::useFolder), "Edit"); }

// A page 100 mm by 50 mm with a frame, a filled box and a line of text.
Bytes page(int n) {
    const RECT frame{0, 0, 10000, 5000};
    const HDC recording = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    Rectangle(recording, 10, 10, 300, 150);
    const RECT box{20 * n, 20, 20 * n + 60, 80};
    FillRect(recording, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const std::wstring text = L"Page " + std::to_wstring(n);
    TextOutW(recording, 40, 100, text.c_str(), static_cast<int>(text.size()));
    const kq::win32::EnhMetafile done(CloseEnhMetaFile(recording));
    Bytes bytes(GetEnhMetaFileBits(done.get(), 0, nullptr));
    GetEnhMetaFileBits(done.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

Bytes contents(const std::string& path) {
    std::ifstream in(std::filesystem::path(wide(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(wide(folder)))) {
        names.push_back(narrow(entry.path().filename().wstring()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A path as the system beneath Wine spells it.
std::string unixPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(wide(path).c_str());
    if (!unix) return {};
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Whether emf2svg reads the metafile and writes a picture of it: run as a
// program of the system beneath Wine, which says how it ended in a file of
// its own once it has.
::testing::AssertionResult emf2svgRenders(const std::string& emf, const std::string& scratch) {
    static int runs = 0;
    const std::string base = scratch + "\\render" + std::to_string(++runs);
    const std::string in = unixPath(emf);
    const std::string svg = unixPath(base + ".svg");
    const std::string done = unixPath(base + ".rc");
    if (in.empty() || svg.empty() || done.empty()) return ::testing::AssertionFailure() << "no Unix paths under Wine";
    std::wstring command = L"sh -c \"emf2svg-conv -i \\\"$1\\\" -o \\\"$2\\\" && grep -q '<svg' \\\"$2\\\"; "
                           L"echo $? > \\\"$3.part\\\" && mv \\\"$3.part\\\" \\\"$3\\\"\" sh \"" +
                           wide(in) + L"\" \"" + wide(svg) + L"\" \"" + wide(done) + L"\"";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                        &started)) {
        return ::testing::AssertionFailure() << "sh did not start: " << GetLastError();
    }
    if (started.hThread) CloseHandle(started.hThread);
    if (started.hProcess) CloseHandle(started.hProcess);
    const std::string rcFile = base + ".rc";
    if (!kq::test::waitUntil([&] { return kq::test::attributesOf(rcFile) != INVALID_FILE_ATTRIBUTES; },
                             std::chrono::seconds(30))) {
        return ::testing::AssertionFailure() << "emf2svg did not finish on " << emf;
    }
    const Bytes rc = contents(rcFile);
    if (rc.empty() || rc[0] != '0') {
        return ::testing::AssertionFailure() << "emf2svg refused " << emf << ": " << std::string(rc.begin(), rc.end());
    }
    return ::testing::AssertionSuccess();
}

class ExportDialogWindow : public ::testing::Test {
protected:
    ExportDialogWindow() {
        HistoryRecords r;
        r.header.strSheetId = "S";
        r.pageTexts = {{"一枚目"}, {"二枚目 前"}, {"二枚目 後"}, {"三枚目"}};
        r.shapes = {{"四角 1", "図形の文字", "A1", "B2"}, {"四角 2", "shape", "C3", "D4"}};
        r.comments = {{"確認済み", "A1", "kei"}};
        pages = {page(1), page(2), page(3)};
        const Bytes bytes = test::historyBytes(r, pages);
        std::ofstream(std::filesystem::path(wide(history)), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        CreateDirectoryW(wide(out).c_str(), nullptr);
    }

    // Each step acts once the dialog stands free of message boxes.
    kq::test::ModalRun run(std::vector<std::function<void(HWND)>> formSteps) {
        std::vector<kq::test::Step> steps;
        for (auto& step : formSteps) steps.push_back(kq::test::onClass(L"KqForm", std::move(step)));
        return kq::test::runModal([&] { showExportDialog(owner.get(), history, options); }, std::move(steps),
                                  {.answerBoxes = true});
    }
    // Ticks every box, enters the folder and exports.
    static void exportEverything(HWND form, const std::string& folder) {
        for (int id : {ids::chkCell, ids::chkText, ids::chkComment}) click(form, id);
        kq::test::paste(folderBox(form), folder);
        click(form, ids::cmdExport);
    }

    kq::test::ScratchFolder scratch{L"kq_export"};
    const std::string history = scratch.path("S_V_1.tvk");
    // Japanese and a letter code page 932 lacks.
    const std::string out = scratch.path("出力ü_エクスポート");
    std::vector<Bytes> pages;
    ExportDialogOptions options;
    kq::win32::OwnedWindow owner = kq::test::plainWindow(L"viewer", {0, 0, 800, 600});
};

TEST_F(ExportDialogWindow, OpensAsDesignedAndEnablesExportForAFolderAndATickedBox) {
    const kq::test::ModalRun drive = run({
        [&](HWND form) {
            EXPECT_EQ(textOf(form), "Brelmont for Excel(ビュー) - エクスポート");
            EXPECT_EQ(GetWindow(form, GW_OWNER), owner.get());
            RECT client;
            GetClientRect(form, &client);
            EXPECT_EQ(client.right, 487);  // 7305 x 2910 twips
            EXPECT_EQ(client.bottom, 194);
            EXPECT_EQ(placeOf(form, ids::panel).left, 16);
            EXPECT_EQ(placeOf(form, ids::useFolder).left, 16 + 80);
            EXPECT_EQ(placeOf(form, ids::useFolder).right - placeOf(form, ids::useFolder).left, 369);
            EXPECT_EQ(placeOf(form, ids::chkImage).left, 16 + 48);
            EXPECT_EQ(placeOf(form, ids::chkComment).top, 16 + 104);
            EXPECT_EQ(placeOf(form, ids::cmdExport).left, 280);
            EXPECT_EQ(placeOf(form, ids::cmdExport).top, 160);
            EXPECT_EQ(placeOf(form, ids::cmdCancel).left, 384);
            EXPECT_EQ(textOf(item(form, ids::Label1)), "保存フォルダ");
            EXPECT_EQ(textOf(item(form, ids::chkText)), "オートシェープのテキスト");
            EXPECT_TRUE(kq::test::isTicked(item(form, ids::chkImage)));
            EXPECT_FALSE(kq::test::isTicked(item(form, ids::chkCell)));
            EXPECT_EQ(textOf(folderBox(form)), "");
            EXPECT_FALSE(enabled(form, ids::cmdExport));
            kq::test::paste(folderBox(form), scratch.path("none"));
        },
        [&](HWND form) {
            EXPECT_FALSE(enabled(form, ids::cmdExport));
            kq::test::paste(folderBox(form), out);
        },
        [&](HWND form) {
            EXPECT_TRUE(enabled(form, ids::cmdExport));
            EXPECT_TRUE(kq::test::screenshot(form, "export_dialog.png"));
            click(form, ids::chkImage);
        },
        [&](HWND form) {
            EXPECT_FALSE(enabled(form, ids::cmdExport));
            click(form, ids::chkComment);
        },
        [&](HWND form) {
            EXPECT_TRUE(enabled(form, ids::cmdExport));
            kq::test::pressKeys(nullptr, {{VK_ESCAPE}});
        },
    });
    EXPECT_TRUE(drive.finished) << drive.stepsLeft << " steps left";
    EXPECT_TRUE(drive.boxes.empty());
    EXPECT_TRUE(namesIn(out).empty());
}

// A browser whose user at once takes the folder it was made with.
struct ChosenFolder final : FolderBrowseDialog {
    std::string folder;
    explicit ChosenFolder(std::string f) : folder(std::move(f)) {}
    std::optional<std::string> BrowseForFolder(const std::string&, const std::string&) override { return folder; }
};

TEST_F(ExportDialogWindow, ABrowsedFolderIsSelectedInTheBoxAndEnablesExport) {
    options.makeBrowser = [&](HWND) { return std::make_unique<ChosenFolder>(out); };
    const kq::test::ModalRun drive = run({
        // The browse button: the picker's fourth part.
        [&](HWND form) { kq::test::click(kq::test::control(form, ids::useFolder + 4)); },
        [&](HWND form) {
            const HWND box = folderBox(form);
            EXPECT_EQ(textOf(box), out);
            DWORD from = 1, to = 0;
            SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            EXPECT_EQ(from, 0u);
            EXPECT_EQ(to, static_cast<DWORD>(wide(out).size()));
            EXPECT_EQ(GetFocus(), box);
            EXPECT_TRUE(enabled(form, ids::cmdExport));
            click(form, ids::cmdCancel);
        },
    });
    EXPECT_TRUE(drive.finished) << drive.stepsLeft << " steps left";
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(ExportDialogWindow, ExportsTwiceWithoutOverwritingEachPageAsStored) {
    for (int time = 0; time < 2; ++time) {
        const kq::test::ModalRun drive = run({[&](HWND form) { exportEverything(form, out); }});
        EXPECT_TRUE(drive.finished) << "the dialog stayed open";
        EXPECT_EQ(drive.boxes, std::vector<std::string>{"エクスポートしました。"});
    }
    std::vector<std::string> expected;
    for (const char* suffix : {"", "(2)"}) {
        for (const char* name : {"Cell_001", "Cell_002", "Cell_003", "Cell_004", "Comment_001"}) {
            expected.push_back(std::string(name) + suffix + ".txt");
        }
        for (const char* name : {"Image_001", "Image_002", "Image_003"}) expected.push_back(std::string(name) + suffix + ".emf");
        for (const char* name : {"Shape_001", "Shape_002"}) expected.push_back(std::string(name) + suffix + ".txt");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(out), expected);
    for (const char* suffix : {"", "(2)"}) {
        for (std::size_t n = 0; n < pages.size(); ++n) {
            const std::string emf = out + "\\Image_00" + std::to_string(n + 1) + suffix + ".emf";
            EXPECT_EQ(contents(emf), pages[n]) << emf;
            EXPECT_TRUE(emf2svgRenders(emf, scratch.path()));
        }
    }
    // The reader does refuse what is no metafile.
    EXPECT_FALSE(emf2svgRenders(out + "\\Cell_001.txt", scratch.path()));
    // The texts in code page 932.
    EXPECT_EQ(contents(out + "\\Cell_002(2).txt"), (Bytes{0x93, 0xf1, 0x96, 0x87, 0x96, 0xda, ' ', 0x91, 0x4f}));
    EXPECT_EQ(contents(out + "\\Shape_002.txt"), (Bytes{'s', 'h', 'a', 'p', 'e', '\r', '\n'}));
}

TEST_F(ExportDialogWindow, AFolderRemovedAfterItWasChosenGetsNoFileAndTheDialogStays) {
    const std::string gone = scratch.path("消えるフォルダ");
    CreateDirectoryW(wide(gone).c_str(), nullptr);
    const kq::test::ModalRun drive = run({
        [&](HWND form) { kq::test::paste(folderBox(form), gone); },
        [&](HWND form) {
            EXPECT_TRUE(enabled(form, ids::cmdExport));
            RemoveDirectoryW(wide(gone).c_str());
            click(form, ids::cmdExport);
        },
        [&](HWND form) {
            EXPECT_FALSE(enabled(form, ids::cmdExport));
            EXPECT_EQ(textOf(folderBox(form)), gone);
            EXPECT_TRUE(kq::test::screenshot(form, "export_dialog_folder_gone.png"));
            click(form, ids::cmdCancel);
        },
    });
    EXPECT_TRUE(drive.finished) << drive.stepsLeft << " steps left";
    EXPECT_EQ(drive.boxes, std::vector<std::string>{"err(76) Path not found"});
    EXPECT_EQ(kq::test::attributesOf(gone), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(namesIn(scratch.path()), (std::vector<std::string>{"S_V_1.tvk", "出力ü_エクスポート"}));
}

}  // namespace
}  // namespace kq::viewer::win32
