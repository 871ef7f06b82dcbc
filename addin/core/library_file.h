#pragma once
// Paths of the add-in library file and of the files that lie beside it.

#include <string>
#include <string_view>

#include "common/paths.h"

namespace kq::addin {

// The folder, the base name and ".dll".
std::string LibraryFilePath(std::string_view folder, std::string_view baseName);

}  // namespace kq::addin
