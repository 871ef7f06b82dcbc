// The COM object base: reference counts, QueryInterface from the interface
// list, the module's count, class objects, and IDispatch served from this
// program's own type library.

#include "common/win32/com_object.h"

#include <gtest/gtest.h>

#include <ocidl.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "com_test_objects_h.h"
#include "common/win32/com_registration_writer.h"
#include "common/win32/wide.h"

namespace kq::win32 {
namespace {

// {6E1B6E2C-3D47-4E11-9F2A-0C1D2E3F4A5B}
constexpr CLSID kProbeClass = {0x6E1B6E2C, 0x3D47, 0x4E11, {0x9F, 0x2A, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};
// {6E1B6E2C-3D47-4E11-9F2A-0C1D2E3F4A5C}
constexpr CLSID kUnknownClass = {0x6E1B6E2C, 0x3D47, 0x4E11, {0x9F, 0x2A, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5C}};

// Counts its own destruction.
class Probe : public ComObject<IPersist, ISupportErrorInfo> {
public:
    Probe() = default;
    explicit Probe(int& deletions) : deletions_(&deletions) {}

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        *clsid = kProbeClass;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

protected:
    ~Probe() override {
        if (deletions_) ++*deletions_;
    }

private:
    int* deletions_ = nullptr;
};

class ExtendedProbe final : public ComExtension<Probe, IConnectionPointContainer> {
public:
    using ComExtension::ComExtension;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) override { return E_NOTIMPL; }

private:
    ~ExtendedProbe() override = default;
};

template <typename Failure>
class FailingProbe final : public ComObject<IPersist> {
public:
    FailingProbe() { throw Failure(); }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
};

struct RefusedAccess : ComFailure {
    RefusedAccess() : ComFailure(E_ACCESSDENIED, "refused") {}
};

const FailureReporting kTallyFailures{"KqTest.Tally", [] { return RuntimeFailure{1004, "The tally broke"}; }};

class Tally final : public DualObject<ITally, ISupportErrorInfo> {
public:
    HRESULT STDMETHODCALLTYPE Add(LONG amount, LONG* total) override {
        if (!total) return E_POINTER;
        total_ += amount;
        *total = total_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Twice(LONG* value) override {
        if (!value) return E_POINTER;
        *value *= 2;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Label(BSTR* label) override {
        if (!label) return E_POINTER;
        *label = Bstr("集計").detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Fail() override {
        return comBoundary(kTallyFailures, iidOf<ITally>(), [] { throw std::runtime_error("anything"); });
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, iidOf<ITally>()) ? S_OK : S_FALSE;
    }

private:
    ~Tally() override = default;
    LONG total_ = 0;
};

ComPtr<IUnknown> identityOf(IUnknown* object) {
    ComPtr<IUnknown> identity;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
    return identity;
}

class ComObjects : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(canUnloadModule(), S_OK) << "an object of an earlier test is still alive";
    }
    void TearDown() override {
        EXPECT_EQ(canUnloadModule(), S_OK) << "the test left an object alive";
        CoUninitialize();
    }
};

TEST_F(ComObjects, TheLastReleaseDeletesTheObjectOnce) {
    int deletions = 0;
    Probe* probe = makeObject<Probe>(deletions).detach();
    EXPECT_EQ(probe->AddRef(), 2u);
    IPersist* persist = nullptr;
    ASSERT_EQ(probe->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
    EXPECT_EQ(probe->Release(), 2u);
    EXPECT_EQ(persist->Release(), 1u);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(deletions, 1);
}

TEST_F(ComObjects, ListedInterfacesShareOneIdentityAndOthersAreRefused) {
    int deletions = 0;
    const auto probe = makeObject<ExtendedProbe>(deletions);
    const ComPtr<IUnknown> identity = identityOf(static_cast<IPersist*>(probe.get()));
    ASSERT_TRUE(identity);
    for (const IID* iid : {&IID_IUnknown, &IID_IPersist, &IID_ISupportErrorInfo, &IID_IConnectionPointContainer}) {
        ComPtr<IUnknown> view;
        ASSERT_EQ(probe->QueryInterface(*iid, view.putVoid()), S_OK);
        EXPECT_EQ(identityOf(view.get()).get(), identity.get());
    }
    // Neither an interface it does not list nor IDispatch, which none of its interfaces derives from.
    for (const IID* iid : {&IID_IDispatch, &IID_IClassFactory, &IID_IConnectionPoint, &iidOf<ITally>()}) {
        void* out = probe.get();
        EXPECT_EQ(probe->QueryInterface(*iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(probe->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ComObjects, TheModuleStaysWhileObjectsOrServerLocksLive) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(classObjectOf<Probe>(IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(canUnloadModule(), S_FALSE) << "a class object holds the module";

    ComPtr<IPersist> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersist, object.putVoid()), S_OK);
    EXPECT_EQ(moduleLocks(), 2) << "the class object and the instance";
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(moduleLocks(), 3);
    factory.reset();
    object.reset();
    EXPECT_EQ(moduleLocks(), 1) << "only the server lock is left";
    EXPECT_EQ(canUnloadModule(), S_FALSE) << "a server lock holds the module";
    ASSERT_EQ(classObjectOf<Probe>(IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    EXPECT_EQ(canUnloadModule(), S_OK);
}

TEST_F(ComObjects, FailedCreationLeavesNothingBehind) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(classObjectOf<Probe>(IID_IClassFactory, factory.putVoid()), S_OK);
    IUnknown* outer = factory.get();
    struct Case {
        const char* what;
        HRESULT (*create)(IClassFactory* factory, IUnknown* outer, void** out);
        HRESULT result;
    };
    const Case cases[] = {
        {"as a part of another object",
         [](IClassFactory* f, IUnknown* o, void** out) { return f->CreateInstance(o, IID_IUnknown, out); },
         CLASS_E_NOAGGREGATION},
        {"by an interface it does not answer",
         [](IClassFactory* f, IUnknown*, void** out) { return f->CreateInstance(nullptr, IID_IDispatch, out); },
         E_NOINTERFACE},
        {"when its constructor refuses",
         [](IClassFactory*, IUnknown*, void** out) {
             return createInstance<FailingProbe<RefusedAccess>>(IID_IPersist, out);
         },
         E_ACCESSDENIED},
        {"when memory runs out",
         [](IClassFactory*, IUnknown*, void** out) {
             return createInstance<FailingProbe<std::bad_alloc>>(IID_IPersist, out);
         },
         E_OUTOFMEMORY},
        {"when its constructor breaks",
         [](IClassFactory*, IUnknown*, void** out) {
             return createInstance<FailingProbe<int>>(IID_IPersist, out);
         },
         E_UNEXPECTED},
        {"of a class the server does not make",
         [](IClassFactory*, IUnknown*, void** out) {
             const ServedClass served[] = {{&kProbeClass, classObjectOf<Probe>}};
             return getClassObject(served, kUnknownClass, IID_IClassFactory, out);
         },
         CLASS_E_CLASSNOTAVAILABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        void* out = outer;
        EXPECT_EQ(c.create(factory.get(), outer, &out), c.result);
        EXPECT_EQ(out, nullptr);
    }
    factory.reset();
    EXPECT_EQ(canUnloadModule(), S_OK) << "a refused object was left alive";
}

class DualObjects : public ComObjects {
protected:
    static DISPID idOf(IDispatch* object, const wchar_t* name) {
        std::wstring text = name;
        LPOLESTR names[] = {text.data()};
        DISPID id = DISPID_UNKNOWN;
        object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        return id;
    }
};

TEST_F(DualObjects, NamesResolveInAnyLetterCaseThroughTheTypeLibrary) {
    const auto tally = makeObject<Tally>();
    const auto object = tally.as<IDispatch>();
    ASSERT_TRUE(object);
    EXPECT_EQ(identityOf(object.get()).get(), identityOf(tally.as<ITally>().get()).get());

    const std::vector<std::pair<const wchar_t*, DISPID>> names = {
        {L"Add", 1},   {L"add", 1},   {L"ADD", 1},          {L"tWiCe", 2},
        {L"Label", 3}, {L"LABEL", 3}, {L"Fail", 4},         {L"Missing", DISPID_UNKNOWN},
        {L"", DISPID_UNKNOWN},        {L"Add ", DISPID_UNKNOWN},
    };
    for (const auto& [name, id] : names) EXPECT_EQ(idOf(object.get(), name), id) << narrow(name);

    UINT count = 0;
    EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
    EXPECT_TRUE(info);
    EXPECT_EQ(object->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.put()), DISP_E_BADINDEX);
    EXPECT_FALSE(info);
}

TEST_F(DualObjects, LateBoundCallsReachTheMethodsWithConvertedArguments) {
    const auto object = makeObject<Tally>().as<IDispatch>();
    ASSERT_TRUE(object);
    auto invoke = [&](DISPID id, WORD flags, std::vector<VARIANT> args, Variant& result, EXCEPINFO* exception) {
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.put(), exception, nullptr);
    };
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    Bstr five("5");
    V_BSTR(&text) = five.get();
    Variant total;
    ASSERT_EQ(invoke(1, DISPATCH_METHOD, {text}, total, nullptr), S_OK) << "a text that reads as a number";
    EXPECT_EQ(V_VT(total.get()), VT_I4);
    EXPECT_EQ(V_I4(total.get()), 5);

    LONG value = 21;
    VARIANT byReference;
    V_VT(&byReference) = VT_I4 | VT_BYREF;
    V_I4REF(&byReference) = &value;
    Variant none;
    ASSERT_EQ(invoke(2, DISPATCH_METHOD, {byReference}, none, nullptr), S_OK);
    EXPECT_EQ(value, 42);

    Variant label;
    ASSERT_EQ(invoke(3, DISPATCH_PROPERTYGET, {}, label, nullptr), S_OK);
    ASSERT_EQ(V_VT(label.get()), VT_BSTR);
    EXPECT_EQ(narrow(V_BSTR(label.get())), "集計");

    EXCEPINFO exception{};
    Variant failed;
    EXPECT_EQ(invoke(4, DISPATCH_METHOD, {}, failed, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, static_cast<SCODE>(0x800A03EC));
    EXPECT_EQ(narrow(exception.bstrDescription ? exception.bstrDescription : L""), "The tally broke");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    EXPECT_EQ(invoke(1, DISPATCH_METHOD, {}, total, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(object->Invoke(1, IID_IPersist, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr, nullptr, nullptr,
                             nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(object->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
}

// Identifiers written as the registry writes them give the GUIDs the system reads there.
TEST(GuidFromText, ReadsTheRegistryFormAsTheSystemDoes) {
    for (const std::string text : {"{6E1B6E2C-3D47-4E11-9F2A-0C1D2E3F4A5B}", "{ad76cd8c-e76e-4664-9cdd-c7444b82703a}",
                                   "{00000000-0000-0000-C000-000000000046}", "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}"}) {
        IID expected{};
        ASSERT_EQ(IIDFromString(wide(text).c_str(), &expected), S_OK) << text;
        EXPECT_TRUE(IsEqualGUID(guidFromText(text), expected)) << text;
    }
    for (const std::string text : {"", "AD76CD8C-E76E-4664-9CDD-C7444B82703A", "{AD76CD8C-E76E-4664-9CDD-C7444B82703A",
                                   "{AD76CD8C-E76E-4664-9CDD-C7444B82703G}", "{AD76CD8CE-76E-4664-9CDD-C7444B82703A}",
                                   "{AD76CD8C-E76E-4664-9CDD-C7444B82703AA}", "(AD76CD8C-E76E-4664-9CDD-C7444B82703A)"}) {
        EXPECT_THROW(guidFromText(text), std::invalid_argument) << text;
    }
}

}  // namespace
}  // namespace kq::win32
