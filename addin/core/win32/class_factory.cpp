#include "addin/core/win32/class_factory.h"

#include <new>

#include "addin/core/win32/connect_object.h"
#include "addin/core/win32/guids.h"

namespace kq::addin::win32 {

namespace {

LONG g_moduleLocks = 0;

class ConnectFactory final : public IClassFactory {
public:
    ConnectFactory() { lockModule(); }
    ~ConnectFactory() { unlockModule(); }
    ConnectFactory(const ConnectFactory&) = delete;
    ConnectFactory& operator=(const ConnectFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return ConnectObject::create(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            lockModule();
        } else {
            unlockModule();
        }
        return S_OK;
    }

private:
    LONG references_ = 1;
};

}  // namespace

void lockModule() { InterlockedIncrement(&g_moduleLocks); }
void unlockModule() { InterlockedDecrement(&g_moduleLocks); }
HRESULT canUnloadNow() { return InterlockedCompareExchange(&g_moduleLocks, 0, 0) == 0 ? S_OK : S_FALSE; }

HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, kClsidConnect)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) ConnectFactory;
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

}  // namespace kq::addin::win32
