#pragma once
// Paths of files beside one another.

#include <string>
#include <string_view>

namespace kq {

// The file of that name in the folder: one "\" between them unless the folder
// already ends with one (a drive root).
std::string FileInFolder(std::string_view folder, std::string_view fileName);

}  // namespace kq
