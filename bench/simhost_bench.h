#pragma once
// What the benchmarks that print through simhost.exe and the real add-in
// share: a scratch folder, generated workbooks, a scenario around the
// add-in's after-print call, and the figures read back from the transcript.

#include "common/win32/windows_api.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/byte_io.h"
#include "common/history_reader.h"
#include "common/text_codec.h"
#include "tests/tools/end_to_end_support.h"

namespace kq::bench {

namespace fs = std::filesystem;

inline constexpr char kAfterPrint[] = "call Kez_Quorvex.Connect CallForXLA_WorkbookAfterPrint";

// A folder of the benchmark's own under the build folder, emptied first: as
// the build names it, and as programs under Wine see it.
struct Scratch {
    std::string unixPath;
    fs::path path;
};

inline Scratch scratchFolder(const std::string& name) {
    Scratch scratch{std::string(KQ_BENCH_SCRATCH) + "/" + name, {}};
    scratch.path = fs::path(test::windowsPath(scratch.unixPath));
    std::error_code ignored;
    fs::remove_all(scratch.path, ignored);
    fs::create_directories(scratch.path / "history");
    return scratch;
}

inline void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A worksheet of the simulated host's workbook text: every cell of the
// rectangle holds a short text, as a ledger's cells do, and `setup` lines
// follow.
inline std::string worksheetText(const std::string& name, std::int32_t rows, std::int32_t columns,
                                 const std::vector<std::string>& setup) {
    std::ostringstream out;
    out << "worksheet " << name << "\n";
    for (std::int32_t row = 1; row <= rows; ++row) {
        for (std::int32_t column = 1; column <= columns; ++column) {
            const std::string letter(1, static_cast<char>('A' + column - 1));
            out << "  cell " << letter << row << " text ";
            if (row <= 2 || column == 1) {
                out << "見出" << letter << row << "\n";
            } else {
                out << "売上" << (row * 37 + column * 11) % 1000 << "\n";
            }
        }
    }
    for (const std::string& line : setup) out << "  setup " << line << "\n";
    return out.str();
}

// A workbook whose first sheet is watched (no headings, automatic save range).
inline std::string workbookText(const std::string& watched, const std::string& sheets) {
    return "simulated-workbook 1\nbook Bench.xls\npath C:\\books\nproperty KEZ_QUORVEX_INFO_" + watched +
           " text \"0\\tbench\\t20240101090000SAA\\t20240101090000VAA\\t\\t\"\n" + sheets + "selected " + watched +
           "\n";
}

// The scenario's start: settings that ask nothing and show no notice, the
// add-in loaded, the workbook open; and its end, which leaves the prefix as
// it was.
inline constexpr char kScenarioStart[] = R"(regdelete "Software\\VB and VBA Program Settings\\KEZ_QUORVEX"
regset "Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\Setting" Folder ${HISTORY}
regset "Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\Setting" ShowMessageWhenPrintRun 0
regset "Software\\VB and VBA Program Settings\\KEZ_QUORVEX\\Setting" ShowProgressTime 0
register ${ADDIN}
load
open ${BOOK}
timeout 600
)";
inline constexpr char kScenarioEnd[] = R"(quit
unregister ${ADDIN}
regdelete "Software\\VB and VBA Program Settings\\KEZ_QUORVEX"
)";

// Runs the scenario in the scratch folder (its workbook Bench.simbook, its
// history folder "history"); the transcript's lines, or none after a
// failure, which goes to standard error.
inline std::vector<std::string> runBench(const Scratch& scratch, const std::string& script, DWORD limitMs) {
    const fs::path& folder = scratch.path;
    writeFile(folder / "scenario.txt", script);
    const fs::path transcript = folder / "transcript.txt";
    const int exitCode = test::runScenario(scratch.unixPath + "/scenario.txt", transcript,
                                           {{"ADDIN", test::windowsPath(KQ_ADDIN_DLL)},
                                            {"BOOK", (folder / "Bench.simbook").string()},
                                            {"HISTORY", (folder / "history").string()}},
                                           limitMs);
    std::vector<std::string> lines;
    std::istringstream in(test::readText(transcript));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (exitCode != 0) {
        std::fprintf(stderr, "simhost ended with %d; transcript in %s\n", exitCode, transcript.string().c_str());
        return {};
    }
    return lines;
}

// The microseconds of each "time" command whose command line starts with
// `command` (after "> time "), in order.
inline std::vector<double> timings(const std::vector<std::string>& lines, const std::string& command) {
    std::vector<double> found;
    bool wanted = false;
    for (const std::string& line : lines) {
        if (line.rfind("> ", 0) == 0) wanted = line.rfind("> time " + command, 0) == 0;
        if (wanted && line.rfind("  took ", 0) == 0) found.push_back(std::stod(line.substr(7)));
    }
    return found;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The history files in the folder, each read whole: how many there are and
// how many of them are sound with `pages` pages.
struct HistoryCheck {
    std::size_t files = 0;
    std::size_t sound = 0;
};

// A whole enhanced-metafile file: its header says so and tells its length.
inline bool isEnhMetafile(const std::vector<std::uint8_t>& bytes) {
    const auto at = [&](std::size_t offset) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
        return value;
    };
    constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
    return bytes.size() >= 88 && at(0) == 1 && at(40) == kSignature && at(48) == bytes.size();
}

inline HistoryCheck checkHistories(const fs::path& folder, std::int16_t pages) {
    HistoryCheck check;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".tvk") continue;
        ++check.files;
        const std::vector<std::uint8_t> bytes = test::readBytes(entry.path());
        MemorySource source(bytes);
        const HistoryRead<HistoryRecords> read = readHistoryRecords(source, systemAnsiCodec());
        if (!read || read.value->header.intPageCount != pages) continue;
        source = MemorySource(bytes);
        const HistoryRead<std::vector<PageImageRecord>> records = readHistoryPages(source);
        if (!records || records.value->size() != static_cast<std::size_t>(pages)) continue;
        const bool metafiles = std::all_of(records.value->begin(), records.value->end(), [&](const PageImageRecord& page) {
            const HistoryRead<std::vector<std::uint8_t>> picture = readHistoryPage(source, page);
            return picture && isEnhMetafile(*picture.value);
        });
        if (metafiles) ++check.sound;
    }
    return check;
}

}  // namespace kq::bench
