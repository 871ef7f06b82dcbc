#include "common/win32/window.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <commctrl.h>
#include <windowsx.h>

#include "common/prompts.h"
#include "common/runtime_errors.h"
#include "common/texts.h"
#include "common/win32/com_boundary.h"
#include "common/win32/message_loop.h"
#include "common/win32/message_prompts.h"
#include "common/win32/module.h"
#include "common/win32/subclass.h"

namespace kq::win32 {

namespace {

// Messages whose result a dialog procedure returns itself rather than through DWLP_MSGRESULT.
bool dialogReturnsResult(UINT msg) {
    switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

std::optional<LRESULT> handledIf(bool handled) {
    if (handled) return 0;
    return std::nullopt;
}

POINT pointOf(LPARAM at) { return {GET_X_LPARAM(at), GET_Y_LPARAM(at)}; }

// The control a notification to its parent comes from; null for a menu's, an
// accelerator's or the window's own.
HWND notifier(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_HSCROLL:
        case WM_VSCROLL:
            return reinterpret_cast<HWND>(lParam);
        case WM_NOTIFY:
            return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
        }
        case WM_MEASUREITEM: {
            const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
            return item->CtlType == ODT_MENU || wParam == 0 ? nullptr : GetDlgItem(parent, static_cast<int>(item->CtlID));
        }
        default:
            return nullptr;
    }
}

// Ends of what holds idle work back that may come inside another loop: the
// loop is woken to look again.
bool endsAHold(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_EXITMENULOOP:
        case WM_EXITSIZEMOVE:
        case WM_CAPTURECHANGED:
            return true;
        case WM_ENABLE:
            return wParam != FALSE;
        default:
            return false;
    }
}

// How the module's let-go closes a window of this base: as by Cancel.
void endBound(HWND hwnd) noexcept {
    if (auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) window->end(IDCANCEL);
}

// ---- Failures of handlers

RuntimeFailure readOwnFailure() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return {runtime_errors::kOutOfMemory, std::string(runtime_errors::description(runtime_errors::kOutOfMemory))};
    } catch (const std::exception& e) {
        return {runtime_errors::kInternalError, e.what()};
    } catch (...) {
        return {runtime_errors::kInternalError,
                std::string(runtime_errors::description(runtime_errors::kInternalError))};
    }
}

// A failure kept until the thread that had it next takes its messages.
struct Untold {
    std::string text;
    HWND owner;
    DWORD thread;
    UINT_PTR timer;
};

// Caps, so that handlers failing without end never pile up boxes or memory.
constexpr std::size_t kMostUntold = 8;
constexpr std::size_t kMostTold = 64;

struct Failures {
    std::mutex lock;
    std::string title{texts::kErrorTitle};
    RuntimeFailure (*readCurrent)() = nullptr;
    std::vector<Untold> untold;
    // The kept failures told already: one that comes again (a paint that
    // fails at every repaint, the repaint after its own message included) is
    // not told again.
    std::vector<std::string> told;
};

Failures& failures() {
    static Failures all;
    return all;
}

std::string failureTitle() {
    const std::lock_guard held(failures().lock);
    return failures().title;
}

void tell(const std::string& text, HWND owner) {
    MessagePrompts(owner && IsWindow(owner) ? owner : GetActiveWindow())
        .message(text, failureTitle(), mb::kOkOnly | mb::kIconCritical);
}

void CALLBACK tellUntold(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::optional<Untold> due;
    {
        const std::lock_guard held(failures().lock);
        auto& untold = failures().untold;
        const auto at = std::find_if(untold.begin(), untold.end(), [timer](const Untold& u) { return u.timer == timer; });
        if (at == untold.end()) return;
        due = std::move(*at);
        untold.erase(at);
        if (failures().told.size() < kMostTold) failures().told.push_back(due->text);
    }
    try {
        tell(due->text, due->owner);
    } catch (...) {
        // No memory left to tell it.
    }
    unlockModule();
}

// Keeps the failure to be told once the thread next takes its messages, unless it was told before.
void keep(std::string text, HWND owner) {
    const std::lock_guard held(failures().lock);
    Failures& all = failures();
    const bool known = std::find(all.told.begin(), all.told.end(), text) != all.told.end() ||
                       std::any_of(all.untold.begin(), all.untold.end(), [&](const Untold& u) { return u.text == text; });
    if (known || all.told.size() >= kMostTold || all.untold.size() >= kMostUntold) return;
    // A thread timer runs from whichever loop takes the thread's messages
    // next: the program's, the host's, a modal run's, a message box's. Its
    // code is this module's, which therefore stays loaded until it has run.
    const UINT_PTR timer = SetTimer(nullptr, 0, 0, tellUntold);
    if (!timer) return;
    lockModule();
    all.untold.push_back({std::move(text), owner, GetCurrentThreadId(), timer});
}

}  // namespace

void setWindowFailureReporting(WindowFailureReporting reporting) {
    const std::lock_guard held(failures().lock);
    failures().title = std::move(reporting.title);
    failures().readCurrent = reporting.readCurrent;
}

std::string currentFailureMessage() {
    RuntimeFailure (*read)() = nullptr;
    {
        const std::lock_guard held(failures().lock);
        read = failures().readCurrent;
    }
    const RuntimeFailure failure = read ? read() : readOwnFailure();
    return texts::ErrorMessage(failure.number, failure.description);
}

std::optional<std::string> takeUntoldWindowFailure() {
    std::optional<std::string> taken;
    {
        const std::lock_guard held(failures().lock);
        auto& untold = failures().untold;
        const DWORD thread = GetCurrentThreadId();
        const auto at =
            std::find_if(untold.rbegin(), untold.rend(), [thread](const Untold& u) { return u.thread == thread; });
        if (at == untold.rend()) return std::nullopt;
        KillTimer(nullptr, at->timer);
        taken = std::move(at->text);
        untold.erase(std::next(at).base());
    }
    unlockModule();
    return taken;
}

// What CreateWindowExW carries to WM_NCCREATE.
struct Window::Creation {
    Window* window;
    // Set when the window is to own the object: emptied once it does.
    std::unique_ptr<Window>* owned;
};

HWND createChild(HWND parent, const ChildControl& c) {
    const HWND control =
        CreateWindowExW(c.exStyle, c.windowClass, c.text.c_str(), WS_CHILD | c.style, c.rect.left, c.rect.top,
                        c.rect.right - c.rect.left, c.rect.bottom - c.rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), thisModule(), nullptr);
    if (control && c.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    return control;
}

BlankDialogTemplate::BlankDialogTemplate(DWORD style, DWORD exStyle) {
    layout_.dialog.style = style;
    layout_.dialog.dwExtendedStyle = exStyle;
}

Window::~Window() {
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    // The parts of a derived window are gone already: nothing of the destruction may reach them.
    unbind();
    DestroyWindow(hwnd);
}

bool Window::registerClass(const WindowClassArgs& args) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = args.style;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = thisModule();
    wc.hCursor = args.cursor ? args.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = args.background;
    wc.hIcon = args.icon;
    wc.lpszClassName = args.name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND Window::create(const WindowArgs& args) {
    // One window at a time per object.
    if (hwnd_) return nullptr;
    return make(args, nullptr);
}

HWND Window::create(const WindowClassArgs& windowClass, WindowArgs args) {
    if (!registerClass(windowClass)) return nullptr;
    args.windowClass = windowClass.name;
    return create(args);
}

HWND Window::createOwned(std::unique_ptr<Window> window, const WindowClassArgs& windowClass, WindowArgs args) {
    if (!registerClass(windowClass)) return nullptr;
    args.windowClass = windowClass.name;
    return createOwned(std::move(window), args);
}

HWND Window::createOwned(std::unique_ptr<Window> window, const WindowArgs& args) {
    if (!window) return nullptr;
    Window& object = *window;
    // Once the window holds the object, `window` is empty; otherwise it deletes the object here.
    return object.make(args, &window);
}

HWND Window::make(const WindowArgs& a, std::unique_ptr<Window>* owned) {
    Creation creation{this, owned};
    // Nothing of this object may be touched after the call: a window that owns it may be gone with it.
    // A child window takes its control id where a top-level one takes its menu.
    const auto menu = (a.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(a.id)) : nullptr;
    return CreateWindowExW(a.exStyle, a.windowClass, a.text.c_str(), a.style, a.x, a.y, a.width, a.height, a.owner,
                           menu, thisModule(), &creation);
}

INT_PTR Window::runModal(HWND owner, const WindowArgs& args) {
    WindowArgs owned = args;
    owned.owner = owner;
    // From before the window is made: what its handlers set to run when idle runs in its loop.
    const ModalLevel level;
    startModal();
    if (!create(owned)) {
        run_ = Run::modeless;
        return -1;
    }
    return runUntilEnded(owner);
}

INT_PTR Window::runModalDialog(HWND owner, const DLGTEMPLATE& dialog) {
    const ModalLevel level;
    startModal();
    if (!CreateDialogIndirectParamW(thisModule(), &dialog, owner, dialogProc, reinterpret_cast<LPARAM>(this))) {
        run_ = Run::modeless;
        return -1;
    }
    return runUntilEnded(owner);
}

// Before the window is made: a window that ends while it starts ends its run at once.
void Window::startModal() {
    run_ = Run::modal;
    ended_ = false;
    result_ = 0;
}

INT_PTR Window::runUntilEnded(HWND owner) {
    // Disabled only once the window stands: an owner left disabled for a
    // window that never came would stay dead.
    const bool disabledHere = owner && !EnableWindow(owner, FALSE);
    if (!ended_ && hwnd_) ShowWindow(hwnd_, SW_SHOW);
    // A quit leaves the result at 0, as end(0) would.
    runMessagesUntil([this] { return ended_ || !hwnd_; });
    // Enabled before the window goes, so that the system hands the
    // activation back to the owner rather than to another program.
    if (disabledHere) EnableWindow(owner, TRUE);
    if (owner) SetActiveWindow(owner);
    if (hwnd_) DestroyWindow(hwnd_);
    run_ = Run::modeless;
    return result_;
}

void Window::end(INT_PTR result) {
    if (!hwnd_) return;
    switch (run_) {
        case Run::modal:
            result_ = result;
            ended_ = true;
            // Wakes the loop when this came in a sent message, which GetMessage handles without returning.
            PostMessageW(hwnd_, WM_NULL, 0, 0);
            return;
        case Run::modeless:
            DestroyWindow(hwnd_);
            return;
    }
}

void Window::OnFailure(UINT, std::string_view, bool answeringAct) noexcept {
    try {
        std::string text = currentFailureMessage();
        const HWND owner = hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr;
        if (answeringAct) {
            tell(text, owner);
        } else {
            keep(std::move(text), owner);
        }
    } catch (...) {
        // No memory left even for the text: nothing can be told.
    }
}

void Window::tellFailure(HWND window, UINT msg, LPARAM lParam) noexcept {
    for (HWND w = window; w; w = GetParent(w)) {
        if (Window* object = boundTo(w)) {
            object->OnFailure(msg, {}, object->answeringAct(msg, lParam));
            return;
        }
    }
    try {
        keep(currentFailureMessage(), GetActiveWindow());
    } catch (...) {
        // No memory left even for the text: nothing can be told.
    }
}

// A message box stands in the way of whatever the thread is in the middle
// of: only a message that carries the user's act or a command may have one,
// and not while a window of its line goes or another thread waits for the answer.
bool Window::answeringAct(UINT msg, LPARAM lParam) const noexcept {
    switch (msg) {
        case WM_COMMAND:
        case WM_SYSCOMMAND:
        case WM_CLOSE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_CONTEXTMENU:
        case WM_HSCROLL:
        case WM_VSCROLL:
            break;
        case WM_NOTIFY:
            // What a control asks while it paints or shows a tip comes again with every repaint.
            switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
                case NM_CUSTOMDRAW:
                case LVN_GETDISPINFOA:
                case LVN_GETDISPINFOW:
                case LVN_ODCACHEHINT:
                case LVN_GETINFOTIPA:
                case LVN_GETINFOTIPW:
                case HDN_GETDISPINFOA:
                case HDN_GETDISPINFOW:
                case TTN_GETDISPINFOA:
                case TTN_GETDISPINFOW:
                case TBN_GETINFOTIPA:
                case TBN_GETINFOTIPW:
                case TBN_GETDISPINFOA:
                case TBN_GETDISPINFOW:
                    return false;
                default:
                    break;
            }
            break;
        default:
            // The program's own messages are its commands.
            if (msg < WM_APP || msg > 0xBFFF) return false;
            break;
    }
    if (InSendMessage()) return false;
    for (HWND w = hwnd_; w; w = GetParent(w)) {
        if (const Window* object = w == hwnd_ ? this : objectOf(w); object && object->destroying_) return false;
    }
    return true;
}

Window* Window::boundTo(HWND hwnd) noexcept {
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::bind(HWND hwnd) noexcept {
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The window procedure is this module's code: the module stays while the window does.
    windowOpened(hwnd, endBound);
}

void Window::unbind() noexcept {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        windowClosed(hwnd_);
    }
    hwnd_ = nullptr;
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (auto* creation = static_cast<Creation*>(create->lpCreateParams)) {
            if (creation->owned) {
                // The window owns its object from here on and deletes it when it goes.
                creation->owned->release();
                creation->window->deleteWhenDestroyed_ = true;
            }
            creation->window->bind(hwnd);
        }
    }
    Window* self = boundTo(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->unbind();
        const LRESULT result = DefWindowProcW(hwnd, msg, wParam, lParam);
        destroyed(self);
        return result;
    }
    if (endsAHold(msg, wParam)) IdleWork::wake();
    NestedCalls::Frame frame(self->calls_);
    const std::optional<LRESULT> handled = self->handle(msg, wParam, lParam);
    const LRESULT result = handled ? *handled : DefWindowProcW(hwnd, msg, wParam, lParam);
    // `self` may be gone, or to be deleted now that its outermost handler has returned.
    if (frame.leave()) delete self;
    return result;
}

INT_PTR CALLBACK Window::dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG && lParam) reinterpret_cast<Window*>(lParam)->bind(hwnd);
    Window* self = boundTo(hwnd);
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        self->unbind();
        destroyed(self);
        return FALSE;
    }
    if (endsAHold(msg, wParam)) IdleWork::wake();
    NestedCalls::Frame frame(self->calls_);
    const std::optional<LRESULT> result = self->handle(msg, wParam, lParam);
    if (frame.leave()) delete self;
    if (!result) return FALSE;
    if (dialogReturnsResult(msg)) return static_cast<INT_PTR>(*result);
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

void Window::destroyed(Window* self) noexcept {
    if (self->deleteWhenDestroyed_ && self->calls_.end()) delete self;
}

std::optional<LRESULT> Window::handle(UINT msg, WPARAM wParam, LPARAM lParam, Route route) noexcept {
    try {
        return dispatch(msg, wParam, lParam, route);
    } catch (const std::exception& e) {
        return failed(msg, lParam, e.what());
    } catch (...) {
        return failed(msg, lParam, "an exception of unknown type");
    }
}

std::optional<LRESULT> Window::dispatch(UINT msg, WPARAM wParam, LPARAM lParam, Route route) {
    if (route == Route::reflected) return OnReflected(msg, wParam, lParam);
    if (route == Route::sent) {
        const HWND control = notifier(hwnd_, msg, wParam, lParam);
        if (!control || control == hwnd_) return dispatchOwn(msg, wParam, lParam);
        if (const std::optional<LRESULT> result = reflect(control, msg, wParam, lParam)) return result;
    }
    if (const std::optional<LRESULT> result = dispatchOwn(msg, wParam, lParam)) return result;
    return passUp(msg, wParam, lParam);
}

std::optional<LRESULT> Window::dispatchOwn(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        case WM_INITDIALOG:
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            return handledIf(OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_PAINT:
            return handledIf(OnPaint());
        case WM_ERASEBKGND:
            // Non-zero: the background counts as erased.
            if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            return OnMessage(msg, wParam, lParam);
        case WM_PRINTCLIENT:
            if (OnPrintClient(reinterpret_cast<HDC>(wParam), static_cast<UINT>(lParam))) return 0;
            return OnMessage(msg, wParam, lParam);
        case WM_SIZE:
            return handledIf(OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)));
        case WM_TIMER:
            return handledIf(OnTimer(wParam));
        case WM_CLOSE:
            return handledIf(OnClose());
        case WM_DESTROY:
            destroying_ = true;
            OnDestroy();
            return std::nullopt;
        default:
            return dispatchInput(msg, wParam, lParam);
    }
}

std::optional<LRESULT> Window::dispatchInput(UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto keys = static_cast<UINT>(GET_KEYSTATE_WPARAM(wParam));
    const POINT at = pointOf(lParam);
    bool handled = false;
    switch (msg) {
        case WM_LBUTTONDOWN: handled = OnMouseDown(MouseButton::left, at, keys); break;
        case WM_RBUTTONDOWN: handled = OnMouseDown(MouseButton::right, at, keys); break;
        case WM_MBUTTONDOWN: handled = OnMouseDown(MouseButton::middle, at, keys); break;
        case WM_LBUTTONUP: handled = OnMouseUp(MouseButton::left, at, keys); break;
        case WM_RBUTTONUP: handled = OnMouseUp(MouseButton::right, at, keys); break;
        case WM_MBUTTONUP: handled = OnMouseUp(MouseButton::middle, at, keys); break;
        case WM_LBUTTONDBLCLK: handled = OnDoubleClick(MouseButton::left, at, keys); break;
        case WM_RBUTTONDBLCLK: handled = OnDoubleClick(MouseButton::right, at, keys); break;
        case WM_MBUTTONDBLCLK: handled = OnDoubleClick(MouseButton::middle, at, keys); break;
        case WM_MOUSEMOVE: handled = OnMouseMove(at, keys); break;
        case WM_MOUSEWHEEL: handled = OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), at, keys); break;
        case WM_CAPTURECHANGED:
            // Also sent when this window takes the mouse from itself.
            if (reinterpret_cast<HWND>(lParam) != hwnd_) handled = OnCaptureLost(reinterpret_cast<HWND>(lParam));
            break;
        case WM_KEYDOWN: handled = OnKeyDown(static_cast<UINT>(wParam), lParam); break;
        case WM_KEYUP: handled = OnKeyUp(static_cast<UINT>(wParam), lParam); break;
        case WM_CHAR: handled = OnChar(static_cast<wchar_t>(wParam), lParam); break;
        case WM_CONTEXTMENU:
            handled = OnContextMenu(reinterpret_cast<HWND>(wParam),
                                    lParam == -1 ? std::nullopt : std::optional<POINT>(at));
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            handled = OnScroll(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam),
                               static_cast<short>(HIWORD(wParam)), reinterpret_cast<HWND>(lParam));
            break;
        default: break;
    }
    if (handled) return 0;
    return OnMessage(msg, wParam, lParam);
}

Window* Window::objectOf(HWND window) noexcept {
    // Any class may keep its own value in GWLP_USERDATA: only ours holds an object there.
    const bool ours = reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == windowProc ||
                      reinterpret_cast<DLGPROC>(GetWindowLongPtrW(window, DWLP_DLGPROC)) == dialogProc;
    return ours ? boundTo(window) : nullptr;
}

std::optional<LRESULT> Window::reflect(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (Window* object = objectOf(control)) return handOn(*object, msg, wParam, lParam, Route::reflected);
    if (Subclass* holder = Subclass::reflectionOf(control)) return holder->reflected(msg, wParam, lParam);
    return std::nullopt;
}

// A window of ours above hands the message straight to its handlers, so that
// the control, reflected once already, is not asked again; any other parent
// gets the message itself. A top-level window has no one to pass it to: its
// owner is no container of its controls.
std::optional<LRESULT> Window::passUp(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!(GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD)) return std::nullopt;
    const HWND parent = GetParent(hwnd_);
    if (!parent) return std::nullopt;
    if (Window* object = objectOf(parent)) return handOn(*object, msg, wParam, lParam, Route::passedUp);
    return SendMessageW(parent, msg, wParam, lParam);
}

std::optional<LRESULT> Window::handOn(Window& object, UINT msg, WPARAM wParam, LPARAM lParam, Route route) noexcept {
    // The other window is inside a handler of its own: one that ends it leaves it standing until it returns.
    NestedCalls::Frame frame(object.calls_);
    const std::optional<LRESULT> result = object.handle(msg, wParam, lParam, route);
    if (frame.leave()) delete &object;
    return result;
}

std::optional<LRESULT> Window::failed(UINT msg, LPARAM lParam, std::string_view what) noexcept {
    OnFailure(msg, what, answeringAct(msg, lParam));
    switch (msg) {
        case WM_NCCREATE:
            return FALSE;  // the window is not made
        case WM_CREATE:
            return -1;  // the window is not made
        case WM_INITDIALOG:
            // A dialog that could not be built cannot be answered either.
            end(0);
            return FALSE;
        default:
            return std::nullopt;
    }
}

}  // namespace kq::win32
