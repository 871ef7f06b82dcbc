// Many recordings in one host process: a one-page watched sheet recorded
// 5,000 times (or as often as the command line says) by the real add-in in
// one simhost.exe run under Wine. Every recording must leave a sound history,
// and the process's memory must stay flat once warmed up: reported as the
// growth per recording after the first tenth, fitted over samples taken every
// 100 recordings. Beside it, what the system's own clipboard keeps of each
// read (a recording reads the clipboard twice a piece), measured in this
// process, which tells the system's share of the growth from the recorder's.
//   recording_soak_bench [recordings]

#include "common/win32/windows_api.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/simhost_bench.h"
#include "common/win32/handles.h"

namespace {

using namespace kq::bench;

constexpr int kSampleEvery = 100;

struct Sample {
    double recordings = 0;
    double workingSet = 0;
    double pagefile = 0;  // the process's committed private bytes
};

std::string scenario(int recordings) {
    std::string s = kScenarioStart;
    s += "show memory\n";
    for (int i = 1; i <= recordings; ++i) {
        s += "time ";
        s += kAfterPrint;
        s += '\n';
        if (i % kSampleEvery == 0) s += "show memory\n";
    }
    return s + kScenarioEnd;
}

std::vector<Sample> memorySamples(const std::vector<std::string>& lines) {
    std::vector<Sample> samples;
    for (const std::string& line : lines) {
        double workingSet = 0;
        double privateBytes = 0;
        double pagefile = 0;
        if (std::sscanf(line.c_str(), "  memory working-set %lf private %lf pagefile %lf", &workingSet, &privateBytes,
                        &pagefile) == 3) {
            samples.push_back({static_cast<double>(samples.size() * kSampleEvery), workingSet, pagefile});
        }
    }
    return samples;
}

// Bytes per recording: the least-squares slope of `bytes` over the samples.
double slope(const std::vector<Sample>& samples, double Sample::*bytes) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const Sample& s : samples) {
        n += 1;
        sx += s.recordings;
        sy += s.*bytes;
        sxx += s.recordings * s.recordings;
        sxy += s.recordings * (s.*bytes);
    }
    const double spread = n * sxx - sx * sx;
    return spread > 0 ? (n * sxy - sx * sy) / spread : 0;
}

double pagefileBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage);
}

// Bytes that stay behind for each read of the system's clipboard, of a text
// this process put there itself, as a host's copy is read by its add-in.
// Wine 8 keeps about 1 KB of every GetClipboardData that its own process's
// cache answers, whatever the format; Windows keeps nothing.
double clipboardReadGrowth() {
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    const auto copyAndRead = [&] {
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get())) {
            EmptyClipboard();
            kq::win32::GlobalMemory text = kq::win32::globalCopy(L"copied", sizeof L"copied");
            if (SetClipboardData(CF_UNICODETEXT, text.get())) text.release();
        }
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(nullptr)) {
            GetClipboardData(CF_UNICODETEXT);
            EmptyClipboard();
        }
    };
    constexpr int kWarmUp = 500;
    constexpr int kReads = 4000;
    for (int i = 0; i < kWarmUp; ++i) copyAndRead();
    const double before = pagefileBytes();
    for (int i = 0; i < kReads; ++i) copyAndRead();
    return (pagefileBytes() - before) / kReads;
}

}  // namespace

int main(int argc, char** argv) {
    const int recordings = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (recordings < 10 * kSampleEvery) {
        std::fprintf(stderr, "at least %d recordings\n", 10 * kSampleEvery);
        return 2;
    }
    const Scratch scratch = scratchFolder("soak");
    writeFile(scratch.path / "Bench.simbook", workbookText("Ledger", worksheetText("Ledger", 20, 6, {})));
    const std::vector<std::string> transcript = runBench(scratch, scenario(recordings), 4 * 3600 * 1000);
    if (transcript.empty()) return 1;

    const std::vector<double> calls = timings(transcript, kAfterPrint);
    const std::vector<Sample> samples = memorySamples(transcript);
    if (calls.size() != static_cast<std::size_t>(recordings) || samples.size() < 10) {
        std::fprintf(stderr, "the transcript lacks timings or memory samples\n");
        return 1;
    }
    double total = 0;
    for (const double call : calls) total += call;
    const std::size_t warm = samples.size() / 10;
    const std::vector<Sample> afterWarmUp(samples.begin() + static_cast<std::ptrdiff_t>(warm), samples.end());
    const HistoryCheck histories = checkHistories(scratch.path / "history", 1);

    std::printf("%d recordings of a one-page watched sheet in one simhost.exe run\n", recordings);
    std::printf("  recording         %8.2f ms median, %.1f s in all\n", median(calls) / 1000, total / 1e6);
    std::printf("  histories         %zu of %zu sound\n", histories.sound, histories.files);
    std::printf("  working set       %8.1f MB after %d recordings, %8.1f MB at the end\n",
                afterWarmUp.front().workingSet / 1e6, static_cast<int>(afterWarmUp.front().recordings),
                samples.back().workingSet / 1e6);
    std::printf("  private bytes     %8.1f MB after %d recordings, %8.1f MB at the end\n",
                afterWarmUp.front().pagefile / 1e6, static_cast<int>(afterWarmUp.front().recordings),
                samples.back().pagefile / 1e6);
    std::printf("  growth            %8.1f bytes of working set, %.1f private bytes a recording after warm-up\n",
                slope(afterWarmUp, &Sample::workingSet), slope(afterWarmUp, &Sample::pagefile));
    std::printf("  of which the system's clipboard, two reads a recording: %.1f bytes\n", 2 * clipboardReadGrowth());
    const bool sound = histories.files == static_cast<std::size_t>(recordings) && histories.sound == histories.files;
    return sound ? 0 : 1;
}
