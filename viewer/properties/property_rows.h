#pragma once
// The rows of a property list: a label and, except on a group's own row, a
// value. The rows of a group are indented by ideographic spaces in their
// labels, so the list needs no tree of its own.

#include <optional>
#include <string>
#include <vector>

namespace kq::viewer {

struct PropertyRow {
    std::string label;
    std::optional<std::string> value;  // none on a group's row

    friend bool operator==(const PropertyRow&, const PropertyRow&) = default;
};
using PropertyRows = std::vector<PropertyRow>;

// A print date as the property lists show it, "2011/01/02(日)03:04:05"; ""
// for a value that is no date.
std::string propertyDateText(double oleDate);

}  // namespace kq::viewer
