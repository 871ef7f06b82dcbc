// How the façade calls a host object and reads what it answers: argument
// layout, failures as the runtime numbers them, VARIANT conversions.

#include <gtest/gtest.h>

#include <functional>

#include "common/win32/com_object.h"
#include "host/dispatch/dispatch_call.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {
namespace {

// A host object that fails or answers as told, and keeps what it was sent.
class ScriptedObject final : public win32::LateBoundObject<IDispatch> {
public:
    HRESULT result = S_OK;
    EXCEPINFO exception{};
    std::vector<std::wstring> askedNames;
    WORD flags = 0;
    std::vector<VARTYPE> sentTypes;      // rgvarg order
    std::vector<std::string> sentTexts;  // rgvarg order, as text
    std::vector<DISPID> namedIds;

    // Member 1; parameters by their place in the list Prompt, Title, Default, Type.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        static const wchar_t* params[] = {L"Prompt", L"Title", L"Default", L"Type"};
        ids[0] = 1;
        askedNames.assign(names, names + count);
        for (UINT i = 1; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (DISPID p = 0; p < 4; ++p) {
                if (_wcsicmp(names[i], params[p]) == 0) ids[i] = p;
            }
            if (ids[i] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD f, DISPPARAMS* p, VARIANT* out, EXCEPINFO* info,
                                     UINT*) override {
        flags = f;
        sentTypes.clear();
        sentTexts.clear();
        for (UINT i = 0; i < p->cArgs; ++i) {
            sentTypes.push_back(V_VT(&p->rgvarg[i]));
            sentTexts.push_back(toText(p->rgvarg[i]));
        }
        namedIds.assign(p->rgdispidNamedArgs, p->rgdispidNamedArgs + p->cNamedArgs);
        if (result == DISP_E_EXCEPTION) {
            *info = exception;
            info->bstrDescription = exception.bstrDescription ? SysAllocString(exception.bstrDescription) : nullptr;
        }
        if (SUCCEEDED(result) && out) {
            V_VT(out) = VT_I4;
            V_I4(out) = 5;
        }
        return result;
    }
};

HRESULT STDAPICALLTYPE fillLater(EXCEPINFO* info) {
    info->wCode = 9;
    info->bstrDescription = SysAllocString(L"Subscript out of range");
    return S_OK;
}

TEST(Caller, NamedArgumentsComeFirstAndPositionalOnesLastToFirst) {
    const auto host = win32::makeObject<ScriptedObject>();
    Caller caller(win32::ComPtr<IDispatch>::share(host.get()));
    caller.get("InputBox", "p", "t", named("Type", 8));
    ASSERT_EQ(host->askedNames, (std::vector<std::wstring>{L"InputBox", L"Type"}));
    EXPECT_EQ(host->flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(host->sentTexts, (std::vector<std::string>{"8", "t", "p"}));
    EXPECT_EQ(host->namedIds, (std::vector<DISPID>{3}));

    caller.put("StatusBar", false);
    EXPECT_EQ(host->flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(host->namedIds, (std::vector<DISPID>{DISPID_PROPERTYPUT}));
    EXPECT_EQ(host->sentTypes, (std::vector<VARTYPE>{VT_BOOL}));

    caller.call("OnTime", fromDate(45000.25), "Book.xla!Macro");
    EXPECT_EQ(host->flags, DISPATCH_METHOD);
    EXPECT_EQ(host->sentTypes, (std::vector<VARTYPE>{VT_BSTR, VT_DATE}));
    EXPECT_TRUE(host->namedIds.empty());
}

TEST(Caller, FailuresBecomeHostErrorsWithTheRuntimeNumber) {
    struct Case {
        const char* what;
        HRESULT result;
        WORD wCode;
        SCODE scode;
        const wchar_t* description;
        bool deferred;
        std::int32_t number;
        std::string text;
    };
    const Case cases[] = {
        {"a runtime number", DISP_E_EXCEPTION, 1004, 0, L"Application-defined", false, 1004, "Application-defined"},
        {"a runtime scode", DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x800A01A8), L"Object required", false, 424,
         "Object required"},
        {"another scode kept whole", DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x80010108), L"gone", false,
         err::kObjectDisconnected, "gone"},
        {"filled in later", DISP_E_EXCEPTION, 0, 0, nullptr, true, 9, "Subscript out of range"},
        {"no description", DISP_E_EXCEPTION, 1004, 0, nullptr, false, 1004, "Automation error"},
        {"a type mismatch", DISP_E_TYPEMISMATCH, 0, 0, nullptr, false, 13, "Type mismatch"},
        {"a wrong count", DISP_E_BADPARAMCOUNT, 0, 0, nullptr, false, 450,
         "Wrong number of arguments or invalid property assignment"},
        {"an unknown result", E_NOINTERFACE, 0, 0, nullptr, false, static_cast<std::int32_t>(E_NOINTERFACE),
         "Automation error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto host = win32::makeObject<ScriptedObject>();
        host->result = c.result;
        host->exception.wCode = c.wCode;
        host->exception.scode = c.scode;
        host->exception.bstrDescription = c.description ? SysAllocString(c.description) : nullptr;
        host->exception.pfnDeferredFillIn = c.deferred ? fillLater : nullptr;
        Caller caller(win32::ComPtr<IDispatch>::share(host.get()));
        try {
            caller.get("Anything");
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(std::string(e.what()), c.text);
        }
        SysFreeString(host->exception.bstrDescription);
    }
}

TEST(Caller, EveryNumberSimhostReportsComesBackUnchanged) {
    const std::int32_t numbers[] = {1, 9, 13, 424, 1004, 65535, 70000, err::kObjectDisconnected, -2147467259};
    for (std::int32_t n : numbers) {
        SCOPED_TRACE(n);
        EXCEPINFO info{};
        fillException(info, n, "text");
        const HostError e = errorFromResult(DISP_E_EXCEPTION, &info);
        EXPECT_EQ(e.number(), n);
        EXPECT_EQ(std::string(e.what()), "text");
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
    }
}

TEST(Caller, NothingToCallIsObjectRequired) {
    Caller nothing{win32::ComPtr<IDispatch>()};
    try {
        nothing.get("Name");
        FAIL() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::kObjectRequired);
    }
}

win32::Variant made(VARTYPE type, const std::function<void(VARIANT&)>& fill) {
    win32::Variant v;
    V_VT(v.get()) = type;
    fill(*v.get());
    return v;
}

TEST(VariantConvert, HostValuesOfEveryType) {
    LONG referred = 77;
    struct Case {
        const char* what;
        win32::Variant given;
        Value value;
    };
    Case cases[] = {
        {"empty", win32::Variant(), Empty{}},
        {"null", made(VT_NULL, [](VARIANT&) {}), Empty{}},
        {"short", made(VT_I2, [](VARIANT& v) { V_I2(&v) = -5; }), -5.0},
        {"long", made(VT_I4, [](VARIANT& v) { V_I4(&v) = 70000; }), 70000.0},
        {"single", made(VT_R4, [](VARIANT& v) { V_R4(&v) = 0.5f; }), 0.5},
        {"currency", made(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 12345; }), 1.2345},
        {"double", fromDouble(12.25), 12.25},
        {"text", fromText("売上"), std::string("売上")},
        {"true", fromBool(true), true},
        {"date", fromDate(45322.5), Date{45322.5}},
        {"#N/A", made(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = cellErrorScode(2042); }), CellError{2042}},
        {"by reference", made(VT_I4 | VT_BYREF, [&](VARIANT& v) { V_I4REF(&v) = &referred; }), 77.0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toValue(*c.given.get()), c.value);
        EXPECT_EQ(toValue(*fromValue(c.value).get()), c.value) << "back and forth";
    }
    win32::Variant error = fromValue(CellError{2007});
    EXPECT_EQ(V_VT(error.get()), VT_ERROR);
    EXPECT_EQ(static_cast<std::uint32_t>(V_ERROR(error.get())), 0x800A07D7u);
}

TEST(VariantConvert, FirstCellOfABlock) {
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {2, 1}};
    SAFEARRAY* block = SafeArrayCreate(VT_VARIANT, 2, bounds);
    LONG at[2] = {1, 1};
    win32::Variant first = fromText("top left");
    SafeArrayPutElement(block, at, first.get());
    win32::Variant array;
    V_VT(array.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(array.get()) = block;
    EXPECT_EQ(toValue(*array.get()), Value(std::string("top left")));
}

TEST(VariantConvert, TypedReadsFailAsTheRuntimeDoes) {
    struct Case {
        const char* what;
        std::function<void()> read;
        std::int32_t number;
    };
    const Case cases[] = {
        {"text as a number", [] { toLong(*fromText("abc").get()); }, err::kTypeMismatch},
        {"too large for a Long", [] { toLong(*fromDouble(3e10).get()); }, 6},
        {"a number as an object", [] { toObject(*fromLong(1).get()); }, err::kObjectRequired},
        {"text as a truth", [] { toBool(*fromText("maybe").get()); }, err::kTypeMismatch},
        {"an object as text", [] {
             win32::Variant nothing = fromObject(nullptr);
             toText(*nothing.get());
         }, err::kTypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.read();
            ADD_FAILURE() << "no error";
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), c.number);
        }
    }
    EXPECT_EQ(toLong(*fromText("12").get()), 12);
    EXPECT_EQ(toText(*fromBool(true).get()), "True");
    EXPECT_EQ(toText(*fromLong(-7).get()), "-7");
    EXPECT_TRUE(toBool(*fromLong(-1).get()));
    EXPECT_FALSE(toObject(*fromObject(nullptr).get()));
    EXPECT_TRUE(isMissing(*missingArgument().get()));
}

TEST(VariantConvert, DescribedForPeople) {
    struct Case {
        Value value;
        const char* text;
    };
    const Case cases[] = {
        {Empty{}, "Empty"},        {42.0, "42"},         {-0.1, "-0.1"},          {1e20, "1e+20"},
        {std::string("a"), "\"a\""}, {false, "False"},   {Date{45322.5}, "Date 45322.5"}, {CellError{2042}, "Error 2042"},
    };
    for (const Case& c : cases) EXPECT_EQ(describe(c.value), c.text);
}

}  // namespace
}  // namespace kq::host::dispatch
