#pragma once
// The procedures that the add-in object's methods end in: the after-print
// recording, the state of the this-sheet toggle and the six commands of the
// menu, toolbar and ribbon. Each is given the connection's state. A procedure
// left empty is one the library does not offer; its callers then do nothing.
// The add-in object is handed its procedures by whoever makes it: the portable
// ones below, and those the running system adds (windows, the recorder's
// services).

#include <functional>

namespace kq::addin {

class AddinState;

struct Procedures {
    // One of the six commands, as the buttons and the ribbon name it.
    using Command = std::function<void(AddinState&)> Procedures::*;

    std::function<void(AddinState&)> SaveHistory;
    std::function<bool(AddinState&)> CheckThissiteButtonPush;
    std::function<void(AddinState&, bool forceUp)> SetThisSiteCheckButtonPushed;
    std::function<void(AddinState&)> Command_ThisSheetCheck;
    std::function<void(AddinState&)> Command_OpenHistory;
    std::function<void(AddinState&)> Command_GotoHomePage;
    std::function<void(AddinState&)> Command_Setting;
    std::function<void(AddinState&)> Command_Help;
    std::function<void(AddinState&)> Command_About;
};

// The procedures that need nothing of the running system.
Procedures CoreProcedures();

}  // namespace kq::addin
