#pragma once
// The print recorder: after the host has printed, one history file per
// selected watched worksheet, in the history folder.

#include <string>

#include "addin/core/addin_state.h"
#include "addin/recording/recorder_world.h"

namespace kq::addin::recording {

// Records the print just finished. Nothing happens unless a selected sheet has
// a watch that is not released. Every failure becomes an error line: a run
// ends with the saved notice, or with one error box listing the lines. The
// host's state and the user's clipboard are put back on every way out, and no
// temp file and no partial history file stay behind. Not reentrant: one run
// per print.
void SaveHistory(RecorderWorld& world);

// The same with the connection's host, settings and sheet watches and the
// running system's services: what the add-in object's after-print call runs.
// Does nothing without a host or settings.
void SaveHistory(AddinState& state, RecorderSystem& system);

// The library's version as history files carry it: major, ".", minor in two
// digits, ".0.", revision in two digits.
std::string LibraryVersionText(int major, int minor, int revision);
// This library's.
std::string LibraryVersionText();

}  // namespace kq::addin::recording
