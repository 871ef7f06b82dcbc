#pragma once
// One base for every COM object the system makes: its reference count, its
// QueryInterface from the list of interfaces the class gives once, and the
// module's count that DllCanUnloadNow answers from.
//
//   class Sink final : public ComObject<IDispatch> { ... };
//   class Connect final : public DualObject<_Connect, IDTExtensibility2> { ... };
//
// A new object holds one reference, its creator's (makeObject adopts it). It
// answers IUnknown through the first listed interface, so every interface of
// it gives the same identity, and IDispatch through the first listed
// interface that derives from it. Constructors are public and destructors
// not, so that objects live only on the heap and go only by Release.

#include "common/win32/windows_api.h"

#include <oaidl.h>
#include <ole2.h>

#include <span>
#include <type_traits>
#include <utility>

#include "common/win32/com.h"
#include "common/win32/com_boundary.h"
#include "common/win32/module.h"

namespace kq::win32 {

namespace detail {

template <typename Object, typename First, typename... Rest>
void* listedInterface(Object* self, REFIID iid) noexcept {
    if (IsEqualIID(iid, iidOf<First>())) return static_cast<First*>(self);
    if constexpr (sizeof...(Rest) > 0) {
        return listedInterface<Object, Rest...>(self, iid);
    } else {
        return nullptr;
    }
}

template <typename Object, typename First, typename... Rest>
IDispatch* firstDispatch(Object* self) noexcept {
    if constexpr (std::is_base_of_v<IDispatch, First>) {
        return static_cast<First*>(self);
    } else if constexpr (sizeof...(Rest) > 0) {
        return firstDispatch<Object, Rest...>(self);
    } else {
        return nullptr;
    }
}

}  // namespace detail

template <typename... Interfaces>
class ComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "a COM object answers at least one interface");

public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        void* found = findInterface(iid);
        if (!found) return E_NOINTERFACE;
        AddRef();
        *out = found;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() noexcept { lockModule(); }
    virtual ~ComObject() { unlockModule(); }

    // The interface pointer for `iid`, or nullptr. A class that answers an
    // IID beyond its list (a dispinterface its IDispatch serves, a private
    // IID by which it knows itself) answers that first and then asks here.
    virtual void* findInterface(REFIID iid) noexcept {
        if (IsEqualIID(iid, IID_IUnknown)) return identity();
        if (IsEqualIID(iid, IID_IDispatch)) return detail::firstDispatch<ComObject, Interfaces...>(this);
        return detail::listedInterface<ComObject, Interfaces...>(this, iid);
    }

    IUnknown* identity() noexcept { return first(static_cast<Interfaces*>(this)...); }

private:
    template <typename First, typename... Rest>
    static IUnknown* first(First* head, Rest*...) noexcept {
        return head;
    }

    LONG references_ = 1;
};

// A COM object of class `Base` (a ComObject) that answers the interfaces
// `More` besides those of its base; its identity stays the base's.
template <typename Base, typename... More>
class ComExtension : public Base, public More... {
public:
    using Base::Base;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return Base::QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Base::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Base::Release(); }

protected:
    void* findInterface(REFIID iid) noexcept override {
        if (void* found = detail::listedInterface<ComExtension, More...>(this, iid)) return found;
        return Base::findInterface(iid);
    }
};

// The type library in this module's resources, loaded without the registry:
// objects work before and without registration. Throws ComFailure.
ComPtr<ITypeLib> loadModuleTypeLibrary();
// The type information of interface `iid` in it. Throws ComFailure.
ComPtr<ITypeInfo> loadModuleTypeInfo(REFIID iid);

// IDispatch served from the type information of one dual interface: names in
// any letter case, arguments converted as the interface declares them, calls
// made through the interface's own virtual table.
class TypeInfoDispatch {
public:
    // The type information of interface `iid` in this module's type library. Throws ComFailure.
    explicit TypeInfoDispatch(REFIID iid);

    HRESULT getTypeInfoCount(UINT* count) const noexcept;
    HRESULT getTypeInfo(UINT index, ITypeInfo** info) const noexcept;
    HRESULT getIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) const noexcept;
    HRESULT invoke(IDispatch* self, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError) const noexcept;

private:
    ComPtr<ITypeInfo> typeInfo_;
};

// A COM object whose first interface is dual: its IDispatch, and that of
// every other listed interface deriving from IDispatch, calls the dual
// interface's methods through its type information. The constructor throws
// ComFailure when this module's type library does not describe it.
template <typename Dual, typename... Others>
class DualObject : public ComObject<Dual, Others...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatch_.getTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return dispatch_.getTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return dispatch_.getIDsOfNames(iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        return dispatch_.invoke(static_cast<Dual*>(this), id, iid, flags, params, result, exception, argumentError);
    }

protected:
    DualObject() : dispatch_(iidOf<Dual>()) {}

private:
    TypeInfoDispatch dispatch_;
};

// A COM object whose IDispatch describes itself by no type information:
// callers bind by name through the GetIDsOfNames and Invoke it defines.
template <typename... Interfaces>
class LateBoundObject : public ComObject<Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
};

// A new object, holding the caller's reference. Throws what its constructor throws.
template <typename Object, typename... Args>
ComPtr<Object> makeObject(Args&&... args) {
    return ComPtr<Object>::adopt(new Object(std::forward<Args>(args)...));
}

// A new object answering `iid` in *out. When it cannot be made, or does not
// answer `iid`, *out is null and nothing of it is left.
template <typename Object, typename... Args>
HRESULT createInstance(REFIID iid, void** out, Args&&... args) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        return makeObject<Object>(std::forward<Args>(args)...)->QueryInterface(iid, out);
    } catch (...) {
        return bareFailureResult();
    }
}

// The class object of `Object`: it makes objects of that class, never as a
// part of another (aggregation), and keeps the module loaded while a caller
// locks it.
template <typename Object>
class ClassFactory final : public ComObject<IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return createInstance<Object>(iid, out);
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
    ~ClassFactory() override = default;
};

// One class a server makes, for DllGetClassObject.
struct ServedClass {
    const CLSID* clsid;
    HRESULT (*classObject)(REFIID iid, void** out) noexcept;
};

template <typename Object>
HRESULT classObjectOf(REFIID iid, void** out) noexcept {
    return createInstance<ClassFactory<Object>>(iid, out);
}

// DllGetClassObject over the classes a server makes:
// CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT getClassObject(std::span<const ServedClass> classes, REFCLSID clsid, REFIID iid, void** out) noexcept;

}  // namespace kq::win32
