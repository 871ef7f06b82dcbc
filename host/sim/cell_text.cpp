#include "host/sim/cell_text.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

#include "common/vb.h"

namespace kq::host::sim {
namespace {

struct ErrorValue {
    std::int32_t code;
    const char* name;
};
constexpr ErrorValue kErrors[] = {
    {2000, "#NULL!"}, {2007, "#DIV/0!"}, {2015, "#VALUE!"}, {2023, "#REF!"},
    {2029, "#NAME?"}, {2036, "#NUM!"},   {2042, "#N/A"},
};

// Reads an unsigned number up to the next character of `stops` (or the end).
std::optional<int> readNumber(std::string_view& text, std::string_view stops) {
    const std::size_t end = std::min(text.find_first_of(stops), text.size());
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + end, value);
    if (end == 0 || result.ptr != text.data() + end || result.ec != std::errc{}) return std::nullopt;
    text.remove_prefix(end);
    return value;
}

bool skip(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

}  // namespace

std::string generalText(const Value& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Empty>) {
                return "";
            } else if constexpr (std::is_same_v<T, double>) {
                return vb::NumberText(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? "TRUE" : "FALSE";
            } else if constexpr (std::is_same_v<T, Date>) {
                return dateText(v.value).value_or("#VALUE!");
            } else {
                return errorName(v.code).value_or("#N/A");
            }
        },
        value);
}

std::optional<std::string> errorName(std::int32_t code) {
    for (const ErrorValue& e : kErrors) {
        if (e.code == code) return e.name;
    }
    return std::nullopt;
}

std::optional<std::int32_t> errorCode(std::string_view name) {
    for (const ErrorValue& e : kErrors) {
        if (name == e.name) return e.code;
    }
    return std::nullopt;
}

std::optional<std::string> dateText(double oleDate) {
    const auto dt = vb::FromOleDate(oleDate);
    if (!dt) return std::nullopt;
    std::string text = vb::FormatDate(*dt, "yyyy/m/d");
    if (dt->hour != 0 || dt->minute != 0 || dt->second != 0) text += vb::FormatDate(*dt, " h:mm:ss");
    return text;
}

std::optional<double> parseDateText(std::string_view text) {
    vb::DateTime dt;
    const auto year = readNumber(text, "/");
    if (!year || !skip(text, '/')) return std::nullopt;
    const auto month = readNumber(text, "/");
    if (!month || !skip(text, '/')) return std::nullopt;
    const auto day = readNumber(text, " ");
    if (!day) return std::nullopt;
    dt.year = *year;
    dt.month = *month;
    dt.day = *day;
    if (skip(text, ' ')) {
        const auto hour = readNumber(text, ":");
        if (!hour || !skip(text, ':')) return std::nullopt;
        const auto minute = readNumber(text, ":");
        if (!minute || !skip(text, ':')) return std::nullopt;
        const auto second = readNumber(text, "");
        if (!second) return std::nullopt;
        dt.hour = *hour;
        dt.minute = *minute;
        dt.second = *second;
    }
    if (!text.empty()) return std::nullopt;
    return vb::ToOleDate(dt);
}

}  // namespace kq::host::sim
