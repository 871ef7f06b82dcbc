// Drives the sheet-watch collection with custom document properties taken
// from the input, as a workbook someone else saved could hold them: loading
// them, registering a watch beside them, and storing twice.
//
// Input: the first byte chooses what happens besides loading (bits below);
// the rest is one property per line. A line with a record separator (0x1E)
// is a whole property, name before it and value after; any other line is the
// value of the watch property of sheet (line number mod 3). A name that is
// already taken is skipped, as the host refuses it.
//
// Beyond the sanitizers' findings: what loading keeps must be a sound watch,
// and once stored, a workbook read and stored again without changes must keep
// every property and every version, as a user who opens and saves changes
// nothing.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "addin/core/doc_pros.h"
#include "common/text_codec.h"
#include "host/sim/sim_application.h"

namespace {

namespace bits {
constexpr std::uint8_t kRegister = 1;       // register a watch on the first sheet, its fields from the last line
constexpr std::uint8_t kStoreOneSheet = 2;  // the first store is of the second sheet only
constexpr std::uint8_t kUnreadable = 4;     // the last property's value cannot be read
}  // namespace bits

constexpr std::array<const char*, 3> kSheets = {"Sheet1", "Report", "請求書"};

// Says which expectation failed: a finding is then read without a debugger.
void check(bool condition, int line = __builtin_LINE()) {
    if (condition) return;
    std::fprintf(stderr, "sheet_watch_fuzz: expectation at line %d failed\n", line);
    std::abort();
}

class FixedClock final : public kq::Clock {
public:
    kq::vb::DateTime now() const override { return {2024, 3, 5, 7, 8, 9}; }
};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

std::string_view field(const std::vector<std::string_view>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string_view();
}

struct World {
    World() {
        book = app->addWorkbook("Book1.xls", "C:\\books");
        for (const char* name : kSheets) sheets.push_back(book->addWorksheet(name));
        book->defineName("Total", "Sheet1!$B$2:$C$3");
    }
    std::shared_ptr<kq::host::sim::SimApplication> app = kq::host::sim::SimApplication::create();
    std::shared_ptr<kq::host::sim::SimWorkbook> book;
    std::vector<std::shared_ptr<kq::host::sim::SimWorksheet>> sheets;
};

bool noFieldBreak(std::string_view text) { return text.find_first_of("\t\r\n") == std::string_view::npos; }

// What loading keeps is what a registration could have made. A heading whose
// title or source is nothing but line breaks is kept by loading (it is not
// empty as stored) and then holds an empty text, since a record takes line
// breaks out: such input is only checked for soundness.
void checkLoadedWatch(const kq::addin::c_Xl_DocPro& record, bool lineBreaks) {
    check(kq::utf8ToUtf16(record.SheetId()).size() == 17 && kq::utf8ToUtf16(record.VersionId()).size() == 17);
    check(noFieldBreak(record.Category()));
    const std::string saveRange = record.SaveRange();
    check(saveRange.find_first_of("/|\t") == std::string::npos);
    for (int i = 1; i <= record.TitleCount(); ++i) {
        const std::string& title = record.TitleText(i);
        check((lineBreaks || !title.empty()) && title.find_first_of("/|") == std::string::npos &&
              noFieldBreak(title));
        const std::string source = record.ValueRange(i);
        check((lineBreaks || !source.empty()) && source.find_first_of("/|") == std::string::npos);
    }
}

std::vector<kq::host::sim::CustomProperty> propertiesOf(const World& world) {
    return world.book->properties()->all();
}

bool idsUnique(const std::vector<kq::host::sim::CustomProperty>& properties) {
    const std::string prefix = kq::addin::SheetWatchPropertyName("");
    std::set<std::string_view> ids;
    for (const auto& property : properties) {
        if (property.name.find(prefix) == std::string::npos) continue;
        if (!ids.insert(field(split(property.value, '\t'), 2)).second) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<std::string_view> lines = split(text, '\n');
    const bool lineBreaks = text.find('\r') != std::string_view::npos;

    World world;
    std::set<std::string> names;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        kq::host::sim::CustomProperty property;
        const std::size_t separator = lines[i].find('\x1e');
        if (separator == std::string_view::npos) {
            property.name = kq::addin::SheetWatchPropertyName(kSheets[i % kSheets.size()]);
            property.value = lines[i];
        } else {
            property.name = lines[i].substr(0, separator);
            property.value = lines[i].substr(separator + 1);
        }
        property.readable = !(options & bits::kUnreadable) || i + 1 < lines.size();
        if (names.insert(property.name).second) world.book->properties()->add(std::move(property));
    }

    FixedClock clock;
    int draws = 0;
    kq::addin::c_Xl_DocPros pros(clock, [&draws] { return (draws++ % 26) / 26.0; });
    pros.LoadFromDocProps(world.book);

    int watched = 0;
    for (const auto& sheet : world.sheets) {
        const auto record = pros.Find(sheet);
        if (!record) continue;
        checkLoadedWatch(*record, lineBreaks);
        ++watched;
    }

    // The registration dialog makes its ids with CalcNewId and refuses "/" and
    // "|" in what it stores; a registration outside that is stored, but is not
    // expected to read back as it was.
    bool asTheDialogRegisters = true;
    if ((options & bits::kRegister) && !pros.Find(world.sheets[0])) {
        const std::vector<std::string_view> fields = split(lines.back(), '\t');
        const std::string_view sheetId = field(fields, 2);
        const std::string_view versionId = field(fields, 3);
        pros.Add(world.book, world.sheets[0], field(fields, 1), sheetId, versionId, field(fields, 4),
                 {std::string(field(fields, 5))}, {std::string(field(fields, 6))}, {0});
        ++watched;
        const auto plain = [](std::string_view text) {
            return !text.empty() && text.find_first_of("/|") == std::string_view::npos && noFieldBreak(text);
        };
        asTheDialogRegisters = kq::utf8ToUtf16(sheetId).size() == 17 && kq::utf8ToUtf16(versionId).size() == 17 &&
                               field(fields, 4).find_first_of("/|") == std::string_view::npos &&
                               plain(field(fields, 5)) && plain(field(fields, 6));
    }

    const auto onlySheet = (options & bits::kStoreOneSheet) ? world.sheets[1] : nullptr;
    std::int32_t flags = 0;
    try {
        flags = pros.SaveToDocProps(world.book, onlySheet);
    } catch (const kq::host::HostError&) {
        // The host refuses a property text over its length limit; the
        // registration dialog refuses such a watch before it is stored, the
        // fuzzer's watches are added directly.
        return 0;
    }
    check(flags >= 0 && flags <= 4 * watched);
    // Read and stored again with nothing changed: nothing is written, no version
    // is renewed. Expected only where every SheetId stands in one property:
    // storing finds a watch's property by its SheetId, whatever sheet name
    // another property with that id carries.
    const auto stored = propertiesOf(world);
    if (onlySheet || lineBreaks || !asTheDialogRegisters || !idsUnique(stored)) return 0;
    pros.LoadFromDocProps(world.book);
    check(propertiesOf(world) == stored);
    int reloaded = 0;
    for (const auto& sheet : world.sheets) reloaded += pros.Find(sheet) ? 1 : 0;
    check(pros.SaveToDocProps(world.book, nullptr) == 2 * reloaded);
    check(propertiesOf(world) == stored);
    return 0;
}
