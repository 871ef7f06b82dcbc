#pragma once
// The scenario commands about the command bars and the clipboard's text:
// showing the bars as the user sees them, clicking a control, moving a bar,
// and what the user keeps on the clipboard.

#include <string>
#include <vector>

#include "host/sim/sim_command_bars.h"
#include "tools/simhost/transcript.h"

namespace kq::simhost {

// Every bar with its controls, popups' menus indented below their popup:
//   bar "<name>" <position> row <n> at <left>,<top> shown|hidden [protection <n>] [built-in|temporary]
//   button|popup "<caption>" [id <n>] [tag "<tag>"] [style <n>] [state down] [face <hash>] [group]
//                [action "<on action>"] [disabled] [temporary]
// The id is shown for the host's own controls only.
void showBars(const host::sim::SimCommandBars& bars, Transcript& out);
// The controls with that tag, wherever they stand, one line each as above.
void showControls(const host::sim::SimCommandBars& bars, const std::string& tag, Transcript& out);

// `which` is a tag, or an Id when it is a number; `barName`, when given,
// looks only in that bar. Records what the click did:
//   clicked "<caption>": <n> handlers[, cancelled][, its command ran]
// A disabled control does nothing. Throws std::runtime_error for a control
// that is not there.
void clickControl(host::sim::SimCommandBars& bars, const std::string& which, const std::string& barName,
                  Transcript& out);

// The user moves or hides a bar: `property` is position, row, left, top or
// visible (on or off).
void setBar(host::sim::SimCommandBars& bars, const std::string& name, const std::string& property,
            const std::string& value);

// The clipboard's Unicode text: `clipboard "<text>"`, or that it holds none.
void showClipboard(Transcript& out);

}  // namespace kq::simhost
