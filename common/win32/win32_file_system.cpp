#include "common/win32/win32_file_system.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

namespace {

// The longest path the W functions take, terminator included.
constexpr DWORD kLongestPath = 32768;
// ReadFile and WriteFile move at most a DWORD at a time.
constexpr std::size_t kMaxTransfer = 1u << 30;

class FileSource final : public ByteSource {
public:
    FileSource(FileHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
        if (offset > size_ || n > size_ - offset) return false;
        auto* out = static_cast<unsigned char*>(dest);
        while (n > 0) {
            // The offset travels with each read, so no file pointer is shared between reads.
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD want = static_cast<DWORD>(std::min(n, kMaxTransfer));
            DWORD got = 0;
            if (!ReadFile(file_.get(), out, want, &got, &at) || got == 0) return false;
            out += got;
            offset += got;
            n -= got;
        }
        return true;
    }

private:
    FileHandle file_;
    std::uint64_t size_;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(FileHandle file) : file_(std::move(file)) {}
    bool write(const void* data, std::size_t n) override {
        const auto* in = static_cast<const unsigned char*>(data);
        while (n > 0) {
            const DWORD want = static_cast<DWORD>(std::min(n, kMaxTransfer));
            DWORD written = 0;
            if (!WriteFile(file_.get(), in, want, &written, nullptr) || written == 0) return false;
            in += written;
            n -= written;
        }
        return true;
    }

private:
    FileHandle file_;
};

// The root of a path: "X:\" or "\\server\share\"; empty when it has none.
std::wstring rootOf(std::wstring_view path) {
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        return std::wstring(path.substr(0, 2)) + L"\\";
    }
    if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\.\\")) {
        const auto serverEnd = path.find(L'\\', 2);
        if (serverEnd == std::wstring_view::npos || serverEnd == 2) return {};
        const auto shareEnd = path.find(L'\\', serverEnd + 1);
        if (shareEnd == serverEnd + 1) return {};
        return std::wstring(path.substr(0, shareEnd)) + L"\\";
    }
    return {};
}

}  // namespace

PathKind Win32FileSystem::kind(const std::string& path) {
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::directory : PathKind::file;
    }
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_DIRECTORY:  // a file stands where a folder of the path should be
            break;
        default:
            // Not ready, network gone, access refused: nothing is known of the name.
            return PathKind::unreachable;
    }
    // "Not found" is also what a drive letter that is not mapped, or a share that
    // is gone, gives: then the whole folder is out of reach, not missing.
    const std::wstring root = rootOf(name);
    if (!root.empty() && GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return PathKind::unreachable;
    }
    return PathKind::missing;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return CreateDirectoryW(wide(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::removeFile(const std::string& path) { return DeleteFileW(wide(path).c_str()) != FALSE; }

bool Win32FileSystem::moveFile(const std::string& from, const std::string& to) {
    return MoveFileW(wide(from).c_str(), wide(to).c_str()) != FALSE;
}

std::unique_ptr<ByteSource> Win32FileSystem::openForReading(const std::string& path) {
    FileHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return nullptr;
    return std::make_unique<FileSource>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}

std::unique_ptr<ByteSink> Win32FileSystem::createNew(const std::string& path) {
    FileHandle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileSink>(std::move(file));
}

std::optional<std::string> Win32FileSystem::tempFolder() {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size() && length <= kLongestPath) {
        // Too small: the result is the size needed, terminator included.
        buffer.assign(length + 1, L'\0');
        length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size()) return std::nullopt;
    buffer.resize(length);
    if (const auto end = buffer.find(L'\0'); end != std::wstring::npos) buffer.resize(end);
    if (buffer.empty()) return std::nullopt;
    return narrow(buffer);
}

std::optional<std::string> Win32FileSystem::createUniqueFile(const std::string& folder, const std::string& prefix) {
    std::wstring buffer(kLongestPath, L'\0');
    if (GetTempFileNameW(wide(folder).c_str(), wide(prefix).c_str(), 0, buffer.data()) == 0) return std::nullopt;
    buffer.resize(buffer.find(L'\0'));
    if (buffer.empty()) return std::nullopt;
    return narrow(buffer);
}

}  // namespace kq::win32
