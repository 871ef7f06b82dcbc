#pragma once
// The file system through the Win32 W functions.

#include "common/file_system.h"

namespace kq::win32 {

class Win32FileSystem final : public FileSystem {
public:
    // A name that is not there is missing; a lookup that fails otherwise, or on a
    // drive or network share that cannot be reached at all, is unreachable.
    PathKind kind(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override;
    std::unique_ptr<ByteSink> createNew(const std::string& path) override;
    std::optional<std::string> tempFolder() override;
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override;
};

}  // namespace kq::win32
