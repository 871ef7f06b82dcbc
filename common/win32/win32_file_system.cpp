#include "common/win32/win32_file_system.h"

#include <algorithm>
#include <cstdint>
#include <vector>
#include <string_view>
#include <utility>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "common/win32/windows_api.h"

namespace kq::win32 {

namespace {

// The longest path the W functions take, terminator included.
constexpr DWORD kLongestPath = 32768;
// A reader shares everything: the recorder may be writing the file, the user
// deleting it, another viewer reading it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
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

vb::DateTime localTimeOf(FILETIME utc) {
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return {};
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

FILETIME fileTimeOf(LARGE_INTEGER value) {
    return {static_cast<DWORD>(value.QuadPart), static_cast<DWORD>(static_cast<ULONGLONG>(value.QuadPart) >> 32)};
}

std::uint64_t join(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

FolderEntry entryOf(std::wstring_view name, DWORD attributes, std::uint64_t size, FILETIME lastWrite) {
    FolderEntry entry;
    entry.name = narrow(name);
    entry.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entry.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    entry.reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.size = entry.directory ? 0 : size;
    entry.lastWrite = localTimeOf(lastWrite);
    return entry;
}

bool isDotEntry(std::wstring_view name) { return name == L"." || name == L".."; }

// FILE_ID_BOTH_DIR_INFO, which the headers declare only for Vista and later.
struct IdBothDirectoryInfo {
    DWORD NextEntryOffset;
    DWORD FileIndex;
    LARGE_INTEGER CreationTime;
    LARGE_INTEGER LastAccessTime;
    LARGE_INTEGER LastWriteTime;
    LARGE_INTEGER ChangeTime;
    LARGE_INTEGER EndOfFile;
    LARGE_INTEGER AllocationSize;
    DWORD FileAttributes;
    DWORD FileNameLength;  // bytes
    DWORD EaSize;
    CCHAR ShortNameLength;
    WCHAR ShortName[12];
    LARGE_INTEGER FileId;
    WCHAR FileName[1];
};
// The information classes of GetFileInformationByHandleEx that list a folder.
constexpr int kIdBothDirectoryInfo = 10;
constexpr int kIdBothDirectoryRestartInfo = 11;

// Lists through the folder's handle, batch after batch; false when the call
// fails for any reason but the end of the folder.
template <typename Function>
bool listByHandle(Function directoryInfo, HANDLE folder, DWORD volumeSerial, std::vector<FolderEntry>& out) {
    // 64 KiB: the most a network share answers with in one batch.
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    for (int infoClass = kIdBothDirectoryRestartInfo;; infoClass = kIdBothDirectoryInfo) {
        if (!directoryInfo(folder, infoClass, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof buffer[0]))) {
            return GetLastError() == ERROR_NO_MORE_FILES;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
        for (std::size_t at = 0;;) {
            const auto* info = reinterpret_cast<const IdBothDirectoryInfo*>(bytes + at);
            const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(WCHAR));
            if (!isDotEntry(name)) {
                FolderEntry entry = entryOf(name, info->FileAttributes,
                                            static_cast<std::uint64_t>(info->EndOfFile.QuadPart),
                                            fileTimeOf(info->LastWriteTime));
                entry.identity = FileIdentity{volumeSerial, static_cast<std::uint64_t>(info->FileId.QuadPart)};
                out.push_back(std::move(entry));
            }
            if (info->NextEntryOffset == 0) break;
            at += info->NextEntryOffset;
        }
    }
}

bool listByFinding(const std::wstring& folder, std::vector<FolderEntry>& out) {
    const std::wstring pattern = folder + (folder.ends_with(L'\\') ? L"*" : L"\\*");
    WIN32_FIND_DATAW found{};
    const FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) return GetLastError() == ERROR_FILE_NOT_FOUND;  // nothing at all, not even "."
    do {
        if (isDotEntry(found.cFileName)) continue;
        out.push_back(entryOf(found.cFileName, found.dwFileAttributes, join(found.nFileSizeHigh, found.nFileSizeLow),
                              found.ftLastWriteTime));
    } while (FindNextFileW(search.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

Win32FileSystem::Win32FileSystem(Listing listing) {
    if (listing != Listing::best) return;
    // Looked up, not imported: XP's kernel32 lacks it and would refuse to load the module.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, "GetFileInformationByHandleEx") : nullptr;
    // Through a function type without parameters: the one cast the compiler accepts between function types.
    if (found) directoryInfo_ = reinterpret_cast<DirectoryInfoFunction>(reinterpret_cast<void (*)()>(found));
}

FileSystem& systemFiles() {
    static Win32FileSystem files;
    return files;
}

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
    FileHandle file(
        CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return nullptr;
    return std::make_unique<FileSource>(std::move(file), static_cast<std::uint64_t>(size.QuadPart));
}

std::optional<FolderListing> Win32FileSystem::listFolder(const std::string& folder) {
    const std::wstring name = wide(folder);
    if (name.empty()) return std::nullopt;
    FolderListing listing;
    // The folder is held open while it is listed, so it stays the folder whose
    // identity is given even if it is renamed or replaced meanwhile.
    const FileHandle handle(CreateFileW(name.c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle && GetFileInformationByHandle(handle.get(), &info)) {
        if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
        listing.identity = FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow)};
        if (directoryInfo_ && listByHandle(directoryInfo_, handle.get(), info.dwVolumeSerialNumber, listing.entries)) {
            return listing;
        }
        listing.entries.clear();
    }
    if (!listByFinding(name, listing.entries)) return std::nullopt;
    return listing;
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
