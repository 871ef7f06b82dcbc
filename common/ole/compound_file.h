#pragma once
// The compound file: a small file system in one file, in which 97-2003
// workbooks keep their workbook stream and their macro project. Sectors of
// 512 bytes chained by a sector allocation table; a directory of storages and
// streams, each storage's children kept as a red-black tree; streams under
// 4096 bytes in 64-byte sectors of a mini stream with a table of its own.
//
// Paths name a stream through its storages with "/" between the names:
// "_VBA_PROJECT_CUR/VBA/dir". Names are UTF-8 here and UTF-16 in the file;
// looking a name up ignores letter case, as the format does.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kq::ole {

// What a reader of outside bytes gives: a value, or why the bytes are damaged.
template <class T>
struct OleRead {
    std::optional<T> value;
    std::string damage;

    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
    static OleRead failed(std::string why) { return {std::nullopt, std::move(why)}; }
};

class CompoundFileWriter {
public:
    // Adds a stream; the storages on its path are made as needed. A name is at
    // most 31 UTF-16 units and holds none of "/", "\", ":" and "!"; a path
    // given twice, or a stream where a storage is, throws std::invalid_argument.
    void addStream(std::string_view path, std::vector<std::uint8_t> bytes);

    // The whole file. Throws std::length_error past what the header's 109
    // sector table entries can address (about 7 MB).
    std::vector<std::uint8_t> bytes() const;

private:
    struct Node {
        std::string name;
        bool storage = true;
        std::vector<std::uint8_t> bytes;
        std::vector<Node> children;
    };
    Node root_{"Root Entry", true, {}, {}};
};

// One directory entry as stored, for those that look at the structure itself.
struct DirectoryEntry {
    std::u16string name;
    std::uint8_t type = 0;  // 1 storage, 2 stream, 5 root
    bool black = true;
    std::uint32_t left = 0, right = 0, child = 0;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

inline constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

class CompoundFile {
public:
    // Reads the file's structure: header, sector tables and directory. Any
    // inconsistency (a chain that loops or leaves the file, a sibling link
    // that loops, a stream longer than its chain) reports the file damaged;
    // nothing read is larger than the file itself.
    static OleRead<CompoundFile> read(std::span<const std::uint8_t> file);

    // Every stream's path, in the order of the paths with letter case folded.
    std::vector<std::string> streamPaths() const;
    bool hasStream(std::string_view path) const;
    // The stream's bytes; empty when there is no such stream or its chain of
    // sectors is damaged (loops, leaves the file, or is shorter than the stream).
    std::optional<std::vector<std::uint8_t>> stream(std::string_view path) const;

    const std::vector<DirectoryEntry>& entries() const { return entries_; }

private:
    std::vector<std::uint8_t> file_;
    std::uint32_t sectorSize_ = 512;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<std::uint8_t> miniStream_;
    std::vector<DirectoryEntry> entries_;
    // Folded path -> (path as stored, entry index), streams only.
    std::map<std::string, std::pair<std::string, std::uint32_t>> streams_;

    std::optional<std::vector<std::uint8_t>> streamBytes(const DirectoryEntry& entry) const;
};

}  // namespace kq::ole
