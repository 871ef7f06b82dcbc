#pragma once
// The help command: opens the help file beside the running program file with
// the program the system associates with it, or says that the file is missing.

#include <string>

#include "common/prompts.h"

namespace kq {

// What the help command needs of the system it runs on.
class HelpServices {
public:
    virtual ~HelpServices() = default;
    // The folder that holds the running program file (the library, in a library).
    virtual std::string ProgramFolder() = 0;
    // Whether a plain file is there: a hidden or system file, or a folder, counts as missing.
    virtual bool PlainFileExists(const std::string& path) = 0;
    // Asks the shell to open the file with its associated program; the outcome is the shell's business.
    virtual void ShellOpen(const std::string& path) = 0;
    virtual Prompts& prompts() = 0;
};

// `title` heads the message about a missing help file. Errors reach the caller.
void Command_Help(HelpServices& services, const std::string& title);

}  // namespace kq
