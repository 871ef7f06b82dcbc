#pragma once
// Paths of the add-in library file and of the files that lie beside it.

#include <string>
#include <string_view>

namespace kq::addin {

// The file of that name in the folder: one "\" between them unless the folder
// already ends with one (a drive root).
std::string FileInFolder(std::string_view folder, std::string_view fileName);

// The folder, the base name and ".dll".
std::string LibraryFilePath(std::string_view folder, std::string_view baseName);

}  // namespace kq::addin
