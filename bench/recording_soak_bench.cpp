// Many recordings in one host process: a one-page watched sheet recorded
// 5,000 times (or as often as the command line says) by the real add-in in
// one simhost.exe run under Wine. Every recording must leave a sound history,
// and the memory of the host and the add-in must stay flat once warmed up:
// reported as the growth per recording after the first tenth, fitted over
// samples taken every 100 recordings, split between the process heap, where
// the system's libraries allocate, and the C runtime's heap, which holds the
// host's and the add-in's own objects. Wine 8 keeps a 1 KB buffer of every
// clipboard read its process cache answers (a recording reads the host's two
// copies), which this process measures on its own beside it; Windows keeps
// none. A probe line given after the count is run instead of the recording,
// to split the growth between the pieces a recording passes through (no
// histories are then asked for).
//   recording_soak_bench [recordings [probe scenario line]]

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
    double handles = 0;
    double hostObjects = 0;  // simhost's COM objects alive
    // The process heap (the system's libraries) and the C runtime's (the
    // host's and the add-in's own objects): committed, and in use.
    double processCommitted = 0;
    double processBusy = 0;
    double kilobyteBlocks = 0;  // the process heap's blocks of 1,024 bytes in use
    double runtimeCommitted = 0;
    double runtimeBusy = 0;
};

std::string scenario(int recordings, const std::string& line) {
    std::string s = kScenarioStart;
    s += "show memory\n";
    for (int i = 1; i <= recordings; ++i) {
        s += "time ";
        s += line;
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
        double handles = 0;
        double hostObjects = 0;
        if (std::sscanf(line.c_str(), "  memory working-set %lf private %lf pagefile %lf handles %lf host-objects %lf",
                        &workingSet, &privateBytes, &pagefile, &handles, &hostObjects) >= 3) {
            samples.push_back({.recordings = static_cast<double>(samples.size() * kSampleEvery),
                               .workingSet = workingSet,
                               .pagefile = pagefile,
                               .handles = handles,
                               .hostObjects = hostObjects});
        } else if (!samples.empty()) {
            Sample& s = samples.back();
            std::sscanf(line.c_str(),
                        "  heaps process committed %lf busy %lf kilobyte-blocks %lf runtime committed %lf busy %lf",
                        &s.processCommitted, &s.processBusy, &s.kilobyteBlocks, &s.runtimeCommitted, &s.runtimeBusy);
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

// Bytes of the process's committed memory that stay behind for each run of
// `step`, after a warm-up.
template <typename Step>
double growthPer(Step step) {
    constexpr int kWarmUp = 500;
    constexpr int kRuns = 4000;
    for (int i = 0; i < kWarmUp; ++i) step();
    const double before = pagefileBytes();
    for (int i = 0; i < kRuns; ++i) step();
    return (pagefileBytes() - before) / kRuns;
}

// Bytes that stay behind for each read of the system's clipboard, of a text
// this process put there itself, as a host's copy is read by its add-in.
// Wine 8 keeps about 1 KB of every GetClipboardData that its own process's
// cache answers, whatever the format; Windows keeps nothing.
double clipboardReadGrowth() {
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    return growthPer([&] {
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get())) {
            EmptyClipboard();
            kq::win32::GlobalMemory text = kq::win32::globalCopy(L"copied", sizeof L"copied");
            if (SetClipboardData(CF_UNICODETEXT, text.get())) text.release();
        }
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(nullptr)) {
            GetClipboardData(CF_UNICODETEXT);
            EmptyClipboard();
        }
    });
}

// The same for a picture, read as the recorder reads a host's CopyPicture:
// the handle the clipboard answers, copied out as bits.
double clipboardPictureReadGrowth() {
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    return growthPer([&] {
        kq::win32::EnhMetafileRecorder recording = kq::win32::recordEnhMetafile(nullptr, nullptr, RECT{0, 0, 5000, 2000});
        for (int row = 0; row < 20; ++row) TextOutW(recording.get(), 10, row * 20, L"Ledger cell", 11);
        kq::win32::EnhMetafile picture = recording.close();
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get())) {
            EmptyClipboard();
            if (SetClipboardData(CF_ENHMETAFILE, picture.get())) picture.release();
        }
        if (const kq::win32::OpenedClipboard open = kq::win32::openClipboard(nullptr)) {
            const auto read = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
            std::vector<BYTE> bits(GetEnhMetaFileBits(read, 0, nullptr));
            GetEnhMetaFileBits(read, static_cast<UINT>(bits.size()), bits.data());
            EmptyClipboard();
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    const int recordings = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (recordings < 10 * kSampleEvery) {
        std::fprintf(stderr, "at least %d recordings\n", 10 * kSampleEvery);
        return 2;
    }
    const bool probe = argc > 2;
    std::string line = kAfterPrint;
    if (probe) {
        line = argv[2];
        for (int i = 3; i < argc; ++i) line += std::string(" ") + argv[i];
    }
    const Scratch scratch = scratchFolder("soak");
    writeFile(scratch.path / "Bench.simbook", workbookText("Ledger", worksheetText("Ledger", 20, 6, {})));
    const std::vector<std::string> transcript = runBench(scratch, scenario(recordings, line), 4 * 3600 * 1000);
    if (transcript.empty()) return 1;

    const std::vector<double> calls = timings(transcript, line);
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

    if (probe) {
        std::printf("%d times \"%s\" in one simhost.exe run\n", recordings, line.c_str());
    } else {
        std::printf("%d recordings of a one-page watched sheet in one simhost.exe run\n", recordings);
    }
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
    std::printf("  handles           %8.0f after warm-up, %8.0f at the end\n", afterWarmUp.front().handles,
                samples.back().handles);
    std::printf("  host objects      %8.0f after warm-up, %8.0f at the end\n", afterWarmUp.front().hostObjects,
                samples.back().hostObjects);

    // Where the growth lies. The 1 KB blocks the process heap keeps are the
    // system's clipboard buffers; what else grows there, and anything the C
    // runtime's heap keeps, is the host's or the add-in's.
    const double kilobyteBlocks = slope(afterWarmUp, &Sample::kilobyteBlocks);
    const double otherProcessBlocks = slope(afterWarmUp, &Sample::processBusy) - 1024 * kilobyteBlocks;
    const double runtimeCommitted = slope(afterWarmUp, &Sample::runtimeCommitted);
    const double runtimeBusy = slope(afterWarmUp, &Sample::runtimeBusy);
    std::printf("  process heap      %8.1f bytes committed a recording: %.2f blocks of 1 KB kept (the system's\n"
                "                    clipboard buffers), %.1f bytes in blocks of other sizes\n",
                slope(afterWarmUp, &Sample::processCommitted), kilobyteBlocks, otherProcessBlocks);
    std::printf("  runtime heap      %8.1f bytes committed a recording, %.1f bytes in use\n", runtimeCommitted,
                runtimeBusy);
    std::printf("  the system's clipboard, measured here: one read of a text keeps %.1f bytes, of a picture %.1f\n",
                clipboardReadGrowth(), clipboardPictureReadGrowth());
    // Bounded lists (status texts, names handed out) fill in saw teeth, which
    // a fitted line over a few thousand recordings shows as a few bytes.
    constexpr double kFlat = 32;
    const bool flat = otherProcessBlocks < kFlat && runtimeCommitted < kFlat && runtimeBusy < kFlat;
    std::printf("  the host's and the add-in's own memory %s after warm-up\n", flat ? "stays flat" : "GROWS");
    if (probe) return 0;
    const bool sound = histories.files == static_cast<std::size_t>(recordings) && histories.sound == histories.files;
    return sound && flat ? 0 : 1;
}
