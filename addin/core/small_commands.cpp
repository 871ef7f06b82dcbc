#include "addin/core/small_commands.h"

namespace kq::addin {

namespace {

// The host disables this built-in control while a cell is being edited.
constexpr std::int32_t kControlNotEditing = 18;

}  // namespace

bool CellBeingEdited(host::Application& application) {
    bool editing = true;
    host::ignoreErrors([&] {
        const host::CommandBarControlPtr control = application.FindControl(kControlNotEditing);
        editing = !control || !control->Enabled();
    });
    return editing;
}

void ShowUnlessEditing(host::Application& application, Prompts& prompts, const std::function<void()>& show) {
    if (CellBeingEdited(application)) {
        prompts.beep();
        return;
    }
    show();
}

}  // namespace kq::addin
