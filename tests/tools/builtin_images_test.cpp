#include "tools/simhost/builtin_images.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <cstdint>
#include <vector>

#include "common/win32/handles.h"
#include "host/host.h"

namespace kq::simhost {
namespace {

struct Drawn {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture's bitmap, as the ribbon bridge hands it on.
Drawn drawn(win32::Variant picture) {
    Drawn d;
    if (V_VT(picture.get()) != VT_DISPATCH || !V_DISPATCH(picture.get())) return d;
    const auto ole = win32::ComPtr<IDispatch>::share(V_DISPATCH(picture.get())).as<IPicture>(IID_IPicture);
    SHORT type = 0;
    OLE_HANDLE handle = 0;
    if (!ole || FAILED(ole->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(ole->get_Handle(&handle))) return d;
    const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP facts{};
    GetObjectW(bitmap, sizeof facts, &facts);
    d.width = facts.bmWidth;
    d.height = facts.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, d.width, -d.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    d.pixels.resize(static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height));
    const win32::WindowDc screen = win32::windowDc(nullptr);
    GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(d.height), d.pixels.data(), &info, DIB_RGB_COLORS);
    return d;
}

TEST(BuiltInImages, AreOfTheAskedSizeAndDifferByName) {
    const Drawn info = drawn(builtInImage("Info", 32, 32));
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.height, 32);
    const Drawn wide = drawn(builtInImage("Info", 48, 16));
    EXPECT_EQ(wide.width, 48);
    EXPECT_EQ(wide.height, 16);
    const Drawn deleted = drawn(builtInImage("Delete", 32, 32));
    ASSERT_EQ(deleted.pixels.size(), info.pixels.size());
    EXPECT_NE(deleted.pixels, info.pixels);
    EXPECT_EQ(drawn(builtInImage("Info", 32, 32)).pixels, info.pixels);
}

TEST(BuiltInImages, FailAsTheHostDoesForWhatItDoesNotKnow) {
    struct Case {
        const char* name;
        std::int32_t width;
        std::int32_t height;
    };
    const Case cases[] = {{"NoSuchImage", 32, 32}, {"info", 32, 32}, {"", 32, 32},
                          {"Info", 0, 32},         {"Info", 32, -1}, {"Info", 257, 32}};
    for (const Case& c : cases) {
        try {
            builtInImage(c.name, c.width, c.height);
            ADD_FAILURE() << c.name << " " << c.width << "x" << c.height;
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.number(), host::err::kInvalidCall) << c.name;
        }
    }
}

}  // namespace
}  // namespace kq::simhost
