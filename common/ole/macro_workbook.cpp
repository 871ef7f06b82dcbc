#include "common/ole/macro_workbook.h"

namespace kq::ole {
namespace {

// The host's classes of a workbook and of a worksheet.
constexpr std::string_view kWorkbookClass = "{00020819-0000-0000-C000-000000000046}";
constexpr std::string_view kWorksheetClass = "{00020820-0000-0000-C000-000000000046}";

std::vector<std::uint8_t> documentModuleSource(std::string_view name, std::string_view hostClass) {
    std::string text = "Attribute VB_Name = \"";
    text.append(name).append("\"\r\nAttribute VB_Base = \"0").append(hostClass).append("\"\r\n");
    text +=
        "Attribute VB_GlobalNameSpace = False\r\n"
        "Attribute VB_Creatable = False\r\n"
        "Attribute VB_PredeclaredId = True\r\n"
        "Attribute VB_Exposed = True\r\n"
        "Attribute VB_TemplateDerived = False\r\n"
        "Attribute VB_Customizable = True\r\n";
    return {text.begin(), text.end()};
}

}  // namespace

std::vector<std::uint8_t> workbookModuleSource(std::string_view name) { return documentModuleSource(name, kWorkbookClass); }

std::vector<std::uint8_t> worksheetModuleSource(std::string_view name) {
    return documentModuleSource(name, kWorksheetClass);
}

std::vector<std::uint8_t> writeMacroWorkbook(const MacroWorkbookSpec& spec, const AnsiCodec& codec) {
    VbaProject project{spec.projectName, spec.codePage, spec.projectId, spec.references, {}};
    project.modules.push_back({spec.workbookModule, VbaModuleKind::document, workbookModuleSource(spec.workbookModule)});
    for (const BiffSheet& sheet : spec.sheets) {
        project.modules.push_back({sheet.codeName, VbaModuleKind::document, worksheetModuleSource(sheet.codeName)});
    }
    project.modules.insert(project.modules.end(), spec.modules.begin(), spec.modules.end());

    CompoundFileWriter file;
    file.addStream(kWorkbookStream, writeBiffWorkbook({spec.addIn, true, spec.workbookModule, spec.sheets}));
    writeVbaProject(file, kProjectStorage, project, codec);
    return file.bytes();
}

OleRead<MacroWorkbook> readMacroWorkbook(std::span<const std::uint8_t> bytes, const AnsiCodec& codec) {
    using Result = OleRead<MacroWorkbook>;
    const auto file = CompoundFile::read(bytes);
    if (!file) return Result::failed(file.damage);
    const auto stream = file->stream(kWorkbookStream);
    if (!stream) return Result::failed("there is no workbook stream");
    auto workbook = readBiffWorkbook(*stream);
    if (!workbook) return Result::failed(workbook.damage);
    MacroWorkbook result{std::move(*workbook.value), std::nullopt};
    if (file->hasStream(std::string(kProjectStorage).append("/VBA/dir"))) {
        auto project = readVbaProject(*file, kProjectStorage, codec);
        if (!project) return Result::failed(project.damage);
        result.project = std::move(*project.value);
    }
    return {std::move(result), {}};
}

}  // namespace kq::ole
