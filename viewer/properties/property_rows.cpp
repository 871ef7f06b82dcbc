#include "viewer/properties/property_rows.h"

#include "common/vb.h"
#include "viewer/texts.h"

namespace kq::viewer {

std::string propertyDateText(double oleDate) {
    const std::optional<vb::DateTime> date = vb::FromOleDate(oleDate);
    return date ? vb::FormatDate(*date, texts::kPropertyDateFormat) : std::string();
}

}  // namespace kq::viewer
