#include "addin/core/help_command.h"

#include "addin/core/library_file.h"
#include "addin/core/texts.h"

namespace kq::addin {

void Command_Help(HelpServices& services, const std::string& title) {
    const std::string path = FileInFolder(services.LibraryFolder(), texts::kHelpFile);
    if (services.PlainFileExists(path)) {
        services.ShellOpen(path);
        return;
    }
    services.prompts().message(texts::HelpFileMissing(path), title, mb::kOkOnly | mb::kIconCritical);
}

}  // namespace kq::addin
