// The type information of the two ribbon add-ins as the simulated host reads
// it: the bridge's dual interface and the test add-in's dispatch interface.

#include "tools/simhost/callback_types.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/win32/com.h"
#include "common/win32/wide.h"
#include "host/sim/ribbon/ribbon_markup.h"
#include "tests/tools/end_to_end_support.h"

namespace kq::simhost {
namespace {

namespace rb = kq::host::sim::ribbon;
using rb::DeclaredKind;
using win32::ComPtr;

// {9672DF48-A80F-4C38-825E-9D4979767436}, the bridge's _Connect2.
constexpr IID kBridgeInterface = {0x9672DF48, 0xA80F, 0x4C38, {0x82, 0x5E, 0x9D, 0x49, 0x79, 0x76, 0x74, 0x36}};
// {034611DE-4BD2-44BE-9C6F-AD6C698A2ABE}, the test add-in's dispatch interface.
constexpr IID kTestInterface = {0x034611DE, 0x4BD2, 0x44BE, {0x9C, 0x6F, 0xAD, 0x6C, 0x69, 0x8A, 0x2A, 0xBE}};

ComPtr<ITypeInfo> typeInfoOf(const char* library, const IID& iid) {
    ComPtr<ITypeLib> types;
    EXPECT_EQ(LoadTypeLibEx(test::wide(test::windowsPath(library)).c_str(), REGKIND_NONE, types.put()), S_OK) << library;
    ComPtr<ITypeInfo> info;
    if (types) {
        EXPECT_EQ(types->GetTypeInfoOfGuid(iid, info.put()), S_OK) << library;
    }
    return info;
}

DISPID idOf(ITypeInfo* info, const std::string& name) {
    std::wstring wide = win32::wide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    return SUCCEEDED(info->GetIDsOfNames(names, 1, &id)) ? id : DISPID_UNKNOWN;
}

rb::DeclaredParameter in(DeclaredKind kind, bool byReference = false, bool optional = false) {
    return {{kind, byReference}, optional};
}

TEST(CallbackTypes, ReadHowEachMemberIsDeclared) {
    const ComPtr<ITypeInfo> bridge = typeInfoOf(KQ_RIBBON_DLL, kBridgeInterface);
    const ComPtr<ITypeInfo> test = typeInfoOf(KQ_TEST_RIBBON_ADDIN_DLL, kTestInterface);
    ASSERT_TRUE(bridge && test);
    const rb::DeclaredType object{DeclaredKind::object, false};
    struct Case {
        ITypeInfo* info;
        const char* member;
        rb::DeclaredMethod declared;
    };
    const Case cases[] = {
        {bridge.get(), "Callback_onLoad", {true, {in(DeclaredKind::object)}, std::nullopt}},
        {bridge.get(), "Callback_loadImage", {true, {in(DeclaredKind::text)}, object}},
        {bridge.get(), "Callback_Print_onAction",
         {true, {in(DeclaredKind::object), in(DeclaredKind::variant, true)}, std::nullopt}},
        {bridge.get(), "Callback_getPressed", {true, {in(DeclaredKind::object)}, rb::DeclaredType{DeclaredKind::variant}}},
        {bridge.get(), "Callback_ToggleButton_onAction",
         {true, {in(DeclaredKind::object), in(DeclaredKind::truth)}, std::nullopt}},
        {bridge.get(), "Callback_getLabel", {true, {in(DeclaredKind::object)}, rb::DeclaredType{DeclaredKind::text}}},
        {test.get(), "OnPrint", {true, {in(DeclaredKind::object), in(DeclaredKind::truth, true)}, std::nullopt}},
        {test.get(), "OnButton",
         {true, {in(DeclaredKind::object), in(DeclaredKind::variant, false, true)}, std::nullopt}},
        {test.get(), "OnFail", {true, {in(DeclaredKind::variant)}, std::nullopt}},
        {test.get(), "GetPressed", {true, {in(DeclaredKind::object)}, rb::DeclaredType{DeclaredKind::truth}}},
        {test.get(), "GetPressedObject", {true, {in(DeclaredKind::object)}, object}},
        {test.get(), "Log", {true, {}, rb::DeclaredType{DeclaredKind::text}}},
        {test.get(), "Caption", {false, {in(DeclaredKind::object)}, rb::DeclaredType{DeclaredKind::text}}},
    };
    for (const Case& c : cases) {
        const DISPID id = idOf(c.info, c.member);
        ASSERT_NE(id, DISPID_UNKNOWN) << c.member;
        EXPECT_EQ(declaredMethod(c.info, id), c.declared) << c.member;
    }
    EXPECT_FALSE(declaredMethod(test.get(), 4242));
}

std::string markupFile(const char* name) {
    std::ifstream in(test::windowsPath(std::string(KQ_RIBBON_RESOURCES) + "/" + name), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    return text;
}

// Every attribute of the bridge's markup names a method that takes what the
// host passes for it and answers what the host reads.
TEST(CallbackTypes, TheBridgeTakesEveryCallOfItsMarkups) {
    const ComPtr<ITypeInfo> bridge = typeInfoOf(KQ_RIBBON_DLL, kBridgeInterface);
    ASSERT_TRUE(bridge);
    for (const auto& [file, version] : {std::pair{"customui2007.xml", 12}, std::pair{"customui2010.xml", 14}}) {
        const rb::MarkupVerdict verdict = rb::readRibbonMarkup(markupFile(file), version);
        ASSERT_TRUE(verdict.markup) << file;
        std::size_t checked = 0;
        for (const rb::CallbackUse& use : verdict.markup->callbackUses()) {
            ASSERT_TRUE(use.signature) << file << " " << use.attribute << " of " << use.element;
            const auto method = declaredMethod(bridge.get(), idOf(bridge.get(), use.callback));
            ASSERT_TRUE(method) << use.callback;
            EXPECT_EQ(rb::signatureMismatch(*use.signature, *method).value_or(""), "") << file << " " << use.callback;
            ++checked;
        }
        EXPECT_GT(checked, 30u) << file;
    }
}

}  // namespace
}  // namespace kq::simhost
