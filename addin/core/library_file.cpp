#include "addin/core/library_file.h"

namespace kq::addin {

std::string LibraryFilePath(std::string_view folder, std::string_view baseName) {
    std::string name(baseName);
    name += ".dll";
    return FileInFolder(folder, name);
}

}  // namespace kq::addin
