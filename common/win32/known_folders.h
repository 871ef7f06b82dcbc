#pragma once
// Folders the system knows: the user's documents folder and the folder of the
// running program file.

#include <optional>
#include <string>
#include <string_view>

#include "common/history_folder.h"

namespace kq::win32 {

class Win32KnownFolders final : public KnownFolders {
public:
    // Asks the shell; where it cannot say, the script host's shell object.
    std::optional<std::string> documentsFolder() override;
};

// The two ways of asking, apart.
std::optional<std::string> documentsFolderFromShell();
std::optional<std::string> documentsFolderFromScriptHost();
// A folder of the script host shell object's SpecialFolders by its name ("MyDocuments").
std::optional<std::string> scriptHostSpecialFolder(std::string_view name);

}  // namespace kq::win32
