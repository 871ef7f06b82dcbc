#pragma once
// A history file written where a Windows test needs it, last written a given
// number of whole minutes ago, so a folder's newest-first order is the order
// the test chose.

#include "common/win32/windows_api.h"

#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"

namespace kq::test {

inline bool writeHistoryFile(const std::string& path, const HistoryRecords& records, int minutesOld,
                             const std::vector<std::vector<std::uint8_t>>& pages = {}) {
    const std::vector<std::uint8_t> bytes = historyBytes(records, pages);
    const win32::FileHandle file(CreateFileW(win32::wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        return false;
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(minutesOld) * 60 * 10'000'000;
    const FILETIME then{t.LowPart, t.HighPart};
    return SetFileTime(file.get(), nullptr, nullptr, &then) != 0;
}

}  // namespace kq::test
