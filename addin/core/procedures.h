#pragma once
// The procedures that the add-in object's methods end in: the after-print
// recording, the state of the this-sheet toggle and the six commands of the
// menu, toolbar and ribbon. A procedure left empty is one the library does not
// offer; its callers then do nothing.

#include <functional>

namespace kq::addin {

struct Procedures {
    std::function<void()> SaveHistory;
    std::function<bool()> CheckThissiteButtonPush;
    std::function<void(bool forceUp)> SetThisSiteCheckButtonPushed;
    std::function<void()> Command_ThisSheetCheck;
    std::function<void()> Command_OpenHistory;
    std::function<void()> Command_GotoHomePage;
    std::function<void()> Command_Setting;
    std::function<void()> Command_Help;
    std::function<void()> Command_About;
};

// The library's own procedures: the one place where a command joins the add-in object.
Procedures AddinProcedures();

}  // namespace kq::addin
