#include "addin/core/doc_pros.h"

#include <chrono>
#include <optional>
#include <random>
#include <utility>

#include "addin/core/texts.h"
#include "common/text_codec.h"
#include "common/vb.h"

namespace kq::addin {

namespace {

// Splits as the Basic runtime does: an empty text gives no parts at all.
std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string part(const std::vector<std::string>& parts, std::size_t index) {
    return index < parts.size() ? parts[index] : std::string();
}

// Workbook and sheet names differ from each other in more than letter case.
std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Ids are counted in the host's characters, not in bytes.
std::size_t hostLength(std::string_view text) { return utf8ToUtf16(text).size(); }

// "the leading number rounded to a whole number"; empty when it does not fit.
std::optional<std::int32_t> leadingWholeNumber(const std::vector<std::string>& parts, std::size_t index) {
    if (index >= parts.size()) return 0;
    return vb::CLng(vb::Val(parts[index]));
}

constexpr std::size_t kIdLength = 17;
constexpr std::size_t kCategoryField = 1;
constexpr std::size_t kSheetIdField = 2;
constexpr std::size_t kVersionIdField = 3;
constexpr std::size_t kSaveRangeField = 4;
constexpr std::size_t kHeadingsField = 5;

bool sameBookAndSheet(host::Workbook& book, host::Worksheet& sheet, host::Worksheet& other) {
    const host::WorkbookPtr parent = other.Parent();
    return parent && upper(book.Path()) == upper(parent->Path()) && upper(book.Name()) == upper(parent->Name()) &&
           upper(sheet.Name()) == upper(other.Name());
}

bool matches(const c_Xl_DocPro& record, const host::WorksheetPtr& sheet) {
    const host::WorkbookPtr& book = record.Book();
    const host::WorksheetPtr recordSheet = record.Sheet();
    if (!book || !recordSheet) return false;
    return sameBookAndSheet(*book, *recordSheet, *sheet);
}

// Only what the recorded files are grouped by makes a new version: the
// category and the headings' titles and value types.
bool needsNewVersion(const std::vector<std::string>& old, const c_Xl_DocPro& record) {
    if (part(old, kCategoryField) != record.Category()) return true;
    const std::vector<std::string> items =
        old.size() > kHeadingsField ? split(old[kHeadingsField], '|') : std::vector<std::string>{""};
    if (items.size() != static_cast<std::size_t>(record.TitleCount())) return true;
    for (int j = 1; j <= record.TitleCount(); ++j) {
        const std::string& item = items[static_cast<std::size_t>(j - 1)];
        if (item.find('/') == std::string::npos) continue;
        const std::vector<std::string> parts = split(item, '/');
        if (parts[0] != record.TitleText(j)) return true;
        const auto type = leadingWholeNumber(parts, 2);
        if (!type || *type != record.CellLinkValueType(j)) return true;
    }
    return false;
}

struct StoredHeading {
    std::string title;
    std::string source;
    std::int32_t type = 0;
};

std::vector<StoredHeading> storedHeadings(const std::vector<std::string>& fields) {
    std::vector<StoredHeading> kept;
    if (fields.size() <= kHeadingsField) return kept;
    for (const std::string& item : split(fields[kHeadingsField], '|')) {
        const std::vector<std::string> parts = split(item, '/');
        StoredHeading heading{part(parts, 0), part(parts, 1), leadingWholeNumber(parts, 2).value_or(0)};
        if (heading.title.empty() || heading.source.empty()) continue;
        kept.push_back(std::move(heading));
    }
    return kept;
}

bool isValidStoredForm(const std::vector<std::string>& fields) {
    const std::string& saveRange = fields[kSaveRangeField];
    return hostLength(fields[kSheetIdField]) == kIdLength && hostLength(fields[kVersionIdField]) == kIdLength &&
           saveRange.find_first_of("/|") == std::string::npos;
}

// The sheet name a watch property is named after; empty for a property of
// another kind.
std::optional<std::string> watchedSheetName(const std::string& propertyName) {
    const std::size_t key = propertyName.find(kSheetWatchPropertyKey);
    if (key == std::string::npos) return std::nullopt;
    const std::size_t sheetStart = key + kSheetWatchPropertyKey.size() + 1;
    return sheetStart < propertyName.size() ? propertyName.substr(sheetStart) : std::string();
}

host::WorksheetPtr worksheetNamed(host::Workbook& book, const std::string& name) {
    host::WorksheetPtr found;
    host::ignoreErrors([&] {
        const host::WorksheetPtr sheet = book.FindWorksheet(name);
        if (sheet && !sheet->Name().empty()) found = sheet;
    });
    return found;
}

// Whether the property is named after a sheet of the book that has a watch.
bool namesAWatchedSheet(const c_Xl_DocPros& watches, host::Workbook& book, const std::string& propertyName) {
    const std::optional<std::string> sheetName = watchedSheetName(propertyName);
    if (!sheetName) return false;
    const host::WorksheetPtr sheet = worksheetNamed(book, *sheetName);
    return sheet && watches.Find(sheet) != nullptr;
}

// The host's refusal of a sheet's watch, said so that the user knows what to
// do: the watch too long for the host, or else the host's own description.
WatchNotStored refusal(const host::HostError& e, const std::string& value, const std::string& sheetName) {
    const std::string text = utf8ToUtf16(value).size() > host::kTextPropertyMaxLength
                                 ? texts::WatchTooLong(host::kTextPropertyMaxLength)
                                 : std::string(e.what());
    return WatchNotStored(e.number(), text, sheetName);
}

struct StoredWatch {
    std::string name;
    std::string value;
};

// The property that holds a record's watch, among those carrying its SheetId:
// the one under the sheet's own name, else the first left under a name no
// watched sheet bears (the sheet's old name). Two properties carry one SheetId
// when a renamed sheet's old property stayed for the sheet that took the name,
// or when two watches were made within one tick of the timer; a property under
// another watched sheet's name is that sheet's, and taking it for this record
// would cost that sheet its watch.
std::optional<StoredWatch> storedWatchOf(const c_Xl_DocPros& watches, host::Workbook& book,
                                         host::DocumentProperties& properties, const c_Xl_DocPro& record,
                                         const std::string& ownName) {
    const std::string watchPrefix = SheetWatchPropertyName("");
    std::optional<StoredWatch> left;
    const int count = properties.Count();
    for (int i = 1; i <= count; ++i) {
        std::string name;
        if (!host::ignoreErrors([&] { name = properties.Name(i); })) continue;
        if (name.find(watchPrefix) == std::string::npos) continue;
        std::string value;
        host::ignoreErrors([&] { value = properties.Value(i); });
        // A value too short to hold a SheetId holds no watch, whatever the record's id.
        const std::vector<std::string> fields = split(value, '\t');
        if (fields.size() <= kSheetIdField || fields[kSheetIdField] != record.SheetId()) continue;
        if (name == ownName) return StoredWatch{name, value};
        if (!left && !namesAWatchedSheet(watches, book, name)) left = StoredWatch{name, value};
    }
    return left;
}

// Seeded once: seeding again for every id gave the same letters to all ids made
// within one tick of the timer.
c_Xl_DocPros::RandomSource seededOnce() {
    std::random_device device;
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{device(), device(), static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
    return [engine = std::mt19937(seed)]() mutable { return std::generate_canonical<double, 53>(engine); };
}

char randomCapital(double r) {
    // Guards the letter range against a source that strays outside [0, 1).
    const double scaled = r * 26;
    int letter = 0;
    if (scaled >= 25) {
        letter = 25;
    } else if (scaled >= 0) {
        letter = static_cast<int>(scaled);
    }
    return static_cast<char>('A' + letter);
}

}  // namespace

bool SameWorksheet(const host::WorksheetPtr& a, const host::WorksheetPtr& b) {
    if (!a || !b) return false;
    const host::WorkbookPtr book = a->Parent();
    return book && sameBookAndSheet(*book, *a, *b);
}

c_Xl_DocPros::c_Xl_DocPros(const Clock& clock, RandomSource random)
    : clock_(clock), random_(random ? std::move(random) : seededOnce()) {}

std::shared_ptr<c_Xl_DocPro> NewDocPro(const host::WorkbookPtr& book, const host::WorksheetPtr& sheet,
                                       std::string_view category, std::string_view sheetId,
                                       std::string_view versionId, std::string_view saveRange,
                                       const std::vector<std::string>& titles, const std::vector<std::string>& values,
                                       const std::vector<std::int32_t>& types) {
    auto record = std::make_shared<c_Xl_DocPro>();
    record->Book(book);
    record->Sheet(sheet);
    record->Category(category);
    record->SheetId(std::string(sheetId));
    record->VersionId(std::string(versionId));
    record->SaveRange(saveRange);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        record->TitleText(index, titles[i]);
        record->ValueRange(index, values.at(i));
        record->CellLinkValueType(index, types.at(i));
    }
    record->Released(false);
    return record;
}

void c_Xl_DocPros::Add(const host::WorkbookPtr& book, const host::WorksheetPtr& sheet, std::string_view category,
                       std::string_view sheetId, std::string_view versionId, std::string_view saveRange,
                       const std::vector<std::string>& titles, const std::vector<std::string>& values,
                       const std::vector<std::int32_t>& types) {
    Add(NewDocPro(book, sheet, category, sheetId, versionId, saveRange, titles, values, types));
}

void c_Xl_DocPros::Add(std::shared_ptr<c_Xl_DocPro> record) { records_.push_back(std::move(record)); }

void c_Xl_DocPros::Remove(const std::shared_ptr<c_Xl_DocPro>& record) { std::erase(records_, record); }

void c_Xl_DocPros::Release(const host::WorksheetPtr& sheet) {
    if (const auto record = Find(sheet)) record->Released(true);
}

std::shared_ptr<c_Xl_DocPro> c_Xl_DocPros::Find(const host::WorksheetPtr& sheet) const {
    if (!sheet) return nullptr;
    for (const auto& record : records_) {
        if (matches(*record, sheet)) return record;
    }
    return nullptr;
}

std::int32_t c_Xl_DocPros::SaveToDocProps(const host::WorkbookPtr& book, const host::WorksheetPtr& onlySheet) {
    std::int32_t flags = 0;
    std::optional<WatchNotStored> refused;
    const host::DocumentPropertiesPtr properties = book->CustomDocumentProperties();
    const std::string onlyName = onlySheet ? onlySheet->Name() : std::string();

    for (const host::WorksheetPtr& sheet : book->Worksheets()) {
        if (onlySheet && sheet->Name() != onlyName) continue;
        const auto record = Find(sheet);
        if (!record) continue;
        const std::string newName = SheetWatchPropertyName(sheet->Name());
        std::string newValue = SheetWatchPropertyValue(*record);

        const std::optional<StoredWatch> old = storedWatchOf(*this, *book, *properties, *record, newName);
        if (!old) {
            flags += store_flags::kWritten;
        } else if (old->name == newName && old->value == newValue) {
            flags += store_flags::kSameVersion;
            continue;
        } else {
            if (needsNewVersion(split(old->value, '\t'), *record)) {
                record->VersionId(CalcNewId());
                newValue = SheetWatchPropertyValue(*record);
                flags += store_flags::kNewVersion;
            } else {
                flags += store_flags::kSameVersion;
            }
        }
        host::ignoreErrors([&] { properties->Delete(newName); });
        const auto add = [&](const std::string& value) {
            properties->Add(newName, false, host::msoPropertyTypeString, value);
        };
        bool stored = true;
        try {
            add(newValue);
        } catch (const host::HostError& e) {
            // A watch near the host's length limit grows past it when rows
            // inserted lengthen its ranges: the workbook keeps the watch as it
            // was last stored rather than losing it, and the user is told.
            stored = old && host::ignoreErrors([&] { add(old->value); });
            if (!refused) refused = refusal(e, newValue, sheet->Name());
        }
        // Left under the sheet's old name, the property would give this watch
        // to whichever sheet is later given that name.
        if (stored && old && old->name != newName) host::ignoreErrors([&] { properties->Delete(old->name); });
    }

    for (int i = properties->Count(); i >= 1; --i) {
        std::string name;
        if (!host::ignoreErrors([&] { name = properties->Name(i); })) continue;
        const std::optional<std::string> sheetName = watchedSheetName(name);
        if (!sheetName) continue;
        if (!worksheetNamed(*book, *sheetName)) host::ignoreErrors([&] { properties->Delete(name); });
    }
    if (refused) throw *refused;
    return flags;
}

void c_Xl_DocPros::LoadFromDocProps(const host::WorkbookPtr& book) {
    const std::string bookKey = upper(book->Path() + "\\" + book->Name());
    for (std::size_t i = records_.size(); i-- > 0;) {
        const host::WorkbookPtr& recordBook = records_[i]->Book();
        std::string name;
        const bool open = recordBook && host::ignoreErrors([&] { name = recordBook->Name(); });
        if (!open || upper(recordBook->Path() + "\\" + name) == bookKey) {
            records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }

    const host::DocumentPropertiesPtr properties = book->CustomDocumentProperties();
    for (const host::WorksheetPtr& sheet : book->Worksheets()) {
        const std::string propertyName = SheetWatchPropertyName(sheet->Name());
        std::string value;
        host::ignoreErrors([&] { value = properties->ValueOf(propertyName); });
        const std::vector<std::string> fields = split(value, '\t');
        if (fields.size() <= kSaveRangeField) continue;
        if (!isValidStoredForm(fields)) {
            properties->Delete(propertyName);
            continue;
        }
        const std::vector<StoredHeading> headings = storedHeadings(fields);

        auto record = std::make_shared<c_Xl_DocPro>();
        record->Book(book);
        record->Sheet(sheet);
        record->Category(fields[kCategoryField]);
        record->SheetId(fields[kSheetIdField]);
        record->VersionId(fields[kVersionIdField]);
        record->SaveRange(fields[kSaveRangeField]);
        record->TitleCount(static_cast<int>(headings.size()));
        for (std::size_t h = 0; h < headings.size(); ++h) {
            const int index = static_cast<int>(h + 1);
            record->TitleText(index, headings[h].title);
            record->ValueRange(index, headings[h].source);
            record->CellLinkValueType(index, headings[h].type);
        }
        // A watch switched off stays off across a save and reopen.
        record->Released(fields[0] == "1");
        records_.push_back(std::move(record));
    }
}

std::string c_Xl_DocPros::CalcNewId() {
    std::string id = vb::FormatDate(clock_.now(), "yyyymmddhhmmss");
    for (int letter = 0; letter < 3; ++letter) id += randomCapital(random_());
    return id;
}

}  // namespace kq::addin
