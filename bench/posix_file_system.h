#pragma once
// The file system of the machine the native benchmarks run on, as the
// portable code sees one: "\" in paths stands for "/". Only what reading a
// history folder needs; everything that would write fails.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <memory>
#include <string>

#include "common/file_system.h"

namespace kq::bench {

class PosixFileSystem final : public FileSystem {
public:
    PathKind kind(const std::string& path) override {
        struct stat st {};
        if (::stat(native(path).c_str(), &st) != 0) return PathKind::missing;
        return S_ISDIR(st.st_mode) ? PathKind::directory : PathKind::file;
    }
    bool createDirectory(const std::string&) override { return false; }
    bool removeFile(const std::string&) override { return false; }
    bool moveFile(const std::string&, const std::string&) override { return false; }
    std::unique_ptr<ByteSource> openForReading(const std::string& path) override {
        const int fd = ::open(native(path).c_str(), O_RDONLY);
        if (fd < 0) return nullptr;
        return std::make_unique<Source>(fd);
    }
    std::optional<FolderListing> listFolder(const std::string& folder) override {
        const std::string dir = native(folder);
        DIR* d = ::opendir(dir.c_str());
        if (!d) return std::nullopt;
        FolderListing listing;
        struct stat self {};
        if (::fstat(::dirfd(d), &self) == 0) listing.identity = identityOf(self);
        const std::string prefix = dir.ends_with('/') ? dir : dir + "/";
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            if (::stat((prefix + name).c_str(), &st) != 0) continue;
            FolderEntry entry;
            entry.name = name;
            entry.directory = S_ISDIR(st.st_mode);
            entry.hidden = name.starts_with('.');
            entry.size = static_cast<std::uint64_t>(st.st_size);
            std::tm local{};
            ::localtime_r(&st.st_mtime, &local);
            entry.lastWrite = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                               local.tm_hour,        local.tm_min,     local.tm_sec};
            entry.identity = identityOf(st);
            listing.entries.push_back(std::move(entry));
        }
        ::closedir(d);
        return listing;
    }
    std::unique_ptr<ByteSink> createNew(const std::string&) override { return nullptr; }
    std::optional<std::string> tempFolder() override { return std::nullopt; }
    std::optional<std::string> createUniqueFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }

private:
    class Source final : public ByteSource {
    public:
        explicit Source(int fd) : fd_(fd) {
            struct stat st {};
            size_ = ::fstat(fd_, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
        }
        ~Source() override { ::close(fd_); }
        std::uint64_t size() const override { return size_; }
        bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
            if (offset > size_ || n > size_ - offset) return false;
            auto* out = static_cast<char*>(dest);
            while (n > 0) {
                const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(offset));
                if (got <= 0) return false;
                out += got;
                n -= static_cast<std::size_t>(got);
                offset += static_cast<std::uint64_t>(got);
            }
            return true;
        }

    private:
        int fd_;
        std::uint64_t size_ = 0;
    };

    static std::string native(std::string path) {
        for (char& c : path) {
            if (c == '\\') c = '/';
        }
        return path;
    }
    static FileIdentity identityOf(const struct stat& st) {
        return {static_cast<std::uint32_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    }
};

}  // namespace kq::bench
