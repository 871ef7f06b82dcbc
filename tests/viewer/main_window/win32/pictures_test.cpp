// The viewer's pictures as the program loads them from its resources: each
// image list holds the pictures its windows ask for by key, at its size, with
// the mask colour transparent; the lens and the program icon are there.

#include "viewer/main_window/win32/pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win32/bitmaps.h"

namespace kq::viewer::win32 {
namespace {

using kq::win32::thisModule;

struct ExpectedList {
    const pictures::ListSpec* spec;
    int width;
    int height;
    std::vector<std::string_view> keys;  // those the windows use, in any order
};

// What the windows ask of each list.
const ExpectedList kExpected[] = {
    {&pictures::kImlMain, 24, 24, {"ID1", "ID2", "ID3", "ID4", "STYLE1", "STYLE2"}},
    {&pictures::kImlButton, 16, 16, {"SEARCH", "DELETE"}},
    {&pictures::kImlNo0, 16, 16, {"BEFORE", "AFTER"}},
    {&pictures::kImlNo1, 16, 16, {"BEFORE", "AFTER"}},
    {&pictures::kImlList, 16, 16, {"USER", "ERROR"}},
    {&pictures::kImlIcon, 16, 16, {"BOOK", "SHEET"}},
    {&pictures::kImgShadow, 8, 8, {"RIGHT", "BOTTOM", "TOPRIGHT", "BOTTOMLEFT", "BOTTOMRIGHT"}},
    {&pictures::kImgLeftVertical, 5, 20, {"GRIP"}},
    {&pictures::kImgLeftHorizontal, 20, 5, {"GRIP"}},
};

constexpr std::uint32_t kBackground = 0x010203;  // no drawing uses it
constexpr std::uint32_t kMaskColour = 0xFF00FF;

// One picture of a list drawn over the background, as a toolbar or a card draws it.
struct Drawn {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int count(std::uint32_t colour) const {
        int n = 0;
        for (std::uint32_t p : pixels) n += p == colour;
        return n;
    }
};

Drawn draw(const PictureList& list, int index) {
    Drawn out{list.width(), list.height(), {}};
    std::uint32_t* bits = nullptr;
    kq::win32::Bitmap target = kq::win32::topDownBitmap(out.width, out.height, bits);
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    {
        const kq::win32::Selection selected = kq::win32::selectObject(dc.get(), target.get());
        for (int i = 0; i < out.width * out.height; ++i) bits[i] = kBackground;
        EXPECT_TRUE(ImageList_Draw(list.handle(), index, dc.get(), 0, 0, ILD_TRANSPARENT));
        GdiFlush();
        for (int i = 0; i < out.width * out.height; ++i) out.pixels.push_back(bits[i] & 0xFFFFFF);
    }
    return out;
}

int red(std::uint32_t p) { return static_cast<int>(p >> 16) & 0xFF; }
int green(std::uint32_t p) { return static_cast<int>(p >> 8) & 0xFF; }
int blue(std::uint32_t p) { return static_cast<int>(p) & 0xFF; }
bool grey(std::uint32_t p) { return red(p) == green(p) && green(p) == blue(p); }

TEST(ViewerPictures, EveryListHoldsItsKeysAtItsSize) {
    for (const ExpectedList& expected : kExpected) {
        SCOPED_TRACE(std::string(expected.keys.front()));
        const PictureList list = loadPictureList(*expected.spec, thisModule());
        int width = 0;
        int height = 0;
        ASSERT_TRUE(ImageList_GetIconSize(list.handle(), &width, &height));
        EXPECT_EQ(width, expected.width);
        EXPECT_EQ(height, expected.height);
        EXPECT_EQ(ImageList_GetImageCount(list.handle()), static_cast<int>(expected.keys.size()));
        for (std::string_view key : expected.keys) {
            const int index = list.index(key);
            EXPECT_GE(index, 0) << key;
            EXPECT_LT(index, ImageList_GetImageCount(list.handle())) << key;
        }
        // Keys compare exactly, as the windows spell them.
        EXPECT_EQ(list.index("grip"), -1);
        EXPECT_EQ(list.index(""), -1);
    }
}

TEST(ViewerPictures, EveryPictureDrawsSomethingAndNeverItsMaskColour) {
    for (const ExpectedList& expected : kExpected) {
        const PictureList list = loadPictureList(*expected.spec, thisModule());
        for (std::string_view key : expected.keys) {
            SCOPED_TRACE(std::string(key));
            const Drawn drawn = draw(list, list.index(key));
            EXPECT_EQ(drawn.count(kMaskColour), 0);
            EXPECT_GT(drawn.width * drawn.height - drawn.count(kBackground), 0) << "nothing drawn";
        }
    }
}

TEST(ViewerPictures, IconsLeaveTheirCornersToTheBackground) {
    // A toolbar, a list row or a card shows through around each drawing.
    for (const auto* spec : {&pictures::kImlMain, &pictures::kImlButton, &pictures::kImlNo0, &pictures::kImlNo1,
                             &pictures::kImlList, &pictures::kImlIcon}) {
        const PictureList list = loadPictureList(*spec, thisModule());
        for (std::string_view key : spec->keys) {
            SCOPED_TRACE(std::string(key));
            const Drawn drawn = draw(list, list.index(key));
            EXPECT_GT(drawn.count(kBackground), 0);
            EXPECT_EQ(drawn.at(drawn.width - 1, 0), kBackground);
        }
    }
}

TEST(ViewerPictures, DisabledPageButtonsAreGreyAndEnabledOnesAreNot) {
    const PictureList enabled = loadPictureList(pictures::kImlNo0, thisModule());
    const PictureList disabled = loadPictureList(pictures::kImlNo1, thisModule());
    for (std::string_view key : {"BEFORE", "AFTER"}) {
        SCOPED_TRACE(std::string(key));
        int colouredEnabled = 0;
        for (std::uint32_t p : draw(enabled, enabled.index(key)).pixels) colouredEnabled += p != kBackground && !grey(p);
        int colouredDisabled = 0;
        for (std::uint32_t p : draw(disabled, disabled.index(key)).pixels) {
            colouredDisabled += p != kBackground && !grey(p);
        }
        EXPECT_GT(colouredEnabled, 10);
        EXPECT_EQ(colouredDisabled, 0);
    }
}

TEST(ViewerPictures, ShadowTilesDarkenTowardsThePageAndLeaveTheirOuterPartOpen) {
    const PictureList shadow = loadPictureList(pictures::kImgShadow, thisModule());
    const Drawn right = draw(shadow, shadow.index("RIGHT"));
    const Drawn bottom = draw(shadow, shadow.index("BOTTOM"));
    for (int i = 0; i < 8; ++i) {
        // Darkest beside the page's edge, fading outwards, then the view's own background.
        EXPECT_LT(red(right.at(0, i)), red(right.at(3, i)));
        EXPECT_EQ(right.at(7, i), kBackground);
        EXPECT_EQ(right.at(0, i), right.at(0, 0));
        EXPECT_LT(red(bottom.at(i, 0)), red(bottom.at(i, 3)));
        EXPECT_EQ(bottom.at(i, 7), kBackground);
    }
    // The shadow starts below the top and right of the left corner of the page.
    EXPECT_EQ(draw(shadow, shadow.index("TOPRIGHT")).at(0, 0), kBackground);
    EXPECT_NE(draw(shadow, shadow.index("TOPRIGHT")).at(0, 7), kBackground);
    EXPECT_EQ(draw(shadow, shadow.index("BOTTOMLEFT")).at(0, 0), kBackground);
    EXPECT_NE(draw(shadow, shadow.index("BOTTOMLEFT")).at(7, 0), kBackground);
    EXPECT_NE(draw(shadow, shadow.index("BOTTOMRIGHT")).at(0, 0), kBackground);
    EXPECT_EQ(draw(shadow, shadow.index("BOTTOMRIGHT")).at(7, 7), kBackground);
}

TEST(ViewerPictures, AllListsLoadTogether) {
    const ViewerPictures all = loadViewerPictures(thisModule());
    EXPECT_EQ(all.imlMain.index("ID4"), 3);
    EXPECT_EQ(ImageList_GetImageCount(all.imgShadow.handle()), 5);
    EXPECT_EQ(all.imgLeftVertical.width(), 5);
    EXPECT_EQ(all.imgLeftHorizontal.width(), 20);
}

TEST(ViewerPictures, TheLensIsAWhiteDiscWithAGreyRim) {
    const kq::win32::Bitmap lens = loadLens(thisModule());
    ASSERT_TRUE(lens);
    BITMAP shape{};
    ASSERT_TRUE(GetObjectW(lens.get(), sizeof shape, &shape));
    EXPECT_EQ(shape.bmWidth, 235);
    EXPECT_EQ(shape.bmHeight, 235);
    EXPECT_EQ(shape.bmBitsPixel, 24);
    const kq::win32::DeviceContext dc = kq::win32::memoryDc(nullptr);
    const kq::win32::Selection selected = kq::win32::selectObject(dc.get(), lens.get());
    EXPECT_EQ(GetPixel(dc.get(), 117, 117), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc.get(), 117, 40), RGB(255, 255, 255));
    const COLORREF rim = GetPixel(dc.get(), 1, 117);
    EXPECT_EQ(GetRValue(rim), GetGValue(rim));
    EXPECT_EQ(GetGValue(rim), GetBValue(rim));
    EXPECT_LT(GetRValue(rim), 170);
    // Softly: between the white and the rim lie shades of grey.
    const COLORREF between = GetPixel(dc.get(), 10, 117);
    EXPECT_GT(GetRValue(between), GetRValue(rim));
    EXPECT_LT(GetRValue(between), 255);
}

TEST(ViewerPictures, TheProgramIconComesInTheSizesTheSystemAsksFor) {
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const kq::win32::Icon icon = loadProgramIcon(size, thisModule());
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        const kq::win32::Bitmap colour(info.hbmColor);
        const kq::win32::Bitmap mask(info.hbmMask);
        BITMAP shape{};
        ASSERT_TRUE(GetObjectW(colour.get(), sizeof shape, &shape));
        EXPECT_EQ(shape.bmWidth, size);
        EXPECT_EQ(shape.bmHeight, size);
    }
}

TEST(ViewerPictures, AMissingResourceIsABrokenProgram) {
    static constexpr std::string_view keys[] = {"X"};
    const pictures::ListSpec missing{L"NO_SUCH_PICTURES", 16, 16, keys};
    EXPECT_THROW(loadPictureList(missing, thisModule()), std::runtime_error);
    // A strip of another size than the table says is refused too.
    const pictures::ListSpec wrongSize{pictures::kImlButton.resource, 24, 24, pictures::kImlButton.keys};
    EXPECT_THROW(loadPictureList(wrongSize, thisModule()), std::runtime_error);
}

}  // namespace
}  // namespace kq::viewer::win32
