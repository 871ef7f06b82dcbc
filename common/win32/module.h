#pragma once
// The module this code is linked into: the add-in library when it runs in the
// host, the program itself in a test or tool. Window classes are registered
// for it, resources and the type library are read from it.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The linker's symbol at the start of every PE image: its address is the module's handle.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kq::win32 {

inline HMODULE thisModule() { return reinterpret_cast<HMODULE>(&__ImageBase); }

// The full path of this module's file; "" when the system cannot give it.
std::wstring thisModulePath();

// The folder of this module's file, without a trailing "\" unless it is a
// drive root; "" when the system cannot give it.
std::string thisModuleFolder();

// A text of this module's string table; empty when it has none of that id.
std::optional<std::string> loadModuleString(std::int32_t id);

// The bytes of a resource of this module, valid while the module is loaded;
// empty when it has no such resource.
std::optional<std::span<const std::byte>> moduleResource(const wchar_t* type, const wchar_t* name);

}  // namespace kq::win32
