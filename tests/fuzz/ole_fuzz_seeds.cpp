// Writes the seeds of ole_reader_fuzz into a folder: one valid input for each
// of its readers, made by our own writers.
//   ole_fuzz_seeds <folder>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/ole/macro_workbook.h"
#include "common/ole/vba_compression.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

bool writeSeed(const std::string& folder, const std::string& name, std::uint8_t reader, const Bytes& input) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(reader));
    out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    using namespace kq::ole;
    const kq::AnsiCodec& codec = kq::systemAnsiCodec();
    const Bytes source = bytesOf(
        "Attribute VB_Name = \"Module1\"\r\nOption Explicit\r\n\r\nPublic Sub Run()\r\n"
        "    MsgBox \"Err:\" & Err.Number & vbCrLf & Err.Description, vbCritical, \"Title\"\r\nEnd Sub\r\n");
    Bytes noise(5000);
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);

    MacroWorkbookSpec spec;
    spec.addIn = true;
    spec.projectName = "Seed";
    spec.projectId = "{00000000-0000-0000-0000-000000000001}";
    spec.sheets = {{"Sheet1", "Sheet1"}};
    spec.modules = {{"Module1", VbaModuleKind::procedural, source}};
    const VbaProject project{"Seed", 932, spec.projectId, {}, {{"Module1", VbaModuleKind::procedural, source}}};

    const std::string folder = argv[1];
    const bool written = writeSeed(folder, "compressed_text", 0, compressVba(source)) &&
                         writeSeed(folder, "compressed_raw_chunks", 0, compressVba(noise)) &&
                         writeSeed(folder, "dir_stream", 1, vbaDirStream(project, codec)) &&
                         writeSeed(folder, "workbook_stream", 2, writeBiffWorkbook({true, true, "ThisWorkbook", spec.sheets})) &&
                         writeSeed(folder, "macro_workbook", 3, writeMacroWorkbook(spec, codec));
    if (!written) {
        std::fprintf(stderr, "ole_fuzz_seeds: cannot write the seeds into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
