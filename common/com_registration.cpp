#include "common/com_registration.h"

#include <string>

namespace kq {

namespace {
constexpr std::string_view kClasses = "Software\\Classes\\";
constexpr std::string_view kHostAddins = "Software\\Microsoft\\Office\\Excel\\Addins\\";
// Load the add-in whenever the host starts.
constexpr std::uint32_t kLoadAtStartup = 3;
}  // namespace

std::vector<RegistryValue> ComAddinRegistration(const ComAddinIdentity& identity, std::string_view libraryPath) {
    const std::string progId(identity.progId);
    const std::string clsid(identity.clsid);
    const std::string progIdKey = std::string(kClasses) + progId;
    const std::string classKey = std::string(kClasses) + "CLSID\\" + clsid;
    const std::string addinKey = std::string(kHostAddins) + progId;
    const std::string version = std::to_string(identity.typeLibMajor) + "." + std::to_string(identity.typeLibMinor);
    return {
        {progIdKey, "", progId},
        {progIdKey + "\\CLSID", "", clsid},
        {classKey, "", progId},
        {classKey + "\\InprocServer32", "", std::string(libraryPath)},
        {classKey + "\\InprocServer32", "ThreadingModel", std::string("Apartment")},
        {classKey + "\\ProgID", "", progId},
        {classKey + "\\TypeLib", "", std::string(identity.libId)},
        {classKey + "\\VERSION", "", version},
        {addinKey, "LoadBehavior", kLoadAtStartup},
        {addinKey, "FriendlyName", std::string()},
        {addinKey, "Description", std::string()},
    };
}

}  // namespace kq
