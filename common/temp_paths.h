#pragma once
// Paths of temp files in the system's temp folder. Every path handed out is
// free: a file left there under a fixed name is deleted first, and a name the
// system makes is never handed out twice in one process.

#include <optional>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/prompts.h"

namespace kq {

class TempPaths {
public:
    // `title` is the running program's title, which the messages carry.
    TempPaths(FileSystem& files, Prompts& prompts, std::string title);

    // The temp folder ending with "\", or "" after a message.
    std::string GetTempFolder();
    // The full path of a free temp file: `fileName` in the temp folder, or, when it
    // is empty, a unique name the system makes from (the first three characters
    // of) `prefix`. "" after a message.
    std::string GetTempFileFullpath(std::string_view prefix, std::string_view fileName);

private:
    std::optional<std::string> newSystemName(const std::string& folder, std::string_view prefix);

    FileSystem& files_;
    Prompts& prompts_;
    std::string title_;
};

}  // namespace kq
