// A tiny COM add-in for simhost's loading tests. It registers per user as the
// product does, connects through the dispatch façade, refuses hosts other than
// version 16 with a message box, records the application events it receives,
// and publishes an object with a few methods the scenarios call late-bound:
//   Twice(n)          n is a Long by reference: doubled; the result is the old n
//   Events()          the events received since the last call, joined by ";"
//   ActiveAddress()   the host's active cell, read through the façade
//   Schedule(p)       Application.OnTime now, procedure p
//   Ask(text)         a question box (OK and Cancel); the result is the button pressed
//   Confirm(text)     a dialog with a check box, ticked at first, and OK and Cancel;
//                     the result is the button pressed, plus 128 when the box was ticked
//   Copied(address)   Range.Copy of the active sheet's cells, then the clipboard's text
//   Pictured(address) Range.CopyPicture as printed, then whether the clipboard holds a metafile
//   Fail()            fails with the runtime error 1004
//   AfterPrint()      counts its calls; the result is the count
//   Form()            a modal form owned by the host's window ("XLMAIN"): a name box,
//                     a check box, a list, a combo box, OK and Cancel; OK with the
//                     name empty asks for it and stays open. The result is what the
//                     form held at OK ("name|ticked|list entry|combo entry"), or
//                     "cancel"

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <olectl.h>
#include <shlwapi.h>

#include <cwctype>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "common/win32/extensibility.h"
#include "common/win32/form_window.h"
#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "common/win32/window_text.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_host.h"
#include "host/dispatch/variant_convert.h"
#include "tests/tools/test_addin/test_registration.h"

namespace {

using namespace kq;
namespace dispatch = kq::host::dispatch;

// {D9F78E41-7153-438D-9E24-DC7FD39F20B9}
constexpr CLSID kClsid = {0xD9F78E41, 0x7153, 0x438D, {0x9E, 0x24, 0xDC, 0x7F, 0xD3, 0x9F, 0x20, 0xB9}};
constexpr wchar_t kClsidText[] = L"{D9F78E41-7153-438D-9E24-DC7FD39F20B9}";
constexpr wchar_t kProgId[] = L"KqTest.AddIn";

class Events final : public host::ApplicationEvents {
public:
    std::string log;
    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override { add("WorkbookBeforePrint", wb->Name()); }
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override { add("WorkbookBeforeSave", wb->Name()); }
    void WorkbookOpen(const host::WorkbookPtr& wb) override { add("WorkbookOpen", wb->Name()); }
    void NewWorkbook(const host::WorkbookPtr& wb) override { add("NewWorkbook", wb->Name()); }
    void WorkbookActivate(const host::WorkbookPtr& wb) override { add("WorkbookActivate", wb->Name()); }
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        add("WindowActivate", wb->Name() + (wn ? "" : " without window"));
    }
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        add("WindowDeactivate", wb->Name() + (wn ? "" : " without window"));
    }
    void SheetActivate(const host::SheetPtr& sh) override { add("SheetActivate", sh->Name()); }

private:
    void add(const char* event, const std::string& what) {
        if (!log.empty()) log += ';';
        log.append(event).append(" ").append(what);
    }
};

enum Method : DISPID {
    kTwice = 1, kEvents, kActiveAddress, kSchedule, kAsk, kConfirm, kCopied, kPictured, kFail, kAfterPrint, kForm
};

struct MethodName {
    const wchar_t* name;
    DISPID id;
};
constexpr MethodName kMethods[] = {{L"Twice", kTwice},       {L"Events", kEvents}, {L"ActiveAddress", kActiveAddress},
                                   {L"Schedule", kSchedule}, {L"Ask", kAsk},       {L"Confirm", kConfirm},
                                   {L"Copied", kCopied},     {L"Pictured", kPictured},
                                   {L"Fail", kFail},
                                   {L"AfterPrint", kAfterPrint}, {L"Form", kForm}};

// A form as the add-ins' dialogs are: its own window class, modal, owned by the host's window.
class TestForm final : public win32::Form {
public:
    std::string result = "cancel";

private:
    static constexpr int kName = 101;
    static constexpr int kTick = 102;
    static constexpr int kList = 103;
    static constexpr int kCombo = 104;

    bool OnLoad() override {
        const HWND me = hwnd();
        addControl(me, L"STATIC", "名前", WS_VISIBLE, {120, 120, 900, 240});
        name_ = addControl(me, L"EDIT", "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, {1080, 120, 2400, 300}, kName);
        tick_ = addControl(me, L"BUTTON", "通知する(&T)", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, {120, 540, 2400, 300}, kTick);
        addControl(me, L"STATIC", "色", WS_VISIBLE, {120, 960, 900, 240});
        list_ = addControl(me, L"LISTBOX", "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | LBS_NOTIFY, {1080, 960, 1200, 720}, kList);
        for (const wchar_t* entry : {L"赤", L"青"}) SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        addControl(me, L"STATIC", "大きさ", WS_VISIBLE, {120, 1800, 900, 240});
        combo_ = addControl(me, L"COMBOBOX", "", WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, {1080, 1800, 1200, 1200}, kCombo);
        for (const wchar_t* entry : {L"小", L"大"}) SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        addControl(me, L"BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {1440, 2400, 1000, 360}, IDOK);
        addControl(me, L"BUTTON", "キャンセル", WS_VISIBLE | WS_TABSTOP, {2520, 2400, 1000, 360}, IDCANCEL);
        return true;
    }

    bool OnCommand(int id, UINT code, HWND) override {
        if (code != BN_CLICKED) return false;
        if (id == IDCANCEL) {
            end(IDCANCEL);
            return true;
        }
        if (id != IDOK) return false;
        const std::string name = win32::windowText(name_);
        if (name.empty()) {
            MessageBoxW(hwnd(), L"名前を入れてください。", L"Form", MB_OK | MB_ICONEXCLAMATION);
            focus(name_);
            return true;
        }
        result = name + "|" + (SendMessageW(tick_, BM_GETCHECK, 0, 0) == BST_CHECKED ? "ticked" : "unticked") + "|" +
                 entryOf(list_, LB_GETCURSEL, LB_GETTEXT) + "|" + entryOf(combo_, CB_GETCURSEL, CB_GETLBTEXT);
        end(IDOK);
        return true;
    }

    static std::string entryOf(HWND box, UINT current, UINT textOfEntry) {
        const auto at = SendMessageW(box, current, 0, 0);
        if (at < 0) return "none";
        wchar_t text[256] = {};
        SendMessageW(box, textOfEntry, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
        return win32::narrow(text);
    }

    HWND name_ = nullptr;
    HWND tick_ = nullptr;
    HWND list_ = nullptr;
    HWND combo_ = nullptr;
};

// A dialog made in memory: a text, a check box, OK and Cancel.
class ConfirmDialog {
public:
    static int show(const std::wstring& text) {
        ConfirmDialog d;
        d.header(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 4, 200, 90, L"Confirm");
        d.item(WS_CHILD | WS_VISIBLE, 10, 10, 180, 20, 101, 0x0082, text);
        d.item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 36, 180, 12, kCheck, 0x0080,
               L"次回も表示起動する");
        d.item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 40, 62, 50, 14, IDOK, 0x0080, L"OK");
        d.item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 110, 62, 50, 14, IDCANCEL, 0x0080, L"Cancel");
        return static_cast<int>(DialogBoxIndirectParamW(win32::thisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(d.words_.data()),
                                                        nullptr, proc, 0));
    }

private:
    static constexpr int kCheck = 100;

    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM w, LPARAM) {
        if (message == WM_INITDIALOG) {
            CheckDlgButton(dialog, kCheck, BST_CHECKED);
            return TRUE;
        }
        if (message == WM_COMMAND && (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)) {
            EndDialog(dialog, LOWORD(w) + (IsDlgButtonChecked(dialog, kCheck) == BST_CHECKED ? 128 : 0));
            return TRUE;
        }
        return FALSE;
    }

    void add(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void add(const std::wstring& text) {
        for (wchar_t c : text) words_.push_back(static_cast<WORD>(c));
        words_.push_back(0);
    }
    void words(std::initializer_list<int> list) {
        for (int w : list) words_.push_back(static_cast<WORD>(w));
    }
    // Dialog units; no menu, the dialog class, then the title.
    void header(DWORD style, int items, int cx, int cy, const std::wstring& title) {
        add(style);
        add(0);
        words({items, 0, 0, cx, cy, 0, 0});
        add(title);
    }
    // Each item starts on a DWORD; its class by atom, no creation data.
    void item(DWORD style, int x, int y, int cx, int cy, int id, int kind, const std::wstring& text) {
        if (words_.size() % 2) words_.push_back(0);
        add(style);
        add(0);
        words({x, y, cx, cy, id, 0xFFFF, kind});
        add(text);
        words_.push_back(0);
    }

    std::vector<WORD> words_;
};

bool sameName(const wchar_t* a, const wchar_t* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::towlower(*a) != std::towlower(*b)) return false;
    }
    return *a == *b;
}

class TestConnect final : public win32::LateBoundObject<win32::IDTExtensibility2> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (const auto& m : kMethods) {
            if (sameName(names[0], m.name)) ids[0] = m.id;
        }
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        try {
            win32::Variant answer = run(id, *params);
            if (result) *result = answer.detach();
            return S_OK;
        } catch (const host::HostError& e) {
            if (exception) dispatch::fillException(*exception, e.number(), e.what());
            return DISP_E_EXCEPTION;
        } catch (...) {
            return win32::bareFailureResult();
        }
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, win32::ext_ConnectMode, IDispatch* addInInst,
                                           SAFEARRAY**) override {
        try {
            auto app = dispatch::wrapApplication(application);
            auto entry = dispatch::wrapAddInEntry(addInInst);
            const std::string version = app->Version();
            if (version.rfind("16.", 0) != 0) {
                const std::wstring text = L"このバージョンには対応していません: " + win32::wide(version);
                MessageBoxW(nullptr, text.c_str(), L"Test add-in", MB_OK | MB_ICONSTOP);
                entry->SetConnect(false);
                return S_OK;
            }
            app_ = app;
            connection_ = app_->Advise(events_);
            entry->SetObject(dispatch::wrapLateBound(this));
        } catch (const host::HostError& e) {
            const std::wstring text = L"OnConnection-Err:" + std::to_wstring(e.number()) + L"\r\n" + win32::wide(e.what());
            MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(win32::ext_DisconnectMode, SAFEARRAY**) override {
        connection_.reset();
        app_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

private:
    ~TestConnect() override = default;

    static VARIANT& arg(DISPPARAMS& params, UINT i) {
        if (i >= params.cArgs) throw host::HostError(host::err::kArgumentNotOptional, "Argument not optional");
        return params.rgvarg[params.cArgs - 1 - i];
    }

    host::Application& app() {
        if (!app_) throw host::HostError(host::err::kObjectNotSet, "Object variable or With block variable not set");
        return *app_;
    }

    host::RangePtr activeRange(const VARIANT& address) {
        host::SheetPtr sheet = app().ActiveSheet();
        host::WorksheetPtr ws = sheet ? sheet->AsWorksheet() : nullptr;
        if (!ws) throw host::HostError(host::err::kObjectNotSet, "No active worksheet");
        return ws->Range(dispatch::toText(address));
    }

    win32::Variant run(DISPID id, DISPPARAMS& params) {
        switch (id) {
            case kTwice: {
                VARIANT& n = arg(params, 0);
                if (V_VT(&n) != (VT_I4 | VT_BYREF)) throw host::HostError(host::err::kTypeMismatch, "Twice takes a Long by reference");
                const std::int32_t old = *V_I4REF(&n);
                *V_I4REF(&n) = old * 2;
                return dispatch::fromLong(old);
            }
            case kEvents: {
                std::string log;
                log.swap(events_.log);
                return dispatch::fromText(log);
            }
            case kActiveAddress: {
                host::RangePtr cell = app().ActiveCell();
                return dispatch::fromText(cell ? cell->Address() : "Nothing");
            }
            case kSchedule: {
                SYSTEMTIME now;
                GetLocalTime(&now);
                double when = 0;
                SystemTimeToVariantTime(&now, &when);
                app().OnTime(when, dispatch::toText(arg(params, 0)));
                return {};
            }
            case kAsk: {
                const std::wstring text = win32::wide(dispatch::toText(arg(params, 0)));
                return dispatch::fromLong(MessageBoxW(nullptr, text.c_str(), L"Question", MB_OKCANCEL | MB_ICONQUESTION));
            }
            case kConfirm: return dispatch::fromLong(ConfirmDialog::show(win32::wide(dispatch::toText(arg(params, 0)))));
            case kCopied: {
                activeRange(arg(params, 0))->Copy();
                std::wstring text;
                if (const win32::OpenedClipboard open = win32::openClipboard(nullptr)) {
                    if (const win32::LockedGlobal lock = win32::lockGlobal(GetClipboardData(CF_UNICODETEXT))) {
                        text = static_cast<const wchar_t*>(lock.get());
                    }
                }
                return dispatch::fromText(win32::narrow(text));
            }
            case kPictured:
                activeRange(arg(params, 0))->CopyPicture(host::xlPrinter, host::xlPicture);
                return dispatch::fromBool(IsClipboardFormatAvailable(CF_ENHMETAFILE) != 0);
            case kFail: throw host::HostError(host::err::kApplicationDefined, "Test failure");
            case kAfterPrint: return dispatch::fromLong(++afterPrints_);
            case kForm: {
                TestForm form;
                form.showModal(FindWindowW(L"XLMAIN", nullptr), L"テストの入力", 3840, 2880);
                return dispatch::fromText(form.result);
            }
            default: throw host::HostError(host::err::kNoSuchMember, "Object doesn't support this property or method");
        }
    }

    host::ApplicationPtr app_;
    Events events_;
    std::unique_ptr<host::EventConnection> connection_;
    std::int32_t afterPrints_ = 0;
};

constexpr win32::ServedClass kServedClasses[] = {{&kClsid, win32::classObjectOf<TestConnect>}};

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return win32::getClassObject(kServedClasses, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return win32::canUnloadModule(); }

extern "C" HRESULT WINAPI DllRegisterServer() { return kq::test::registerTestAddIn(kProgId, kClsidText); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return kq::test::unregisterTestAddIn(kProgId, kClsidText); }
