#include "addin/dialogs/sheet_context.h"

#include "addin/core/doc_pros.h"
#include "addin/core/texts.h"

namespace kq::addin::dialogs {

host::RangePtr SheetContext::rangeOf(std::string_view text) const {
    host::RangePtr range;
    if (text.empty() || !sheet) return range;
    host::ignoreErrors([&] {
        range = sheet->Range(std::string(text));
        if (range && range->Address().empty()) range.reset();
    });
    return range;
}

std::string SheetContext::addressOf(std::string_view text) const {
    std::string address;
    if (text.empty() || !sheet) return address;
    host::ignoreErrors([&] {
        if (const host::RangePtr range = sheet->Range(std::string(text))) address = range->Address();
    });
    return address;
}

void SheetContext::refuse(std::string_view text) const {
    if (prompts) prompts->message(text, GetAppTitle(), mb::kOkOnly | mb::kIconCritical);
}

std::string PointOutRange(const SheetContext& context, const RangeQuestion& question,
                          const std::function<void()>& before, const std::function<void()>& after) {
    if (before) before();
    std::string address;
    bool elsewhere = false;
    // The dialog comes back whatever happened in the box.
    try {
        host::ignoreErrors([&] {
            if (!context.application) return;
            const host::RangePtr range =
                context.application->InputBoxRange(question.prompt, question.title, question.defaultText);
            if (!range) return;
            // The address carries no sheet name: cells of another sheet would
            // silently stand for the same cells of this one.
            if (!SameWorksheet(context.sheet, range->Parent())) {
                elsewhere = true;
                return;
            }
            address = range->Address();
        });
        if (context.sheet) host::ignoreErrors([&] { context.sheet->Activate(); });
    } catch (...) {
        if (after) after();
        throw;
    }
    if (after) after();
    if (elsewhere) context.refuse(texts::kRangeInvalid);
    return address;
}

}  // namespace kq::addin::dialogs
