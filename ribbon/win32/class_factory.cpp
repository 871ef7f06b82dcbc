#include "ribbon/win32/class_factory.h"

#include "common/win32/com_object.h"
#include "common/win32/com_registration_writer.h"
#include "ribbon/registration.h"
#include "ribbon/win32/connect2_object.h"
#include "ribbon/win32/guids.h"

namespace kq::ribbon::win32 {

namespace {

constexpr kq::win32::ServedClass kServedClasses[] = {
    {&kClsidConnect2, kq::win32::classObjectOf<Connect2Object>},
};

const kq::win32::TypeLibraryId kTypeLibrary{kLibIdKezQuorvexForRibbon, kTypeLibMajor, kTypeLibMinor};

}  // namespace

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
    return kq::win32::getClassObject(kServedClasses, clsid, iid, object);
}

HRESULT registerServer() noexcept { return kq::win32::registerComServer(RegistrationValues); }

HRESULT unregisterServer() noexcept { return kq::win32::unregisterComServer(RegistrationValues, kTypeLibrary); }

}  // namespace kq::ribbon::win32
