#pragma once
// What a registration works on: the worksheet the dialog was opened for, the
// host that resolves texts on it and points out its cells, and the user's
// messages. Every resolve, pick and store goes to this sheet, whichever sheet
// the host shows meanwhile.

#include <functional>
#include <string>
#include <string_view>

#include "common/prompts.h"
#include "host/host.h"

namespace kq::addin::dialogs {

struct SheetContext {
    host::ApplicationPtr application;
    host::WorksheetPtr sheet;
    Prompts* prompts = nullptr;

    // The absolute address of the range a text names on the sheet; "" when
    // it names none (or there is no sheet). Errors of the host are ignored.
    std::string addressOf(std::string_view text) const;
    // The range a text names on the sheet; empty when it names none.
    host::RangePtr rangeOf(std::string_view text) const;
    // A message with the critical icon and OK, titled with the add-in's title.
    void refuse(std::string_view text) const;
};

// What the host's range input box asks.
struct RangeQuestion {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// The host's range input box, for cells of the context's sheet. `before`
// runs before the box shows (the dialog hides) and `after` once it has
// closed, however it closed (the dialog shows again); the sheet is made
// active again in between, since the user may have gone to another sheet.
// Gives the address of the range pointed out, without a sheet name, or ""
// when the box was cancelled or failed. A range on another sheet is refused
// with a message and gives "".
std::string PointOutRange(const SheetContext& context, const RangeQuestion& question,
                          const std::function<void()>& before, const std::function<void()>& after);

}  // namespace kq::addin::dialogs
