#pragma once
// What the tests of the system's COM server libraries share: the library
// loaded as the host loads it, the registry as registration leaves it, and a
// host object of the simplest kind.

#include "common/win32/windows_api.h"

#include <ole2.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "common/com_registration.h"
#include "common/win32/com.h"
#include "common/win32/com_object.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"

namespace kq::test {

using kq::win32::narrow;
using kq::win32::Variant;
using kq::win32::wide;

// An in-process server library, loaded as a host loads it, with its four entry points.
struct ServerLibrary {
    explicit ServerLibrary(const char* unixPath) {
        std::wstring path = wide(unixPath);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        module = LoadLibraryW((L"Z:" + path).c_str());
        if (!module) return;
        getClassObject = reinterpret_cast<decltype(getClassObject)>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
        canUnloadNow = reinterpret_cast<decltype(canUnloadNow)>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
        registerServer = reinterpret_cast<decltype(registerServer)>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
        unregisterServer = reinterpret_cast<decltype(unregisterServer)>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "DllUnregisterServer")));
        wchar_t buffer[MAX_PATH + 1] = {};
        GetModuleFileNameW(module, buffer, MAX_PATH + 1);
        filePath = narrow(buffer);
    }
    HMODULE module = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
    HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
    HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
    std::string filePath;
};

// Late-bound calls as a script host makes them: the member's id by name, then a method call.
inline DISPID idOf(IDispatch* object, const std::wstring& name) {
    std::wstring text = name;
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(result) ? id : DISPID_UNKNOWN;
}
inline HRESULT call(IDispatch* object, const std::wstring& name, VARIANT* args = nullptr, UINT count = 0,
                    VARIANT* result = nullptr) {
    DISPPARAMS params{args, nullptr, count, 0};
    EXCEPINFO exception{};
    return object->Invoke(idOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                          &exception, nullptr);
}

// Every value below a key of the user's hive, as the registration list spells values.
inline void collectValues(HKEY root, const std::wstring& path, std::vector<RegistryValue>& out) {
    kq::win32::RegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        RegistryValue value{narrow(path), narrow(std::wstring(name, nameLength)), std::uint32_t{0}};
        if (type == REG_DWORD) {
            value.data = *reinterpret_cast<const std::uint32_t*>(data);
        } else {
            std::wstring text(reinterpret_cast<const wchar_t*>(data), dataLength / sizeof(wchar_t));
            if (!text.empty() && text.back() == L'\0') text.pop_back();
            value.data = narrow(text);
        }
        out.push_back(value);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, length);
    }
    key.reset();
    for (const auto& child : children) collectValues(root, path + L"\\" + child, out);
}

inline std::vector<RegistryValue> sorted(std::vector<RegistryValue> values) {
    std::sort(values.begin(), values.end(), [](const RegistryValue& a, const RegistryValue& b) {
        return std::tie(a.key, a.name) < std::tie(b.key, b.name);
    });
    return values;
}

// Wine's COM reads classes from the machine's hive only; Windows merges the
// user's registrations in. The test copies them over as Windows would see them.
inline void copyTree(const std::wstring& path, HKEY toRoot) {
    std::vector<RegistryValue> values;
    collectValues(HKEY_CURRENT_USER, path, values);
    for (const RegistryValue& v : values) {
        kq::win32::RegistryKey key;
        ASSERT_EQ(RegCreateKeyExW(toRoot, wide(v.key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        const std::wstring text = wide(std::get<std::string>(v.data));
        RegSetValueExW(key.get(), wide(v.name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
}

inline void deleteMachineTree(const std::wstring& path) {
    std::vector<RegistryValue> values;
    collectValues(HKEY_LOCAL_MACHINE, path, values);
    std::vector<std::string> keys;
    for (const auto& v : values) keys.push_back(v.key);
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const auto& k : keys) RegDeleteKeyW(HKEY_LOCAL_MACHINE, wide(k).c_str());
}

// A host object of the simplest kind: named properties that can be read and put.
class PropertyBag : public kq::win32::LateBoundObject<IDispatch> {
public:
    void set(const std::wstring& name, VARIANT value) {
        names_.push_back(name);
        values_.emplace_back();
        *values_.back().put() = value;
    }
    const VARIANT& get(const std::wstring& name) { return *values_.at(indexOf(name)).get(); }
    void clear() {
        for (auto& v : values_) v.put();
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const std::size_t index = indexOf(names[i]);
            ids[i] = index < names_.size() ? static_cast<DISPID>(index + 1) : DISPID_UNKNOWN;
            if (index >= names_.size()) result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id < 1 || static_cast<std::size_t>(id) > values_.size()) return DISP_E_MEMBERNOTFOUND;
        Variant& slot = values_[static_cast<std::size_t>(id - 1)];
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            return VariantCopy(slot.put(), &params->rgvarg[0]);
        }
        return result ? VariantCopy(result, slot.get()) : S_OK;
    }

protected:
    ~PropertyBag() override = default;

private:
    std::size_t indexOf(const std::wstring& name) const {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            if (_wcsicmp(names_[i].c_str(), name.c_str()) == 0) return i;
        }
        return names_.size();
    }
    std::vector<std::wstring> names_;
    std::vector<Variant> values_;
};

inline VARIANT text(const wchar_t* value) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}
inline VARIANT number(LONG value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

}  // namespace kq::test
