#include "common/os_code.h"

namespace kq {

namespace {

std::string majorMinor(std::uint32_t major, std::uint32_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

std::int32_t code9x(std::uint32_t major, std::uint32_t minor) {
    if (major != 4) return kOsOther9x;
    switch (minor) {
        case 0: return 0;
        case 10: return 1;
        case 90: return 2;
        default: return kOsOther9x;
    }
}

std::int32_t codeNT6AndLater(std::uint32_t major, std::uint32_t minor) {
    if (major == 6 && minor <= 4) return static_cast<std::int32_t>(7 + minor);
    if (major == 10 && minor == 0) return 12;
    return kOsOtherNT;
}

}  // namespace

std::int32_t GetOS(VersionSource& source, std::string& versionText) {
    if (!source.extendedRecord()) return 0;
    const std::optional<WindowsVersion> reported = source.basicRecord();
    if (!reported) return 0;
    versionText = majorMinor(reported->major, reported->minor);
    switch (reported->platformId) {
        case kPlatform9x:
            return code9x(reported->major, reported->minor);
        case kPlatformNT:
            if (reported->major < 5) return 4;
            if (reported->major == 5) return reported->minor == 0 ? 5 : reported->minor == 1 ? 6 : kOsOtherNT;
            break;
        default:
            return 0;
    }
    // Without a compatibility manifest NT 6.2 and later all report 6.2.
    TrueVersion actual{reported->major, reported->minor};
    if (const auto asked = source.trueVersion()) actual = *asked;
    versionText = majorMinor(actual.major, actual.minor);
    return codeNT6AndLater(actual.major, actual.minor);
}

}  // namespace kq
