#pragma once
// What the fixture reader and writer share: the words of the format and how a
// field is written so that it reads back whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/sim/sheet_data.h"

namespace kq::host::sim::fixture {

// A field stays bare when it reads back as itself; otherwise it is quoted, with
// \\ \" \t \n \r escaped.
std::string field(std::string_view text);

// The fields of one line: bare runs of non-blank characters, or quoted texts.
// Empty when the line is malformed (an unterminated quote, an unknown escape,
// a quote not followed by a blank); `why` then says so.
std::optional<std::vector<std::string>> splitFields(std::string_view line, std::string& why);

struct PropertyTypeName {
    std::int32_t type;
    std::string_view name;
};
inline constexpr PropertyTypeName kPropertyTypes[] = {
    {1, "number"}, {2, "boolean"}, {3, "date"}, {4, "text"}, {5, "float"},
};

template <class T>
struct SetupField {
    std::string_view key;
    T PageSetupData::*member;
};
inline constexpr SetupField<std::string> kSetupTexts[] = {
    {"left-header", &PageSetupData::leftHeader},   {"center-header", &PageSetupData::centerHeader},
    {"right-header", &PageSetupData::rightHeader}, {"left-footer", &PageSetupData::leftFooter},
    {"center-footer", &PageSetupData::centerFooter}, {"right-footer", &PageSetupData::rightFooter},
};
inline constexpr SetupField<double> kSetupNumbers[] = {
    {"left-margin", &PageSetupData::leftMargin},     {"right-margin", &PageSetupData::rightMargin},
    {"top-margin", &PageSetupData::topMargin},       {"bottom-margin", &PageSetupData::bottomMargin},
    {"header-margin", &PageSetupData::headerMargin}, {"footer-margin", &PageSetupData::footerMargin},
};
inline constexpr SetupField<std::int32_t> kSetupIntegers[] = {
    {"orientation", &PageSetupData::orientation},
    {"paper", &PageSetupData::paperSize},
    {"first-page-number", &PageSetupData::firstPageNumber},
    {"order", &PageSetupData::order},
    {"print-comments", &PageSetupData::printComments},
};
inline constexpr SetupField<bool> kSetupFlags[] = {
    {"center-horizontally", &PageSetupData::centerHorizontally},
    {"center-vertically", &PageSetupData::centerVertically},
};
inline constexpr SetupField<std::vector<CellRect>> kSetupAreas[] = {
    {"print-area", &PageSetupData::printArea},
    {"title-rows", &PageSetupData::printTitleRows},
    {"title-columns", &PageSetupData::printTitleColumns},
};

// Shape text sources by their word in the format.
struct ShapeTextField {
    std::string_view key;
    std::optional<std::string> ShapeData::*member;
};
inline constexpr ShapeTextField kShapeTexts[] = {
    {"caption", &ShapeData::caption},
    {"object-text", &ShapeData::objectText},
    {"object-caption", &ShapeData::objectCaption},
    {"effect-text", &ShapeData::effectText},
};

}  // namespace kq::host::sim::fixture
