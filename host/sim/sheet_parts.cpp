#include "host/sim/sheet_parts.h"

#include "host/sim/sim_range.h"
#include "host/sim/sim_sheet.h"

namespace kq::host::sim {

std::string SimPageSetup::PrintArea() { return formatAreas(data().printArea, sheet_->grid()); }
std::string SimPageSetup::PrintTitleRows() { return formatAreas(data().printTitleRows, sheet_->grid()); }
std::string SimPageSetup::PrintTitleColumns() { return formatAreas(data().printTitleColumns, sheet_->grid()); }

const PageSetupData& SimPageSetup::data() {
    sheet_->requireLive();
    return sheet_->setup();
}

RangePtr SimShape::TopLeftCell() {
    const CellRect& a = data().anchor;
    return std::make_shared<SimRange>(sheet_, std::vector{cellRect(a.top, a.left)});
}

RangePtr SimShape::BottomRightCell() {
    const CellRect& a = data().anchor;
    return std::make_shared<SimRange>(sheet_, std::vector{cellRect(a.bottom, a.right)});
}

std::vector<ShapePtr> SimShape::GroupItems() {
    if (data().type != msoGroup) throw HostError(err::kApplicationDefined, "This member can only be accessed for a group");
    std::vector<ShapePtr> items;
    for (const auto& item : data_->items) items.push_back(std::make_shared<SimShape>(sheet_, item));
    return items;
}

const ShapeData& SimShape::data() {
    sheet_->requireLive();
    if (data_->deleted) throw HostError(err::kObjectRequired, "The shape was deleted");
    return *data_;
}

std::string SimShape::text(const std::optional<std::string>& source) {
    if (!source) throw HostError(err::kApplicationDefined, "Unable to get the property for this shape");
    return *source;
}

RangePtr SimComment::Parent() {
    const CommentData& c = data();
    return std::make_shared<SimRange>(sheet_, std::vector{cellRect(c.row, c.column)});
}

const CommentData& SimComment::data() {
    sheet_->requireLive();
    if (data_->deleted) throw HostError(err::kObjectRequired, "The comment was deleted");
    return *data_;
}

}  // namespace kq::host::sim
