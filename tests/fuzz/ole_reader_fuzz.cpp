// Drives the readers of compound files, macro projects and workbook streams
// with arbitrary bytes. The first byte chooses the reader, the rest is its
// input:
//   0  the macro-project decompression, and what decompresses must compress
//      and decompress back to the same bytes
//   1  the dir stream's records
//   2  the workbook stream
//   3  a whole workbook file: compound file, workbook stream and project,
//      and every stream of the compound file
// Beyond the sanitizers' findings: nothing read is larger than the input
// allows.

#include <algorithm>
#include <cstdlib>
#include <span>

#include "common/ole/macro_workbook.h"
#include "common/ole/vba_compression.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

constexpr std::size_t kDecompressionLimit = 1024 * 1024;
// Compressing searches each chunk for repeats: kept short so the run stays fast.
constexpr std::size_t kLongestRoundTrip = 8192;

void decompression(std::span<const std::uint8_t> input) {
    const auto data = kq::ole::decompressVba(input, kDecompressionLimit);
    if (!data) return;
    check(data->size() <= kDecompressionLimit);
    // Every chunk header of at least 3 bytes gives at most 4096 bytes.
    check(data->size() <= (input.size() / 3 + 1) * kq::ole::kVbaChunkSize);
    if (data->size() > kLongestRoundTrip) return;
    const auto again = kq::ole::decompressVba(kq::ole::compressVba(*data), kDecompressionLimit);
    check(again && again->size() >= data->size());
    check(std::equal(data->begin(), data->end(), again->begin()));
    // Only a final chunk stored raw adds bytes, zeros up to a whole chunk.
    check(again->size() - data->size() < kq::ole::kVbaChunkSize);
    check(std::all_of(again->begin() + static_cast<std::ptrdiff_t>(data->size()), again->end(), [](auto b) { return b == 0; }));
}

void wholeFile(std::span<const std::uint8_t> input) {
    const auto file = kq::ole::CompoundFile::read(input);
    check(file || !file.damage.empty());
    if (file) {
        for (const std::string& path : file->streamPaths()) {
            const auto bytes = file->stream(path);
            check(!bytes || bytes->size() <= input.size());
        }
    }
    const auto book = kq::ole::readMacroWorkbook(input, kq::systemAnsiCodec());
    check(book || !book.damage.empty());
    if (book) check(static_cast<bool>(file));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    switch (data[0] % 4) {
        case 0:
            decompression(input);
            break;
        case 1: {
            const auto dir = kq::ole::readVbaDir(input, kq::systemAnsiCodec());
            check(dir || !dir.damage.empty());
            if (dir) check(dir->modules.size() <= input.size());
            break;
        }
        case 2: {
            const auto book = kq::ole::readBiffWorkbook(input);
            check(book || !book.damage.empty());
            if (book) check(book->sheets.size() <= input.size());
            break;
        }
        default:
            wholeFile(input);
            break;
    }
    return 0;
}
