#include "viewer/main_window/win32/help.h"

#include <string>

#include "common/help_command.h"
#include "common/win32/shell.h"
#include "viewer/texts.h"

namespace kq::viewer::win32 {

void Command_Help(Prompts& prompts) {
    kq::win32::ShellHelpServices services(prompts);
    kq::Command_Help(services, std::string(texts::kTitle));
}

}  // namespace kq::viewer::win32
