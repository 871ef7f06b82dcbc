#pragma once
// The ribbon of the simulated host (versions 12 and later), on Windows: each
// connected add-in that answers IRibbonExtensibility is asked for its markup,
// which the host checks as the version reads it (host/sim/ribbon), with the
// add-in's type information against what it will pass each callback, and, when
// it passes, builds into a ribbon session; once start-up is done every markup's
// onLoad receives an IRibbonUI that hands the add-in's invalidations to its
// session. Callbacks are called by name on the add-in object, each with an
// IRibbonControl (Id, Tag, and the active window as Context); pictures come
// back as IPictureDisp and are described by size and a hash of their pixels.
// Everything the ribbon does goes to the transcript.

#include "common/win32/windows_api.h"

#include <memory>
#include <string>
#include <vector>

#include "common/win32/com.h"
#include "tools/simhost/addin_loader.h"
#include "tools/simhost/transcript.h"

namespace kq::simhost {

class RibbonHost final : public AddInWatcher {
public:
    // `application` is the host's application object: controls give its active
    // window as their Context.
    RibbonHost(Transcript& transcript, int hostVersion, win32::ComPtr<IDispatch> application);
    ~RibbonHost() override;
    RibbonHost(const RibbonHost&) = delete;
    RibbonHost& operator=(const RibbonHost&) = delete;

    void connected(const std::string& progId, IUnknown* addIn) override;
    void startupDone() override;
    void disconnecting(const std::string& progId) override;

    // Writes every add-in's ribbon as the user sees it, asking for what is not kept.
    void show();
    // A click on the control of that id; false when no ribbon has one.
    bool press(const std::string& id);

    enum class CommandFate { notRepurposed, cancelled, proceeds };
    // The user runs a built-in command: the onAction of the add-in that repurposes it.
    CommandFate runCommand(const std::string& idMso);

private:
    class AddInRibbon;
    Transcript& transcript_;
    int hostVersion_;
    win32::ComPtr<IDispatch> application_;
    std::vector<std::unique_ptr<AddInRibbon>> ribbons_;
};

}  // namespace kq::simhost
