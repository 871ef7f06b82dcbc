#pragma once
// The host's ribbon objects as the bridge's logic sees them: the ribbon UI
// handed to onLoad and the control every callback names. Each is reached by
// its interface's virtual table where it answers it, else by name.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "ribbon/connect2.h"

namespace kq::ribbon::win32 {

// The ribbon behind `ribbon`, or nothing for a null object.
RibbonUiPtr wrapRibbonUi(IDispatch* ribbon);

// The control behind `control`, valid during the callback; a null control
// throws host::HostError 424 at the first question.
class HostRibbonControl final : public RibbonControl {
public:
    explicit HostRibbonControl(IDispatch* control) : control_(control) {}
    std::string Id() override;

private:
    IDispatch* control_;
};

}  // namespace kq::ribbon::win32
