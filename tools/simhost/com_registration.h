#pragma once
// COM servers and add-in entries in the registry, as simhost finds them.

#include "common/win32/windows_api.h"

#include <string>
#include <utility>
#include <vector>

namespace kq::simhost {

// Where the host lists the COM add-ins of the current user, one key per ProgID.
inline constexpr wchar_t kAddInsKey[] = L"Software\\Microsoft\\Office\\Excel\\Addins";

// Loads the DLL and calls its DllRegisterServer (or DllUnregisterServer).
// Empty on success, else what went wrong.
std::string callRegistrationEntry(const std::string& dllPath, bool unregister);

// What a COM server library loaded in this process says of its objects: "not
// loaded", "unloadable" (DllCanUnloadNow: none alive, no lock) or "holds
// objects". After the host has released an add-in, anything but the last
// means the library kept or lost a reference.
std::string libraryUnloadState(const std::string& dllPath);

// The top-level windows of this process that a library loaded in it made
// (their instance is the library), each as its class and caption; none when
// the library is not loaded.
std::vector<std::pair<std::string, std::string>> libraryWindows(const std::string& dllPath);

// The ProgIDs listed under kAddInsKey with LoadBehavior 3 (load at start-up),
// in the registry's order.
std::vector<std::string> startupAddIns();

// Takes the ProgIDs off kAddInsKey, so that no later host loads them.
void forgetAddIns(const std::vector<std::string>& progIds);

// Copies the per-user class registration of a ProgID (the ProgID key, its
// CLSID key, the type library the CLSID names and the interfaces described by
// that library) into the machine's classes, where Wine's COM looks classes up.
// Keys that are not registered per user are left alone. Empty on success.
std::string mirrorClassRegistration(const std::string& progId);

}  // namespace kq::simhost
