#pragma once
// The one base of the windows and dialogs of the add-in and the viewer.
//
// A window is bound to its object as it is made (WM_NCCREATE for a window of
// a registered class, WM_INITDIALOG for a dialog), through GWLP_USERDATA, and
// unbound at WM_NCDESTROY or when the object goes first: no message reaches
// an object that is gone or half destroyed. An object that goes while its
// window stands takes the window with it, unbound first.
//
// A window ends through end(), from anywhere, its own handlers included; no
// code outside the kit destroys a window itself. A window that owns its
// object (createOwned) deletes it once the outermost of the messages it is
// handling has returned: never while one of its handlers runs, a handler of
// a notification it sent its parent (reflected) or one a child window passed
// up to it included, so a handler may end its own window and go on using its
// object. Once a handler returns, the kit touches nothing of an object that
// may have gone.
//
// One window procedure and one dialog procedure forward each message to a
// typed handler; nothing a handler throws leaves them: the failure is told
// to the user (see OnFailure) and the message gets the answer that does
// least harm.

#include "common/win32/windows_api.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/nested_calls.h"

namespace kq::win32 {

struct RuntimeFailure;  // common/win32/com_boundary.h

// How the windows of a module tell their user that a handler failed: in the
// system's error style, "err(" number ") " description, under the title of
// the deliverable. Each deliverable sets it once as it starts; until then the
// title is "エラー".
struct WindowFailureReporting {
    std::string title;
    // Reads the exception in flight, inside a catch block. Null: memory
    // running out is the runtime's error 7, anything else its internal
    // error 51 described by what the exception says.
    RuntimeFailure (*readCurrent)() = nullptr;
};
void setWindowFailureReporting(WindowFailureReporting reporting);

// The exception in flight in that style, read as the module's windows read
// theirs; only inside a catch block.
std::string currentFailureMessage();

// The latest failure of this thread's windows that waits to be told, in the
// error style, now taken: the kit will not tell it. A maker whose window
// could not be made tells the reason in its own message.
std::optional<std::string> takeUntoldWindowFailure();

struct WindowClassArgs {
    const wchar_t* name = nullptr;
    UINT style = 0;
    HCURSOR cursor = nullptr;  // the arrow when null
    HBRUSH background = nullptr;
    HICON icon = nullptr;
};

// A window of a class registered with Window::registerClass: top-level, or a
// child of `owner` when the style has WS_CHILD.
struct WindowArgs {
    const wchar_t* windowClass = nullptr;
    std::wstring text{};
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = 0;
    int height = 0;
    HWND owner = nullptr;  // the parent of a child window
    int id = 0;            // a child window's control id
};

// A control on a window or dialog; its position is in the parent's client pixels.
struct ChildControl {
    const wchar_t* windowClass = nullptr;
    std::wstring text{};
    DWORD style = 0;  // WS_CHILD is always added
    DWORD exStyle = 0;
    RECT rect{};
    int id = 0;
    HFONT font = nullptr;  // the parent's default when null
};

// Null when the control could not be made.
HWND createChild(HWND parent, const ChildControl& control);

// A dialog template in memory with no controls and no font: the dialog makes
// its controls when it starts and sizes them itself.
class BlankDialogTemplate {
public:
    explicit BlankDialogTemplate(DWORD style, DWORD exStyle = 0);
    const DLGTEMPLATE& get() const { return layout_.dialog; }

private:
    struct alignas(4) Layout {
        DLGTEMPLATE dialog;
        WORD menu;
        WORD windowClass;
        WORD title;
    } layout_{};
};

enum class MouseButton { left, right, middle };

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // A window still standing is unbound first, then destroyed.
    virtual ~Window();

    // Registers a window class whose windows are bound to objects of this
    // base; true also when it was registered before.
    static bool registerClass(const WindowClassArgs& args);

    // Null before the window is made and after it is destroyed.
    HWND hwnd() const noexcept { return hwnd_; }

    // Makes the window, bound to this object; null when it could not be made.
    // A child window is made so, with WS_CHILD; a control that holds controls
    // of its own, by createCompoundControl (control_kit.h).
    HWND create(const WindowArgs& args);
    // The same of a class registered first (see registerClass), which
    // `args` need not name; null when either could not be done.
    HWND create(const WindowClassArgs& windowClass, WindowArgs args);
    // Makes a window that owns `window` and deletes it when it is destroyed;
    // the object is deleted at once when no window could be made.
    static HWND createOwned(std::unique_ptr<Window> window, const WindowArgs& args);
    static HWND createOwned(std::unique_ptr<Window> window, const WindowClassArgs& windowClass, WindowArgs args);

    // Runs the window modally owned by `owner` (null for none): the owner is
    // disabled while the thread's message loop runs, until end(); then it is
    // enabled and activated again and the window destroyed. Gives the value
    // passed to end(), or -1 when the window could not be made. A quit
    // message ends the run as end(0) does.
    INT_PTR runModal(HWND owner, const WindowArgs& args);
    // The same for a dialog from a template in memory.
    INT_PTR runModalDialog(HWND owner, const DLGTEMPLATE& dialog);

    // Ends a modal run with `result`; a modeless window is destroyed now,
    // and its object, when the window owns it, deleted as said above.
    void end(INT_PTR result);

    // A failure caught around code the kit runs for a window outside its
    // handlers (a control's subclass, a key preview, idle work), called
    // inside the catch block: told as a failure of the nearest window of
    // this base at or above `window` handling `msg` would be; kept and told
    // afterwards when there is none.
    static void tellFailure(HWND window, UINT msg, LPARAM lParam) noexcept;

protected:
    // WM_CREATE of a window; false makes its creation fail.
    virtual bool OnCreate(const CREATESTRUCTW&) { return true; }
    // WM_INITDIALOG; true lets the system focus the first control.
    virtual bool OnInitDialog() { return true; }
    // The handlers below return true when they handled the message; the
    // default processing has it otherwise.
    //
    // Notifications of a control that is a window of this base, or held by a
    // Subclass that takes them (Subclass::reflectTo), go to OnReflected of the
    // control first; the ones it leaves come to these handlers of the parent.
    // What a child window leaves of them goes on to its own parent's
    // handlers, and so on up: the controls on a panel are the form's.
    virtual bool OnCommand(int /*id*/, UINT /*code*/, HWND /*control*/) { return false; }
    virtual std::optional<LRESULT> OnNotify(const NMHDR&) { return std::nullopt; }
    virtual bool OnPaint() { return false; }
    virtual bool OnSize(UINT /*kind*/, int /*width*/, int /*height*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    virtual bool OnClose() { return false; }
    // WM_DESTROY; the default processing follows.
    virtual void OnDestroy() {}

    // The handlers of the mouse, the keys, the context menu and the scroll
    // bars; what they leave goes on to OnMessage. Points are in client
    // pixels, except the wheel's and the context menu's, which are on the
    // screen; `keys` are the MK_* flags.
    virtual bool OnMouseDown(MouseButton, POINT /*at*/, UINT /*keys*/) { return false; }
    virtual bool OnMouseUp(MouseButton, POINT /*at*/, UINT /*keys*/) { return false; }
    virtual bool OnDoubleClick(MouseButton, POINT /*at*/, UINT /*keys*/) { return false; }
    virtual bool OnMouseMove(POINT /*at*/, UINT /*keys*/) { return false; }
    // `delta` in WHEEL_DELTA steps, positive away from the user.
    virtual bool OnMouseWheel(int /*delta*/, POINT /*screen*/, UINT /*keys*/) { return false; }
    // The mouse held by this window went to `taker` (null: to none).
    virtual bool OnCaptureLost(HWND /*taker*/) { return false; }
    virtual bool OnKeyDown(UINT /*virtualKey*/, LPARAM /*flags*/) { return false; }
    virtual bool OnKeyUp(UINT /*virtualKey*/, LPARAM /*flags*/) { return false; }
    virtual bool OnChar(wchar_t, LPARAM /*flags*/) { return false; }
    // Asked for over `where` (this window or a child); no point when asked from the keyboard.
    virtual bool OnContextMenu(HWND /*where*/, std::optional<POINT> /*screen*/) { return false; }
    // WM_HSCROLL (SB_HORZ) or WM_VSCROLL (SB_VERT), of the window's own bar
    // or, with `control`, of a scroll bar or track bar on it.
    virtual bool OnScroll(int /*bar*/, UINT /*request*/, int /*position*/, HWND /*control*/) { return false; }

    // The handlers of painting beside WM_PAINT; what they leave goes on to
    // OnMessage as well. WM_ERASEBKGND: true when the background on `dc`
    // needs no erasing by the system, drawn here or covered whole by the
    // painting to come.
    virtual bool OnEraseBackground(HDC /*dc*/) { return false; }
    // WM_PRINTCLIENT: the client area drawn on `dc` as the window paints it.
    virtual bool OnPrintClient(HDC /*dc*/, UINT /*flags*/) { return false; }

    // A notification this window sent its parent, come back to it (see
    // above); `msg` as the parent got it. None lets the parent handle it.
    virtual std::optional<LRESULT> OnReflected(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }
    // Every other message; the result when handled.
    virtual std::optional<LRESULT> OnMessage(UINT /*msg*/, WPARAM, LPARAM) { return std::nullopt; }
    // A handler threw while handling `msg`; called inside the catch block,
    // the exception still in flight. `answeringAct`: the message carries the
    // user's act or a command (a click, a key, a menu's choice) and comes
    // from this thread while no window of its line is going, so that a
    // message box may answer it. The default tells the user: at once when
    // answering an act; otherwise (painting, timers, sizing, focus, creation,
    // a window going) the failure is kept and told once the thread next
    // takes its messages, and a kept failure that comes again is not told again.
    virtual void OnFailure(UINT msg, std::string_view what, bool answeringAct) noexcept;

private:
    enum class Run { modeless, modal };
    struct Creation;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static Window* boundTo(HWND hwnd) noexcept;
    void bind(HWND hwnd) noexcept;
    void unbind() noexcept;

    // How a message reaches the handlers: from the system; as a notification
    // of this window's, back from its parent (OnReflected alone); or as a
    // control's notification that a child window left, which the control had
    // already.
    enum class Route { sent, reflected, passedUp };

    // The one edge between the system and the handlers: none when the default processing is to follow.
    std::optional<LRESULT> handle(UINT msg, WPARAM wParam, LPARAM lParam, Route route = Route::sent) noexcept;
    std::optional<LRESULT> dispatch(UINT msg, WPARAM wParam, LPARAM lParam, Route route);
    std::optional<LRESULT> dispatchOwn(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> failed(UINT msg, LPARAM lParam, std::string_view what) noexcept;
    bool answeringAct(UINT msg, LPARAM lParam) const noexcept;
    HWND make(const WindowArgs& args, std::unique_ptr<Window>* owned);
    void startModal();
    INT_PTR runUntilEnded(HWND owner);
    // The object of a window of our class or of a dialog of this base; null for any other window.
    static Window* objectOf(HWND window) noexcept;
    std::optional<LRESULT> reflect(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    std::optional<LRESULT> passUp(UINT msg, WPARAM wParam, LPARAM lParam);
    // A message of another window handed on to `object`'s handlers.
    static std::optional<LRESULT> handOn(Window& object, UINT msg, WPARAM wParam, LPARAM lParam, Route route) noexcept;
    // At WM_NCDESTROY: the owned object is deleted now, or by the outermost handler still running.
    static void destroyed(Window* self) noexcept;
    std::optional<LRESULT> dispatchInput(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool deleteWhenDestroyed_ = false;
    // The messages this window is handling now, one inside another.
    NestedCalls calls_;
    // From WM_DESTROY on: what comes now comes from the window going, not from the user.
    bool destroying_ = false;
    Run run_ = Run::modeless;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace kq::win32
