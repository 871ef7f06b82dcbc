#include "viewer/properties/history_properties.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

#include "common/history_reader.h"
#include "common/vb.h"
#include "viewer/file_list/version_names.h"
#include "viewer/properties/header_footer_text.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

// The page setup's first page number that the spreadsheet numbers itself.
constexpr std::int32_t kAutomaticFirstPage = -4105;
constexpr std::int32_t kLandscapeOrientation = 2;
constexpr std::int32_t kDownThenOverOrder = 1;
constexpr double kCentimetresPerPoint = 0.035;

std::string text(std::string_view s) { return std::string(s); }

PropertyRow group(std::string_view label) { return {text(label), std::nullopt}; }
PropertyRow row(std::string_view label, std::string value) { return {text(label), std::move(value)}; }

std::vector<std::string> split(std::string_view s, char at) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t end = s.find(at);
        parts.emplace_back(s.substr(0, end));
        if (end == std::string_view::npos) return parts;
        s.remove_prefix(end + 1);
    }
}

std::string headingValue(const UserHeadingRecord& heading) {
    if (heading.strSource == heading.strValue) return heading.strValue;
    return heading.strValue + text(texts::kHeadingSourceOpen) + heading.strSource + text(texts::kHeadingSourceClose);
}

}  // namespace

std::string GetPaperSizeName(std::int32_t code) {
    if (code >= 1 && code <= static_cast<std::int32_t>(texts::kPaperSizeNames.size())) {
        return text(texts::kPaperSizeNames[static_cast<std::size_t>(code - 1)]);
    }
    if (code == texts::kUserPaperSize) return text(texts::kUserPaperSizeName);
    return text(texts::kUnknown);
}

std::string marginText(double points) {
    const double cm = points * kCentimetresPerPoint;
    if (!std::isfinite(cm)) return vb::NumberText(cm) + text(texts::kCentimetres);
    // Rounded as a decimal of 15 digits is, halves away from zero, so that
    // 0.25 gives 0.3 although its binary neighbour lies below.
    char buffer[400];
    auto done = std::to_chars(buffer, buffer + sizeof buffer, cm, std::chars_format::scientific, 14);
    double decimal = cm;
    std::from_chars(buffer, done.ptr, decimal);
    double tenths = std::round(decimal * 10);
    if (tenths == 0) tenths = 0;  // no "-0.0"
    done = std::to_chars(buffer, buffer + sizeof buffer, tenths / 10, std::chars_format::fixed, 1);
    return std::string(buffer, done.ptr) + text(texts::kCentimetres);
}

std::optional<HistoryProperties> readHistoryProperties(FileSystem& files, const AnsiCodec& codec,
                                                       const std::string& path) {
    if (path.empty() || files.kind(path) != PathKind::file) return std::nullopt;
    HistoryProperties read;
    const std::unique_ptr<ByteSource> source = files.openForReading(path);
    if (!source) return read;
    read.history.size = source->size();
    if (HistoryRead<HistoryHead> head = readHistoryHead(*source, codec)) {
        read.history.header = std::move(head.value->header);
        read.history.headings = std::move(head.value->headings);
        read.headerRead = true;
    } else if (HistoryRead<HistoryFileHeader> header = readHistoryHeader(*source, codec)) {
        // Damaged headings: the rest of the header is still worth showing.
        read.history.header = std::move(*header.value);
        read.headerRead = true;
    }
    return read;
}

PropertyRows historyPropertyRows(const std::string& path, const HistoryProperties& properties) {
    const HistoryFileHeader& h = properties.history.header;
    const std::size_t slash = path.rfind('\\');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::vector<std::string> ids = split(std::string_view(name).substr(0, name.rfind('.')), '_');

    PropertyRows rows;
    rows.push_back(group(texts::kPropHistoryFile));
    rows.push_back(row(texts::kPropPath, folder));
    rows.push_back(row(texts::kPropName, name));
    for (std::size_t i = 0; i < texts::kPropIds.size(); ++i) {
        rows.push_back(row(texts::kPropIds[i], i < ids.size() ? ids[i] : std::string()));
    }
    rows.push_back(row(texts::kPropFileSize, sizeText(properties.history.size)));
    rows.push_back(row(texts::kPropSaveDate, properties.headerRead ? propertyDateText(h.datPrintDate) : std::string()));

    rows.push_back(group(texts::kPropCategoryGroup));
    rows.push_back(row(texts::kPropCategory, h.strCategory));

    rows.push_back(group(texts::kPropTargetSheet));
    rows.push_back(row(texts::kPropBookPath, h.strBookPath));
    rows.push_back(row(texts::kPropBookName, h.strBookName));
    rows.push_back(row(texts::kPropSheetName, h.strSheetName));
    rows.push_back(row(texts::kPropSaveRange, h.strSaveRange.empty() ? text(texts::kAutomaticRange) : h.strSaveRange));
    rows.push_back(row(texts::kPropPageCount, std::to_string(h.intPageCount)));
    rows.push_back(row(texts::kPropShapeCount, std::to_string(h.intShapeCount)));
    rows.push_back(row(texts::kPropCommentCount, std::to_string(h.intCommentCount)));

    rows.push_back(group(texts::kPropPrintSetup));
    rows.push_back(row(texts::kPropPrinterName, h.strPrinterName));
    // Without a page, the page codes stay as stored.
    const std::string book = h.strBookPath + "\\" + h.strBookName;
    const std::string* const headersAndFooters[] = {&h.strLeftHeader, &h.strCenterHeader, &h.strRightHeader,
                                                    &h.strLeftFooter, &h.strCenterFooter, &h.strRightFooter};
    for (std::size_t i = 0; i < texts::kPropHeadersAndFooters.size(); ++i) {
        rows.push_back(row(texts::kPropHeadersAndFooters[i],
                           GetHeaderAndFooterText(*headersAndFooters[i], book, h.strSheetName, h.datPrintDate, 0, 0)));
    }
    const double margins[] = {h.dblLeftMargin,   h.dblTopMargin,    h.dblRightMargin,
                              h.dblBottomMargin, h.dblHeaderMargin, h.dblFooterMargin};
    for (std::size_t i = 0; i < texts::kPropMargins.size(); ++i) {
        rows.push_back(row(texts::kPropMargins[i], marginText(margins[i])));
    }
    rows.push_back(row(texts::kPropPaperSize, GetPaperSizeName(h.lngPaperSize)));
    rows.push_back(row(texts::kPropOrientation,
                       text(h.lngOrientation == kLandscapeOrientation ? texts::kLandscape : texts::kPortrait)));
    rows.push_back(
        row(texts::kPropOrder, text(h.lngOrder == kDownThenOverOrder ? texts::kDownThenOver : texts::kOverThenDown)));
    rows.push_back(row(texts::kPropCenterHorizontally, text(h.blnCenterHorizontally ? texts::kYes : texts::kNo)));
    rows.push_back(row(texts::kPropCenterVertically, text(h.blnCenterVertically ? texts::kYes : texts::kNo)));
    rows.push_back(row(texts::kPropFirstPageNumber, h.lngFirstPageNumber == kAutomaticFirstPage
                                                        ? text(texts::kAutomaticNumber)
                                                        : std::to_string(h.lngFirstPageNumber)));

    const std::vector<UserHeadingRecord>& headings = properties.history.headings;
    if (!headings.empty()) {
        rows.push_back(group(texts::kPropUserHeadings));
        for (const UserHeadingRecord& heading : headings) {
            rows.push_back({text(texts::kPropertyIndent) + heading.strTitle, headingValue(heading)});
        }
    }

    rows.push_back(group(texts::kPropEnvironment));
    rows.push_back(row(texts::kPropOsVersion, GetOSVersionName(h.lngOSVersion)));
    rows.push_back(row(texts::kPropExcelVersion, GetExcelVersionName(h.dblExcelVersion)));
    rows.push_back(row(texts::kPropExcelUserName, h.strExcelUserName));
    rows.push_back(row(texts::kPropErrorCount, std::to_string(h.intErrorCount)));
    return rows;
}

PropertyRows cardPropertyRows(const Card& card, const HeaderReader& read) {
    std::size_t withErrors = 0;
    // Compared as dates: before 1900 the stored numbers do not run with time.
    std::optional<vb::DateTime> first;
    std::optional<vb::DateTime> last;
    for (const std::string& path : card.files()) {
        const std::optional<HistoryFileHeader> header = read(path);
        if (!header) continue;
        if (header->intErrorCount > 0) ++withErrors;
        // A stored value that is no date places the history nowhere in time.
        const std::optional<vb::DateTime> date = vb::FromOleDate(header->datPrintDate);
        if (!date) continue;
        first = std::min(first.value_or(*date), *date);
        last = std::max(last.value_or(*date), *date);
    }
    const auto dateText = [](const std::optional<vb::DateTime>& date) {
        return date ? vb::FormatDate(*date, texts::kPropertyDateFormat) : text(texts::kNoDate);
    };
    return {
        group(texts::kPropDataFiles),
        row(texts::kPropFileCount, std::to_string(card.FilesCount())),
        row(texts::kPropFilesWithErrors, std::to_string(withErrors)),
        row(texts::kPropFirstDate, dateText(first)),
        row(texts::kPropLastDate, dateText(last)),
    };
}

}  // namespace kq::viewer
