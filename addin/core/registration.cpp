#include "addin/core/registration.h"

namespace kq::addin {

std::vector<RegistryValue> RegistrationValues(std::string_view libraryPath) {
    return ComAddinRegistration({kProgId, kClsidConnect, kLibId, kTypeLibVersion}, libraryPath);
}

}  // namespace kq::addin
