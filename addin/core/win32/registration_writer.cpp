#include "addin/core/win32/registration_writer.h"

#include "addin/core/registration.h"
#include "addin/core/win32/guids.h"

namespace kq::addin::win32 {

const kq::win32::TypeLibraryId kAddinTypeLibrary{kLibIdKezQuorvex, kTypeLibMajor, kTypeLibMinor};

HRESULT registerServer() noexcept { return kq::win32::registerComServer(RegistrationValues); }

HRESULT unregisterServer() noexcept { return kq::win32::unregisterComServer(RegistrationValues, kAddinTypeLibrary); }

}  // namespace kq::addin::win32
