#include "addin/core/registration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace kq::addin {
namespace {

constexpr char kPath[] = "C:\\Users\\kei\\AppData\\Local\\Kez\\Kez_Quorvex.dll";

TEST(Registration, ListsTheServerAndTheHostsAddinEntryForTheUser) {
    const std::string cls = "Software\\Classes\\CLSID\\{AD76CD8C-E76E-4664-9CDD-C7444B82703A}";
    const std::string prog = "Software\\Classes\\Kez_Quorvex.Connect";
    const std::string addin = "Software\\Microsoft\\Office\\Excel\\Addins\\Kez_Quorvex.Connect";
    const std::vector<RegistryValue> expected = {
        {prog, "", std::string("Kez_Quorvex.Connect")},
        {prog + "\\CLSID", "", std::string("{AD76CD8C-E76E-4664-9CDD-C7444B82703A}")},
        {cls, "", std::string("Kez_Quorvex.Connect")},
        {cls + "\\InprocServer32", "", std::string(kPath)},
        {cls + "\\InprocServer32", "ThreadingModel", std::string("Apartment")},
        {cls + "\\ProgID", "", std::string("Kez_Quorvex.Connect")},
        {cls + "\\TypeLib", "", std::string("{DC5B69EC-016C-47C9-97FF-BE4B9777960C}")},
        {cls + "\\VERSION", "", std::string("1.0")},
        {addin, "LoadBehavior", std::uint32_t{3}},
        {addin, "FriendlyName", std::string()},
        {addin, "Description", std::string()},
    };
    EXPECT_EQ(ComAddinRegistration(kConnectClass, kPath), expected);
}

// The remover walks the list backwards and deletes a key once it is empty: that
// only works when no key comes before its parent.
TEST(Registration, EveryKeyFollowsItsParentAndNothingLeavesTheUsersHive) {
    std::set<std::string> seen;
    for (const RegistryValue& v : ComAddinRegistration(kConnectClass, kPath)) {
        SCOPED_TRACE(v.key);
        EXPECT_TRUE(v.key.starts_with("Software\\Classes\\") || v.key.starts_with("Software\\Microsoft\\Office\\"));
        const auto cut = v.key.rfind('\\');
        const std::string parent = v.key.substr(0, cut);
        const bool ownParent = std::any_of(seen.begin(), seen.end(), [&](const std::string& k) { return k == parent; });
        const bool sharedParent = parent == "Software\\Classes" || parent == "Software\\Classes\\CLSID" ||
                                  parent == "Software\\Microsoft\\Office\\Excel\\Addins";
        EXPECT_TRUE(ownParent || sharedParent);
        seen.insert(v.key);
    }
}

}  // namespace
}  // namespace kq::addin
