#pragma once
// The command that opens the history viewer: it starts the viewer program,
// which lies beside the add-in library, as a process of its own and hands it
// on its command line the host's main window, whether that window is
// maximized, the history folder and the card to show first (the watch of the
// active sheet, when it has one). Nothing else passes between the two.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompts.h"
#include "host/host.h"

namespace kq::addin {

class AddinState;

// A failure as the system reports it: its error number and its own text.
struct SystemFailure {
    std::int32_t number = 0;
    std::string description;
};

// What the command needs of the system it runs on.
class ViewerStartServices {
public:
    virtual ~ViewerStartServices() = default;
    // The host's main window as a signed number; 0 when it cannot be found.
    virtual std::int32_t HostWindowHandle(const host::ApplicationPtr& host) = 0;
    // The folder that holds the add-in library file.
    virtual std::string LibraryFolder() = 0;
    // Starts `program` as a new process with `commandLine`, its window shown
    // normally, and does not wait for it. The failure when it did not start.
    virtual std::optional<SystemFailure> StartProcess(const std::string& program, const std::string& commandLine) = 0;
    virtual Prompts& prompts() = 0;
};

// What the viewer is told, in the order the command line carries it.
struct ViewerStartItems {
    std::int32_t ParentHwnd = 0;
    bool ParentWindowMaximized = false;
    std::string SaveFolder;
    std::string ShowId;        // SheetId "_" VersionId of the active sheet's watch, or ""
    std::string ShowCategory;  // that watch's category, or ""
};

// The program path in double quotes, so that a folder with blanks stays one
// word; a blank; then each item as key "=" value, the items separated by TAB
// and the values neither quoted nor escaped, as the viewer reads them.
std::string ViewerCommandLine(std::string_view program, const ViewerStartItems& items);

// Starts the viewer. A viewer that cannot be started is reported with the
// system's error number and text; nothing else is reported. Errors while
// the command line is gathered leave the items they concern empty.
void Command_OpenHistory(AddinState& state, ViewerStartServices& services);

}  // namespace kq::addin
