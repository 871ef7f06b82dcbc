#pragma once
// The texts the host shows for cell values when no number format says
// otherwise, and the names of its error values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/host.h"

namespace kq::host::sim {

// General format: numbers as the shortest text that reads back (12.5, 3),
// TRUE/FALSE, errors by name, dates yyyy/m/d (and h:mm:ss when they hold a time).
std::string generalText(const Value& value);

// "#N/A" for 2042 and so on; empty for a code the host has no error of.
std::optional<std::string> errorName(std::int32_t code);
std::optional<std::int32_t> errorCode(std::string_view name);

// Dates as the fixture files and the general format write them:
// "2024/1/31" or "2024/1/31 9:05:00".
std::optional<std::string> dateText(double oleDate);
std::optional<double> parseDateText(std::string_view text);

}  // namespace kq::host::sim
