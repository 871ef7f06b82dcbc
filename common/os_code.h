#pragma once
// The Windows version as the number the add-in refuses or accepts at connection
// and the recorder stores in every history file (an OsCode, 0 to 13).

#include <cstdint>
#include <optional>
#include <string>

namespace kq {

inline constexpr std::uint32_t kPlatform9x = 1;
inline constexpr std::uint32_t kPlatformNT = 2;

struct WindowsVersion {
    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

struct TrueVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

// What the system answers when asked for its version.
class VersionSource {
public:
    virtual ~VersionSource() = default;
    // Whether the system hands out the extended version record at all.
    virtual bool extendedRecord() = 0;
    // The basic version record, or empty when the system refuses it.
    virtual std::optional<WindowsVersion> basicRecord() = 0;
    // The version the kernel itself reports, which an application without a
    // compatibility manifest is not told on NT 6.2 and later; empty when it cannot be asked.
    virtual std::optional<TrueVersion> trueVersion() = 0;
};

inline constexpr std::int32_t kOsOther9x = 3;
inline constexpr std::int32_t kOsOtherNT = 13;

// The OsCode; versionText becomes major "." minor in decimal, of the true
// version on NT 6 and later. A refused query gives 0 and leaves versionText alone.
std::int32_t GetOS(VersionSource& source, std::string& versionText);

}  // namespace kq
