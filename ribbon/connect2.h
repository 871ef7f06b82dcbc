#pragma once
// The ribbon bridge's add-in object: its connection to the host, the markup it
// gives the host's ribbon, and the ribbon's callbacks, each relayed to the
// add-in core's object late-bound. The COM class of the library carries one of
// these; native tests drive it with the simulated host.
//
// Nothing is thrown out of any member: every failure ends as the callback's
// empty answer, its message, or nothing, as each member says.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompts.h"
#include "host/host.h"
#include "ribbon/controls.h"

namespace kq::ribbon {

// A picture the host can show on a control; what it holds is the platform's.
class Picture {
public:
    virtual ~Picture() = default;
};
using PicturePtr = std::shared_ptr<Picture>;

// The ribbon the host built from the markup.
class RibbonUi {
public:
    virtual ~RibbonUi() = default;
    // Makes the host ask the control's callbacks again. Throws host::HostError.
    virtual void InvalidateControl(const std::string& controlId) = 0;
};
using RibbonUiPtr = std::shared_ptr<RibbonUi>;

// The control a callback is about.
class RibbonControl {
public:
    virtual ~RibbonControl() = default;
    // Throws host::HostError when the control cannot say.
    virtual std::string Id() = 0;
};

// What the bridge needs of the system and the host it runs in.
class BridgeSystem {
public:
    virtual ~BridgeSystem() = default;
    // The OsCode of the running Windows.
    virtual std::int32_t GetOS() = 0;
    virtual Prompts& prompts() = 0;
    // A text of the library's string table, or none.
    virtual std::optional<std::string> LoadResString(std::int32_t id) = 0;
    // The markup resource of that name as the XML document serialises it
    // again, or none when the document cannot load it. Throws on any other failure.
    virtual std::optional<std::string> LoadCustomUI(std::string_view resourceName) = 0;
    // The picture of a PNG resource of the library; what goes wrong on the way
    // to it is told through `prompts`. Throws when it cannot be made.
    virtual PicturePtr LoadResPNGPicture(std::string_view resourceName, Prompts& prompts) = 0;
    // The host's built-in image of that name at that size in pixels (its
    // CommandBars.GetImageMso). Throws when the host cannot give it.
    virtual PicturePtr GetImageMso(const host::ApplicationPtr& application, const std::string& name, int width,
                                   int height) = 0;
};

// Messages nobody sees.
class SilentPrompts final : public Prompts {
public:
    int message(std::string_view, std::string_view, unsigned) override { return mb::kIdOk; }
    void beep() override {}
};

// The add-in core's ProgID, under which the host lists it among its COM add-ins.
inline constexpr char kCoreProgId[] = "Kez_Quorvex.Connect";

class Connect2 {
public:
    // `system` outlives the object.
    explicit Connect2(BridgeSystem& system);
    Connect2(const Connect2&) = delete;
    Connect2& operator=(const Connect2&) = delete;

    // Below host 12 nothing happens. A served host on a named Windows is kept
    // and `self`, this object as callers reach it by name, is published as
    // AddInInst.Object; any other host is told to drop the bridge
    // (AddInInst.Connect = False), silently. A failure on the way leaves the
    // bridge idle.
    void AddinInstance_OnConnection(const host::ApplicationPtr& Application, host::AddInEntry& AddInInst,
                                    const host::LateBoundPtr& self);
    // Lets go of the add-in core's object and of the host; the ribbon stays.
    void AddinInstance_OnDisconnection();

    // The markup for the connected host, read anew each time; "" for a host
    // without one. Any failure shows "Err:LoadXML" and gives "".
    std::string IRibbonExtensibility_GetCustomUI();

    void Callback_onLoad(RibbonUiPtr ribbon);
    // The picture of an image name of the markup; the host's "Delete" image for
    // any name or failure without one, or nothing when even that fails.
    PicturePtr Callback_loadImage(const std::string& strImage);
    // The host's own command runs afterwards: fCancelDefault becomes false first.
    void Callback_Print_onAction(RibbonControl& Ctrl, bool& fCancelDefault);
    void Callback_DirectPrint_onAction(RibbonControl& Ctrl, bool& fCancelDefault);
    void Callback_Preview_onAction(RibbonControl& Ctrl, bool& fCancelDefault);
    // What the core says of the active sheet's watch; Empty without a core or on any failure.
    host::Value Callback_getPressed(RibbonControl& Ctrl);
    void Callback_ToggleButton_onAction(RibbonControl& Ctrl, bool pressed);
    void Callback_Button_onAction(RibbonControl& Ctrl);
    // The this-sheet picture for the watch state; nothing without a core, for
    // another control or on a failure. Never shows a message: the host asks
    // while it draws.
    PicturePtr Callback_getImage(RibbonControl& Ctrl);
    std::string Callback_getLabel(RibbonControl& Ctrl);
    std::string Callback_getScreentip(RibbonControl& Ctrl);
    std::string Callback_getSupertip(RibbonControl& Ctrl);
    std::string Callback_getDescription(RibbonControl& Ctrl);

    // Whether the add-in core's object is at hand, looked up through the
    // host's COM add-ins when it is not yet. Without it, and with `showError`,
    // tells the user the core is not loaded.
    bool GetMainAddin(bool showError);

private:
    void NotifyPrintKind(std::int32_t kind);
    // A member of the core's object by name. A failure drops the object, so
    // that the next need looks it up again (the core may have connected anew),
    // and goes on to the caller.
    host::Value callCore(std::string_view member);
    host::Value callCore(std::string_view member, std::vector<host::Value>& args);
    // The this-sheet command, then the host asks again every control that shows the watch.
    void ThisSheetCheck(const std::string& clickedId);
    // Runs `action`; any failure in it shows the unknown-error message.
    template <typename Action>
    void trapped(Action&& action);
    std::string textOf(TextKind kind, RibbonControl& Ctrl);
    PicturePtr pictureOf(const ImageSource& source);
    void show(std::string_view text, unsigned style);
    void showUnknownControl(std::string_view callback, std::string_view id);

    BridgeSystem& system_;
    // For what is asked while the host draws: no window may come up then.
    SilentPrompts silent_;
    host::ApplicationPtr mobjApplication;
    host::LateBoundPtr mobjMainAddin;
    RibbonUiPtr mobjRibbon;
};

}  // namespace kq::ribbon
