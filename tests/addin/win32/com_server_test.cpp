// The add-in library itself, loaded as the host loads it: its four exports, its
// registration, its class object, and the add-in object behind it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "Kez_Quorvex_h.h"
#include "addin/core/registration.h"
#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "common/win32/com_registration_writer.h"
#include "common/win32/extensibility.h"
#include "common/win32/handles.h"

#include <ocidl.h>
#include "common/win32/wide.h"
#include "tests/support/com_server.h"
#include "tests/support/win32_registry.h"

namespace kq::addin::win32 {
namespace {

using kq::win32::Bstr;
using kq::win32::ComPtr;
using kq::win32::narrow;
using kq::win32::Variant;
using kq::win32::wide;

constexpr CLSID kClsidConnect = kq::win32::guidFromText(kConnectClass.clsid);
constexpr IID kIidConnect = kq::win32::guidFromText(kConnectClass.iid);
constexpr GUID kLibIdKezQuorvex = kq::win32::guidFromText(kConnectClass.libId);
const std::wstring kClassKey = L"Software\\Classes\\CLSID\\{AD76CD8C-E76E-4664-9CDD-C7444B82703A}";
const std::wstring kProgIdKey = L"Software\\Classes\\Kez_Quorvex.Connect";
const std::wstring kAddinKey = L"Software\\Microsoft\\Office\\Excel\\Addins\\Kez_Quorvex.Connect";
const std::wstring kSettingsKey = test::kProgramSettings + L"KEZ_QUORVEX";

// The library, loaded once for the whole program and never unloaded.
test::ServerLibrary& library() {
    static test::ServerLibrary loaded(KQ_ADDIN_DLL);
    return loaded;
}

using test::collectValues;
using test::call;
using test::copyTree;
using test::deleteMachineTree;
using test::idOf;
using test::number;
using test::PropertyBag;
using test::sorted;
using test::text;

class ComServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library().module) << KQ_ADDIN_DLL;
        ASSERT_TRUE(library().getClassObject && library().canUnloadNow && library().registerServer &&
                    library().unregisterServer);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override { CoUninitialize(); }

    template <typename T>
    ComPtr<T> create(REFIID iid) {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(library().getClassObject(kClsidConnect, IID_IClassFactory, factory.putVoid()), S_OK);
        ComPtr<T> object;
        if (factory) {
            EXPECT_EQ(factory->CreateInstance(nullptr, iid, object.putVoid()), S_OK);
        }
        return object;
    }
};

TEST_F(ComServer, RegistrationWritesExactlyTheListForTheUserAndRemovesIt) {
    library().unregisterServer();
    for (const auto& key : {kClassKey, kProgIdKey, kAddinKey}) test::deleteRegistryTree(key);

    ASSERT_EQ(library().registerServer(), S_OK);
    std::vector<RegistryValue> written;
    for (const auto& key : {kProgIdKey, kClassKey, kAddinKey}) collectValues(HKEY_CURRENT_USER, key, written);
    EXPECT_EQ(sorted(written), sorted(ComAddinRegistration(kConnectClass, library().filePath)));

    Bstr registered;
    ASSERT_EQ(QueryPathOfRegTypeLib(kLibIdKezQuorvex, 1, 0, LOCALE_NEUTRAL, registered.put()), S_OK);
    EXPECT_EQ(registered.utf8(), library().filePath);

    // What the list says is enough for COM to make the object by its ProgID.
    copyTree(kClassKey, HKEY_LOCAL_MACHINE);
    copyTree(kProgIdKey, HKEY_LOCAL_MACHINE);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"Kez_Quorvex.Connect", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kClsidConnect));
    ComPtr<_Connect> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidConnect, made.putVoid()), S_OK);
    made.reset();
    deleteMachineTree(kClassKey);
    deleteMachineTree(kProgIdKey);

    // The host adds values of its own to the add-in's key: those stay.
    const DWORD hostValue = 1;
    test::setRawValue(kAddinKey, L"CommandLineSafe", REG_DWORD, &hostValue, sizeof hostValue);
    ASSERT_EQ(library().unregisterServer(), S_OK);
    std::vector<RegistryValue> left;
    for (const auto& key : {kProgIdKey, kClassKey, kAddinKey}) collectValues(HKEY_CURRENT_USER, key, left);
    EXPECT_EQ(left, (std::vector<RegistryValue>{{narrow(kAddinKey), "CommandLineSafe", std::uint32_t{1}}}));
    EXPECT_NE(QueryPathOfRegTypeLib(kLibIdKezQuorvex, 1, 0, LOCALE_NEUTRAL, registered.put()), S_OK);
    test::deleteRegistryTree(kAddinKey);
}

TEST_F(ComServer, ClassObjectMakesOnlyConnectAndTheLibraryStaysWhileItLives) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(library().getClassObject(kLibIdKezQuorvex, IID_IClassFactory, factory.putVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(library().getClassObject(kClsidConnect, IID_IClassFactory, factory.putVoid()), S_OK);
    ComPtr<IUnknown> object;
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory.get());
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, object.putVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, object.putVoid()), E_NOINTERFACE);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
    factory.reset();

    // One identity behind every interface it answers.
    for (const IID* iid : {&IID_IDispatch, &kIidConnect, &kq::win32::IID_IDTExtensibility2, &IID_ISupportErrorInfo}) {
        ComPtr<IUnknown> view;
        ASSERT_EQ(object->QueryInterface(*iid, view.putVoid()), S_OK);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(view->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
        EXPECT_EQ(identity.get(), object.get());
    }
    EXPECT_EQ(library().canUnloadNow(), S_FALSE);
    object.reset();
    EXPECT_EQ(library().canUnloadNow(), S_OK);
}

TEST_F(ComServer, LateBoundCallersFindEveryMethodInAnyLetterCase) {
    const auto object = create<IDispatch>(IID_IDispatch);
    ASSERT_TRUE(object);
    const std::vector<std::pair<std::wstring, DISPID>> names = {
        {L"CallForXLA_WorkbookAfterPrint", 0x60030006},
        {L"callforribbon_getthissheetcheckenabled", 0x60030007},
        {L"CALLFORRIBBON_PRINTORPREVIEW_ONACTION", 0x60030008},
        {L"CallForRibbon_ThisSheetCheck", 0x60030009},
        {L"CallForRibbon_OpenHistory", 0x6003000A},
        {L"CallForRibbon_GotoHomePage", 0x6003000B},
        {L"CallForRibbon_Setting", 0x6003000C},
        {L"CallForRibbon_Help", 0x6003000D},
        {L"CallForRibbon_About", 0x6003000E},
        {L"CallForRibbon_Missing", DISPID_UNKNOWN},
    };
    for (const auto& [name, id] : names) EXPECT_EQ(idOf(object.get(), name), id) << narrow(name);

    // The ribbon bridge hands the print kind over by reference; it comes back unchanged.
    for (const LONG given : {1, 3, 0, 7}) {
        LONG value = given;
        VARIANT arg;
        arg.vt = VT_I4 | VT_BYREF;
        arg.plVal = &value;
        EXPECT_EQ(call(object.get(), L"callForRibbon_PrintOrPreview_onAction", &arg, 1), S_OK);
        EXPECT_EQ(value, given);
    }
    Variant enabled;
    EXPECT_EQ(call(object.get(), L"CallForRibbon_GetThisSheetCheckEnabled", nullptr, 0, enabled.get()), S_OK);
    EXPECT_EQ(enabled.get()->vt, VT_BOOL);
    EXPECT_EQ(enabled.get()->boolVal, VARIANT_FALSE);
    for (const wchar_t* name : {L"CallForXLA_WorkbookAfterPrint", L"CallForRibbon_Help", L"CallForRibbon_About"}) {
        EXPECT_EQ(call(object.get(), name), S_OK) << narrow(name);
    }
}

TEST_F(ComServer, WrongArgumentsFailWithADescriptionForTheCaller) {
    const auto object = create<_Connect>(kIidConnect);
    ASSERT_TRUE(object);
    EXPECT_EQ(object->CallForRibbon_GetThisSheetCheckEnabled(nullptr), E_POINTER);
    LONG kind = 2;
    EXPECT_EQ(object->CallForRibbon_PrintOrPreview_onAction(&kind), S_OK);
    EXPECT_EQ(kind, 2);

    const auto extensibility = object.as<kq::win32::IDTExtensibility2>(kq::win32::IID_IDTExtensibility2);
    ASSERT_TRUE(extensibility);
    EXPECT_EQ(extensibility->OnConnection(nullptr, kq::win32::ext_cm_Startup, nullptr, nullptr), E_INVALIDARG);
    const auto support = object.as<ISupportErrorInfo>(IID_ISupportErrorInfo);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(kq::win32::IID_IDTExtensibility2), S_OK);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.put()), S_OK);
    Bstr description;
    info->GetDescription(description.put());
    EXPECT_EQ(description.utf8(), "The host gave no application or add-in entry");
    // Nothing was connected, so there is nothing to disconnect.
    EXPECT_EQ(extensibility->OnDisconnection(kq::win32::ext_dm_HostShutdown, nullptr), S_OK);
}

// Application events that never fire: the add-in's event sink connects to them.
class SilentEventPoint final : public kq::win32::ComObject<IConnectionPoint> {
public:
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
        *container = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown*, DWORD* cookie) override {
        *cookie = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    ~SilentEventPoint() override = default;
};

// The application: a bag of properties that also offers its events.
class ApplicationBag final : public kq::win32::ComExtension<PropertyBag, IConnectionPointContainer> {
public:
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint** point) override {
        return kq::win32::createInstance<SilentEventPoint>(IID_IConnectionPoint, reinterpret_cast<void**>(point));
    }

private:
    ~ApplicationBag() override = default;
};

TEST_F(ComServer, ConnectionPublishesTheObjectAndDisconnectionWritesTheSettings) {
    test::deleteRegistryTree(kSettingsKey);
    const auto application = kq::win32::makeObject<ApplicationBag>();
    application->set(L"Version", text(L"16.0"));
    application->set(L"hInstance", number(0x400000));
    application->set(L"Path", text(L"C:\\Program Files\\Microsoft Office\\root\\Office16"));
    application->set(L"Caption", text(L"Book1 - Host"));
    const auto workbooks = kq::win32::makeObject<PropertyBag>();
    workbooks->set(L"Count", number(0));
    VARIANT workbooksObject;
    workbooksObject.vt = VT_DISPATCH;
    workbooksObject.pdispVal = ComPtr<IDispatch>::share(workbooks.get()).detach();
    application->set(L"Workbooks", workbooksObject);
    const auto entry = kq::win32::makeObject<PropertyBag>();
    entry->set(L"ProgId", text(L"Kez_Quorvex.Connect"));
    VARIANT connected;
    connected.vt = VT_BOOL;
    connected.boolVal = VARIANT_TRUE;
    entry->set(L"Connect", connected);
    VARIANT nothing;
    VariantInit(&nothing);
    entry->set(L"Object", nothing);

    auto extensibility = create<kq::win32::IDTExtensibility2>(kq::win32::IID_IDTExtensibility2);
    ASSERT_TRUE(extensibility);
    SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    ASSERT_EQ(extensibility->OnConnection(application.get(), kq::win32::ext_cm_Startup, entry.get(), &custom),
              S_OK);
    EXPECT_EQ(entry->get(L"Connect").boolVal, VARIANT_TRUE);

    // The entry now holds the add-in object itself, reachable by name.
    const VARIANT& published = entry->get(L"Object");
    ASSERT_EQ(published.vt, VT_DISPATCH);
    ComPtr<IUnknown> publishedIdentity;
    ComPtr<IUnknown> identity;
    published.pdispVal->QueryInterface(IID_IUnknown, publishedIdentity.putVoid());
    extensibility->QueryInterface(IID_IUnknown, identity.putVoid());
    EXPECT_EQ(publishedIdentity.get(), identity.get());
    EXPECT_EQ(call(published.pdispVal, L"CallForRibbon_GotoHomePage"), S_OK);
    EXPECT_FALSE(test::readRawValue(kSettingsKey + L"\\Setting", L"Folder"));

    ASSERT_EQ(extensibility->OnDisconnection(kq::win32::ext_dm_HostShutdown, &custom), S_OK);
    EXPECT_TRUE(test::readRawValue(kSettingsKey + L"\\Setting", L"Folder"));
    SafeArrayDestroy(custom);

    entry->clear();
    publishedIdentity.reset();
    identity.reset();
    extensibility.reset();
    EXPECT_EQ(library().canUnloadNow(), S_OK);
    test::deleteRegistryTree(kSettingsKey);
}

}  // namespace
}  // namespace kq::addin::win32
