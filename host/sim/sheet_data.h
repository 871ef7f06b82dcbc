#pragma once
// What a simulated worksheet holds besides its cells' places: values with
// their shown texts, page setup, shapes and comments. Plain data, shared by the
// model, its façade objects and the fixture files.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/a1_address.h"

namespace kq::host::sim {

struct Cell {
    Value value;
    std::optional<std::string> text;  // what the cell shows when its format differs from general
    friend bool operator==(const Cell&, const Cell&) = default;
};

// Defaults are those of a new sheet: A4 portrait, margins of 0.75 inch left and
// right, 1 inch top and bottom, 0.5 inch for header and footer (in points),
// automatic first page number, down then over, no comments printed.
struct PageSetupData {
    std::vector<CellRect> printArea;          // empty: none
    std::vector<CellRect> printTitleRows;     // whole rows, or empty
    std::vector<CellRect> printTitleColumns;  // whole columns, or empty
    std::string leftHeader, centerHeader, rightHeader;
    std::string leftFooter, centerFooter, rightFooter;
    double leftMargin = 54;
    double rightMargin = 54;
    double topMargin = 72;
    double bottomMargin = 72;
    double headerMargin = 36;
    double footerMargin = 36;
    bool centerHorizontally = false;
    bool centerVertically = false;
    std::int32_t orientation = 1;  // 1 portrait, 2 landscape
    std::int32_t paperSize = 9;    // A4
    std::int32_t firstPageNumber = xlAutomatic;
    std::int32_t order = xlDownThenOver;
    std::int32_t printComments = xlPrintNoComments;
    friend bool operator==(const PageSetupData&, const PageSetupData&) = default;
};

// A drawing object. Its text can be read from up to four places; an absent
// place throws when read, as the host's does for shapes without it.
struct ShapeData {
    std::string name;
    std::int32_t type = 1;  // msoGroup (6) for a group
    bool visible = true;
    CellRect anchor;  // top-left cell to bottom-right cell
    std::optional<std::string> caption;        // DrawingObject.Caption
    std::optional<std::string> objectText;     // DrawingObject.Object.Text
    std::optional<std::string> objectCaption;  // DrawingObject.Object.Caption
    std::optional<std::string> effectText;     // TextEffect.Text
    std::vector<std::shared_ptr<ShapeData>> items;  // members of a group
    bool deleted = false;  // its cells were deleted; the façade object reads as gone
};

struct CommentData {
    std::int32_t row = 1;
    std::int32_t column = 1;
    std::string author;
    std::string text;
    bool deleted = false;
};

}  // namespace kq::host::sim
