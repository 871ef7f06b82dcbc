#pragma once
// Display names of the operating system and the spreadsheet version that a
// history file stores; a code no table knows shows as "不明".

#include <cstdint>
#include <string>

namespace kq::viewer {

std::string GetOSVersionName(std::int32_t osCode);
// The stored version is compared exactly: a fraction is unknown.
std::string GetExcelVersionName(double version);

}  // namespace kq::viewer
