// The add-in library's Windows helpers, in a test program that carries the
// library's own resources: its string table and type library.

#include "addin/core/win32/system_helpers.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "addin/core/registration.h"
#include "addin/core/win32/com_boundary.h"
#include "addin/core/win32/connect_object.h"
#include "addin/core/win32/type_library.h"
#include "common/vb.h"
#include "common/win32/com.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "host/sim/sim_application.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/win32_scratch.h"
#include "tests/support/win32/window_driver.h"

namespace kq::addin::win32 {
namespace {

using kq::win32::ComPtr;
using kq::win32::narrow;
using kq::win32::wide;

// The identifiers the library's code goes by.
constexpr IID kIidConnect = ConnectObject::kIid;
constexpr CLSID kClsidConnect = ConnectObject::kClsid;
constexpr GUID kLibIdKezQuorvex = kq::win32::typeLibraryOf(kConnectClass).libId;

TEST(LoadResStringEx, StringTableHoldsBothLanguages) {
    const std::vector<std::pair<std::int32_t, std::string>> table = {
        {1000, "Brelmont"},
        {1100, "KEZ(&M)"},
        {1200, "Brelmont(&H)"},
        {1201, "印刷監視(&S)"},
        {1202, "履歴閲覧(&C)"},
        {1210, "環境設定(&S)"},
        {1211, "ヘルプ(&H)"},
        {1212, "バージョン情報(&V)"},
        {1900, "開発元ホームページへ(&D)"},
        {2000, "Quorvex"},
        {2100, "&KEZ"},
        {2200, "&Quorvex"},
        {2201, "&ThisSheetCheck"},
        {2202, "&CheckHistory"},
        {2210, "&Setting"},
        {2211, "&Help"},
        {2212, "&About"},
        {2900, "&Developer's Site"},
    };
    for (const auto& [id, text] : table) EXPECT_EQ(LoadResStringEx(id), text) << id;
    try {
        LoadResStringEx(1001);
        ADD_FAILURE() << "an id the table lacks must fail";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), 326);
    }
}

TEST(SystemFacts, CountryAndVersionOfTheRunningSystem) {
    // The test session runs Wine in a Japanese locale.
    EXPECT_EQ(LanguagenameFromOS(), "JAPAN");

    // Whatever Windows the prefix plays, the text is the kernel's own version and the code one the add-in accepts.
    SystemVersion system;
    ASSERT_TRUE(system.extendedRecord());
    const auto reported = system.basicRecord();
    const auto actual = system.trueVersion();
    ASSERT_TRUE(reported && actual);
    EXPECT_EQ(reported->platformId, kPlatformNT);
    std::string versionText;
    const std::int32_t code = GetOS(versionText);
    EXPECT_GE(code, 7);
    EXPECT_LE(code, 12);
    EXPECT_EQ(versionText, std::to_string(actual->major) + "." + std::to_string(actual->minor));
}

class HostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW cls{};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"XLMAIN";
        RegisterClassW(&cls);
        mainWindow = test::plainWindow(L"Book1 - Simulated Host", {0, 0, 100, 100}, WS_OVERLAPPEDWINDOW, L"XLMAIN");
        dialogWindow = test::plainWindow(L"dialog", {0, 0, 10, 10}, WS_POPUP);
        main = mainWindow.get();
        dialog = dialogWindow.get();
        ASSERT_TRUE(main && dialog);
    }
    kq::win32::OwnedWindow mainWindow;
    kq::win32::OwnedWindow dialogWindow;
    HWND main = nullptr;
    HWND dialog = nullptr;
    test::MemoryFileSystem files;
};

TEST_F(HostWindow, FoundByTheHostsCaptionAndMadeOwnerOfADialog) {
    EXPECT_EQ(GetXlHwnd(nullptr), nullptr);  // no host yet
    const auto sim = host::sim::SimApplication::create(files);
    sim->setCaption("Book1 - Simulated Host");
    EXPECT_EQ(GetXlHwnd(sim), main);
    sim->setCaption("Another Caption");
    EXPECT_EQ(GetXlHwnd(sim), nullptr);

    SetParentWindow(dialog, main);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
    SetParentWindow(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
}

TEST(GetAppDay, CalendarDayOfTheLastWriteInLocalTime) {
    test::ScratchFolder scratch(L"kq_app_day");
    const std::string path = scratch.path("Kez_Quorvex.dll");
    kq::win32::FileHandle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    for (const vb::DateTime written : {vb::DateTime{2021, 3, 4, 0, 0, 0}, vb::DateTime{2021, 3, 4, 23, 59, 59},
                                       vb::DateTime{1999, 12, 31, 12, 0, 0}}) {
        SYSTEMTIME local{static_cast<WORD>(written.year), static_cast<WORD>(written.month), 0,
                         static_cast<WORD>(written.day), static_cast<WORD>(written.hour),
                         static_cast<WORD>(written.minute), static_cast<WORD>(written.second), 0};
        FILETIME localTime{};
        FILETIME utc{};
        ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
        ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &utc));
        FlushFileBuffers(file.get());
        const double day = *vb::ToOleDate({written.year, written.month, written.day, 0, 0, 0});
        EXPECT_EQ(DayLastWritten(path).value, day) << written.year << "-" << written.month << "-" << written.day;
    }
    file.reset();
    EXPECT_EQ(DayLastWritten(scratch.path("missing.dll")).value, 0.0);
    // This test program has no library file of its name beside it.
    EXPECT_EQ(GetAppDay().value, 0.0);
}

class Boundary : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }

    static std::string errorDescription(std::string* source = nullptr) {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.put()) != S_OK || !info) return "<none>";
        kq::win32::Bstr text;
        info->GetDescription(text.put());
        if (source) {
            kq::win32::Bstr from;
            info->GetSource(from.put());
            *source = from.utf8();
        }
        return text.utf8();
    }
};

TEST_F(Boundary, EveryFailureBecomesAResultWithItsDescription) {
    struct Case {
        const char* what;
        std::function<void()> body;
        HRESULT result;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"host error", [] { throw host::HostError(1004, "Application-defined or object-defined error"); },
         static_cast<HRESULT>(0x800A03EC), "Application-defined or object-defined error"},
        {"automation error",
         [] { throw host::HostError(host::err::kObjectDisconnected, "The object invoked has disconnected"); },
         RPC_E_DISCONNECTED, "The object invoked has disconnected"},
        {"caller's mistake", [] { throw ComFailure(E_POINTER, "no place for the result"); }, E_POINTER,
         "no place for the result"},
        {"out of memory", [] { throw std::bad_alloc(); }, static_cast<HRESULT>(0x800A0007), "Out of memory"},
        {"broken invariant", [] { throw std::logic_error("list out of order"); }, static_cast<HRESULT>(0x800A0033),
         "list out of order"},
        {"anything", [] { throw 42; }, static_cast<HRESULT>(0x800A0033), "Internal error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(comBoundary(kIidConnect, c.body), c.result);
        std::string source;
        EXPECT_EQ(errorDescription(&source), c.description);
        EXPECT_EQ(source, "Kez_Quorvex.Connect");
    }
    EXPECT_EQ(comBoundary(kIidConnect, [] {}), S_OK);
}

std::string guidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return narrow(text);
}

TEST(TypeLibrary, DescribesTheInterfaceTheCallersBindTo) {
    // The same identifiers as the registration list writes.
    EXPECT_EQ(guidText(kLibIdKezQuorvex), kConnectClass.libId);
    EXPECT_EQ(guidText(kIidConnect), kConnectClass.iid);
    EXPECT_EQ(guidText(kClsidConnect), kConnectClass.clsid);

    const auto library = loadOwnTypeLibrary();
    TLIBATTR* lib = nullptr;
    ASSERT_EQ(library->GetLibAttr(&lib), S_OK);
    EXPECT_TRUE(IsEqualGUID(lib->guid, kLibIdKezQuorvex));
    EXPECT_EQ(lib->wMajorVerNum, 1);
    EXPECT_EQ(lib->wMinorVerNum, 0);
    library->ReleaseTLibAttr(lib);
    kq::win32::Bstr name;
    library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(name.utf8(), "Kez_Quorvex");

    const auto info = connectTypeInfo();
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
    info->ReleaseTypeAttr(attr);

    const std::vector<std::pair<std::string, MEMBERID>> methods = {
        {"CallForXLA_WorkbookAfterPrint", 0x60030006},  {"CallForRibbon_GetThisSheetCheckEnabled", 0x60030007},
        {"CallForRibbon_PrintOrPreview_onAction", 0x60030008}, {"CallForRibbon_ThisSheetCheck", 0x60030009},
        {"CallForRibbon_OpenHistory", 0x6003000A},      {"CallForRibbon_GoToHomePage", 0x6003000B},
        {"CallForRibbon_Setting", 0x6003000C},          {"CallForRibbon_Help", 0x6003000D},
        {"CallForRibbon_About", 0x6003000E},
    };
    for (const auto& [method, id] : methods) {
        std::wstring text = wide(method);
        LPOLESTR names[] = {text.data()};
        MEMBERID found = 0;
        EXPECT_EQ(info->GetIDsOfNames(names, 1, &found), S_OK) << method;
        EXPECT_EQ(found, id) << method;
    }

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(kClsidConnect, coclass.put()), S_OK);
    kq::win32::Bstr coclassName;
    coclass->GetDocumentation(MEMBERID_NIL, coclassName.put(), nullptr, nullptr, nullptr);
    EXPECT_EQ(coclassName.utf8(), "Connect");
}

}  // namespace
}  // namespace kq::addin::win32
