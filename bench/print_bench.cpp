// What a user waits for when a watched sheet is printed: the add-in's
// after-print call through simhost.exe and the real add-in library under
// Wine, for a print of 40 pages with title rows and a title column (four
// pieces a page). Reported per page, each a median over a few rounds of one
// run:
//   whole print       the after-print call of the watched sheet
//   host's own share  the same CopyPicture and Copy calls made again by the
//                     host with no add-in asking: the floor
//   recorder's share  the whole print less the host's share
//   unwatched print   the after-print call of the same sheet unwatched
// The recorder is fast enough when its share is no more than the host's and
// the whole print under twice the host's share.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/simhost_bench.h"

namespace {

using namespace kq::bench;

constexpr int kRounds = 5;
constexpr std::int16_t kPages = 40;
// With the default row height, column width and margins on A4 portrait, 49
// rows and 8 columns fit on a page beside the titles: 20 pages down, 2 across.
constexpr std::int32_t kRows = 2 + 20 * 49;
constexpr std::int32_t kColumns = 1 + 2 * 8;

std::string scenario() {
    std::string s = kScenarioStart;
    for (int round = 0; round < kRounds; ++round) {
        s += "sheet Plain\nprint\ntime ";
        s += kAfterPrint;
        s += "\nsheet Ledger\nprint\ncopies keep\ntime ";
        s += kAfterPrint;
        s += "\ntime copies replay\n";
    }
    return s + kScenarioEnd;
}

}  // namespace

int main() {
    const Scratch scratch = scratchFolder("print");
    const std::vector<std::string> setup = {"print-area $B$3:$Q$" + std::to_string(kRows), "title-rows $1:$2",
                                            "title-columns $A:$A"};
    writeFile(scratch.path / "Bench.simbook", workbookText("Ledger", worksheetText("Ledger", kRows, kColumns, setup) +
                                                                   worksheetText("Plain", kRows, kColumns, setup)));
    const std::vector<std::string> transcript = runBench(scratch, scenario(), 1800000);
    if (transcript.empty()) return 1;

    const std::vector<double> calls = timings(transcript, kAfterPrint);
    const std::vector<double> replays = timings(transcript, "copies replay");
    if (calls.size() != 2 * kRounds || replays.size() != kRounds) {
        std::fprintf(stderr, "the transcript lacks timings\n");
        return 1;
    }
    std::vector<double> unwatched, whole, host, recorder;
    for (int round = 0; round < kRounds; ++round) {
        unwatched.push_back(calls[2 * round] / kPages);
        whole.push_back(calls[2 * round + 1] / kPages);
        host.push_back(replays[round] / kPages);
        recorder.push_back((calls[2 * round + 1] - replays[round]) / kPages);
    }
    const HistoryCheck histories = checkHistories(scratch.path / "history", kPages);

    const double floor = median(host);
    std::printf("print of %d pages, 4 pieces a page, through simhost.exe and the add-in; median of %d rounds\n",
                kPages, kRounds);
    std::printf("  whole print       %8.2f ms a page\n", median(whole) / 1000);
    std::printf("  host's own share  %8.2f ms a page (the same copies, no add-in)\n", floor / 1000);
    std::printf("  recorder's share  %8.2f ms a page\n", median(recorder) / 1000);
    std::printf("  unwatched print   %8.2f ms a page\n", median(unwatched) / 1000);
    std::printf("  recorder / host   %8.2f   (at most 1)\n", median(recorder) / floor);
    std::printf("  whole / host      %8.2f   (under 2)\n", median(whole) / floor);
    std::printf("  histories         %zu of %zu sound with %d pages\n", histories.sound, histories.files, kPages);
    return histories.sound == static_cast<std::size_t>(kRounds) && histories.files == histories.sound ? 0 : 1;
}
