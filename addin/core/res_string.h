#pragma once
// The add-in library's own string table: the product title and the captions of
// its menu and toolbar, Japanese from id 1000, other languages from id 2000.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kq::addin {

inline constexpr std::int32_t kResBaseJapanese = 1000;
inline constexpr std::int32_t kResBaseOther = 2000;

class ResourceStrings {
public:
    virtual ~ResourceStrings() = default;
    // The entry as stored, or empty when the table has no such id.
    virtual std::optional<std::string> LoadResString(std::int32_t id) = 0;
};

// The table stores a line break as the two characters backslash and "n".
std::string ExpandLineBreaks(std::string_view stored);

// The entry as stored; a missing id raises the runtime's error 326.
std::string StoredResString(ResourceStrings& strings, std::int32_t id);
// The entry with its line breaks; a missing id raises the runtime's error 326.
std::string LoadResStringEx(ResourceStrings& strings, std::int32_t id);

}  // namespace kq::addin
