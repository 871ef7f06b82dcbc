#include "tools/xla/helper_workbook.h"

#include <algorithm>
#include <cctype>

namespace kq::xla {
namespace {

constexpr std::uint16_t kJapaneseCodePage = 932;
constexpr std::string_view kSheetName = "Sheet1";
constexpr char kStdOle[] = "*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#C:\\Windows\\system32\\stdole2.tlb#OLE Automation";

// A project id that stays the same from build to build: the name's hash in GUID form.
std::string projectIdFor(std::string_view projectName) {
    std::uint64_t hash = 14695981039346656037ull;
    std::string id;
    for (int round = 0; round < 2; ++round) {
        for (char c : projectName) hash = (hash ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (int shift = 60; shift >= 0; shift -= 4) id += kHex[(hash >> shift) & 0xF];
    }
    std::string guid(1, '{');
    guid.append(id, 0, 8).append(1, '-').append(id, 8, 4).append(1, '-').append(id, 12, 4).append(1, '-');
    guid.append(id, 16, 4).append(1, '-').append(id, 20, 12).append(1, '}');
    return guid;
}

}  // namespace

std::vector<std::uint8_t> storedSource(std::string_view utf8, const kq::AnsiCodec& codec) {
    std::string text;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t end = utf8.find('\n', at);
        std::string_view line = utf8.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.append(line).append("\r\n");
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    const std::string stored = codec.toAnsi(text);
    if (codec.fromAnsi(stored) != text) throw SourceError("the source holds characters that code page 932 cannot hold");
    return {stored.begin(), stored.end()};
}

std::string moduleName(std::string_view source) {
    constexpr std::string_view kStart = "Attribute VB_Name = \"";
    const std::size_t end = source.starts_with(kStart) ? source.find('"', kStart.size()) : std::string_view::npos;
    const std::string_view name = end == std::string_view::npos ? std::string_view{} : source.substr(kStart.size(), end - kStart.size());
    const bool identifier = !name.empty() && std::isalpha(static_cast<unsigned char>(name[0])) &&
                            std::all_of(name.begin(), name.end(), [](char c) {
                                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                            });
    if (!identifier) throw SourceError("the source does not begin with Attribute VB_Name = \"name\"");
    return std::string(name);
}

ole::MacroWorkbookSpec helperWorkbookSpec(std::string_view projectName, const std::vector<std::string>& sources,
                                          const kq::AnsiCodec& codec) {
    ole::MacroWorkbookSpec spec;
    spec.addIn = true;
    spec.projectName = std::string(projectName);
    spec.projectId = projectIdFor(projectName);
    spec.codePage = kJapaneseCodePage;
    spec.sheets.push_back({std::string(kSheetName), std::string(kSheetName)});
    spec.references.push_back({"stdole", kStdOle});
    for (const std::string& source : sources) {
        spec.modules.push_back({moduleName(source), ole::VbaModuleKind::procedural, storedSource(source, codec)});
    }
    return spec;
}

}  // namespace kq::xla
