#include "addin/dialogs/about_box.h"

#include <utility>

#include "addin/core/texts.h"
#include "common/vb.h"

namespace kq::addin::dialogs {

AboutTexts AboutBoxTexts(const std::string& title, std::string version, double builtDay) {
    const vb::DateTime day = vb::FromOleDate(builtDay).value_or(vb::DateTime{});
    return {.caption = title + std::string(texts::kAboutCaption),
            .version = std::move(version),
            .day = vb::FormatDate(day, "yyyy/m/d"),
            .url = std::string(texts::kHomePage)};
}

}  // namespace kq::addin::dialogs
