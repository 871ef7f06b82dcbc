// The viewer's search for a term that no history holds, over a folder of
// 50,000 generated histories, against `grep -rc` of the same term over the
// same files in the same run. The search reads every text of every history
// (nothing settles it earlier) but seeks over the page bytes; grep reads all.
// The search tests the histories the folder scan found; the listing of the
// folders, which grep does as it goes, is shown beside it.
//   search_bench [scratch folder]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/posix_file_system.h"
#include "bench/generated_folder.h"
#include "common/history_writer.h"
#include "common/letter_case.h"
#include "tests/support/history_bytes.h"
#include "viewer/search/search_query.h"

namespace {

using namespace kq;
using Clock = std::chrono::steady_clock;
using bench::kFolders;
using bench::kPerFolder;
using bench::noise;
using bench::numbered;

constexpr double kGoal = 1.0;
// Found in no text and, at this length, in no page's noise either.
constexpr const char* kAbsent = "ZQXJKVW";

// A one-page history with the texts a printed sheet leaves: headings, the
// page's cell texts, a shape and a comment. The page is a small sheet's.
std::vector<std::uint8_t> history(int n) {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.02.0.03";
    h.strCategory = numbered("分類", n % 10);
    h.strHistoryId = numbered("20240315101530H", n);
    h.strBookPath = "C:\\Users\\山田\\Documents\\見積";
    h.strBookName = numbered("見積書", n % 500).append(".xls");
    h.strSheetName = "売上表";
    h.strPrinterName = "プリンタ 2 on Ne01:";
    h.datPrintDate = 45366.4274305556 + n / 1440.0;
    for (int i = 0; i < 5; ++i) {
        r.headings.push_back({numbered("見出し", i), numbered("$B$", i + 2), numbered("値", n + i), 0});
    }
    std::string cells;
    for (int row = 0; row < 20; ++row) {
        cells += numbered("品目", row).append("\tＡ商品 Widget\t").append(std::to_string(n * 7 + row)).append("\r\n");
    }
    r.pageTexts.push_back({cells});
    r.shapes.push_back({"Text 1", "確認済み", "B2", "C3"});
    r.comments.push_back({numbered("山田:\r\n至急確認 ", n), "$B$2", "山田 太郎"});
    return test::historyBytes(r, {noise(16 * 1024, static_cast<std::uint32_t>(n))});
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The histories of the folder, as the scan found them before any search.
std::vector<std::string> historiesIn(FileSystem& files, const std::string& root) {
    std::vector<std::string> paths;
    const auto listing = files.listFolder(root);
    if (!listing) return paths;
    for (const FolderEntry& sub : listing->entries) {
        if (!sub.directory) continue;
        const std::string folder = root + "\\" + sub.name;
        const auto inner = files.listFolder(folder);
        if (!inner) continue;
        for (const FolderEntry& entry : inner->entries) paths.push_back(folder + "\\" + entry.name);
    }
    return paths;
}

// Every history tested, as the file list tests the histories of its card.
std::size_t searchPass(FileSystem& files, const std::vector<std::string>& paths, const viewer::SearchBox& box) {
    std::size_t hits = 0;
    for (const std::string& path : paths) hits += box.MatchSearchText(files, systemAnsiCodec(), path);
    return hits;
}

double grepPass(const std::string& root) {
    const std::string command = std::string("grep -rc ") + kAbsent + " '" + root + "' > /dev/null";
    const auto start = Clock::now();
    // grep answers 1 when it found nothing, which is what is expected here.
    const int status = std::system(command.c_str());
    if (status == -1) std::printf("grep could not be run\n");
    return seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path root =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(KQ_BENCH_SCRATCH);
    bench::generateFolder(root, "Hist", kFolders, kPerFolder, history);
    const std::string folder = (root / "Hist").string();
    bench::PosixFileSystem files;
    viewer::SearchBox box(tableUpperCase);
    box.buttonClick(kAbsent);

    // Warm the cache, then take the best of five rounds of each, alternated:
    // the machine may be busy with other work meanwhile.
    grepPass(folder);
    double grepBest = 1e9;
    double searchBest = 1e9;
    double listingBest = 1e9;
    std::vector<std::string> paths;
    std::size_t hits = 0;
    for (int round = 0; round < 5; ++round) {
        grepBest = std::min(grepBest, grepPass(folder));
        auto start = Clock::now();
        paths = historiesIn(files, folder);
        listingBest = std::min(listingBest, seconds(Clock::now() - start));
        start = Clock::now();
        hits = searchPass(files, paths, box);
        searchBest = std::min(searchBest, seconds(Clock::now() - start));
    }
    const std::size_t tested = paths.size();
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) bytes += entry.file_size();
    }
    const double ratio = searchBest / grepBest;
    std::printf("search for an absent term\n");
    std::printf("%-52s %10.1f ms (%.0f MB)\n", "grep -rc over the same files", grepBest * 1e3,
                static_cast<double>(bytes) / 1e6);
    std::printf("%-52s %10.1f ms (%zu histories, %zu found)\n", "search: every text, no page bytes", searchBest * 1e3,
                tested, hits);
    std::printf("%-52s %10.1f ms (done by the scan, not by a search)\n", "listing the folders", listingBest * 1e3);
    std::printf("%-52s %10.2f (goal at most %.1f)\n", "ratio", ratio, kGoal);
    return hits == 0 && tested == static_cast<std::size_t>(kFolders * kPerFolder) ? 0 : 1;
}
