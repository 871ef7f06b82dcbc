#include "ribbon/registration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ribbon/controls.h"

namespace kq::ribbon {
namespace {

TEST(Registration, ListsTheBridgeAndTheHostsAddinEntryLoadedAtStartup) {
    constexpr char kPath[] = "C:\\Users\\kei\\AppData\\Local\\Kez\\Kez_QuorvexForRibbon.dll";
    const std::string cls = "Software\\Classes\\CLSID\\{95742240-4E9C-4134-8ABE-FE5D2EB826A5}";
    const std::string prog = "Software\\Classes\\Kez_QuorvexForRibbon.Connect2";
    const std::string addin = "Software\\Microsoft\\Office\\Excel\\Addins\\Kez_QuorvexForRibbon.Connect2";
    const std::vector<RegistryValue> expected = {
        {prog, "", std::string("Kez_QuorvexForRibbon.Connect2")},
        {prog + "\\CLSID", "", std::string("{95742240-4E9C-4134-8ABE-FE5D2EB826A5}")},
        {cls, "", std::string("Kez_QuorvexForRibbon.Connect2")},
        {cls + "\\InprocServer32", "", std::string(kPath)},
        {cls + "\\InprocServer32", "ThreadingModel", std::string("Apartment")},
        {cls + "\\ProgID", "", std::string("Kez_QuorvexForRibbon.Connect2")},
        {cls + "\\TypeLib", "", std::string("{1F9E7A61-D06A-4FC2-9DD2-6AAE91C9D770}")},
        {cls + "\\VERSION", "", std::string("1.0")},
        {addin, "LoadBehavior", std::uint32_t{3}},
        {addin, "FriendlyName", std::string()},
        {addin, "Description", std::string()},
    };
    EXPECT_EQ(ComAddinRegistration(kConnect2Class, kPath), expected);
}

TEST(Markup, EachServedHostHasItsDocument) {
    const std::pair<double, const char*> cases[] = {
        {11, nullptr}, {12, "CUSTOMUI2007"}, {13, nullptr}, {14, "CUSTOMUI2010"},
        {15, "CUSTOMUI2013"}, {16, "CUSTOMUI2013"}, {17, nullptr}, {12.5, nullptr},
    };
    for (const auto& [version, resource] : cases) {
        const auto chosen = markupResourceFor(version);
        EXPECT_EQ(chosen.has_value(), resource != nullptr) << version;
        if (chosen && resource) {
            EXPECT_EQ(*chosen, resource);
        }
    }
}

}  // namespace
}  // namespace kq::ribbon
