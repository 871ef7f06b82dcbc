// The bridge's pictures as an independent decoder (libpng) reads them: 48 x 48
// pixels, 8 bits per channel with alpha, and drawn as their controls need them.

#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Decoded {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    std::vector<std::uint8_t> rgba;  // row by row
};

Decoded decode(const std::string& name) {
    Decoded out;
    const std::string path = std::string(KQ_RIBBON_PICTURES) + "/" + name;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return Decoded{};
    }
    png_init_io(png, file);
    png_read_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    out.colorType = png_get_color_type(png, info);
    if (out.bitDepth == 8 && out.colorType == PNG_COLOR_TYPE_RGBA && out.width <= 256 && out.height <= 256) {
        out.rgba.resize(std::size_t{out.width} * out.height * 4);
        std::vector<png_bytep> rows(out.height);
        for (png_uint_32 y = 0; y < out.height; ++y) rows[y] = out.rgba.data() + std::size_t{y} * out.width * 4;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return out;
}

const std::uint8_t* pixel(const Decoded& d, int x, int y) { return &d.rgba[(std::size_t(y) * d.width + x) * 4]; }

// Opaque, clearly green pixels: the check mark.
int greenPixels(const Decoded& d) {
    int count = 0;
    for (png_uint_32 y = 0; y < d.height; ++y) {
        for (png_uint_32 x = 0; x < d.width; ++x) {
            const auto* p = pixel(d, static_cast<int>(x), static_cast<int>(y));
            count += p[3] == 255 && p[1] > 120 && p[0] < 50 && p[2] < 90;
        }
    }
    return count;
}

TEST(RibbonPictures, DecodeAs48By48RgbaWithTransparentCorners) {
    for (const char* name : {"thissheetcheck.png", "thissheetcheck2.png", "openhistory.png"}) {
        SCOPED_TRACE(name);
        const Decoded d = decode(name);
        EXPECT_EQ(d.width, 48u);
        EXPECT_EQ(d.height, 48u);
        EXPECT_EQ(d.bitDepth, 8);
        EXPECT_EQ(d.colorType, PNG_COLOR_TYPE_RGBA);
        ASSERT_EQ(d.rgba.size(), 48u * 48u * 4u);
        // A control's background shows around the drawing.
        EXPECT_EQ(pixel(d, 47, 0)[3], 0);
        int opaque = 0;
        for (std::size_t i = 3; i < d.rgba.size(); i += 4) opaque += d.rgba[i] == 255;
        EXPECT_GT(opaque, 48 * 48 / 4);
    }
}

TEST(RibbonPictures, OnlyTheWatchedPictureCarriesTheCheckMark) {
    EXPECT_EQ(greenPixels(decode("thissheetcheck.png")), 0);
    EXPECT_GT(greenPixels(decode("thissheetcheck2.png")), 40);
    EXPECT_EQ(greenPixels(decode("openhistory.png")), 0);
}

}  // namespace
