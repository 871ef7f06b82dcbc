#pragma once
// The macro project of a document, as the host stores it in a storage of the
// document's compound file:
//   PROJECT          the project's properties as text (modules, name, protection)
//   PROJECTwm        each module's name in the code page and in UTF-16
//   VBA/_VBA_PROJECT the version mark; ours makes the host compile the
//                    modules from their source rather than look for a cache
//   VBA/dir          the project's records, compressed: code page, name,
//                    references, and per module its name, stream and kind
//   VBA/<module>     each module's source, compressed
// Texts are stored in the project's code page; module sources are kept here
// as those stored bytes, every line ending CR LF.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/ole/compound_file.h"
#include "common/text_codec.h"

namespace kq::ole {

enum class VbaModuleKind : std::uint8_t {
    procedural,  // a standard module
    document,    // the module of a workbook or sheet (also class modules)
};

struct VbaModule {
    std::string name;  // also the name of its stream
    VbaModuleKind kind = VbaModuleKind::procedural;
    std::vector<std::uint8_t> source;  // in the project's code page
    friend bool operator==(const VbaModule&, const VbaModule&) = default;
};

// A registered type library the project refers to.
struct VbaReference {
    std::string name;   // "stdole"
    std::string libid;  // "*\G{00020430-0000-0000-C000-000000000046}#2.0#0#...#OLE Automation"
    friend bool operator==(const VbaReference&, const VbaReference&) = default;
};

struct VbaProject {
    std::string name;
    std::uint16_t codePage = 1252;
    std::string projectId;  // "{GUID}" in upper case
    std::vector<VbaReference> references;
    std::vector<VbaModule> modules;
    friend bool operator==(const VbaProject&, const VbaProject&) = default;
};

// The streams of the project under `storage`. `codec` converts names and
// texts to the project's code page, which it must be.
void writeVbaProject(CompoundFileWriter& file, std::string_view storage, const VbaProject& project,
                     const AnsiCodec& codec);

// The parts, each as stored (the dir stream before its compression).
std::vector<std::uint8_t> vbaDirStream(const VbaProject& project, const AnsiCodec& codec);
std::string vbaProjectText(const VbaProject& project);  // UTF-8; stored in the code page
std::vector<std::uint8_t> vbaProjectWm(const VbaProject& project, const AnsiCodec& codec);
std::vector<std::uint8_t> vbaVersionStream();

// The protection fields of the PROJECT text (CMG, DPB, GC) hide their bytes
// behind a simple obfuscation keyed by the project id; `seed` is its first
// byte. Gives the hex digits that the text holds.
std::string obfuscateProjectData(std::uint8_t seed, std::string_view projectId, std::span<const std::uint8_t> data);
// The bytes again; empty when the hex digits are damaged.
std::optional<std::vector<std::uint8_t>> revealProjectData(std::string_view hexDigits);

// What the dir stream says of a module.
struct VbaDirModule {
    std::string name;
    std::string streamName;
    std::uint32_t textOffset = 0;  // where the compressed source starts in its stream
    VbaModuleKind kind = VbaModuleKind::procedural;
};

struct VbaDir {
    std::string projectName;
    std::uint16_t codePage = 0;
    std::vector<VbaReference> references;
    std::vector<VbaDirModule> modules;
};

// Reads the dir stream's records (after decompression). Damaged when a record
// runs past the end, the terminator is missing or a module lacks its stream.
OleRead<VbaDir> readVbaDir(std::span<const std::uint8_t> records, const AnsiCodec& codec);

// The project under `storage`: its dir stream decompressed and read, every
// module's source decompressed (each at most `sourceLimit` bytes). The
// project id is not read (it is only in the PROJECT text).
OleRead<VbaProject> readVbaProject(const CompoundFile& file, std::string_view storage, const AnsiCodec& codec,
                                   std::size_t sourceLimit = 4 * 1024 * 1024);

}  // namespace kq::ole
