#pragma once
// The surroundings of the history-folder procedures in tests: an in-memory file
// system with a C: drive that holds the documents folder and the program folder,
// scripted prompts, and a documents folder the test may change.

#include <optional>
#include <string>
#include <utility>

#include "common/history_folder.h"
#include "tests/support/fixed_known_folders.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompts.h"

namespace kq::test {

inline constexpr char kAddinTitle[] = "Brelmont for Excel";
inline constexpr char kViewerTitle[] = "Brelmont for Excel(ビュー)";
inline constexpr char kDocuments[] = "C:\\Users\\kei\\Documents";
inline constexpr char kProgramFolder[] = "C:\\Program Files\\Kez";

struct HistoryFolderWorld {
    HistoryFolderWorld() {
        files.addDirectory(kDocuments);
        files.addDirectory(kProgramFolder);
    }
    HistoryFolderServices services(std::string title = kAddinTitle) {
        return {.files = files, .prompts = prompts, .knownFolders = known, .programFolder = kProgramFolder,
                .title = std::move(title)};
    }

    MemoryFileSystem files;
    ScriptedPrompts prompts;
    FixedKnownFolders known{std::string(kDocuments)};
};

}  // namespace kq::test
