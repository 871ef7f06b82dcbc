#pragma once
// Owners for COM handles: interface pointers, BSTRs, VARIANTs and the
// calling thread's COM apartment. Move-only; each releases what it holds.

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "common/win32/wide.h"

namespace kq::win32 {

// The IID of an interface type: the one its SDK or generated header declares
// with it. An interface of ours declared without one specialises this.
template <typename Interface>
struct InterfaceId {
    static const IID& get() { return __uuidof(Interface); }
};

template <typename Interface>
const IID& iidOf() {
    return InterfaceId<Interface>::get();
}

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    static ComPtr adopt(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Adds a reference of its own.
    static ComPtr share(T* p) {
        if (p) p->AddRef();
        return adopt(p);
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // From a pointer to a class that has one T among its bases.
    template <typename U>
        requires std::is_convertible_v<U*, T*>
    ComPtr(ComPtr<U>&& other) noexcept : p_(other.detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held and gives the slot.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    T* detach() { return std::exchange(p_, nullptr); }

    template <typename U>
    ComPtr<U> as(REFIID iid) const {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(iid, out.putVoid());
        return out;
    }
    template <typename U>
    ComPtr<U> as() const {
        return as<U>(iidOf<U>());
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) {
        const std::wstring w = wide(utf8);
        b_ = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
    }
    static Bstr adopt(BSTR b) {
        Bstr out;
        out.b_ = b;
        return out;
    }
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(b_);
            b_ = std::exchange(other.b_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR detach() { return std::exchange(b_, nullptr); }
    std::string utf8() const { return b_ ? narrow(std::wstring_view(b_, SysStringLen(b_))) : std::string(); }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&v_);
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* put() {
        VariantClear(&v_);
        return &v_;
    }
    // Hands the value over to a caller-owned VARIANT.
    VARIANT detach() {
        VARIANT out = v_;
        VariantInit(&v_);
        return out;
    }

private:
    VARIANT v_;
};

// A description a type information lends out (TYPEATTR, FUNCDESC), given back
// to it when done. The type information is held as long as the loan.
template <typename Description>
class TypeInfoLoan {
public:
    TypeInfoLoan() = default;
    TypeInfoLoan(ITypeInfo* lender, Description* lent) : lender_(ComPtr<ITypeInfo>::share(lender)), lent_(lent) {}
    TypeInfoLoan(TypeInfoLoan&& other) noexcept
        : lender_(std::move(other.lender_)), lent_(std::exchange(other.lent_, nullptr)) {}
    TypeInfoLoan& operator=(TypeInfoLoan&& other) noexcept {
        if (this != &other) {
            giveBack();
            lender_ = std::move(other.lender_);
            lent_ = std::exchange(other.lent_, nullptr);
        }
        return *this;
    }
    TypeInfoLoan(const TypeInfoLoan&) = delete;
    TypeInfoLoan& operator=(const TypeInfoLoan&) = delete;
    ~TypeInfoLoan() { giveBack(); }

    explicit operator bool() const { return lent_ != nullptr; }
    const Description* operator->() const { return lent_; }
    const Description& operator*() const { return *lent_; }

private:
    void giveBack() {
        if (!lent_) return;
        if constexpr (std::is_same_v<Description, TYPEATTR>) {
            lender_->ReleaseTypeAttr(lent_);
        } else {
            lender_->ReleaseFuncDesc(lent_);
        }
        lent_ = nullptr;
    }

    ComPtr<ITypeInfo> lender_;
    Description* lent_ = nullptr;
};

// The type's attributes, or nothing when the type information cannot give them.
inline TypeInfoLoan<TYPEATTR> typeAttributes(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes)) || !attributes) return {};
    return {info, attributes};
}

// The description of the type's function at that index, or nothing.
inline TypeInfoLoan<FUNCDESC> functionDescription(ITypeInfo* info, UINT index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function)) || !function) return {};
    return {info, function};
}

// COM for the calling thread while it lives, in a single-threaded apartment,
// when the thread has none yet; a thread that already chose its apartment is
// left as it is.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

}  // namespace kq::win32
