#pragma once
// What the portable code needs of the file system. Paths are UTF-8 text with
// Windows separators ("\"). The Windows layer implements it with the W
// functions; tests use an in-memory double that can also fail on request.

#include <memory>
#include <optional>
#include <string>

#include "common/byte_io.h"

namespace kq {

enum class PathKind {
    missing,      // nothing of that name (also: a parent folder is missing)
    file,
    directory,
    unreachable,  // the lookup itself failed: drive not ready, network gone, access refused
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Looks the path up, directories included.
    virtual PathKind kind(const std::string& path) = 0;
    // Creates one folder whose parent exists; false on failure.
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool removeFile(const std::string& path) = 0;
    // Renames a file within one volume; fails when `to` exists.
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;
    virtual std::unique_ptr<ByteSource> openForReading(const std::string& path) = 0;
    // Creates a new file; fails (empty) when the path exists.
    virtual std::unique_ptr<ByteSink> createNew(const std::string& path) = 0;

    // The system's temp folder as the system reports it, or empty when it will not say.
    virtual std::optional<std::string> tempFolder() = 0;
    // Makes the system create a new empty file with a unique name made from the
    // prefix in the folder; its path, or empty on failure.
    virtual std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) = 0;
};

}  // namespace kq
