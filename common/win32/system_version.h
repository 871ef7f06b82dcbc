#pragma once
// The running Windows as the OsCode the add-in library and the ribbon bridge
// both gate their connection on.

#include "common/win32/windows_api.h"

#include <cstdint>
#include <optional>
#include <string>

#include "common/os_code.h"

namespace kq::win32 {

// GetVersionExA, and for NT 6 and later the kernel's own RtlGetVersion.
class SystemVersion final : public VersionSource {
public:
    bool extendedRecord() override;
    std::optional<WindowsVersion> basicRecord() override;
    std::optional<TrueVersion> trueVersion() override;
};

std::int32_t GetOS(std::string& versionText);

}  // namespace kq::win32
