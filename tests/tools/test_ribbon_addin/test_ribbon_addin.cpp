// A COM add-in with a ribbon, for simhost's ribbon scenarios. It connects to
// any host, publishes itself, and gives as its markup the file named by the
// value "Markup" of HKEY_CURRENT_USER\Software\KqTest\RibbonAddIn (no value:
// no markup). Its callbacks, bound by name, refuse (type mismatch) arguments
// other than the host's own: a control that is an IRibbonControl with a window
// as its Context, a Boolean by value for a toggle's state, a Boolean by
// reference for CancelDefault, a text for an image name.
//   OnLoad(ribbon)              keeps the ribbon as its IRibbonUI
//   GetLabel(control)           "<Id>" and, when the control has one, "/<Tag>"
//   GetPressed(control)         whether the add-in is watching
//   GetImage(control)           a 16 x 16 picture: one look while watching, another while not
//   LoadImage(name)             a 32 x 32 picture for "list" and "T_HELP", Nothing for any other
//   OnToggle(control, pressed)  watching follows `pressed` unless told to refuse; then
//                               InvalidateControl of the control
//   OnButton(control)           noted, with whether it came with a window; T_WATCH_2 turns watching over and invalidates T_WATCH,
//                               T_LIST invalidates T_WATCH by name through IDispatch, T_HELP
//                               invalidates everything, T_SETTING an id the ribbon lacks
//   OnPrint(control, cancel)    noted; sets CancelDefault when told to
//   OnFail(control)             fails with the runtime error 1004
// Methods of the published object, for the scripts:
//   Log()                       what the callbacks noted since the last call, joined by ";"
//   CancelPrints(flag)          whether OnPrint cancels
//   Refuse(flag)                whether OnToggle leaves watching as it is
// Its IDispatch gives the type information of its own type library
// (test_ribbon_addin.idl), which also declares, and its GetIDsOfNames knows,
// members no markup the host takes may name: OnToggleBare(control),
// OnPrintByValue(control, cancel), GetLabelSilently(control),
// GetPressedObject(control), OnButtonByName(name) and the property Caption.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "common/win32/extensibility.h"
#include "common/win32/handles.h"
#include "common/win32/ribbon_interfaces.h"
#include "common/win32/wide.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/dispatch_host.h"
#include "host/dispatch/variant_convert.h"
#include "tests/tools/test_addin/test_registration.h"
#include "tools/simhost/picture_bits.h"

namespace {

using namespace kq;
namespace dispatch = kq::host::dispatch;
using host::HostError;

// {9FB35BF8-4C5F-46DA-8035-3AFF889B8DBF}
constexpr CLSID kClsid = {0x9FB35BF8, 0x4C5F, 0x46DA, {0x80, 0x35, 0x3A, 0xFF, 0x88, 0x9B, 0x8D, 0xBF}};
constexpr wchar_t kClsidText[] = L"{9FB35BF8-4C5F-46DA-8035-3AFF889B8DBF}";
constexpr wchar_t kProgId[] = L"KqTest.RibbonAddIn";
constexpr wchar_t kSettingsKey[] = L"Software\\KqTest\\RibbonAddIn";

// {034611DE-4BD2-44BE-9C6F-AD6C698A2ABE}, the dispatch interface of the type library.
constexpr IID kDiid = {0x034611DE, 0x4BD2, 0x44BE, {0x9C, 0x6F, 0xAD, 0x6C, 0x69, 0x8A, 0x2A, 0xBE}};

enum Method : DISPID {
    kOnLoad = 1, kGetLabel, kGetPressed, kGetImage, kLoadImage, kOnToggle, kOnButton, kOnPrint, kOnFail,
    kLog, kCancelPrints, kRefuse, kOnToggleBare, kOnPrintByValue, kGetLabelSilently, kGetPressedObject,
    kOnButtonByName, kCaption
};

struct MethodName {
    const wchar_t* name;
    DISPID id;
};
constexpr MethodName kMethods[] = {
    {L"OnLoad", kOnLoad},       {L"GetLabel", kGetLabel}, {L"GetPressed", kGetPressed},
    {L"GetImage", kGetImage},   {L"LoadImage", kLoadImage}, {L"OnToggle", kOnToggle},
    {L"OnButton", kOnButton},   {L"OnPrint", kOnPrint},   {L"OnFail", kOnFail},
    {L"Log", kLog},             {L"CancelPrints", kCancelPrints}, {L"Refuse", kRefuse},
    {L"OnToggleBare", kOnToggleBare},   {L"OnPrintByValue", kOnPrintByValue},
    {L"GetLabelSilently", kGetLabelSilently}, {L"GetPressedObject", kGetPressedObject},
    {L"OnButtonByName", kOnButtonByName},     {L"Caption", kCaption},
};

[[noreturn]] void mismatch(const char* what) { throw HostError(host::err::kTypeMismatch, what); }

std::string markupFile() {
    win32::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD bytes = sizeof path - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), L"Markup", nullptr, &type, reinterpret_cast<BYTE*>(path), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return win32::narrow(path);
}

// A picture of one colour, owning its bitmap.
win32::Variant picture(int size, std::uint32_t colour) {
    std::uint32_t* pixels = nullptr;
    win32::Bitmap bitmap = simhost::topDownBitmap(size, size, pixels);
    if (!bitmap) throw HostError(host::err::kOutOfMemory, "Out of memory");
    for (int i = 0; i < size * size; ++i) pixels[i] = colour;
    const win32::ComPtr<IDispatch> made = simhost::pictureOwning(bitmap);
    if (!made) throw HostError(host::err::kOutOfMemory, "Out of memory");
    return dispatch::fromObject(made.get());
}

std::string textOf(BSTR b) { return b ? win32::narrow(std::wstring_view(b, SysStringLen(b))) : std::string(); }

class RibbonAddIn final : public win32::ComObject<win32::IDTExtensibility2, win32::IRibbonExtensibility> {
public:
    RibbonAddIn() : typeInfo_(win32::loadModuleTypeInfo(kDiid)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        *info = win32::ComPtr<ITypeInfo>::share(typeInfo_.get()).detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (const auto& m : kMethods) {
            if (_wcsicmp(names[0], m.name) == 0) ids[0] = m.id;
        }
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        try {
            DISPPARAMS none{};
            win32::Variant answer = run(id, params ? *params : none);
            if (result) *result = answer.detach();
            return S_OK;
        } catch (const HostError& e) {
            if (exception) dispatch::fillException(*exception, e.number(), e.what());
            return DISP_E_EXCEPTION;
        } catch (...) {
            return win32::bareFailureResult();
        }
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, win32::ext_ConnectMode, IDispatch* addInInst,
                                           SAFEARRAY**) override {
        try {
            dispatch::wrapAddInEntry(addInInst)->SetObject(dispatch::wrapLateBound(static_cast<win32::IDTExtensibility2*>(this)));
        } catch (const HostError&) {
            return E_FAIL;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(win32::ext_DisconnectMode, SAFEARRAY**) override {
        ribbon_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR, BSTR* markup) override {
        if (!markup) return E_POINTER;
        *markup = nullptr;
        const std::string path = markupFile();
        if (path.empty()) return S_OK;
        std::ifstream in(win32::wide(path).c_str(), std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
        *markup = win32::Bstr(bytes).detach();
        return S_OK;
    }

private:
    ~RibbonAddIn() override = default;

    static VARIANT& arg(DISPPARAMS& params, UINT i) {
        if (params.cNamedArgs != 0 || i >= params.cArgs) throw HostError(host::err::kWrongArgumentCount, "Wrong number of arguments");
        return params.rgvarg[params.cArgs - 1 - i];
    }

    // The control, as the host must give it: an IRibbonControl in a window.
    struct Control {
        std::string id;
        std::string tag;
        bool inWindow = false;  // the host gives no window while no workbook is open
    };
    static Control control(DISPPARAMS& params) {
        VARIANT& given = arg(params, 0);
        if (V_VT(&given) != VT_DISPATCH || !V_DISPATCH(&given)) mismatch("the control is no object");
        const auto ribbonControl = win32::ComPtr<IDispatch>::share(V_DISPATCH(&given)).as<win32::IRibbonControl>();
        if (!ribbonControl) mismatch("the control is no IRibbonControl");
        win32::Bstr id, tag;
        win32::ComPtr<IDispatch> context;
        if (FAILED(ribbonControl->get_Id(id.put())) || FAILED(ribbonControl->get_Tag(tag.put())) ||
            FAILED(ribbonControl->get_Context(context.put()))) {
            mismatch("the control does not tell its Id, Tag and Context");
        }
        // The same facts by name, as a script add-in reads them.
        dispatch::Caller byName(win32::ComPtr<IDispatch>::share(V_DISPATCH(&given)));
        if (dispatch::toText(*byName.get("id").get()) != textOf(id.get())) mismatch("Id differs by name");
        return {textOf(id.get()), textOf(tag.get()), static_cast<bool>(context)};
    }

    void note(const std::string& entry) { log_ += (log_.empty() ? "" : ";") + entry; }

    void invalidate(const std::string& id) {
        if (!ribbon_) return;
        const HRESULT hr = ribbon_->InvalidateControl(win32::Bstr(id).get());
        if (FAILED(hr)) note("InvalidateControl " + id + " failed");
    }

    win32::Variant run(DISPID id, DISPPARAMS& params) {
        switch (id) {
            case kOnLoad: {
                VARIANT& given = arg(params, 0);
                if (V_VT(&given) != VT_DISPATCH || !V_DISPATCH(&given)) mismatch("the ribbon is no object");
                ribbon_ = win32::ComPtr<IDispatch>::share(V_DISPATCH(&given)).as<win32::IRibbonUI>();
                if (!ribbon_) mismatch("the ribbon is no IRibbonUI");
                note("OnLoad");
                return {};
            }
            case kGetLabel: {
                const Control c = control(params);
                return dispatch::fromText(c.tag.empty() ? c.id : c.id + "/" + c.tag);
            }
            case kGetPressed:
                control(params);
                return dispatch::fromBool(watching_);
            case kGetImage:
                control(params);
                return picture(16, watching_ ? 0xFF00C000u : 0xFF808080u);
            case kLoadImage: {
                VARIANT& name = arg(params, 0);
                if (V_VT(&name) != VT_BSTR) mismatch("the image name is no text");
                const std::string image = textOf(V_BSTR(&name));
                if (image == "list") return picture(32, 0xFF2040A0u);
                if (image == "T_HELP") return picture(32, 0xFFA04020u);
                return dispatch::fromObject(nullptr);
            }
            case kOnToggle: {
                const Control c = control(params);
                VARIANT& pressed = arg(params, 1);
                if (V_VT(&pressed) != VT_BOOL) mismatch("the pressed state is no Boolean by value");
                note("OnToggle " + c.id + (V_BOOL(&pressed) ? " pressed" : " released"));
                if (!refuse_) watching_ = V_BOOL(&pressed) != VARIANT_FALSE;
                invalidate(c.id);
                return {};
            }
            case kOnButton: {
                const Control c = control(params);
                note("OnButton " + c.id + (c.inWindow ? " in a window" : " without a window"));
                if (c.id == "T_WATCH_2") {
                    watching_ = !watching_;
                    invalidate("T_WATCH");
                } else if (c.id == "T_LIST" && ribbon_) {
                    dispatch::Caller(win32::ComPtr<IDispatch>::share(ribbon_.get())).call("invalidatecontrol", "T_WATCH");
                } else if (c.id == "T_HELP" && ribbon_) {
                    ribbon_->Invalidate();
                } else if (c.id == "T_SETTING") {
                    invalidate("NO_SUCH_CONTROL");
                }
                return {};
            }
            case kOnPrint: {
                const Control c = control(params);
                VARIANT& cancel = arg(params, 1);
                if (V_VT(&cancel) != (VT_BOOL | VT_BYREF) || !V_BOOLREF(&cancel)) {
                    mismatch("CancelDefault is no Boolean by reference");
                }
                note("OnPrint " + c.id + (*V_BOOLREF(&cancel) ? " cancelled before" : ""));
                if (cancelPrints_) *V_BOOLREF(&cancel) = VARIANT_TRUE;
                return {};
            }
            case kOnFail:
                control(params);
                throw HostError(host::err::kApplicationDefined, "Application-defined or object-defined error");
            case kLog: {
                std::string log;
                log.swap(log_);
                return dispatch::fromText(log);
            }
            case kCancelPrints:
                cancelPrints_ = dispatch::toBool(arg(params, 0));
                return {};
            case kRefuse:
                refuse_ = dispatch::toBool(arg(params, 0));
                return {};
            default: throw HostError(host::err::kNoSuchMember, "Object doesn't support this property or method");
        }
    }

    win32::ComPtr<ITypeInfo> typeInfo_;
    win32::ComPtr<win32::IRibbonUI> ribbon_;
    std::string log_;
    bool watching_ = false;
    bool cancelPrints_ = false;
    bool refuse_ = false;
};

constexpr win32::ServedClass kServedClasses[] = {{&kClsid, win32::classObjectOf<RibbonAddIn>}};

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return win32::getClassObject(kServedClasses, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return win32::canUnloadModule(); }

extern "C" HRESULT WINAPI DllRegisterServer() { return kq::test::registerTestAddIn(kProgId, kClsidText); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return kq::test::unregisterTestAddIn(kProgId, kClsidText); }
