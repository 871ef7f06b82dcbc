#pragma once
// The page setup's header and footer texts as the printed page showed them:
// the "&" codes for the page number and count (with offsets such as "&P+2"),
// the print date and time, the workbook and the sheet turned into their
// values. Codes it does not know, lower-case ones among them, stay as typed;
// so do the page codes when no page number or count is given.

#include <string>
#include <string_view>

namespace kq::viewer {

// `PrintDate` is an OLE Automation date; one that is no date leaves "&D" and
// "&T" as typed. A page number or count of 0 means none. The file and sheet
// names go in as they are: nothing in them is read as a code, and the text's
// own characters other than the codes come back unchanged.
std::string GetHeaderAndFooterText(std::string_view text, std::string_view FileName, std::string_view SheetName,
                                   double PrintDate, int PageNo, int PageCount);

}  // namespace kq::viewer
