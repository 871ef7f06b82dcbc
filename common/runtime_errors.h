#pragma once
// The classic runtime's error numbers, as the host raises them, the add-in
// object and simhost raise them to their callers, and the callers test them:
// a number means the same failure on both sides of every boundary, so each is
// written down here once. Numbers above 0 are the runtime's own; the negative
// ones are whole results that the runtime passes on as they are.

#include <cstdint>
#include <string_view>

namespace kq::runtime_errors {

inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInternalError = 51;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kInputPastEndOfFile = 62;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kResourceNotFound = 326;
inline constexpr std::int32_t kObjectRequired = 424;
inline constexpr std::int32_t kNoSuchMember = 438;
inline constexpr std::int32_t kNamedArgumentNotFound = 448;
inline constexpr std::int32_t kArgumentNotOptional = 449;
inline constexpr std::int32_t kWrongArgumentCount = 450;
inline constexpr std::int32_t kApplicationDefined = 1004;
// 0x80010108: the object is gone (its process ended or it was disconnected).
inline constexpr std::int32_t kObjectDisconnected = -2147417848;
// 0x80004005: an unspecified failure, as a host method reports a refusal it does not explain.
inline constexpr std::int32_t kUnspecifiedFailure = -2147467259;

// The description the runtime gives its own number; "" for a number it has no text for.
constexpr std::string_view description(std::int32_t number) {
    switch (number) {
        case kInvalidCall: return "Invalid procedure call or argument";
        case kOverflow: return "Overflow";
        case kOutOfMemory: return "Out of memory";
        case kSubscriptOutOfRange: return "Subscript out of range";
        case kDivisionByZero: return "Division by zero";
        case kTypeMismatch: return "Type mismatch";
        case kInternalError: return "Internal error";
        case kFileNotFound: return "File not found";
        case kDeviceIoError: return "Device I/O error";
        case kInputPastEndOfFile: return "Input past end of file";
        case kPathFileAccessError: return "Path/File access error";
        case kPathNotFound: return "Path not found";
        case kObjectNotSet: return "Object variable or With block variable not set";
        case kObjectRequired: return "Object required";
        case kNoSuchMember: return "Object doesn't support this property or method";
        case kNamedArgumentNotFound: return "Named argument not found";
        case kArgumentNotOptional: return "Argument not optional";
        case kWrongArgumentCount: return "Wrong number of arguments or invalid property assignment";
        case kApplicationDefined: return "Application-defined or object-defined error";
        default: return {};
    }
}

}  // namespace kq::runtime_errors
