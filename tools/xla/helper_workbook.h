#pragma once
// What the helper workbook is made of: an add-in workbook with one sheet and a
// macro project holding the document modules of the workbook and the sheet
// (without code) and the standard modules whose source files the build gives.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/ole/macro_workbook.h"
#include "common/text_codec.h"

namespace kq::xla {

// A source file the helper workbook cannot take.
class SourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A module's source as the host stores it: UTF-8 text (LF or CR LF line ends)
// in the code page of `codec`, every line ending CR LF. Throws SourceError
// for text the code page cannot hold.
std::vector<std::uint8_t> storedSource(std::string_view utf8, const kq::AnsiCodec& codec);

// The module's name from its first line, `Attribute VB_Name = "name"`;
// throws SourceError when the line is not there.
std::string moduleName(std::string_view source);

// The helper workbook's spec for a project of that name in code page 932,
// with the standard modules of these sources (UTF-8).
ole::MacroWorkbookSpec helperWorkbookSpec(std::string_view projectName, const std::vector<std::string>& sources,
                                          const kq::AnsiCodec& codec);

}  // namespace kq::xla
