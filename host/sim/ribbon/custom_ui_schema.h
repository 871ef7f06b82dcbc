#pragma once
// The rules a ribbon markup document must follow, as the two published
// custom-UI schemas lay them down: the 2006/01 namespace that hosts 12 and
// later read, and the 2009/07 namespace of hosts 14 and later, which adds the
// backstage view and context menus and leaves out the Office menu. The
// document's root element chooses the rules. Checked: which elements exist,
// what each may hold and in what order and number, which attributes each takes
// and the type of every value (names, lengths, enumerations, truth values),
// the attributes that exclude one another (a value and the callback that would
// give it, the three identifiers, the four places to insert), identifiers
// unique across the document (the quick access toolbar's clones name others,
// unique among themselves), and prefixes of qualified identifiers declared.

#include <string>
#include <string_view>
#include <vector>

#include "host/sim/ribbon/xml_reader.h"

namespace kq::host::sim::ribbon {

inline constexpr std::string_view kCustomUi2006 = "http://schemas.microsoft.com/office/2006/01/customui";
inline constexpr std::string_view kCustomUi2009 = "http://schemas.microsoft.com/office/2009/07/customui";

struct SchemaProblem {
    XmlPosition at;
    std::string reason;
    std::string describe() const;  // "line 3: reason"
};

// Every departure from the rules of the root's namespace; none for a sound
// document. A root in any other namespace is one problem.
std::vector<SchemaProblem> checkCustomUi(const XmlElement& root);

}  // namespace kq::host::sim::ribbon
