#pragma once
// Whether the this-sheet toggle shows pressed.

namespace kq::addin {

class AddinState;

// True when the host's active sheet is a worksheet with a sheet watch that is
// not released. False without a host, for a chart sheet, and when the lookup fails.
bool CheckThissiteButtonPush(AddinState& state);

}  // namespace kq::addin
