#include "common/win32/buffered_paint_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "common/win32/bitmaps.h"
#include "common/win32/handles.h"
#include "tests/support/win32/window_driver.h"

namespace kq::win32 {
namespace {

constexpr wchar_t kClass[] = L"KqBufferedPaintTest";
constexpr SIZE kClient{60, 40};
constexpr std::uint32_t kWhite = 0xFFFFFF;

constexpr std::uint32_t pixelOf(COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

// Fills the client area, with its lower-right pixel in a colour of its own:
// what is drawn must be the whole client area, no more and no less. Or keeps
// that picture drawn and draws nothing when asked.
class Sample final : public BufferedPaintWindow {
public:
    static constexpr COLORREF kFill = RGB(200, 30, 40);
    static constexpr COLORREF kCorner = RGB(10, 120, 220);

    explicit Sample(bool keeps) : keeps_(keeps) {}

    bool open() {
        // A black class background, so that any erasing shows.
        registerClass({.name = kClass, .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});
        RECT outer{0, 0, kClient.cx, kClient.cy};
        AdjustWindowRectEx(&outer, WS_POPUP, FALSE, 0);
        return create({.windowClass = kClass,
                       .style = WS_POPUP | WS_VISIBLE,
                       .x = 40,
                       .y = 40,
                       .width = outer.right - outer.left,
                       .height = outer.bottom - outer.top}) != nullptr;
    }

private:
    void paint(HDC dc, const RECT& client) override {
        if (keeps_) return;
        draw(dc, client);
    }
    HBITMAP keptPicture(const RECT& client) override {
        if (!keeps_) return nullptr;
        std::uint32_t* bits = nullptr;
        kept_ = topDownBitmap(client.right, client.bottom, bits);
        const DeviceContext dc = memoryDc(nullptr);
        const Selection used = selectObject(dc.get(), kept_.get());
        draw(dc.get(), client);
        return kept_.get();
    }
    static void draw(HDC dc, const RECT& client) {
        const Brush fill(CreateSolidBrush(kFill));
        FillRect(dc, &client, fill.get());
        SetPixelV(dc, client.right - 1, client.bottom - 1, kCorner);
    }

    bool keeps_;
    Bitmap kept_;
};

TEST(BufferedPaintWindow, ShowsTheWholeClientAreaOnTheScreenAndInAPrint) {
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps ? "kept picture" : "drawn on paint");
        Sample window(keeps);
        ASSERT_TRUE(window.open());
        const test::Picture printed = test::printClient(window.hwnd());
        ASSERT_EQ(printed.width, kClient.cx);
        EXPECT_EQ(printed.at(0, 0), pixelOf(Sample::kFill));
        EXPECT_EQ(printed.at(kClient.cx - 2, kClient.cy - 1), pixelOf(Sample::kFill));
        EXPECT_EQ(printed.at(kClient.cx - 1, kClient.cy - 1), pixelOf(Sample::kCorner));

        const test::Picture shown = test::captureWindow(window.hwnd());
        ASSERT_EQ(shown.width, kClient.cx);
        EXPECT_EQ(shown.at(0, 0), pixelOf(Sample::kFill));
        EXPECT_EQ(shown.at(kClient.cx - 1, kClient.cy - 1), pixelOf(Sample::kCorner));
    }
}

TEST(BufferedPaintWindow, LeavesTheBackgroundToThePainting) {
    Sample window(false);
    ASSERT_TRUE(window.open());
    std::uint32_t* bits = nullptr;
    const Bitmap canvas = topDownBitmap(kClient.cx, kClient.cy, bits);
    ASSERT_TRUE(canvas);
    std::fill_n(bits, kClient.cx * kClient.cy, kWhite);
    const DeviceContext dc = memoryDc(nullptr);
    {
        const Selection used = selectObject(dc.get(), canvas.get());
        EXPECT_NE(SendMessageW(window.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 0)
            << "the background counts as erased";
        GdiFlush();
    }
    EXPECT_EQ(bits[0], kWhite);
    EXPECT_EQ(bits[kClient.cx * kClient.cy - 1], kWhite);
}

}  // namespace
}  // namespace kq::win32
