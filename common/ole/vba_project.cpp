#include "common/ole/vba_project.h"

#include <stdexcept>

#include "common/ole/little_endian.h"
#include "common/ole/vba_compression.h"

namespace kq::ole {
namespace {

// Record ids of the dir stream.
namespace id {
constexpr std::uint16_t kSysKind = 0x0001;
constexpr std::uint16_t kLcid = 0x0002;
constexpr std::uint16_t kCodePage = 0x0003;
constexpr std::uint16_t kName = 0x0004;
constexpr std::uint16_t kDocString = 0x0005;
constexpr std::uint16_t kHelpFile = 0x0006;
constexpr std::uint16_t kHelpContext = 0x0007;
constexpr std::uint16_t kLibFlags = 0x0008;
constexpr std::uint16_t kVersion = 0x0009;
constexpr std::uint16_t kConstants = 0x000C;
constexpr std::uint16_t kReferenceRegistered = 0x000D;
constexpr std::uint16_t kModules = 0x000F;
constexpr std::uint16_t kEnd = 0x0010;
constexpr std::uint16_t kCookie = 0x0013;
constexpr std::uint16_t kLcidInvoke = 0x0014;
constexpr std::uint16_t kReferenceName = 0x0016;
constexpr std::uint16_t kModuleName = 0x0019;
constexpr std::uint16_t kModuleStreamName = 0x001A;
constexpr std::uint16_t kModuleDocString = 0x001C;
constexpr std::uint16_t kModuleHelpContext = 0x001E;
constexpr std::uint16_t kModuleProcedural = 0x0021;
constexpr std::uint16_t kModuleDocument = 0x0022;
constexpr std::uint16_t kModuleEnd = 0x002B;
constexpr std::uint16_t kModuleCookie = 0x002C;
constexpr std::uint16_t kModuleOffset = 0x0031;
constexpr std::uint16_t kModuleStreamNameUnicode = 0x0032;
constexpr std::uint16_t kConstantsUnicode = 0x003C;
constexpr std::uint16_t kHelpFile2 = 0x003D;
constexpr std::uint16_t kReferenceNameUnicode = 0x003E;
constexpr std::uint16_t kDocStringUnicode = 0x0040;
constexpr std::uint16_t kModuleNameUnicode = 0x0047;
constexpr std::uint16_t kModuleDocStringUnicode = 0x0048;
}  // namespace id

constexpr std::uint32_t kSysKindWin32 = 1;
constexpr std::uint32_t kLcidEnglish = 0x0409;  // the format requires it whatever the user's language
constexpr std::uint16_t kNoCookie = 0xFFFF;
constexpr char kVbeExtender[] = "{3832D640-CF90-11CF-8E43-00A0C911005A}";
constexpr char kCrLf[] = "\r\n";

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> utf16Bytes(std::string_view utf8) {
    std::vector<std::uint8_t> out;
    for (char16_t unit : utf8ToUtf16(utf8)) appendLe16(out, unit);
    return out;
}

std::string textOfUtf16(std::span<const std::uint8_t> bytes) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<char16_t>(loadLe16(bytes.subspan(i))));
    return utf16ToUtf8(units);
}

class DirWriter {
public:
    void record(std::uint16_t recordId, std::span<const std::uint8_t> data) {
        appendLe16(out, recordId);
        appendLe32(out, static_cast<std::uint32_t>(data.size()));
        appendBytes(out, data);
    }
    void record16(std::uint16_t recordId, std::uint16_t value) {
        std::vector<std::uint8_t> data;
        appendLe16(data, value);
        record(recordId, data);
    }
    void record32(std::uint16_t recordId, std::uint32_t value) {
        std::vector<std::uint8_t> data;
        appendLe32(data, value);
        record(recordId, data);
    }
    // A text in the code page followed by the same text in UTF-16 under its own id.
    void texts(std::uint16_t recordId, std::uint16_t unicodeId, std::string_view utf8, const AnsiCodec& codec) {
        record(recordId, bytesOf(codec.toAnsi(utf8)));
        record(unicodeId, utf16Bytes(utf8));
    }
    std::vector<std::uint8_t> out;
};

std::string hexDigits(std::span<const std::uint8_t> bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

std::string joinPath(std::string_view storage, std::string_view name) {
    std::string path(storage);
    if (!path.empty()) path += '/';
    return path.append(name);
}

}  // namespace

std::vector<std::uint8_t> vbaDirStream(const VbaProject& project, const AnsiCodec& codec) {
    DirWriter dir;
    dir.record32(id::kSysKind, kSysKindWin32);
    dir.record32(id::kLcid, kLcidEnglish);
    dir.record32(id::kLcidInvoke, kLcidEnglish);
    dir.record16(id::kCodePage, project.codePage);
    dir.record(id::kName, bytesOf(codec.toAnsi(project.name)));
    dir.texts(id::kDocString, id::kDocStringUnicode, "", codec);
    dir.texts(id::kHelpFile, id::kHelpFile2, "", codec);
    dir.record32(id::kHelpContext, 0);
    dir.record32(id::kLibFlags, 0);
    // The version record's size field says 4 but 6 bytes follow: major and minor.
    appendLe16(dir.out, id::kVersion);
    appendLe32(dir.out, 4);
    appendLe32(dir.out, 1);
    appendLe16(dir.out, 0);
    dir.texts(id::kConstants, id::kConstantsUnicode, "", codec);

    for (const VbaReference& reference : project.references) {
        dir.texts(id::kReferenceName, id::kReferenceNameUnicode, reference.name, codec);
        const std::string libid = codec.toAnsi(reference.libid);
        std::vector<std::uint8_t> data;
        appendLe32(data, static_cast<std::uint32_t>(libid.size()));
        appendText(data, libid);
        appendLe32(data, 0);
        appendLe16(data, 0);
        dir.record(id::kReferenceRegistered, data);
    }

    dir.record16(id::kModules, static_cast<std::uint16_t>(project.modules.size()));
    dir.record16(id::kCookie, kNoCookie);
    for (const VbaModule& module : project.modules) {
        dir.record(id::kModuleName, bytesOf(codec.toAnsi(module.name)));
        dir.record(id::kModuleNameUnicode, utf16Bytes(module.name));
        dir.texts(id::kModuleStreamName, id::kModuleStreamNameUnicode, module.name, codec);
        dir.texts(id::kModuleDocString, id::kModuleDocStringUnicode, "", codec);
        dir.record32(id::kModuleOffset, 0);
        dir.record32(id::kModuleHelpContext, 0);
        dir.record16(id::kModuleCookie, kNoCookie);
        dir.record(module.kind == VbaModuleKind::document ? id::kModuleDocument : id::kModuleProcedural, {});
        dir.record(id::kModuleEnd, {});
    }
    dir.record(id::kEnd, {});
    return std::move(dir.out);
}

std::string obfuscateProjectData(std::uint8_t seed, std::string_view projectId, std::span<const std::uint8_t> data) {
    constexpr std::uint8_t kVersion = 2;
    std::uint8_t key = 0;
    for (char c : projectId) key = static_cast<std::uint8_t>(key + static_cast<std::uint8_t>(c));
    std::vector<std::uint8_t> out{seed, static_cast<std::uint8_t>(seed ^ kVersion), static_cast<std::uint8_t>(seed ^ key)};
    std::uint8_t plainBefore = key, encryptedBefore = out[2], encryptedTwoBefore = out[1];
    const auto put = [&](std::uint8_t plain) {
        const auto encrypted = static_cast<std::uint8_t>(plain ^ static_cast<std::uint8_t>(encryptedTwoBefore + plainBefore));
        out.push_back(encrypted);
        encryptedTwoBefore = encryptedBefore;
        encryptedBefore = encrypted;
        plainBefore = plain;
    };
    // Filler bytes whose count the seed decides; their value does not matter.
    for (int i = 0; i < ((seed & 6) >> 1); ++i) put(0);
    for (int shift = 0; shift < 32; shift += 8) put(static_cast<std::uint8_t>((data.size() >> shift) & 0xFF));
    for (std::uint8_t b : data) put(b);
    return hexDigits(out);
}

std::optional<std::vector<std::uint8_t>> revealProjectData(std::string_view hexDigitsText) {
    if (hexDigitsText.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hexDigitsText.size(); i += 2) {
        int value = 0;
        for (char c : hexDigitsText.substr(i, 2)) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    if (bytes.size() < 3 || (bytes[0] ^ bytes[1]) != 2) return std::nullopt;
    const std::uint8_t seed = bytes[0];
    std::uint8_t plainBefore = static_cast<std::uint8_t>(bytes[2] ^ seed);
    std::uint8_t encryptedBefore = bytes[2], encryptedTwoBefore = bytes[1];
    std::size_t at = 3;
    const auto take = [&]() -> std::optional<std::uint8_t> {
        if (at >= bytes.size()) return std::nullopt;
        const std::uint8_t encrypted = bytes[at++];
        const auto plain = static_cast<std::uint8_t>(encrypted ^ static_cast<std::uint8_t>(encryptedTwoBefore + plainBefore));
        encryptedTwoBefore = encryptedBefore;
        encryptedBefore = encrypted;
        plainBefore = plain;
        return plain;
    };
    for (int i = 0; i < ((seed & 6) >> 1); ++i) {
        if (!take()) return std::nullopt;
    }
    std::uint32_t length = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto b = take();
        if (!b) return std::nullopt;
        length |= std::uint32_t{*b} << shift;
    }
    if (length != bytes.size() - at) return std::nullopt;
    std::vector<std::uint8_t> data;
    while (at < bytes.size()) data.push_back(*take());
    return data;
}

std::string vbaProjectText(const VbaProject& project) {
    constexpr std::uint8_t kNotProtected[4] = {0, 0, 0, 0};
    constexpr std::uint8_t kNoPassword[1] = {0x00};
    constexpr std::uint8_t kVisible[1] = {0xFF};
    std::string text;
    const auto line = [&](std::initializer_list<std::string_view> parts) {
        for (std::string_view part : parts) text.append(part);
        text.append(kCrLf);
    };
    line({"ID=\"", project.projectId, "\""});
    for (const VbaModule& module : project.modules) {
        if (module.kind == VbaModuleKind::document) {
            line({"Document=", module.name, "/&H00000000"});
        } else {
            line({"Module=", module.name});
        }
    }
    line({"Name=\"", project.name, "\""});
    line({"HelpContextID=\"0\""});
    line({"VersionCompatible32=\"393222000\""});
    // Fixed seeds keep the file the same from build to build.
    line({"CMG=\"", obfuscateProjectData(0x21, project.projectId, kNotProtected), "\""});
    line({"DPB=\"", obfuscateProjectData(0x43, project.projectId, kNoPassword), "\""});
    line({"GC=\"", obfuscateProjectData(0x65, project.projectId, kVisible), "\""});
    line({});
    line({"[Host Extender Info]"});
    line({"&H00000001=", kVbeExtender, ";VBE;&H00000000"});
    line({});
    line({"[Workspace]"});
    for (const VbaModule& module : project.modules) line({module.name, "=0, 0, 0, 0, C"});
    return text;
}

std::vector<std::uint8_t> vbaProjectWm(const VbaProject& project, const AnsiCodec& codec) {
    std::vector<std::uint8_t> out;
    for (const VbaModule& module : project.modules) {
        appendText(out, codec.toAnsi(module.name));
        out.push_back(0);
        appendBytes(out, utf16Bytes(module.name));
        appendLe16(out, 0);
    }
    appendLe16(out, 0);
    return out;
}

std::vector<std::uint8_t> vbaVersionStream() {
    // The reserved mark, then version 0xFFFF: no version's cache, compile from source.
    return {0xCC, 0x61, 0xFF, 0xFF, 0x00, 0x01, 0x00};
}

void writeVbaProject(CompoundFileWriter& file, std::string_view storage, const VbaProject& project,
                     const AnsiCodec& codec) {
    file.addStream(joinPath(storage, "PROJECT"), bytesOf(codec.toAnsi(vbaProjectText(project))));
    file.addStream(joinPath(storage, "PROJECTwm"), vbaProjectWm(project, codec));
    const std::string vba = joinPath(storage, "VBA");
    file.addStream(joinPath(vba, "_VBA_PROJECT"), vbaVersionStream());
    file.addStream(joinPath(vba, "dir"), compressVba(vbaDirStream(project, codec)));
    for (const VbaModule& module : project.modules) file.addStream(joinPath(vba, module.name), compressVba(module.source));
}

OleRead<VbaDir> readVbaDir(std::span<const std::uint8_t> records, const AnsiCodec& codec) {
    using Result = OleRead<VbaDir>;
    VbaDir dir;
    ByteCursor cursor(records);
    std::string referenceName;
    VbaDirModule* module = nullptr;
    bool modulesStarted = false;
    for (;;) {
        const std::uint16_t recordId = cursor.u16();
        const std::uint32_t size = cursor.u32();
        // The version record holds two bytes more than its size says.
        const auto data = cursor.take(recordId == id::kVersion ? std::size_t{size} + 2 : size);
        if (!cursor.ok()) return Result::failed("the dir stream ends inside a record");
        ByteCursor fields(data);
        switch (recordId) {
            case id::kCodePage:
                dir.codePage = fields.u16();
                break;
            case id::kName:
                dir.projectName = codec.fromAnsi(std::string(data.begin(), data.end()));
                break;
            case id::kReferenceName:
                referenceName = codec.fromAnsi(std::string(data.begin(), data.end()));
                break;
            case id::kReferenceNameUnicode:
                if (!data.empty()) referenceName = textOfUtf16(data);
                break;
            case id::kReferenceRegistered: {
                const std::uint32_t length = fields.u32();
                const std::string libid = fields.text(length);
                if (!fields.ok()) return Result::failed("a reference of the dir stream is damaged");
                dir.references.push_back({referenceName, codec.fromAnsi(libid)});
                referenceName.clear();
                break;
            }
            case id::kModules:
                modulesStarted = true;
                break;
            case id::kModuleName:
                if (!modulesStarted || module) return Result::failed("a module of the dir stream is out of place");
                dir.modules.emplace_back();
                dir.modules.back().name = codec.fromAnsi(std::string(data.begin(), data.end()));
                module = &dir.modules.back();
                break;
            case id::kModuleNameUnicode:
            case id::kModuleStreamName:
            case id::kModuleStreamNameUnicode:
            case id::kModuleOffset:
            case id::kModuleProcedural:
            case id::kModuleDocument:
            case id::kModuleEnd:
                if (!module) return Result::failed("a module of the dir stream is out of place");
                // The UTF-16 forms, where given, are what the names are.
                if (recordId == id::kModuleNameUnicode && !data.empty()) module->name = textOfUtf16(data);
                if (recordId == id::kModuleStreamName) module->streamName = codec.fromAnsi(std::string(data.begin(), data.end()));
                if (recordId == id::kModuleStreamNameUnicode && !data.empty()) module->streamName = textOfUtf16(data);
                if (recordId == id::kModuleOffset) module->textOffset = fields.u32();
                if (recordId == id::kModuleDocument) module->kind = VbaModuleKind::document;
                if (recordId == id::kModuleEnd) {
                    if (module->streamName.empty()) return Result::failed("a module of the dir stream has no stream");
                    module = nullptr;
                }
                break;
            case id::kEnd:
                if (module) return Result::failed("the dir stream ends inside a module");
                return {std::move(dir), {}};
            default:
                break;
        }
        if (!fields.ok()) return Result::failed("a record of the dir stream is too short");
    }
}

OleRead<VbaProject> readVbaProject(const CompoundFile& file, std::string_view storage, const AnsiCodec& codec,
                                   std::size_t sourceLimit) {
    using Result = OleRead<VbaProject>;
    const std::string vba = joinPath(storage, "VBA");
    const auto dirBytes = file.stream(joinPath(vba, "dir"));
    if (!dirBytes) return Result::failed("there is no readable dir stream");
    const auto records = decompressVba(*dirBytes, sourceLimit);
    if (!records) return Result::failed("the dir stream does not decompress");
    auto dir = readVbaDir(*records, codec);
    if (!dir) return Result::failed(dir.damage);

    VbaProject project;
    project.name = dir->projectName;
    project.codePage = dir->codePage;
    project.references = dir->references;
    for (const VbaDirModule& entry : dir->modules) {
        const auto stream = file.stream(joinPath(vba, entry.streamName));
        const auto damaged = [&](std::string_view why) { return Result::failed(std::string("module ").append(entry.name).append(why)); };
        if (!stream) return damaged(": its stream is missing");
        if (entry.textOffset > stream->size()) return damaged(": its source lies outside its stream");
        auto source = decompressVba(std::span(*stream).subspan(entry.textOffset), sourceLimit);
        if (!source) return damaged(": its source does not decompress");
        project.modules.push_back({entry.name, entry.kind, std::move(*source)});
    }
    return {std::move(project), {}};
}

}  // namespace kq::ole
