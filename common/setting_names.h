#pragma once
// Where the history folder is kept in the settings: the add-in writes it and
// the viewer reads it, so both find it under the same names.

#include <string_view>

namespace kq::setting_names {

// The add-in's main section, which holds the folder among its other values.
inline constexpr std::string_view kSection = "Setting";
inline constexpr std::string_view kFolder = "Folder";

}  // namespace kq::setting_names
