// The type library's per-user registration as Windows XP gets it: without the
// per-user functions of later systems, the keys still go to the user's own
// classes, never to the machine's, and the class root is itself again after.

#include "common/win32/com_registration_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "addin/core/registration.h"
#include "common/win32/com.h"
#include "common/win32/wide.h"
#include "tests/support/win32_registry.h"

#include <oleauto.h>

namespace kq::addin::win32 {
namespace {

using kq::win32::registerTypeLibraryForUser;
using kq::win32::unregisterTypeLibraryForUser;

const std::wstring kLibraryKey = L"Software\\Classes\\TypeLib\\{DC5B69EC-016C-47C9-97FF-BE4B9777960C}";
const std::wstring kInterfaceKey = L"Software\\Classes\\Interface\\{D9737512-4C5F-4BDA-BD49-8178FE0655AA}";
const std::wstring kProbeKey = L"KqClassRootProbe";

bool keyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::wstring libraryPath() {
    std::wstring path = L"Z:" + kq::win32::wide(KQ_ADDIN_DLL);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// Removes what an earlier registration left in the user's classes.
void removeRegistrations() {
    test::deleteRegistryTree(kLibraryKey);
    test::deleteRegistryTree(kInterfaceKey);
}

TEST(TypeLibraryForUserWithoutTheVistaFunctions, WritesTheUsersClassesAndPutsTheClassRootBack) {
    removeRegistrations();
    const bool machineHadIt = keyExists(HKEY_LOCAL_MACHINE, kLibraryKey);
    kq::win32::ComPtr<ITypeLib> library;
    const std::wstring path = libraryPath();
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), S_OK);

    ASSERT_EQ(registerTypeLibraryForUser(library.get(), path, nullptr), S_OK);
    const auto registered = test::readRawValue(kLibraryKey + (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32"), L"");
    ASSERT_TRUE(registered.has_value());
    EXPECT_EQ(registered->text, path);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kInterfaceKey));
    EXPECT_EQ(keyExists(HKEY_LOCAL_MACHINE, kLibraryKey), machineHadIt);

    // The class root is the machine's again: a key made there is not the user's.
    HKEY probe = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kProbeKey.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &probe, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(probe);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, L"Software\\Classes\\" + kProbeKey));
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProbeKey.c_str());

    EXPECT_EQ(unregisterTypeLibraryForUser(kq::win32::typeLibraryOf(kConnectClass), nullptr), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kLibraryKey));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kInterfaceKey));
    EXPECT_EQ(keyExists(HKEY_LOCAL_MACHINE, kLibraryKey), machineHadIt);
}

}  // namespace
}  // namespace kq::addin::win32
