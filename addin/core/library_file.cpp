#include "addin/core/library_file.h"

namespace kq::addin {

std::string FileInFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += fileName;
    return path;
}

std::string LibraryFilePath(std::string_view folder, std::string_view baseName) {
    std::string name(baseName);
    name += ".dll";
    return FileInFolder(folder, name);
}

}  // namespace kq::addin
