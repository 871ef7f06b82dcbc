// What the print recorder itself costs per page: a whole recording of the
// simulated host, with the clipboard and the metafiles in memory, the time
// spent inside the host's calls (which includes the host's drawing and
// copying) measured apart and taken off. Pages are of fixed size (40 rows by
// 8 columns of short texts); once without print titles (one piece a page) and
// once with title rows and a title column (four pieces a page, put together).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "addin/recording/save_history.h"
#include "tests/addin/recording/host_proxy.h"
#include "tests/addin/recording/recorder_test_world.h"

namespace {

using namespace kq::addin::recording;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kPages = 60;
constexpr int kRowsPerPage = 40;
constexpr int kColumns = 8;
constexpr int kRuns = 7;

struct Costs {
    double total = 0;  // seconds per page
    double host = 0;
};

Costs recordOnce(bool titles) {
    test::RecorderTestWorld w;
    const auto book = w.sim->addWorkbook("Bench.xls", "C:\\books");
    const auto sheet = book->addWorksheet("Pages");
    const int titleRows = titles ? 2 : 0;
    const int titleColumns = titles ? 1 : 0;
    const int lastRow = titleRows + kPages * kRowsPerPage;
    test::fillWithAddresses(*sheet, 1, 1, lastRow, titleColumns + kColumns);
    for (int page = 1; page < kPages; ++page) sheet->rowBreaks().insert(titleRows + page * kRowsPerPage + 1);
    if (titles) {
        sheet->setPrintTitleRows("$1:$2");
        sheet->setPrintTitleColumns("$A:$A");
        sheet->setPrintArea(test::cat("$B$3:$I$", std::to_string(lastRow)));
    }
    w.docPros.Add(book, sheet, "bench", "20240101090000SAA", "20240101090000VAA", "", {}, {}, {});
    book->selectSheets(std::vector<std::string>{"Pages"});

    test::HostHook hook;
    hook.timing = true;
    RecorderWorld world = w.world();
    world.application = test::proxy(hook, w.application);
    const auto start = Clock::now();
    SaveHistory(world);
    const Seconds total = Clock::now() - start;

    const auto pages = w.readHistory(w.historyFiles().at(0)).header.intPageCount;
    if (pages != kPages) std::fprintf(stderr, "expected %d pages, got %d\n", kPages, pages);
    return {total.count() / kPages, Seconds(hook.hostTime).count() / kPages};
}

void report(const char* what, bool titles) {
    std::vector<Costs> runs;
    for (int i = 0; i < kRuns; ++i) runs.push_back(recordOnce(titles));
    std::sort(runs.begin(), runs.end(),
              [](const Costs& a, const Costs& b) { return a.total - a.host < b.total - b.host; });
    const Costs& median = runs[kRuns / 2];
    std::printf("%-30s recorder %8.1f us per page   (host %8.1f us, whole %8.1f us)\n", what,
                (median.total - median.host) * 1e6, median.host * 1e6, median.total * 1e6);
}

}  // namespace

int main() {
    std::printf("print recorder, %d pages of %d x %d cells, median of %d runs\n", kPages, kRowsPerPage, kColumns,
                kRuns);
    report("pages of one piece", false);
    report("pages of four pieces", true);
    return 0;
}
