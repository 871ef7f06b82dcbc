#include "common/help_command.h"

#include "common/paths.h"
#include "common/texts.h"

namespace kq {

void Command_Help(HelpServices& services, const std::string& title) {
    const std::string path = FileInFolder(services.ProgramFolder(), texts::kHelpFile);
    if (services.PlainFileExists(path)) {
        services.ShellOpen(path);
        return;
    }
    services.prompts().message(texts::HelpFileMissing(path), title, mb::kOkOnly | mb::kIconCritical);
}

}  // namespace kq
