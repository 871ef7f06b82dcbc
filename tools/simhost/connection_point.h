#pragma once
// What every connection point of simhost's objects answers alike: the events'
// interface, the object it belongs to, and no enumeration of its sinks.

#include "common/win32/windows_api.h"

#include <ocidl.h>

#include "common/win32/com.h"
#include "common/win32/com_object.h"

namespace kq::simhost {

class ConnectionPoint : public win32::ComObject<IConnectionPoint> {
public:
    ConnectionPoint(const IID& events, win32::ComPtr<IConnectionPointContainer> container)
        : events_(events), container_(std::move(container)) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        *out = container_.get();
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

protected:
    ~ConnectionPoint() override = default;

private:
    const IID& events_;
    win32::ComPtr<IConnectionPointContainer> container_;
};

}  // namespace kq::simhost
