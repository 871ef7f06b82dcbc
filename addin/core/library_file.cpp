#include "addin/core/library_file.h"

namespace kq::addin {

std::string LibraryFilePath(std::string_view folder, std::string_view baseName) {
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += baseName;
    path += ".dll";
    return path;
}

}  // namespace kq::addin
