// The four entry points of an add-in library, for the class it serves; each
// library's .def file exports them under these undecorated names.

#include "common/win32/com_addin.h"

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return kq::win32::getClassObject({&kq::win32::kServedAddin.served, 1}, clsid, iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return kq::win32::canUnloadModule(); }

HRESULT STDAPICALLTYPE DllRegisterServer() { return kq::win32::registerComServer(kq::win32::kServedAddin.identity); }

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return kq::win32::unregisterComServer(kq::win32::kServedAddin.identity);
}

}
