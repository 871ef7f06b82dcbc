#pragma once
// The file system through the Win32 W functions.

#include "common/file_system.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

class Win32FileSystem final : public FileSystem {
public:
    // How folders are listed: from Vista on one call per batch of entries gives
    // each entry's identity too; XP has only the find functions, whose entries
    // carry none (the listed folder's own identity is given either way).
    enum class Listing { best, findFiles };
    explicit Win32FileSystem(Listing listing = Listing::best);

    // A name that is not there is missing; a lookup that fails otherwise, or on a
    // drive or network share that cannot be reached at all, is unreachable.
    PathKind kind(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override;
    std::optional<FolderListing> listFolder(const std::string& folder) override;
    std::unique_ptr<ByteSink> createNew(const std::string& path) override;
    std::optional<std::string> tempFolder() override;
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override;

private:
    using DirectoryInfoFunction = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
    DirectoryInfoFunction directoryInfo_ = nullptr;
};

// The system's file system, one for the whole process: it keeps nothing from
// one call to the next, so any thread may use it.
FileSystem& systemFiles();
// The file system a caller gave (a test's), or the system's when it gave none.
inline FileSystem& filesOrSystem(FileSystem* given) { return given ? *given : systemFiles(); }

}  // namespace kq::win32
