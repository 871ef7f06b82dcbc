#pragma once
// What every COM add-in class of this system shares on the Windows side: the
// host's add-in connection interface, and the library's entry points that make
// the class and register it (com_addin_exports.cpp, built into each library).

#include "common/win32/windows_api.h"

#include <ole2.h>

#include "common/com_registration.h"
#include "common/win32/com_object.h"
#include "common/win32/com_registration_writer.h"
#include "common/win32/extensibility.h"

namespace kq::win32 {

// The add-in class `Identity` names: the host connects it through its add-in
// connection interface, callers reach it through its dual interface `Dual`,
// and it answers `Others` besides. Of the host's notices only connecting,
// disconnecting and the start of the host's shutdown ask anything of it.
template <const ComAddinIdentity& Identity, typename Dual, typename... Others>
class ComAddinObject : public DualObject<Dual, IDTExtensibility2, Others...> {
public:
    static constexpr const ComAddinIdentity& kIdentity = Identity;
    static constexpr CLSID kClsid = guidFromText(Identity.clsid);
    static constexpr IID kIid = guidFromText(Identity.iid);

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch* AddInInst,
                                           SAFEARRAY**) final {
        return connect(Application, AddInInst);
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) final { return disconnect(); }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) final { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) final { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) final {
        beginShutdown();
        return S_OK;
    }

protected:
    // The host's application and the add-in's entry in its add-in list, as
    // the host gave them (possibly null).
    virtual HRESULT connect(IDispatch* application, IDispatch* addInEntry) = 0;
    virtual HRESULT disconnect() = 0;
    virtual void beginShutdown() noexcept {}
};

// The one add-in class a library serves, for its entry points. Each library
// defines kServedAddin once, as servedAddinOf<its class>().
struct ServedAddin {
    const ComAddinIdentity& identity;
    ServedClass served;
};
extern const ServedAddin kServedAddin;

template <typename Object>
constexpr ServedAddin servedAddinOf() {
    return {Object::kIdentity, {&Object::kClsid, classObjectOf<Object>}};
}

}  // namespace kq::win32
