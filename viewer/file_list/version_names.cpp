#include "viewer/file_list/version_names.h"

#include <string_view>
#include <utility>

#include "viewer/texts.h"

namespace kq::viewer {

std::string GetOSVersionName(std::int32_t osCode) {
    // Codes 9 to 12 are what the recorder stores on Windows 8 and later.
    static constexpr std::pair<std::int32_t, std::string_view> kNames[] = {
        {0, "Windows 95"},   {1, "Windows 98"},   {2, "Windows ME"},    {4, "Windows NT"},
        {5, "Windows 2000"}, {6, "Windows XP"},   {7, "Windows VISTA"}, {8, "Windows 7"},
        {9, "Windows 8"},    {10, "Windows 8.1"}, {11, "Windows 10"},   {12, "Windows 10"},
    };
    for (const auto& [code, name] : kNames) {
        if (code == osCode) return std::string(name);
    }
    return std::string(texts::kUnknown);
}

std::string GetExcelVersionName(double version) {
    static constexpr std::pair<double, std::string_view> kNames[] = {
        {9, "Excel2000"},  {10, "Excel2002"}, {11, "Excel2003"}, {12, "Excel2007"},
        {14, "Excel2010"}, {15, "Excel2013"}, {16, "Excel2016"},
    };
    for (const auto& [known, name] : kNames) {
        if (known == version) return std::string(name);
    }
    return std::string(texts::kUnknown);
}

}  // namespace kq::viewer
