#pragma once
// Every sheet watch of the open workbooks, and their way to and from the
// workbooks' custom document properties: loaded when a workbook opens, stored
// when it is saved, when a watch is registered or edited, and before a print is
// recorded.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addin/core/doc_pro.h"
#include "common/clock.h"
#include "host/host.h"

namespace kq::addin {

// What SaveToDocProps did, summed over the sheets it stored.
namespace store_flags {
inline constexpr std::int32_t kWritten = 1;       // no property existed: a new one was written
inline constexpr std::int32_t kSameVersion = 2;   // the property existed, the version stays
inline constexpr std::int32_t kNewVersion = 4;    // the property existed, a new VersionId was made
}  // namespace store_flags

// What SaveToDocProps throws once it has stored every other sheet and removed
// the properties of sheets that are gone: the first sheet whose watch the
// workbook refused to take. That sheet keeps the watch it had stored (under
// its new name when it was renamed). The host's error number stays; the
// description says what the user can do about it where that is known.
class WatchNotStored : public host::HostError {
public:
    WatchNotStored(std::int32_t number, const std::string& description, std::string sheetName)
        : HostError(number, description), sheetName_(std::move(sheetName)) {}
    const std::string& sheetName() const { return sheetName_; }

private:
    std::string sheetName_;
};

// A record as Add makes it, not yet held by the collection: the values are
// resolved on the sheet as they are set, so its stored form can be looked at
// before anything changes.
std::shared_ptr<c_Xl_DocPro> NewDocPro(const host::WorkbookPtr& book, const host::WorksheetPtr& sheet,
                                       std::string_view category, std::string_view sheetId,
                                       std::string_view versionId, std::string_view saveRange,
                                       const std::vector<std::string>& titles, const std::vector<std::string>& values,
                                       const std::vector<std::int32_t>& types);

// Whether two references name one worksheet: the same sheet name in a
// workbook of the same path and name, letter case ignored. The host hands out
// a new reference at every call, so references are compared by what they name.
bool SameWorksheet(const host::WorksheetPtr& a, const host::WorksheetPtr& b);

class c_Xl_DocPros {
public:
    // Gives numbers from 0 inclusive to 1 exclusive.
    using RandomSource = std::function<double()>;

    // Without a random source, one generator seeded once serves every id.
    explicit c_Xl_DocPros(const Clock& clock = systemClock(), RandomSource random = {});
    c_Xl_DocPros(const c_Xl_DocPros&) = delete;
    c_Xl_DocPros& operator=(const c_Xl_DocPros&) = delete;

    // A new record for a new registration; callers reach it through Find. The
    // three heading lists are read up to the length of `titles`.
    void Add(const host::WorkbookPtr& book, const host::WorksheetPtr& sheet, std::string_view category,
             std::string_view sheetId, std::string_view versionId, std::string_view saveRange,
             const std::vector<std::string>& titles, const std::vector<std::string>& values,
             const std::vector<std::int32_t>& types);
    // Appends a record made with NewDocPro.
    void Add(std::shared_ptr<c_Xl_DocPro> record);
    // Drops the record; nothing when it is not held.
    void Remove(const std::shared_ptr<c_Xl_DocPro>& record);
    // Switches the watch of the sheet off.
    void Release(const host::WorksheetPtr& sheet);
    // The record of the sheet, or empty.
    std::shared_ptr<c_Xl_DocPro> Find(const host::WorksheetPtr& sheet) const;

    // Writes the records of the book's worksheets (only that of `onlySheet` when
    // given) into its properties and removes the properties of sheets that are
    // gone. Returns the sum of the store_flags of the stored sheets; throws
    // WatchNotStored when the workbook refused a sheet's watch.
    std::int32_t SaveToDocProps(const host::WorkbookPtr& book, const host::WorksheetPtr& onlySheet);
    // Replaces the book's records by those its properties hold, deleting the
    // properties that are damaged, and drops the records of closed workbooks.
    void LoadFromDocProps(const host::WorkbookPtr& book);

    // A new id: the local time as yyyymmddhhmmss and three capital letters.
    std::string CalcNewId();

private:
    const Clock& clock_;
    RandomSource random_;
    std::vector<std::shared_ptr<c_Xl_DocPro>> records_;
};

}  // namespace kq::addin
