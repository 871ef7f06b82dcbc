#include "addin/core/win32/class_factory.h"

#include "addin/core/win32/connect_object.h"
#include "addin/core/win32/guids.h"
#include "common/win32/com_object.h"

namespace kq::addin::win32 {

namespace {

constexpr kq::win32::ServedClass kServedClasses[] = {
    {&kClsidConnect, kq::win32::classObjectOf<ConnectObject>},
};

}  // namespace

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
    return kq::win32::getClassObject(kServedClasses, clsid, iid, object);
}

}  // namespace kq::addin::win32
