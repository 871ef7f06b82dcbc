#pragma once
// A FileSystem double in memory that behaves as Windows does where callers rely
// on it: paths compare without regard to ASCII letter case, a trailing "\" does
// not change a folder's path, folders are created one level at a time. It can be
// told to fail: a drive that is not ready, a folder that may not be created, a
// file that another program holds open, a temp folder the system will not name.

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
#include <vector>

#include "common/file_system.h"

namespace kq::test {

class MemoryFileSystem final : public FileSystem {
public:
    // A folder with every level above it (a drive root such as "C:\" included).
    void addDirectory(const std::string& path) {
        for (std::string key = keyOf(path); !key.empty(); key = parentOf(key)) {
            entries_.try_emplace(key, Entry{true, {}});
            if (isRoot(key)) break;
        }
    }
    void addFile(const std::string& path, std::vector<std::uint8_t> bytes = {}) {
        const std::string key = keyOf(path);
        addDirectory(parentOf(key));
        entries_[key] = Entry{false, std::move(bytes)};
    }
    // Every lookup at or below the path fails, as on a drive that is not ready.
    void makeUnreachable(const std::string& path) { unreachable_.push_back(keyOf(path)); }
    void makeReachable() { unreachable_.clear(); }
    // Creating this folder fails although its parent exists (no permission).
    void refuseCreate(const std::string& path) { refused_.insert(keyOf(path)); }
    // Deleting this file fails (another program holds it open).
    void holdOpen(const std::string& path) { held_.insert(keyOf(path)); }
    void setTempFolder(std::optional<std::string> folder) { temp_ = std::move(folder); }
    // Full paths that createUniqueFile hands out next, before it makes names itself.
    void queueUniqueNames(std::vector<std::string> paths) { queued_.insert(queued_.end(), paths.begin(), paths.end()); }
    void failUniqueFiles() { failUnique_ = true; }

    bool isFile(const std::string& path) const { return has(path, false); }
    bool isDirectory(const std::string& path) const { return has(path, true); }
    std::vector<std::uint8_t> contents(const std::string& path) const {
        const auto it = entries_.find(keyOf(path));
        return it == entries_.end() ? std::vector<std::uint8_t>{} : it->second.bytes;
    }

    // Folders created through createDirectory, in order, as the caller spelt them.
    std::vector<std::string> created;
    // Files the system was asked to make through createUniqueFile.
    int uniqueFilesMade = 0;

    PathKind kind(const std::string& path) override {
        const std::string key = keyOf(path);
        if (isUnreachable(key)) return PathKind::unreachable;
        const auto it = entries_.find(key);
        if (it == entries_.end()) return PathKind::missing;
        return it->second.directory ? PathKind::directory : PathKind::file;
    }
    bool createDirectory(const std::string& path) override {
        const std::string key = keyOf(path);
        if (!canCreate(key) || refused_.contains(key)) return false;
        entries_[key] = Entry{true, {}};
        created.push_back(path);
        return true;
    }
    bool removeFile(const std::string& path) override {
        const std::string key = keyOf(path);
        if (isUnreachable(key) || held_.contains(key) || !has(path, false)) return false;
        entries_.erase(key);
        return true;
    }
    bool moveFile(const std::string& from, const std::string& to) override {
        const std::string fromKey = keyOf(from);
        const std::string toKey = keyOf(to);
        if (isUnreachable(fromKey) || held_.contains(fromKey) || !has(from, false) || !canCreate(toKey)) return false;
        entries_[toKey] = std::move(entries_[fromKey]);
        entries_.erase(fromKey);
        return true;
    }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override {
        if (isUnreachable(keyOf(path)) || !has(path, false)) return nullptr;
        return std::make_unique<OwnedSource>(entries_.at(keyOf(path)).bytes);
    }
    std::unique_ptr<ByteSink> createNew(const std::string& path) override {
        const std::string key = keyOf(path);
        if (!canCreate(key)) return nullptr;
        entries_[key] = Entry{false, {}};
        return std::make_unique<EntrySink>(*this, key);
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
        entries_[keyOf(path)] = Entry{false, {}};
        return path;
    }

private:
    struct Entry {
        bool directory = false;
        std::vector<std::uint8_t> bytes;
    };
    class OwnedSource final : public ByteSource {
    public:
        explicit OwnedSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
        std::uint64_t size() const override { return bytes_.size(); }
        bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
            if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, static_cast<std::uint8_t*>(dest));
            return true;
        }

    private:
        std::vector<std::uint8_t> bytes_;
    };
    class EntrySink final : public ByteSink {
    public:
        EntrySink(MemoryFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
        bool write(const void* data, std::size_t n) override {
            const auto it = fs_.entries_.find(key_);
            if (it == fs_.entries_.end()) return false;
            const auto* p = static_cast<const std::uint8_t*>(data);
            it->second.bytes.insert(it->second.bytes.end(), p, p + n);
            return true;
        }

    private:
        MemoryFileSystem& fs_;
        std::string key_;
    };

    static bool isRoot(const std::string& key) { return key.size() == 3 && key[1] == ':' && key[2] == '\\'; }
    static std::string keyOf(const std::string& path) {
        std::string key = path;
        std::transform(key.begin(), key.end(), key.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        if (key.size() == 2 && key[1] == ':') key += '\\';
        if (key.ends_with('\\') && !isRoot(key) && key.size() > 1) key.pop_back();
        return key;
    }
    static std::string parentOf(const std::string& key) {
        if (isRoot(key)) return {};
        const auto at = key.rfind('\\');
        if (at == std::string::npos || at == 0) return {};
        std::string parent = key.substr(0, at);
        if (parent.size() == 2 && parent[1] == ':') parent += '\\';
        return parent;
    }
    bool isUnreachable(const std::string& key) const {
        return std::any_of(unreachable_.begin(), unreachable_.end(), [&](const std::string& u) {
            return key == u || key.starts_with(u.ends_with('\\') ? u : u + "\\");
        });
    }
    bool has(const std::string& path, bool directory) const {
        const std::string key = keyOf(path);
        const auto it = entries_.find(key);
        return !isUnreachable(key) && it != entries_.end() && it->second.directory == directory;
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
    std::optional<std::string> temp_;
    std::deque<std::string> queued_;
    bool failUnique_ = false;
    inline static std::atomic<unsigned> nextNumber_{0x1000};
};

}  // namespace kq::test
