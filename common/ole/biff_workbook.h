#pragma once
// The workbook stream of a 97-2003 workbook (BIFF8): a globals substream of
// records (the workbook's settings, fonts, cell formats and styles, and where
// each sheet's substream begins) and one substream per sheet. What is written
// here is a workbook of empty worksheets with the records the host requires,
// optionally marked as an add-in and as carrying a macro project, with the
// code names that tie the workbook and each sheet to their document modules.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/ole/compound_file.h"

namespace kq::ole {

struct BiffSheet {
    std::string name;      // the tab's name
    std::string codeName;  // the name of its document module, or empty
    friend bool operator==(const BiffSheet&, const BiffSheet&) = default;
};

struct BiffWorkbook {
    bool addIn = false;        // opened as an add-in: hidden, not among the workbooks
    bool hasMacros = false;    // a macro project comes with the workbook
    std::string codeName;      // the workbook's document module, or empty
    std::vector<BiffSheet> sheets;
    friend bool operator==(const BiffWorkbook&, const BiffWorkbook&) = default;
};

// The stream, at least 4096 bytes long (padded after the last substream) so
// that it lies in the file's own sectors as the host's own workbook streams do.
std::vector<std::uint8_t> writeBiffWorkbook(const BiffWorkbook& workbook);

// The facts above, read back: the globals substream's records and, for each
// sheet, its substream's code name. Damaged when a record runs past the end,
// a substream lacks its BOF or EOF, or a sheet's substream lies elsewhere.
OleRead<BiffWorkbook> readBiffWorkbook(std::span<const std::uint8_t> stream);

}  // namespace kq::ole
