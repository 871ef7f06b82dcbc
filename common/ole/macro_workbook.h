#pragma once
// A 97-2003 workbook file with a macro project: the compound file holding the
// workbook stream and, in the storage "_VBA_PROJECT_CUR", the project whose
// document modules belong to the workbook and its sheets.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/ole/biff_workbook.h"
#include "common/ole/compound_file.h"
#include "common/ole/vba_project.h"
#include "common/text_codec.h"

namespace kq::ole {

inline constexpr std::string_view kWorkbookStream = "Workbook";
inline constexpr std::string_view kProjectStorage = "_VBA_PROJECT_CUR";

struct MacroWorkbookSpec {
    bool addIn = false;
    std::string projectName;
    std::string projectId;     // "{GUID}"
    std::uint16_t codePage = 932;
    std::string workbookModule = "ThisWorkbook";
    std::vector<BiffSheet> sheets;  // each with the name of its document module
    std::vector<VbaReference> references;
    std::vector<VbaModule> modules;  // the standard modules, after the document modules
};

// The source of a document module without code: its attribute lines, naming
// the host's class it belongs to (a workbook or a worksheet).
std::vector<std::uint8_t> workbookModuleSource(std::string_view name);
std::vector<std::uint8_t> worksheetModuleSource(std::string_view name);

// The file. `codec` must be the code page of the spec.
std::vector<std::uint8_t> writeMacroWorkbook(const MacroWorkbookSpec& spec, const AnsiCodec& codec);

struct MacroWorkbook {
    BiffWorkbook workbook;
    std::optional<VbaProject> project;  // when the file has one
};

// Reads a workbook file: its workbook stream and, when present, its project.
OleRead<MacroWorkbook> readMacroWorkbook(std::span<const std::uint8_t> file, const AnsiCodec& codec);

}  // namespace kq::ole
