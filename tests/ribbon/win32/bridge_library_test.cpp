// The ribbon bridge library loaded as the host loads it: its registration, its
// resources, and the bridge object driven through its COM surface by a stub
// host, a stub ribbon and stub controls.

#include <gtest/gtest.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "common/win32/extensibility.h"
#include "common/win32/ribbon_interfaces.h"
#include "ribbon/registration.h"
#include "tests/ribbon/win32/picture_checks.h"
#include "tests/support/com_server.h"
#include "tests/support/win32_registry.h"

namespace kq::ribbon {
namespace {

using kq::win32::Bstr;
using kq::win32::ComPtr;
using kq::win32::narrow;
using kq::win32::Variant;
using kq::win32::wide;
using test::call;
using test::factsOf;
using test::number;
using test::PictureFacts;
using test::PropertyBag;
using test::tempFilesNamedKez;
using test::text;

// {95742240-4E9C-4134-8ABE-FE5D2EB826A5}
constexpr CLSID kClsidConnect2 = {0x95742240, 0x4E9C, 0x4134, {0x8A, 0xBE, 0xFE, 0x5D, 0x2E, 0xB8, 0x26, 0xA5}};
// {9672DF48-A80F-4C38-825E-9D4979767436}
constexpr IID kIidConnect2 = {0x9672DF48, 0xA80F, 0x4C38, {0x82, 0x5E, 0x9D, 0x49, 0x79, 0x76, 0x74, 0x36}};
// {1F9E7A61-D06A-4FC2-9DD2-6AAE91C9D770}
constexpr GUID kLibId = {0x1F9E7A61, 0xD06A, 0x4FC2, {0x9D, 0xD2, 0x6A, 0xAE, 0x91, 0xC9, 0xD7, 0x70}};

const std::wstring kClassKey = L"Software\\Classes\\CLSID\\{95742240-4E9C-4134-8ABE-FE5D2EB826A5}";
const std::wstring kProgIdKey = L"Software\\Classes\\Kez_QuorvexForRibbon.Connect2";
const std::wstring kAddinKey = L"Software\\Microsoft\\Office\\Excel\\Addins\\Kez_QuorvexForRibbon.Connect2";

test::ServerLibrary& library() {
    static test::ServerLibrary loaded(KQ_RIBBON_DLL);
    return loaded;
}

std::string resourceBytes(const wchar_t* type, const wchar_t* name) {
    const HRSRC found = FindResourceW(library().module, name, type);
    if (!found) return {};
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(library().module, found)));
    return std::string(bytes, SizeofResource(library().module, found));
}

// The add-in core as the bridge calls it by name: records each call.
class RecordingCore final : public kq::win32::LateBoundObject<IDispatch> {
public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) {
            known_.push_back(narrow(names[i]));
            ids[i] = static_cast<DISPID>(known_.size());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        std::string line = known_.at(static_cast<std::size_t>(id - 1));
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT& a = params->rgvarg[i];
            if (V_VT(&a) == (VT_I4 | VT_BYREF)) line.append(" ").append(std::to_string(*V_I4REF(&a)));
        }
        calls.push_back(line);
        if (result && line == "CallForRibbon_GetThisSheetCheckEnabled") {
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = watched ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
    std::vector<std::string> calls;
    bool watched = false;

private:
    ~RecordingCore() override = default;
    std::vector<std::string> known_;
};

template <typename Interface>
class DispatchStub : public kq::win32::ComObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

class RecordingRibbon final : public DispatchStub<kq::win32::IRibbonUI> {
public:
    HRESULT STDMETHODCALLTYPE Invalidate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR id) override {
        invalidated.push_back(narrow(id));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return S_OK; }
    std::vector<std::string> invalidated;

private:
    ~RecordingRibbon() override = default;
};

class StubControl final : public DispatchStub<kq::win32::IRibbonControl> {
public:
    explicit StubControl(const std::string& id) : id_(id) {}
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override {
        *id = Bstr(id_).detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
        *context = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override {
        *tag = SysAllocString(L"");
        return S_OK;
    }

private:
    ~StubControl() override = default;
    std::string id_;
};

VARIANT object(IDispatch* o) {
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = ComPtr<IDispatch>::share(o).detach();
    return v;
}

// A picture of w x h pixels, as the host's GetImageMso gives one.
ComPtr<IDispatch> bitmapPicture(int w, int h) {
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = CreateBitmap(w, h, 1, 32, nullptr);
    ComPtr<IDispatch> picture;
    OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, picture.putVoid());
    return picture;
}

class BridgeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library().module) << KQ_RIBBON_DLL;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        if (entry) entry->clear();
        bridge.reset();
        CoUninitialize();
    }

    // A bridge connected to a stub host of that version whose add-in list holds the core (or not).
    void connect(const wchar_t* version, bool coreLoaded = true) {
        application = kq::win32::makeObject<PropertyBag>();
        application->set(L"Version", text(version));
        commandBars = kq::win32::makeObject<PropertyBag>();
        builtIn = bitmapPicture(32, 32);
        commandBars->set(L"GetImageMso", object(builtIn.get()));
        application->set(L"CommandBars", object(commandBars.get()));
        coreEntry = kq::win32::makeObject<PropertyBag>();
        VARIANT nothing;
        VariantInit(&nothing);
        coreEntry->set(L"Object", coreLoaded ? object(core.get()) : nothing);
        addins = kq::win32::makeObject<PropertyBag>();
        addins->set(L"Item", object(coreEntry.get()));
        application->set(L"COMAddIns", object(addins.get()));
        entry = kq::win32::makeObject<PropertyBag>();
        VARIANT connected;
        V_VT(&connected) = VT_BOOL;
        V_BOOL(&connected) = VARIANT_TRUE;
        entry->set(L"Connect", connected);
        entry->set(L"Object", nothing);

        ComPtr<IClassFactory> factory;
        ASSERT_EQ(library().getClassObject(kClsidConnect2, IID_IClassFactory, factory.putVoid()), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, bridge.putVoid()), S_OK);
        const auto extensibility = bridge.as<kq::win32::IDTExtensibility2>();
        ASSERT_TRUE(extensibility);
        ASSERT_EQ(extensibility->OnConnection(application.get(), kq::win32::ext_cm_Startup, entry.get(), nullptr),
                  S_OK);
        VARIANT ribbonArg = object(ribbon.get());
        ASSERT_EQ(call(bridge.get(), L"Callback_onLoad", &ribbonArg, 1), S_OK);
        VariantClear(&ribbonArg);
    }

    // A callback called by name with a control, as the host calls it.
    Variant callWithControl(const wchar_t* callback, const std::string& id, HRESULT* outcome = nullptr) {
        const auto control = kq::win32::makeObject<StubControl>(id);
        VARIANT arg = object(control.get());
        Variant result;
        const HRESULT hr = call(bridge.get(), callback, &arg, 1, result.get());
        if (outcome) *outcome = hr;
        VariantClear(&arg);
        return result;
    }
    std::string markup() {
        const auto extensibility = bridge.as<kq::win32::IRibbonExtensibility>();
        Bstr xml;
        EXPECT_EQ(extensibility->GetCustomUI(Bstr("Microsoft.Excel.Workbook").get(), xml.put()), S_OK);
        return xml.utf8();
    }

    ComPtr<PropertyBag> application;
    ComPtr<PropertyBag> commandBars;
    ComPtr<PropertyBag> addins;
    ComPtr<PropertyBag> coreEntry;
    ComPtr<PropertyBag> entry;
    ComPtr<IDispatch> builtIn;
    ComPtr<RecordingCore> core = kq::win32::makeObject<RecordingCore>();
    ComPtr<RecordingRibbon> ribbon = kq::win32::makeObject<RecordingRibbon>();
    ComPtr<IDispatch> bridge;
    const test::PrivateTempFolder temp;
};

TEST_F(BridgeLibrary, RegistrationWritesExactlyTheListForTheUserAndRemovesIt) {
    library().unregisterServer();
    for (const auto& key : {kClassKey, kProgIdKey, kAddinKey}) test::deleteRegistryTree(key);

    ASSERT_EQ(library().registerServer(), S_OK);
    std::vector<RegistryValue> written;
    for (const auto& key : {kProgIdKey, kClassKey, kAddinKey}) test::collectValues(HKEY_CURRENT_USER, key, written);
    EXPECT_EQ(test::sorted(written), test::sorted(ComAddinRegistration(kConnect2Class, library().filePath)));
    Bstr registered;
    ASSERT_EQ(QueryPathOfRegTypeLib(kLibId, 1, 0, LOCALE_NEUTRAL, registered.put()), S_OK);
    EXPECT_EQ(registered.utf8(), library().filePath);

    // What the list says is enough for COM to make the object by its ProgID.
    test::copyTree(kClassKey, HKEY_LOCAL_MACHINE);
    test::copyTree(kProgIdKey, HKEY_LOCAL_MACHINE);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"Kez_QuorvexForRibbon.Connect2", &clsid), S_OK);
    ComPtr<IUnknown> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidConnect2, made.putVoid()), S_OK);
    made.reset();
    test::deleteMachineTree(kClassKey);
    test::deleteMachineTree(kProgIdKey);

    ASSERT_EQ(library().unregisterServer(), S_OK);
    std::vector<RegistryValue> left;
    for (const auto& key : {kProgIdKey, kClassKey, kAddinKey}) test::collectValues(HKEY_CURRENT_USER, key, left);
    EXPECT_TRUE(left.empty());
    EXPECT_NE(QueryPathOfRegTypeLib(kLibId, 1, 0, LOCALE_NEUTRAL, registered.put()), S_OK);
}

TEST_F(BridgeLibrary, ResourcesCarryTheIdentifierTheMarkupTheStringsAndTheVersion) {
    const std::string iid = resourceBytes(L"_IID_CONNECT2", MAKEINTRESOURCEW(1));
    ASSERT_EQ(iid.size(), 20u);
    EXPECT_EQ(iid.substr(0, 4), std::string("\x10\0\0\0", 4));
    EXPECT_EQ(iid.substr(4), std::string(reinterpret_cast<const char*>(&kIidConnect2), 16));

    const std::string markup2010 = resourceBytes(L"XML", L"CUSTOMUI2010");
    EXPECT_TRUE(markup2010.starts_with("\xEF\xBB\xBF<?xml"));
    EXPECT_EQ(resourceBytes(L"XML", L"CUSTOMUI2013"), markup2010);
    EXPECT_TRUE(resourceBytes(L"XML", L"CUSTOMUI2007").starts_with("<?xml"));
    for (const wchar_t* png : {L"PNG_ICON_THISSHEETCHECK", L"PNG_ICON_THISSHEETCHECK2", L"PNG_ICON_OPENHISTORY"}) {
        EXPECT_TRUE(resourceBytes(L"PNG", png).starts_with("\x89PNG")) << narrow(png);
    }
    EXPECT_TRUE(resourceBytes(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2)).find("asInvoker") != std::string::npos);

    const std::map<UINT, std::string> strings = {
        {1000, "Brelmont for Excel"},
        {1001, "Brelmont"},
        {1004, "環境設定"},
        {3003, "保存済みの履歴を開く"},
        {4007, "開発元ホームページへジャンプします。"},
        {5002, "このシートの印刷履歴を監視します。"},
        {5004, "各種設定を行います。"},
    };
    for (const auto& [id, expected] : strings) {
        wchar_t buffer[256] = {};
        LoadStringW(library().module, id, buffer, 256);
        EXPECT_EQ(narrow(buffer), expected) << id;
    }

    const std::wstring path = wide(library().filePath);
    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    const std::pair<const wchar_t*, const char*> values[] = {
        {L"FileVersion", "1.04"},
        {L"ProductVersion", "1.04"},
        {L"ProductName", "Brelmont for Excel(Ribbon)"},
        {L"OLESelfRegister", ""},
    };
    for (const auto& [name, expected] : values) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(version.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            << narrow(name);
        EXPECT_EQ(narrow(std::wstring(value, wcsnlen(value, length))), expected);
    }
}

TEST_F(BridgeLibrary, HostsGetTheDocumentsOwnSerialisationOrAreDropped) {
    struct Case {
        const wchar_t* version;
        bool published;
        bool connected;
        const char* ns;
    };
    const Case cases[] = {
        {L"12.0", true, true, "http://schemas.microsoft.com/office/2006/01/customui"},
        {L"14.0", true, true, "http://schemas.microsoft.com/office/2009/07/customui"},
        {L"16.0", true, true, "http://schemas.microsoft.com/office/2009/07/customui"},
        {L"13.0", false, false, nullptr},
        {L"17.0", false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.version));
        connect(c.version);
        EXPECT_EQ(V_VT(&entry->get(L"Object")) == VT_DISPATCH, c.published);
        EXPECT_EQ(V_BOOL(&entry->get(L"Connect")) == VARIANT_TRUE, c.connected);
        if (c.ns) {
            const std::string xml = markup();
            EXPECT_FALSE(xml.starts_with("\xEF\xBB\xBF"));
            EXPECT_NE(xml.find(c.ns), std::string::npos);
            EXPECT_NE(xml.find("Callback_getSupertip"), std::string::npos);
            // Not the resource's bytes: the document writes the markup anew.
            EXPECT_NE(xml, resourceBytes(L"XML", c.version[1] == '2' ? L"CUSTOMUI2007" : L"CUSTOMUI2010"));
        }
        const auto extensibility = bridge.as<kq::win32::IDTExtensibility2>();
        EXPECT_EQ(extensibility->OnDisconnection(kq::win32::ext_dm_HostShutdown, nullptr), S_OK);
        entry->clear();
    }
}

TEST_F(BridgeLibrary, CallbacksByNameReachTheCoreAndTheRibbon) {
    connect(L"14.0");
    EXPECT_EQ(V_BSTR(callWithControl(L"Callback_getLabel", "KEZ_QUORVEX_TAB_MAIN_OPENHISTORY").get()),
              std::wstring(L"履歴閲覧"));
    EXPECT_EQ(V_BSTR(callWithControl(L"callback_getdescription", "KEZ_QUORVEX_TAB_MAIN_SETTING_2").get()),
              std::wstring(L"各種設定を行います。"));

    core->watched = true;
    const Variant pressed = callWithControl(L"Callback_getPressed", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK");
    EXPECT_EQ(V_VT(pressed.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(pressed.get()), VARIANT_TRUE);

    // The repurposed command: its cancel flag comes by reference and goes back False.
    const auto control = kq::win32::makeObject<StubControl>("FilePrintQuick");
    VARIANT_BOOL cancel = VARIANT_TRUE;
    VARIANT args[2];
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = &cancel;
    args[1] = object(control.get());
    EXPECT_EQ(call(bridge.get(), L"Callback_DirectPrint_onAction", args, 2), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    VariantClear(&args[1]);

    core->calls.clear();
    callWithControl(L"Callback_Button_onAction", "KEZ_QUORVEX_TAB_MAIN_HELP");
    callWithControl(L"Callback_Button_onAction", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK_2");
    EXPECT_EQ(core->calls, (std::vector<std::string>{
                               "CallForRibbon_Help",
                               "CallForRibbon_ThisSheetCheck",
                           }));
    EXPECT_EQ(ribbon->invalidated,
              (std::vector<std::string>{"KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK_2", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK",
                                        "KEZ_QUORVEX_OFFICEMENU"}));
}

TEST_F(BridgeLibrary, PicturesAre48PixelBitmapsAndLeaveNoTempFile) {
    connect(L"15.0");
    const int before = tempFilesNamedKez();
    const PictureFacts png{48, 48, PICTYPE_BITMAP};
    for (const bool watched : {false, true}) {
        core->watched = watched;
        EXPECT_EQ(factsOf(*callWithControl(L"Callback_getImage", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK").get()), png);
    }
    Variant name;
    *name.put() = text(L"KEZ_QUORVEX_TAB_MAIN_OPENHISTORY");
    Variant history;
    ASSERT_EQ(call(bridge.get(), L"Callback_loadImage", name.get(), 1, history.get()), S_OK);
    EXPECT_EQ(factsOf(*history.get()), png);

    // Built-in images are the host's own picture objects.
    *name.put() = text(L"KEZ_QUORVEX_TAB_MAIN_ABOUT");
    Variant about;
    ASSERT_EQ(call(bridge.get(), L"Callback_loadImage", name.get(), 1, about.get()), S_OK);
    ASSERT_EQ(V_VT(about.get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(about.get()), builtIn.get());
    EXPECT_EQ(tempFilesNamedKez(), before);
}

TEST_F(BridgeLibrary, WithoutTheCoreStateQueriesAnswerEmptyAndNothingFails) {
    connect(L"14.0", false);
    HRESULT outcome = E_FAIL;
    EXPECT_EQ(V_VT(callWithControl(L"Callback_getPressed", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK", &outcome).get()),
              VT_EMPTY);
    EXPECT_EQ(outcome, S_OK);
    const Variant image = callWithControl(L"Callback_getImage", "KEZ_QUORVEX_TAB_MAIN_THISSHEETCHECK", &outcome);
    EXPECT_EQ(outcome, S_OK);
    EXPECT_TRUE(V_VT(image.get()) == VT_EMPTY || (V_VT(image.get()) == VT_DISPATCH && !V_DISPATCH(image.get())));
    // A control the host could not name fails nothing either.
    VARIANT none;
    V_VT(&none) = VT_DISPATCH;
    V_DISPATCH(&none) = nullptr;
    Variant label;
    EXPECT_EQ(call(bridge.get(), L"Callback_getPressed", &none, 1, label.get()), S_OK);
    EXPECT_TRUE(core->calls.empty());
}

}  // namespace
}  // namespace kq::ribbon
