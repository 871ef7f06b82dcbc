// The viewer's reload of a history folder of 50,000 histories (the scan, every
// header, the cards) against the least any reload must do: list the same
// folders, open each file, read 4 KiB and close it. Both go through the same
// file system layer in the same run. Then the file list of one card that
// holds all 50,000 histories, rebuilt.
//   viewer_reload_bench [scratch folder]

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/generated_folder.h"
#include "common/history_writer.h"
#include "tests/support/history_bytes.h"
#include "viewer/file_list/file_list.h"
#include "viewer/cards/history_scan.h"
#include "viewer/cards/card_bar.h"
#ifdef _WIN32
#include "common/win32/win32_file_system.h"
#else
#include "bench/posix_file_system.h"
#endif

namespace {

using namespace kq;
using Clock = std::chrono::steady_clock;
using bench::kFolders;
using bench::kPerFolder;
using bench::noise;
using bench::numbered;

constexpr int kSheets = 500;
constexpr double kGoal = 1.3;

#ifdef _WIN32
using SystemFileSystem = win32::Win32FileSystem;
#else
using SystemFileSystem = bench::PosixFileSystem;
#endif

std::vector<std::uint8_t> history(int n) {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.02.0.03";
    h.dblExcelVersion = 16;
    h.lngOSVersion = 12;
    h.strCategory = numbered("分類", n % 10);
    h.strSheetId = numbered("20240301080000S", n % kSheets);
    h.strVersionId = "20240302090000VER";
    h.strHistoryId = numbered("20240315101530H", n);
    h.strBookPath = "C:\\Users\\山田\\Documents\\見積";
    h.strBookName = numbered("見積書", n % kSheets).append(".xls");
    h.strSheetName = "売上表";
    h.strExcelUserName = "山田 太郎";
    h.datPrintDate = 45366.4274305556 + n / 1440.0;
    h.strPrinterName = "プリンタ 2 on Ne01:";
    for (int i = 0; i < 5; ++i) {
        r.headings.push_back({numbered("見出し", i), numbered("$B$", i + 2), numbered("値", n), 0});
    }
    r.pageTexts.push_back({"売上\t株式会社サンプル\t1234\r\n備考"});
    r.comments.push_back({"確認", "$B$2", "山田 太郎"});
    return test::historyBytes(r, {noise(3000, static_cast<std::uint32_t>(n))});
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The least a reload does: every folder listed, every file opened, 4 KiB read, closed.
std::size_t floorPass(FileSystem& files, const std::string& root) {
    std::size_t opened = 0;
    std::vector<std::uint8_t> buffer(4096);
    const auto listing = files.listFolder(root);
    if (!listing) return 0;
    for (const FolderEntry& sub : listing->entries) {
        if (!sub.directory) continue;
        const std::string folder = root + "\\" + sub.name;
        const auto inner = files.listFolder(folder);
        if (!inner) continue;
        for (const FolderEntry& entry : inner->entries) {
            const auto source = files.openForReading(folder + "\\" + entry.name);
            if (!source) continue;
            const std::size_t n =
                source->size() < buffer.size() ? static_cast<std::size_t>(source->size()) : buffer.size();
            source->readAt(0, buffer.data(), n);
            ++opened;
        }
    }
    return opened;
}

std::size_t reloadPass(FileSystem& files, const std::string& root, viewer::CardBar& bar, viewer::Grouping grouping) {
    bar.Cls();
    const auto found = viewer::scanHistoryFolder(files, root);
    viewer::makeCards(bar, found, viewer::headerReader(files, systemAnsiCodec()), grouping);
    return found.size();
}

struct Widths final : viewer::TextWidths {
    double textWidth(std::string_view text) override { return 90.0 * static_cast<double>(text.size()); }
};

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path root =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(KQ_BENCH_SCRATCH);
    bench::generateFolder(root, "", kFolders, kPerFolder, history);
    std::string rootText = root.string();
#ifdef _WIN32
    for (char& c : rootText) {
        if (c == '/') c = '\\';
    }
#endif
    SystemFileSystem files;
    viewer::CardBar bar;

    // Warm the cache, then take the best of three rounds of each, alternated.
    floorPass(files, rootText);
    double floorBest = 1e9;
    double reloadBest = 1e9;
    std::size_t opened = 0;
    std::size_t found = 0;
    for (int round = 0; round < 3; ++round) {
        auto start = Clock::now();
        opened = floorPass(files, rootText);
        floorBest = std::min(floorBest, seconds(Clock::now() - start));
        start = Clock::now();
        found = reloadPass(files, rootText, bar, viewer::Grouping::sheet);
        reloadBest = std::min(reloadBest, seconds(Clock::now() - start));
    }
    const double ratio = reloadBest / floorBest;
    std::printf("viewer reload of a history folder\n");
    std::printf("%-52s %10.1f ms (%zu files)\n", "floor: list, open, read 4 KiB, close", floorBest * 1e3, opened);
    std::printf("%-52s %10.1f ms (%zu histories, %zu cards)\n", "reload: scan, headers, cards", reloadBest * 1e3, found,
                bar.Count());
    std::printf("%-52s %10.2f (goal at most %.1f)\n", "ratio", ratio, kGoal);

    reloadPass(files, rootText, bar, viewer::Grouping::all);
    viewer::ViewSettings settings;
    Widths widths;
    const auto start = Clock::now();
    const viewer::FileList list = viewer::FileList::build(
        bar.Item(1), settings, viewer::listedHistoryReader(files, systemAnsiCodec()), {}, widths,
        viewer::compareIgnoringCase);
    const double listSeconds = seconds(Clock::now() - start);
    std::printf("%-52s %10.1f ms (%zu rows, goal under 1000 ms)\n", "file list of one card holding every history",
                listSeconds * 1e3, list.rows().size());
    return 0;
}
