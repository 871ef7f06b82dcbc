#pragma once
// What the end-to-end tests share: they run simhost.exe with a scenario script
// and the real add-in library under Wine, and read what it leaves behind.

#include "common/win32/windows_api.h"

#include "common/win32/handles.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace kq::test {

namespace fs = std::filesystem;

// The build gives Unix paths; the programs under Wine see them on drive Z.
inline std::string windowsPath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;
}

inline std::wstring wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

#ifdef KQ_E2E_SCRATCH
// A scratch folder of the end-to-end tests by that name, made anew and empty.
// (The benchmarks share this header and keep their scratch folders elsewhere.)
inline fs::path freshScratch(const std::string& name) {
    const fs::path folder = fs::path(windowsPath(KQ_E2E_SCRATCH)) / name;
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder);
    return folder;
}
#endif

inline std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string readText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

// Runs a program to its end; its exit code, or -1 when it could not start or
// did not end in time.
inline int runProgram(std::wstring commandLine, DWORD limitMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    const win32::KernelHandle thread(process.hThread);
    const win32::KernelHandle running(process.hProcess);
    DWORD code = static_cast<DWORD>(-1);
    // Messages are pumped while waiting, so that clipboard requests to this
    // process's window are answered.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= limitMs) {
            TerminateProcess(running.get(), 99);
            WaitForSingleObject(running.get(), 5000);
            return -1;
        }
        const DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, limitMs - spent, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    GetExitCodeProcess(running.get(), &code);
    return static_cast<int>(code);
}

// The ids the add-in makes from the clock (14 digits and 3 letters) as <id1>,
// <id2>... in the order they first appear: a transcript is then the same at
// every run, and still tells which ids are equal.
inline std::string withIdsMasked(const std::string& text) {
    static const std::regex id("[0-9]{14}[A-Z]{3}");
    std::map<std::string, std::string> names;
    std::string out;
    auto from = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), id), end; it != end; ++it) {
        out.append(from, (*it)[0].first);
        const auto name = names.try_emplace(it->str(), "<id" + std::to_string(names.size() + 1) + ">").first;
        out += name->second;
        from = (*it)[0].second;
    }
    out.append(from, text.cend());
    return out;
}

inline std::wstring quotedArgument(const std::string& text) { return L"\"" + wide(text) + L"\""; }

#ifdef KQ_SIMHOST_EXE
// Runs a scenario script with simhost.exe (its `-D` values as NAME=value),
// which compares its transcript with `expected` when one is given; the exit
// code, or -1 when it did not start or did not end within `limitMs`.
inline int runScenario(const std::string& script, const fs::path& transcript,
                       const std::vector<std::pair<std::string, std::string>>& values, DWORD limitMs,
                       const std::string& expected = {}) {
    std::wstring command = quotedArgument(windowsPath(KQ_SIMHOST_EXE)) + L" run " +
                           quotedArgument(windowsPath(script)) + L" -o " + quotedArgument(transcript.string());
    if (!expected.empty()) command += L" --expect " + quotedArgument(windowsPath(expected));
    for (const auto& [name, value] : values) command += L" -D " + quotedArgument(name + "=" + value);
    return runProgram(command, limitMs);
}
#endif

}  // namespace kq::test
