// The viewer's folder scan at its core: 50,000 history files in 50 folders,
// each listed, opened, its header read through the portable reader (the
// code-page codec decoding its 19 texts) and closed. Its floor, measured in
// the same run on the same files: listing the folders, opening each file,
// reading its first 4 KiB and closing it. The ratio of the two is what the
// reader and the codec add to what the disk costs anyway.
//
// The files are made once, in the build folder, and kept for later runs.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/history_reader.h"
#include "common/history_writer.h"

namespace {

using namespace kq;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kFolders = 50;
constexpr int kFilesPerFolder = 1000;
constexpr std::size_t kFloorRead = 4096;

// A history as the recorder writes one for a small sheet: Japanese texts in
// the header, five headings, one page, two page texts, shapes, comments and errors.
Bytes typicalHistory(int n) {
    HistoryRecords r;
    HistoryFileHeader& h = r.header;
    h.strVersion = "1.02.0.03";
    h.dblExcelVersion = 16;
    h.lngOSVersion = 12;
    h.strCategory = n % 3 == 0 ? "経理" : "営業部";
    h.strSheetId = "20240315093000QRS";
    h.strVersionId = "20240301080000KLM";
    h.strHistoryId = "20240315" + std::to_string(100000 + n % 900000) + "XYZ";
    h.strSaveRange = "$A$1:$H$40";
    h.strBookPath = "C:\\Users\\山田\\Documents\\見積";
    h.strBookName = "見積書" + std::to_string(n % 97) + ".xls";
    h.strSheetName = "売上表";
    h.strExcelUserName = "山田 太郎";
    h.datPrintDate = 45366.4274305556 + n / 1000.0;
    h.strPrinterName = "プリンタ 2 on Ne01:";
    h.strLeftHeader = "&D";
    h.strCenterHeader = "&B売上表&B";
    h.strRightHeader = "&F";
    h.strCenterFooter = "&P / &N";
    h.strPrintTitleRows = "$1:$2";
    h.lngOrientation = 1;
    h.lngPaperSize = 9;
    h.lngFirstPageNumber = -4105;
    h.lngOrder = 1;
    for (int i = 0; i < 5; ++i) {
        r.headings.push_back({"見出し" + std::to_string(i), "$B$" + std::to_string(i + 2), "値" + std::to_string(n), 0});
    }
    for (int i = 0; i < 2; ++i) {
        std::string text;
        for (int row = 0; row < 8; ++row) text += "売上" + std::to_string(row) + "\t株式会社サンプル\t1234\r\n";
        r.pageTexts.push_back({text});
    }
    r.shapes.push_back({"四角形 1", "確認済み", "$C$3", "$E$5"});
    r.comments.push_back({"山田:\r\n至急確認", "$B$2", "山田 太郎"});
    r.errorLines = {{"err:#REF. 担当"}};

    class OnePage final : public HistoryPageSource {
    public:
        explicit OnePage(int seed) : seed_(static_cast<std::uint32_t>(seed)) {}
        bool readPage(std::size_t, Bytes& bytes) override {
            bytes.resize(1024);
            for (auto& b : bytes) {
                seed_ = seed_ * 1664525u + 1013904223u;
                b = static_cast<std::uint8_t>(seed_ >> 24);
            }
            return true;
        }

    private:
        std::uint32_t seed_;
    } page(n);
    MemorySink sink;
    if (HistoryWriter(r, 1, systemAnsiCodec()).write(page, sink) != HistoryWriteStatus::written) std::abort();
    return sink.bytes;
}

std::string folderName(const std::string& root, int i) { return root + "/f" + std::to_string(i); }

void makeFilesOnce(const std::string& root) {
    const std::string done = root + "/complete";
    if (access(done.c_str(), F_OK) == 0) return;
    std::printf("making %d history files in %s ...\n", kFolders * kFilesPerFolder, root.c_str());
    mkdir(root.c_str(), 0755);
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = folderName(root, f);
        mkdir(folder.c_str(), 0755);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const Bytes bytes = typicalHistory(f * kFilesPerFolder + i);
            const std::string path = folder + "/20240315093000QRS_20240301080000KLM_" + std::to_string(i) + ".tvk";
            const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
            close(fd);
        }
    }
    close(open(done.c_str(), O_WRONLY | O_CREAT, 0644));
}

// A history file read through its descriptor, at the offsets the reader asks for.
class FdSource final : public ByteSource {
public:
    FdSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* dest, std::size_t n) override {
        if (offset > size_ || n > size_ - offset) return false;
        return pread(fd_, dest, n, static_cast<off_t>(offset)) == static_cast<ssize_t>(n);
    }

private:
    int fd_;
    std::uint64_t size_;
};

// Calls `each(path)` for every file of every folder, listing each folder once.
template <class Each>
void forEachFile(const std::string& root, Each each) {
    for (int f = 0; f < kFolders; ++f) {
        const std::string folder = folderName(root, f);
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr) std::abort();
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            each(folder + "/" + entry->d_name);
        }
        closedir(dir);
    }
}

std::uint64_t g_keep = 0;  // results folded in here so the work is not optimised away

double floorRun(const std::string& root) {
    const auto start = Clock::now();
    std::vector<char> buffer(kFloorRead);
    forEachFile(root, [&](const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0) std::abort();
        g_keep += static_cast<std::uint64_t>(read(fd, buffer.data(), buffer.size()));
        close(fd);
    });
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double scanRun(const std::string& root) {
    const auto start = Clock::now();
    const AnsiCodec& codec = systemAnsiCodec();
    forEachFile(root, [&](const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct stat info {};
        if (fd < 0 || fstat(fd, &info) != 0) std::abort();
        FdSource source(fd, static_cast<std::uint64_t>(info.st_size));
        const HistoryRead<HistoryFileHeader> header = readHistoryHeader(source, codec);
        if (!header) std::abort();
        g_keep += header.value->strSheetName.size() + header.value->strBookPath.size();
        close(fd);
    });
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    const std::string root = KQ_SCAN_FOLDER;
    makeFilesOnce(root);
    floorRun(root);  // the files into the page cache, for both
    double floor = 1e9;
    double scan = 1e9;
    for (int round = 0; round < 5; ++round) {
        floor = std::min(floor, floorRun(root));
        scan = std::min(scan, scanRun(root));
    }
    const double files = kFolders * kFilesPerFolder;
    std::printf("header scan of %d histories in %d folders, best of 5\n", kFolders * kFilesPerFolder, kFolders);
    std::printf("  floor (list, open, read 4 KiB, close) %8.1f ms  %6.2f us per file\n", floor * 1e3,
                floor / files * 1e6);
    std::printf("  scan  (list, open, read header, close) %7.1f ms  %6.2f us per file\n", scan * 1e3,
                scan / files * 1e6);
    std::printf("  ratio scan / floor                    %8.2f  (goal for the viewer's reload: 1.3 or less)\n",
                scan / floor);
    return g_keep == 0 ? 1 : 0;
}
