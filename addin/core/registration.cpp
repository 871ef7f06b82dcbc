#include "addin/core/registration.h"

namespace kq::addin {

namespace {
constexpr std::string_view kClasses = "Software\\Classes\\";
constexpr std::string_view kHostAddins = "Software\\Microsoft\\Office\\Excel\\Addins\\";
// Load the add-in whenever the host starts.
constexpr std::uint32_t kLoadAtStartup = 3;
}  // namespace

std::vector<RegistryValue> RegistrationValues(std::string_view libraryPath) {
    const std::string progIdKey = std::string(kClasses) + kProgId;
    const std::string classKey = std::string(kClasses) + "CLSID\\" + kClsidConnect;
    const std::string addinKey = std::string(kHostAddins) + kProgId;
    return {
        {progIdKey, "", std::string(kProgId)},
        {progIdKey + "\\CLSID", "", std::string(kClsidConnect)},
        {classKey, "", std::string(kProgId)},
        {classKey + "\\InprocServer32", "", std::string(libraryPath)},
        {classKey + "\\InprocServer32", "ThreadingModel", std::string("Apartment")},
        {classKey + "\\ProgID", "", std::string(kProgId)},
        {classKey + "\\TypeLib", "", std::string(kLibId)},
        {classKey + "\\VERSION", "", std::string(kTypeLibVersion)},
        {addinKey, "LoadBehavior", kLoadAtStartup},
        {addinKey, "FriendlyName", std::string()},
        {addinKey, "Description", std::string()},
    };
}

}  // namespace kq::addin
