#include "common/paths.h"

namespace kq {

std::string FileInFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += fileName;
    return path;
}

}  // namespace kq
