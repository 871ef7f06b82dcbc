// The four entry points of the in-process server; the .def file exports them
// under these undecorated names.

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "common/win32/com_object.h"
#include "ribbon/win32/class_factory.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return kq::ribbon::win32::getClassObject(clsid, iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return kq::win32::canUnloadModule(); }

HRESULT STDAPICALLTYPE DllRegisterServer() { return kq::ribbon::win32::registerServer(); }

HRESULT STDAPICALLTYPE DllUnregisterServer() { return kq::ribbon::win32::unregisterServer(); }

}
