#pragma once
// The viewer's help command, for F1 in its windows: the help file beside the
// program opened by the shell, or the message that it is missing, titled with
// the viewer's title. The windows pass prompts owned by themselves.

#include "common/prompts.h"

namespace kq::viewer::win32 {

void Command_Help(Prompts& prompts);

}  // namespace kq::viewer::win32
