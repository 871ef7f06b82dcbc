#pragma once
// The path of the add-in library file, as the library names itself.

#include <string>
#include <string_view>

namespace kq::addin {

// The folder, one "\" unless the folder already ends with one (a drive root),
// the base name and ".dll".
std::string LibraryFilePath(std::string_view folder, std::string_view baseName);

}  // namespace kq::addin
