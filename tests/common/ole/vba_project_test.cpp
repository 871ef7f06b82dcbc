#include "common/ole/vba_project.h"

#include <gtest/gtest.h>

#include "common/ole/vba_compression.h"

namespace kq::ole {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

VbaProject sampleProject() {
    VbaProject project;
    project.name = "Sample_Project";
    project.codePage = 932;
    project.projectId = "{917DED54-440B-4FD1-A5C1-74ACF261E600}";
    project.references = {{"stdole", "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE Automation"}};
    project.modules = {
        {"ThisWorkbook", VbaModuleKind::document, bytesOf("Attribute VB_Name = \"ThisWorkbook\"\r\n")},
        {"Module1", VbaModuleKind::procedural, bytesOf("Attribute VB_Name = \"Module1\"\r\nSub A()\r\nEnd Sub\r\n")},
        {"\xE9\x9B\x86\xE8\xA8\x88", VbaModuleKind::procedural, bytesOf("' a module with a Japanese name\r\n")},
    };
    return project;
}

TEST(VbaProject, DirStreamReadsBackWhatWasWritten) {
    const VbaProject project = sampleProject();
    const auto dir = readVbaDir(vbaDirStream(project, systemAnsiCodec()), systemAnsiCodec());
    ASSERT_TRUE(dir) << dir.damage;
    EXPECT_EQ(dir->projectName, "Sample_Project");
    EXPECT_EQ(dir->codePage, 932);
    EXPECT_EQ(dir->references, project.references);
    ASSERT_EQ(dir->modules.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dir->modules[i].name, project.modules[i].name);
        EXPECT_EQ(dir->modules[i].streamName, project.modules[i].name);
        EXPECT_EQ(dir->modules[i].kind, project.modules[i].kind);
        EXPECT_EQ(dir->modules[i].textOffset, 0u);
    }
}

TEST(VbaProject, ProjectReadsBackFromItsStorage) {
    const VbaProject project = sampleProject();
    CompoundFileWriter writer;
    writeVbaProject(writer, "_VBA_PROJECT_CUR", project, systemAnsiCodec());
    const auto file = CompoundFile::read(writer.bytes());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->stream("_VBA_PROJECT_CUR/VBA/_VBA_PROJECT"), (Bytes{0xCC, 0x61, 0xFF, 0xFF, 0x00, 0x01, 0x00}));
    const auto read = readVbaProject(*file, "_VBA_PROJECT_CUR", systemAnsiCodec());
    ASSERT_TRUE(read) << read.damage;
    VbaProject expected = project;
    expected.projectId.clear();  // only the PROJECT text has it
    EXPECT_EQ(*read, expected);
}

// The PROJECT text names every module by kind, in the project's code page.
TEST(VbaProject, ProjectTextListsTheModules) {
    const std::string text = vbaProjectText(sampleProject());
    EXPECT_EQ(text.rfind("ID=\"{917DED54-440B-4FD1-A5C1-74ACF261E600}\"\r\n", 0), 0u);
    for (const char* line : {"Document=ThisWorkbook/&H00000000\r\n", "Module=Module1\r\n", "Name=\"Sample_Project\"\r\n",
                             "[Host Extender Info]\r\n&H00000001={3832D640-CF90-11CF-8E43-00A0C911005A};VBE;&H00000000\r\n",
                             "[Workspace]\r\nThisWorkbook=0, 0, 0, 0, C\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(VbaProject, ModuleNamesMapNamesTheModulesTwice) {
    VbaProject project;
    project.modules = {{"Ab", VbaModuleKind::procedural, {}}};
    EXPECT_EQ(vbaProjectWm(project, systemAnsiCodec()), (Bytes{'A', 'b', 0, 'A', 0, 'b', 0, 0, 0, 0, 0}));
}

// The published example's protection fields, and ours read back with any seed.
TEST(VbaProject, ProtectionFieldsHideAndRevealTheirBytes) {
    const std::string id = "{917DED54-440B-4FD1-A5C1-74ACF261E600}";
    EXPECT_EQ(revealProjectData("0705D8E3D8EDDBF1DBF1DBF1DBF1"), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(revealProjectData("0E0CD1ECDFF4E7F5E7F5E7"), Bytes{0x00});
    EXPECT_EQ(revealProjectData("0705d8e3d8eddbf1dbf1dbf1dbf1"), (Bytes{0, 0, 0, 0}));  // hex digits in either case
    EXPECT_EQ(obfuscateProjectData(0x07, id, Bytes{0, 0, 0, 0}).substr(0, 6), "0705D8");
    for (int seed = 0; seed < 256; ++seed) {
        for (const Bytes& data : {Bytes{}, Bytes{0xFF}, Bytes{0, 0, 0, 0}, Bytes(29, 0x5A)}) {
            const std::string hex = obfuscateProjectData(static_cast<std::uint8_t>(seed), id, data);
            EXPECT_EQ(hex.size(), 2 * (3 + ((seed & 6) >> 1) + 4 + data.size()));
            EXPECT_EQ(revealProjectData(hex), data) << seed;
        }
    }
    for (const char* damaged : {"", "0705D8E3D8EDDBF1DBF1DBF1DB", "0705D8E3D8EDDBF1DBF1DBF1DBF1AA", "0705", "0805D8E3D8EDDBF1DBF1DBF1DBF1",
                                "07X5D8E3D8EDDBF1DBF1DBF1DBF1"}) {
        EXPECT_FALSE(revealProjectData(damaged)) << damaged;
    }
}

// A dir stream cut anywhere, or with a record out of place, is damaged.
TEST(VbaProject, DamagedDirStreamsAreReported) {
    const Bytes good = vbaDirStream(sampleProject(), systemAnsiCodec());
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(readVbaDir(std::span(good).first(size), systemAnsiCodec())) << "cut at " << size;
    }
    const auto record = [](std::uint16_t id, Bytes data = {}) {
        Bytes out{static_cast<std::uint8_t>(id & 0xFF), static_cast<std::uint8_t>(id >> 8)};
        const auto size = static_cast<std::uint32_t>(data.size());
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(size >> shift));
        out.insert(out.end(), data.begin(), data.end());
        return out;
    };
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes out;
        for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    struct Case {
        const char* name;
        Bytes records;
    };
    const Case cases[] = {
        {"module before the module list", join({record(0x0019, bytesOf("M")), record(0x002B), record(0x0010)})},
        {"module without a stream", join({record(0x000F, {1, 0}), record(0x0019, bytesOf("M")), record(0x002B), record(0x0010)})},
        {"end inside a module",
         join({record(0x000F, {1, 0}), record(0x0019, bytesOf("M")), record(0x001A, bytesOf("M")), record(0x0010)})},
        {"size past the end", join({record(0x0004, bytesOf("P")), Bytes{0x10, 0x00, 0xFF, 0xFF, 0xFF, 0x7F}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dir = readVbaDir(c.records, systemAnsiCodec());
        EXPECT_FALSE(dir);
        EXPECT_FALSE(dir.damage.empty());
    }
}

TEST(VbaProject, ProjectWithAMissingOrBadModuleStreamIsDamaged) {
    const VbaProject project = sampleProject();
    for (const char* broken : {"missing", "not compressed", "empty"}) {
        SCOPED_TRACE(broken);
        CompoundFileWriter writer;
        VbaProject shown = project;
        shown.modules.pop_back();
        // The dir stream lists all three modules; the third module's stream is made broken.
        writer.addStream("P/VBA/dir", compressVba(vbaDirStream(project, systemAnsiCodec())));
        for (const VbaModule& m : shown.modules) writer.addStream("P/VBA/" + m.name, compressVba(m.source));
        const std::string third = "P/VBA/" + project.modules[2].name;
        if (std::string_view(broken) == "not compressed") writer.addStream(third, bytesOf("plain"));
        if (std::string_view(broken) == "empty") writer.addStream(third, {});
        const auto file = CompoundFile::read(writer.bytes());
        ASSERT_TRUE(file);
        const auto read = readVbaProject(*file, "P", systemAnsiCodec());
        EXPECT_FALSE(read);
        if (std::string_view(broken) != "missing") {
            EXPECT_NE(read.damage.find("does not decompress"), std::string::npos) << read.damage;
        }
    }
}

}  // namespace
}  // namespace kq::ole
