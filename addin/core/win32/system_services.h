#pragma once
// What the add-in's commands ask of Windows besides the host and the shell:
// a program started as a process of its own, and the system's text of an
// error number.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <optional>
#include <string>

#include "addin/core/open_history.h"

namespace kq::addin::win32 {

// The system's number and text for an error code; the text without its line end.
SystemFailure SystemError(DWORD code);

// CreateProcessW, with the program path given apart from the command line so
// that nothing is searched for; the process's handles are let go at once.
std::optional<SystemFailure> StartProgram(const std::string& program, const std::string& commandLine);

}  // namespace kq::addin::win32
