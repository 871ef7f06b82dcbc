#include "ribbon/registration.h"

namespace kq::ribbon {

std::vector<RegistryValue> RegistrationValues(std::string_view libraryPath) {
    return ComAddinRegistration({kProgId, kClsidConnect2, kLibId, kTypeLibVersion}, libraryPath);
}

}  // namespace kq::ribbon
