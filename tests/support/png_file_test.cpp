// Screenshots are PNG files that any reader takes: the bytes are compared with
// what an independent encoder (zlib's stored blocks) makes of the same pixels.

#include "tests/support/png_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kq::test {
namespace {

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

TEST(PngFile, TwoPixelsByteForByte) {
    const std::vector<std::uint8_t> expected = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7B, 0x40, 0xE8, 0xDD, 0x00,
        0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x01, 0x01, 0x07, 0x00, 0xF8, 0xFF, 0x00, 0xFF, 0x00,
        0x00, 0x00, 0x00, 0xFF, 0x07, 0x00, 0x01, 0xFF, 0x55, 0x36, 0xBA, 0xC7, 0x00, 0x00, 0x00, 0x00, 0x49,
        0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    EXPECT_EQ(encodePng(2, 1, {0xFF0000, 0x0000FF}), expected);
}

std::uint32_t big32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// Reads the file back as a PNG reader would: chunks and their CRCs, then the
// zlib stream of stored blocks and its checksum; the scan lines it holds.
std::vector<std::uint8_t> scanLines(const std::vector<std::uint8_t>& png) {
    std::vector<std::uint8_t> z;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = big32(png, at);
        const std::vector<std::uint8_t> typeAndBody(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                                    png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        EXPECT_EQ(crc32(typeAndBody), big32(png, at + 8 + length));
        if (std::string(typeAndBody.begin(), typeAndBody.begin() + 4) == "IDAT") z.insert(z.end(), typeAndBody.begin() + 4, typeAndBody.end());
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    std::vector<std::uint8_t> raw;
    std::size_t p = 2;
    for (bool last = false; !last && p + 5 <= z.size();) {
        last = (z[p] & 1) != 0;
        EXPECT_EQ(z[p] & 6, 0);  // stored
        const unsigned n = z[p + 1] | (z[p + 2] << 8);
        EXPECT_EQ(n ^ 0xFFFFu, static_cast<unsigned>(z[p + 3] | (z[p + 4] << 8)));
        raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(p + 5), z.begin() + static_cast<std::ptrdiff_t>(p + 5 + n));
        p += 5 + n;
    }
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(p + 4, z.size());
    EXPECT_EQ(big32(z, p), (b << 16) | a);
    return raw;
}

TEST(PngFile, ImageDataLongerThanOneStoredBlock) {
    // 120 rows of 601 bytes: more than one stored block holds.
    const int width = 200;
    const int height = 120;
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> lines;
    for (int y = 0; y < height; ++y) {
        lines.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = ((x * 0x010203u) ^ (y * 0x0A0B0Cu)) & 0xFFFFFFu;
            pixels.push_back(v);
            lines.insert(lines.end(), {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                                       static_cast<std::uint8_t>(v)});
        }
    }
    const std::vector<std::uint8_t> png = encodePng(width, height, pixels);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(big32(png, 16), 200u);
    EXPECT_EQ(big32(png, 20), 120u);
    EXPECT_EQ(scanLines(png), lines);
}

TEST(PngFile, SizeThatDoesNotMatchThePixelsGivesNothing) {
    EXPECT_TRUE(encodePng(2, 2, {1, 2, 3}).empty());
    EXPECT_TRUE(encodePng(0, 0, {}).empty());
}

}  // namespace
}  // namespace kq::test
