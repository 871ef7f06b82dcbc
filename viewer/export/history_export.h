#pragma once
// Writing one history's contents into a folder: each page's metafile exactly
// as it is stored and, as chosen, each page text, shape text and comment text
// as a text file in the code page. Every file is made new under a name that
// nothing in the folder has yet, so an export never overwrites, not even a
// file that appears while it runs; an export that fails takes away every file
// it made, so the folder holds a whole export or none.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "common/text_codec.h"

namespace kq::viewer {

// What goes out: the dialog's four boxes.
struct ExportChoices {
    bool images = true;
    bool cellTexts = false;
    bool shapeTexts = false;
    bool comments = false;
    bool any() const { return images || cellTexts || shapeTexts || comments; }
};

// The suffix counter is a 16-bit Integer: past this the name cannot be made.
inline constexpr int kLastExportAttempt = 0x7FFF;

// The path of an export file in `folder`: the stem, the number in at least
// three digits, "(attempt)" from the second attempt on, the extension.
std::string exportFilePath(std::string_view folder, std::string_view stem, int number, int attempt,
                           std::string_view extension);

// A failure as the runtime numbers and describes it.
struct ExportFailure {
    std::int32_t number = 0;
    std::string description;
    friend bool operator==(const ExportFailure&, const ExportFailure&) = default;
};

struct ExportOutcome {
    std::vector<std::string> written;  // the files made, in the order made; none after a failure
    std::optional<ExportFailure> failure;
};

// Exports the history at `historyPath` into `folder` (without a trailing "\").
// A damaged history writes nothing; a file that cannot be made or written
// stops the export and the files made before it are removed.
ExportOutcome exportHistory(FileSystem& files, const AnsiCodec& codec, const std::string& historyPath,
                            const std::string& folder, const ExportChoices& choices);

}  // namespace kq::viewer
