#include "addin/core/doc_pro.h"

#include <stdexcept>

namespace kq::addin {

namespace {

// A TAB would shift the stored fields, and the next load would then throw the
// watch away as damaged; line ends have no place in a one-line field either.
std::string withoutFieldBreaks(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (c != '\t' && c != '\r' && c != '\n') kept += c;
    }
    return kept;
}

}  // namespace

host::WorksheetPtr c_Xl_DocPro::Sheet() const {
    if (!sheet_) return nullptr;
    std::int32_t type = 0;
    host::ignoreErrors([&] { type = sheet_->Type(); });
    return type == 0 ? nullptr : sheet_;
}

void c_Xl_DocPro::TitleCount(int count) {
    if (count < 0) throw std::out_of_range("negative heading count");
    titles_.resize(static_cast<std::size_t>(count));
}

void c_Xl_DocPro::Category(std::string_view category) { category_ = withoutFieldBreaks(category); }

std::string c_Xl_DocPro::SaveRange() const { return read(saveRange_); }

void c_Xl_DocPro::SaveRange(std::string_view text) { saveRange_ = resolve(withoutFieldBreaks(text)); }

const std::string& c_Xl_DocPro::TitleText(int index) const { return at(index).title; }

void c_Xl_DocPro::TitleText(int index, std::string_view title) { grownTo(index).title = withoutFieldBreaks(title); }

std::string c_Xl_DocPro::ValueRange(int index) const { return read(at(index).source); }

void c_Xl_DocPro::ValueRange(int index, std::string_view source) {
    // Resolved before growing, so a failure leaves the lists as they were.
    Source resolved = resolve(withoutFieldBreaks(source));
    grownTo(index).source = std::move(resolved);
}

std::int32_t c_Xl_DocPro::CellLinkValueType(int index) const {
    const Heading& heading = at(index);
    return std::holds_alternative<host::RangePtr>(heading.source) ? heading.type : 0;
}

void c_Xl_DocPro::CellLinkValueType(int index, std::int32_t type) { grownTo(index).type = type; }

c_Xl_DocPro::Source c_Xl_DocPro::resolve(std::string_view text) const {
    const host::WorksheetPtr sheet = Sheet();
    if (text.empty() || !sheet) return std::string(text);
    host::RangePtr range;
    std::string address;
    host::ignoreErrors([&] {
        range = sheet->Range(std::string(text));
        if (range) address = range->Address();
    });
    if (address.empty()) return std::string(text);
    return range;
}

std::string c_Xl_DocPro::read(const Source& source) {
    if (const auto* text = std::get_if<std::string>(&source)) return *text;
    const host::RangePtr& range = std::get<host::RangePtr>(source);
    if (!range) return "";
    std::string address;
    if (!host::ignoreErrors([&] { address = range->Address(); })) return std::string(kDeletedRangeText);
    return address;
}

const c_Xl_DocPro::Heading& c_Xl_DocPro::at(int index) const {
    if (index < 1 || index > TitleCount()) throw std::out_of_range("heading index " + std::to_string(index));
    return titles_[static_cast<std::size_t>(index - 1)];
}

c_Xl_DocPro::Heading& c_Xl_DocPro::grownTo(int index) {
    if (index < 1) throw std::out_of_range("heading index " + std::to_string(index));
    if (index > TitleCount()) TitleCount(index);
    return titles_[static_cast<std::size_t>(index - 1)];
}

std::string SheetWatchPropertyName(std::string_view sheetName) {
    std::string name(kSheetWatchPropertyKey);
    name += '_';
    name += sheetName;
    return name;
}

std::string SheetWatchPropertyValue(const c_Xl_DocPro& record) {
    std::string value = record.Released() ? "1" : "0";
    value += '\t';
    value += record.Category();
    value += '\t';
    value += record.SheetId();
    value += '\t';
    value += record.VersionId();
    value += '\t';
    value += record.SaveRange();
    value += '\t';
    for (int i = 1; i <= record.TitleCount(); ++i) {
        if (i > 1) value += '|';
        value += record.TitleText(i);
        value += '/';
        value += record.ValueRange(i);
        value += '/';
        value += std::to_string(record.CellLinkValueType(i));
    }
    return value;
}

}  // namespace kq::addin
