#pragma once
// What the programs ask of the shell and the file system besides their own
// files: whether a plain file is there, a file opened with its associated
// program, and the help command on them.

#include <string>

#include "common/help_command.h"
#include "common/prompts.h"

namespace kq::win32 {

// A file that is neither hidden, nor a system file, nor a folder.
bool PlainFileExists(const std::string& path);

// The shell's "open" of the file (or address) with its associated program, no
// owner window, shown normally; the outcome is not looked at.
void ShellOpen(const std::string& path);

// The help command's services: the folder of the module this code is linked
// into, the shell, and the prompts given.
class ShellHelpServices final : public HelpServices {
public:
    explicit ShellHelpServices(Prompts& prompts) : prompts_(prompts) {}
    std::string ProgramFolder() override;
    bool PlainFileExists(const std::string& path) override { return win32::PlainFileExists(path); }
    void ShellOpen(const std::string& path) override { win32::ShellOpen(path); }
    Prompts& prompts() override { return prompts_; }

private:
    Prompts& prompts_;
};

}  // namespace kq::win32
