// simhost: the simulated spreadsheet host.
//
//   simhost register <dll>      LoadLibrary and DllRegisterServer
//   simhost unregister <dll>    DllUnregisterServer
//   simhost run <script> [-o <transcript>] [--expect <transcript>] [-D NAME=value]...
//                               runs a scenario script (see scenario_runner.cpp); the
//                               transcript goes to the file or to standard output, and
//                               with --expect it must equal that file line by line
//
// Exit codes: 0 done; 1 an expectation failed, a command failed or the
// transcript differs; 2 the command line or the script is wrong; 3 a command
// took longer than its time limit.

#include "common/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tools/simhost/com_registration.h"
#include "tools/simhost/scenario_runner.h"
#include "tools/simhost/scenario_script.h"
#include "tools/simhost/transcript.h"

namespace {

using namespace kq::simhost;

int usage() {
    std::fputs("usage: simhost register <dll> | unregister <dll> |\n"
               "       run <script> [-o <transcript>] [--expect <transcript>] [-D NAME=value]...\n",
               stderr);
    return 2;
}

std::vector<std::string> arguments() {
    int count = 0;
    const kq::win32::LocalMemory<LPWSTR> list(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> out;
    for (int i = 1; list && i < count; ++i) out.push_back(kq::win32::narrow(list.get()[i]));
    return out;
}

bool readFile(const std::string& path, std::string& text) {
    std::FILE* file = _wfopen(kq::win32::wide(path).c_str(), L"rb");
    if (!file) return false;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    return true;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The first difference, as people read it.
bool sameTranscript(const std::vector<std::string>& got, const std::vector<std::string>& wanted) {
    const std::size_t n = std::max(got.size(), wanted.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string* g = i < got.size() ? &got[i] : nullptr;
        const std::string* w = i < wanted.size() ? &wanted[i] : nullptr;
        if (g && w && *g == *w) continue;
        std::fprintf(stderr, "transcript differs at line %zu\n  wanted: %s\n  got:    %s\n", i + 1,
                     w ? w->c_str() : "(nothing)", g ? g->c_str() : "(nothing)");
        return false;
    }
    return true;
}

int runScript(const std::vector<std::string>& args) {
    std::string script, output, expected;
    std::map<std::string, std::string> values;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "-o" || a == "--expect" || a == "-D") && i + 1 == args.size()) return usage();
        if (a == "-o") {
            output = args[++i];
        } else if (a == "--expect") {
            expected = args[++i];
        } else if (a == "-D") {
            const std::string& definition = args[++i];
            const std::size_t equals = definition.find('=');
            if (equals == std::string::npos || equals == 0) return usage();
            values[definition.substr(0, equals)] = definition.substr(equals + 1);
        } else if (script.empty()) {
            script = a;
        } else {
            return usage();
        }
    }
    if (script.empty()) return usage();

    std::string text, wantedText;
    if (!readFile(script, text)) {
        std::fprintf(stderr, "simhost: cannot read %s\n", script.c_str());
        return 2;
    }
    if (!expected.empty() && !readFile(expected, wantedText)) {
        std::fprintf(stderr, "simhost: cannot read %s\n", expected.c_str());
        return 2;
    }
    std::vector<ScriptLine> lines;
    try {
        lines = parseScript(text, values);
    } catch (const ScriptError& e) {
        std::fprintf(stderr, "simhost: %s: %s\n", script.c_str(), e.what());
        return 2;
    }

    std::FILE* out = stdout;
    if (!output.empty()) {
        out = _wfopen(kq::win32::wide(output).c_str(), L"wb");
        if (!out) {
            std::fprintf(stderr, "simhost: cannot write %s\n", output.c_str());
            return 2;
        }
    } else {
        _setmode(_fileno(stdout), _O_BINARY);
    }

    bool sound = false;
    std::vector<std::string> recorded;
    if (FAILED(OleInitialize(nullptr))) {
        std::fputs("simhost: COM would not start\n", stderr);
        return 2;
    }
    {
        Transcript transcript(out, !expected.empty());
        {
            ScenarioRunner runner(transcript, folderOf(script));
            sound = runner.run(lines);
        }
        recorded = transcript.lines();
    }
    OleUninitialize();
    if (out != stdout) std::fclose(out);

    if (!expected.empty() && !sameTranscript(recorded, linesOf(wantedText))) return 1;
    return sound ? 0 : 1;
}

}  // namespace

int main() {
    const std::vector<std::string> args = arguments();
    if (args.empty()) return usage();
    if (args[0] == "register" || args[0] == "unregister") {
        if (args.size() != 2) return usage();
        const std::string problem = callRegistrationEntry(args[1], args[0] == "unregister");
        if (!problem.empty()) {
            std::fprintf(stderr, "simhost: %s\n", problem.c_str());
            return 1;
        }
        return 0;
    }
    if (args[0] == "run") return runScript(args);
    return usage();
}
