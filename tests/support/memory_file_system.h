#pragma once
// A FileSystem double in memory that behaves as Windows does where callers rely
// on it: paths compare without regard to ASCII letter case, a trailing "\" does
// not change a folder's path, folders are created one level at a time, a listing
// gives names as they were spelt, a reader shares the file with writers and
// deleters, a junction leads into another folder (itself or one above it
// included). It can be told to fail: a drive that is not ready, a folder that
// may not be created, a file that another program holds open with or without
// sharing, a temp folder the system will not name.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/file_system.h"
#include "common/vb.h"

namespace kq::test {

class MemoryFileSystem final : public FileSystem {
public:
    // Flags a listing reports; none is set unless a test asks.
    struct Flags {
        bool hidden = false;
        bool system = false;
        bool readOnly = false;
    };

    // A folder with every level above it (a drive root such as "C:\" included).
    void addDirectory(const std::string& path) {
        const std::string spelt = spellingOf(path);
        if (spelt.empty()) return;
        for (std::string level = spelt; !level.empty(); level = parentOf(level)) {
            if (!entries_.contains(key(level))) entries_[key(level)] = newEntry(level, true);
            if (isRoot(level)) break;
        }
    }
    void addFile(const std::string& path, std::vector<std::uint8_t> bytes = {}) {
        const std::string spelt = spellingOf(path);
        addDirectory(parentOf(spelt));
        Entry entry = newEntry(spelt, false);
        entry.bytes = std::move(bytes);
        entries_[key(spelt)] = std::move(entry);
    }
    // A junction at `path` leading to the folder `target`: paths through it reach
    // the target's entries, and listing it gives the target's identity.
    void addJunction(const std::string& path, const std::string& target) {
        const std::string spelt = spellingOf(path);
        addDirectory(parentOf(spelt));
        Entry entry = newEntry(spelt, true);
        entry.junctionTo = resolve(keyOf(target));
        entries_[key(spelt)] = std::move(entry);
    }
    void setFlags(const std::string& path, Flags flags) { entries_.at(key(path)).flags = flags; }
    void setLastWrite(const std::string& path, vb::DateTime time) {
        entries_.at(key(path)).lastWrite = time;
    }
    // Opening and deleting this file fail, as when another program holds it open
    // without sharing it.
    void lockExclusively(const std::string& path) {
        held_.insert(key(path));
        locked_.insert(key(path));
    }
    // Listing this folder fails although it exists (access refused).
    void refuseListing(const std::string& path) { unlistable_.insert(key(path)); }

    // The time new and written entries take as their last write.
    vb::DateTime now{2024, 4, 1, 9, 30, 0};
    // Every lookup at or below the path fails, as on a drive that is not ready.
    void makeUnreachable(const std::string& path) { unreachable_.push_back(keyOf(path)); }
    void makeReachable() { unreachable_.clear(); }
    // Creating this folder fails although its parent exists (no permission).
    void refuseCreate(const std::string& path) { refused_.insert(key(path)); }
    // Deleting this file fails (another program holds it open).
    void holdOpen(const std::string& path) { held_.insert(key(path)); }
    // Creating this file fails although its name is free (no permission).
    void refuseNewFile(const std::string& path) { refusedFiles_.insert(key(path)); }
    // Writing into this file, once made, fails (the disk is full).
    void failWriting(const std::string& path) { unwritable_.insert(key(path)); }
    void setTempFolder(std::optional<std::string> folder) { temp_ = std::move(folder); }
    // Full paths that createUniqueFile hands out next, before it makes names itself.
    void queueUniqueNames(std::vector<std::string> paths) { queued_.insert(queued_.end(), paths.begin(), paths.end()); }
    void failUniqueFiles() { failUnique_ = true; }

    bool isFile(const std::string& path) const { return has(path, false); }
    bool isDirectory(const std::string& path) const { return has(path, true); }
    std::vector<std::uint8_t> contents(const std::string& path) const {
        const auto it = entries_.find(key(path));
        return it == entries_.end() ? std::vector<std::uint8_t>{} : it->second.bytes;
    }

    // Folders created through createDirectory, in order, as the caller spelt them.
    std::vector<std::string> created;
    // Files the system was asked to make through createUniqueFile.
    int uniqueFilesMade = 0;
    // Files opened for reading, and folders listed.
    int filesOpened = 0;
    // Where a test wants every read of the files opened from now on: where
    // it began and how many bytes it took. One thread at a time.
    std::vector<std::pair<std::uint64_t, std::size_t>>* readLog = nullptr;
    int foldersListed = 0;

    PathKind kind(const std::string& path) override {
        const std::string k = key(path);
        if (isUnreachable(k)) return PathKind::unreachable;
        const auto it = entries_.find(k);
        if (it == entries_.end()) return PathKind::missing;
        return it->second.directory ? PathKind::directory : PathKind::file;
    }
    bool createDirectory(const std::string& path) override {
        const std::string k = key(path);
        if (!canCreate(k) || refused_.contains(k)) return false;
        entries_[k] = newEntry(path, true);
        created.push_back(path);
        return true;
    }
    bool removeFile(const std::string& path) override {
        const std::string k = key(path);
        if (isUnreachable(k) || held_.contains(k) || !has(path, false)) return false;
        // As the system refuses it: a read-only file stays.
        if (entries_.at(k).flags.readOnly) return false;
        entries_.erase(k);
        return true;
    }
    bool moveFile(const std::string& from, const std::string& to) override {
        const std::string fromKey = key(from);
        const std::string toKey = key(to);
        if (isUnreachable(fromKey) || held_.contains(fromKey) || !has(from, false) || !canCreate(toKey)) return false;
        Entry moved = std::move(entries_[fromKey]);
        moved.name = nameOf(spellingOf(to));
        entries_.erase(fromKey);
        entries_[toKey] = std::move(moved);
        return true;
    }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override {
        const std::string k = key(path);
        if (isUnreachable(k) || locked_.contains(k) || !has(path, false)) return nullptr;
        ++filesOpened;
        // A copy: what the reader sees stays as it was when a writer or a delete comes after.
        return std::make_unique<OwnedSource>(entries_.at(k).bytes, readLog);
    }
    std::optional<FolderListing> listFolder(const std::string& folder) override {
        const std::string k = key(folder);
        const auto it = entries_.find(k);
        if (isUnreachable(k) || unlistable_.contains(k) || it == entries_.end() || !it->second.directory) {
            return std::nullopt;
        }
        ++foldersListed;
        FolderListing listing{identityOf(k, it->second), {}};
        const std::string prefix = k.ends_with('\\') ? k : k + "\\";
        for (auto child = entries_.lower_bound(prefix); child != entries_.end() && child->first.starts_with(prefix);
             ++child) {
            if (child->first.find('\\', prefix.size()) != std::string::npos) continue;
            const Entry& e = child->second;
            FolderEntry entry;
            entry.name = e.name;
            entry.directory = e.directory;
            entry.hidden = e.flags.hidden;
            entry.system = e.flags.system;
            entry.readOnly = e.flags.readOnly;
            entry.reparsePoint = e.junctionTo.has_value();
            entry.size = e.directory ? 0 : e.bytes.size();
            entry.lastWrite = e.lastWrite;
            entry.identity = identityOf(child->first, e);
            listing.entries.push_back(std::move(entry));
        }
        return listing;
    }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override {
        const std::string k = key(path);
        if (!canCreate(k) || refusedFiles_.contains(k)) return nullptr;
        entries_[k] = newEntry(path, false);
        return std::make_unique<EntrySink>(*this, k);
    }
    std::optional<std::string> tempFolder() override { return temp_; }
    std::optional<std::string> createUniqueFile(const std::string& folder, const std::string& prefix) override {
        if (failUnique_ || kind(folder) != PathKind::directory) return std::nullopt;
        ++uniqueFilesMade;
        std::string path;
        if (!queued_.empty()) {
            path = queued_.front();
            queued_.pop_front();
        } else {
            // Numbered across all instances, so names stay apart between tests of one process.
            do {
                char number[16];
                std::snprintf(number, sizeof number, "%X", nextNumber_++ & 0xFFFFu);
                path = folder + (folder.ends_with('\\') ? "" : "\\") + prefix.substr(0, 3) + number + ".tmp";
            } while (kind(path) != PathKind::missing);
        }
        entries_[key(path)] = newEntry(path, false);
        return path;
    }

private:
    struct Entry {
        bool directory = false;
        std::vector<std::uint8_t> bytes;
        std::string name;  // as spelt when it was made
        Flags flags;
        vb::DateTime lastWrite;
        std::uint64_t index = 0;
        std::optional<std::string> junctionTo;  // the key of the folder a junction leads to
    };
    class OwnedSource final : public ByteSource {
    public:
        OwnedSource(std::vector<std::uint8_t> bytes, std::vector<std::pair<std::uint64_t, std::size_t>>* reads)
            : bytes_(std::move(bytes)), reads_(reads) {}
        std::uint64_t size() const override { return bytes_.size(); }
        bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
            if (reads_) reads_->emplace_back(offset, n);
            if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, static_cast<std::uint8_t*>(dest));
            return true;
        }

    private:
        std::vector<std::uint8_t> bytes_;
        std::vector<std::pair<std::uint64_t, std::size_t>>* reads_;
    };
    class EntrySink final : public ByteSink {
    public:
        EntrySink(MemoryFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
        bool write(const void* data, std::size_t n) override {
            const auto it = fs_.entries_.find(key_);
            if (it == fs_.entries_.end() || fs_.unwritable_.contains(key_)) return false;
            const auto* p = static_cast<const std::uint8_t*>(data);
            it->second.bytes.insert(it->second.bytes.end(), p, p + n);
            it->second.lastWrite = fs_.now;
            return true;
        }

    private:
        MemoryFileSystem& fs_;
        std::string key_;
    };

    Entry newEntry(const std::string& path, bool directory) {
        Entry entry;
        entry.directory = directory;
        entry.name = nameOf(spellingOf(path));
        entry.lastWrite = now;
        entry.index = nextIndex_++;
        return entry;
    }
    // The volume serial stands for the drive or share the key lies on.
    static FileIdentity identityOf(const std::string& key, const Entry& entry) {
        const std::string root = key.substr(0, key.find('\\') == std::string::npos ? key.size() : key.find('\\'));
        return FileIdentity{static_cast<std::uint32_t>(std::hash<std::string>{}(root)), entry.index};
    }

    static bool isRoot(const std::string& path) { return path.size() == 3 && path[1] == ':' && path[2] == '\\'; }
    // The path as the caller spelt it, in the one form a folder's path has.
    static std::string spellingOf(const std::string& path) {
        std::string spelt = path;
        if (spelt.size() == 2 && spelt[1] == ':') spelt += '\\';
        if (spelt.ends_with('\\') && !isRoot(spelt) && spelt.size() > 1) spelt.pop_back();
        return spelt;
    }
    static std::string nameOf(const std::string& spelt) {
        if (isRoot(spelt)) return spelt;
        const auto at = spelt.rfind('\\');
        return at == std::string::npos ? spelt : spelt.substr(at + 1);
    }
    static std::string keyOf(const std::string& path) {
        std::string k = spellingOf(path);
        std::transform(k.begin(), k.end(), k.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        return k;
    }
    static std::string parentOf(const std::string& path) {
        if (isRoot(path)) return {};
        const auto at = path.rfind('\\');
        if (at == std::string::npos || at == 0) return {};
        std::string parent = path.substr(0, at);
        if (parent.size() == 2 && parent[1] == ':') parent += '\\';
        return parent;
    }
    // The key with every junction on the way replaced by the folder it leads to.
    std::string resolve(std::string k) const {
        for (std::size_t from = 0;;) {
            const std::size_t end = k.find('\\', from);
            const auto it = entries_.find(k.substr(0, end));
            if (it != entries_.end() && it->second.junctionTo) {
                const std::string& target = *it->second.junctionTo;
                const std::string rest = end == std::string::npos ? "" : k.substr(target.ends_with('\\') ? end + 1 : end);
                k = target + rest;
                if (rest.empty()) return k;
                from = target.size() + (target.ends_with('\\') ? 0 : 1);
                continue;
            }
            if (end == std::string::npos) return k;
            from = end + 1;
        }
    }
    std::string key(const std::string& path) const { return resolve(keyOf(path)); }
    bool isUnreachable(const std::string& key) const {
        return std::any_of(unreachable_.begin(), unreachable_.end(), [&](const std::string& u) {
            return key == u || key.starts_with(u.ends_with('\\') ? u : u + "\\");
        });
    }
    bool has(const std::string& path, bool directory) const {
        const std::string k = key(path);
        const auto it = entries_.find(k);
        return !isUnreachable(k) && it != entries_.end() && it->second.directory == directory;
    }
    // A new entry needs a free name in an existing folder.
    bool canCreate(const std::string& key) const {
        if (key.empty() || isUnreachable(key) || entries_.contains(key)) return false;
        const auto parent = entries_.find(parentOf(key));
        return parent != entries_.end() && parent->second.directory;
    }

    std::map<std::string, Entry> entries_;
    std::vector<std::string> unreachable_;
    std::set<std::string> refused_;
    std::set<std::string> held_;
    std::set<std::string> refusedFiles_;
    std::set<std::string> unwritable_;
    std::set<std::string> locked_;
    std::set<std::string> unlistable_;
    std::optional<std::string> temp_;
    std::deque<std::string> queued_;
    bool failUnique_ = false;
    std::uint64_t nextIndex_ = 1;
    inline static std::atomic<unsigned> nextNumber_{0x1000};
};

}  // namespace kq::test
