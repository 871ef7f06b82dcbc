#pragma once
// What the portable code needs of the file system. Paths are UTF-8 text with
// Windows separators ("\"). The Windows layer implements it with the W
// functions; tests use an in-memory double that can also fail on request.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_io.h"
#include "common/vb.h"

namespace kq {

enum class PathKind {
    missing,      // nothing of that name (also: a parent folder is missing)
    file,
    directory,
    unreachable,  // the lookup itself failed: drive not ready, network gone, access refused
};

// What tells one file or folder apart from every other on the machine, whatever
// path leads to it: a junction, a link or a second drive letter gives another
// path, never another identity.
struct FileIdentity {
    std::uint32_t volumeSerial = 0;
    std::uint64_t fileIndex = 0;

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// One entry of a folder, as a listing finds it.
struct FolderEntry {
    std::string name;  // the name alone, without the folder
    bool directory = false;
    bool hidden = false;
    bool system = false;
    bool readOnly = false;
    // A junction or a link: what it leads to may lie anywhere, the folder above included.
    bool reparsePoint = false;
    std::uint64_t size = 0;  // bytes; 0 for a folder
    // When it was last written, in the local time of the running system, to the second.
    vb::DateTime lastWrite;
    // Empty where the system does not give it with the listing.
    std::optional<FileIdentity> identity;
};

// A folder's entries ("." and ".." left out), in the order the system gives them.
struct FolderListing {
    // The listed folder's own identity, empty where the system will not say.
    std::optional<FileIdentity> identity;
    std::vector<FolderEntry> entries;
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
    // Opens a file for reading while others may go on reading, writing or deleting
    // it: a reader never stands in the way of the recorder or of a delete. Empty
    // when it cannot be opened (missing, a folder, held open by another without sharing).
    virtual std::unique_ptr<ByteSource> openForReading(const std::string& path) = 0;
    // Lists a folder; empty when it cannot be (missing, not a folder, out of reach).
    virtual std::optional<FolderListing> listFolder(const std::string& folder) = 0;
    // Creates a new file; fails (empty) when the path exists.
    virtual std::unique_ptr<ByteSink> createNew(const std::string& path) = 0;

    // The system's temp folder as the system reports it, or empty when it will not say.
    virtual std::optional<std::string> tempFolder() = 0;
    // Makes the system create a new empty file with a unique name made from the
    // prefix in the folder; its path, or empty on failure.
    virtual std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) = 0;
};

}  // namespace kq
