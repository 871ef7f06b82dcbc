// The button icons in the library's resources and their painting onto faces
// that the host hands over through the system clipboard.

#include "addin/core/win32/icon_faces_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "host/sim/win32/sim_clipboard_win32.h"
#include "tests/support/win32/window_driver.h"

namespace kq::addin::win32 {
namespace {

using host::sim::ButtonFace;
using host::sim::kFaceSize;

#pragma pack(push, 2)
struct IconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroup {
    WORD reserved;
    WORD type;
    WORD count;
    IconEntry entries[1];
};
#pragma pack(pop)

constexpr std::uint32_t kGrey = 0xC0C0C0;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kCyan = 0x00FFFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

void putText(const std::wstring& text) {
    const kq::win32::OwnedWindow owner = kq::win32::messageWindow();
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(owner.get());
    ASSERT_TRUE(open);
    EmptyClipboard();
    kq::win32::GlobalMemory memory = kq::win32::globalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, memory.get()));
    memory.release();
}

std::wstring clipboardText() {
    const kq::win32::OpenedClipboard open = kq::win32::openClipboard(nullptr);
    const kq::win32::LockedGlobal text = kq::win32::lockGlobal(GetClipboardData(CF_UNICODETEXT));
    return text ? static_cast<const wchar_t*>(text.get()) : L"<none>";
}

std::uint32_t at(const ButtonFace& face, int x, int y) { return face.pixels[static_cast<std::size_t>(y * kFaceSize + x)]; }

void saveForReview(const ButtonFace& face, const std::string& name) {
    constexpr int kScale = 8;
    kq::test::Picture picture{kFaceSize * kScale, kFaceSize * kScale, {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(at(face, x / kScale, y / kScale));
    }
    kq::test::savePng(picture, name);
}

TEST(ButtonIcons, EachGroupHoldsA16PixelPictureAt4And8BitsPerPixel) {
    for (const wchar_t* name : {L"ICON_THISSITECHECK", L"ICON_OPENHISTORY"}) {
        SCOPED_TRACE(kq::win32::narrow(name));
        const HRSRC found = FindResourceW(kq::win32::thisModule(), name, MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_TRUE(found);
        const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(kq::win32::thisModule(), found)));
        ASSERT_TRUE(group);
        ASSERT_EQ(group->count, 2);
        std::vector<int> depths;
        for (int i = 0; i < group->count; ++i) {
            EXPECT_EQ(group->entries[i].width, 16);
            EXPECT_EQ(group->entries[i].height, 16);
            depths.push_back(group->entries[i].bitCount);
        }
        EXPECT_EQ(depths, (std::vector<int>{4, 8}));
    }
}

class IconFaces : public ::testing::Test {
protected:
    // The host's side: it copies a face to the clipboard and pastes it from there.
    host::sim::win32::Win32SimClipboard host;
};

TEST_F(IconFaces, TheIconIsDrawnOverTheFaceAndTheUsersTextComesBack) {
    putText(L"ユーザーのメモ");
    ButtonFace painted;
    {
        Win32IconFaces faces;
        host.putFace(host::sim::blankFace());
        ASSERT_TRUE(faces.drawIcon("ICON_THISSITECHECK"));
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
        const auto taken = host.takeFace();
        ASSERT_TRUE(taken);
        painted = *taken;
        faces.clearClipboard();
        EXPECT_FALSE(host.takeFace());
    }
    EXPECT_EQ(clipboardText(), L"ユーザーのメモ");
    saveForReview(painted, "button_face_thissitecheck.png");

    struct Pixel {
        int x, y;
        std::uint32_t colour;
    };
    // Transparent corners keep the face; the printer's outline, its paper and the glass show.
    for (const Pixel p : {Pixel{0, 0, kGrey}, Pixel{15, 15, kGrey}, Pixel{0, 15, kGrey}, Pixel{3, 0, kBlack},
                          Pixel{5, 1, kWhite}, Pixel{7, 10, kCyan}}) {
        EXPECT_EQ(at(painted, p.x, p.y), p.colour) << p.x << "," << p.y;
    }
}

TEST_F(IconFaces, EachIconGivesItsOwnFace) {
    std::vector<ButtonFace> faces;
    for (const char* icon : {"ICON_THISSITECHECK", "ICON_OPENHISTORY"}) {
        Win32IconFaces painter;
        host.putFace(host::sim::blankFace());
        ASSERT_TRUE(painter.drawIcon(icon)) << icon;
        faces.push_back(*host.takeFace());
    }
    EXPECT_NE(faces[0], faces[1]);
    saveForReview(faces[1], "button_face_openhistory.png");
}

TEST_F(IconFaces, NothingIsPutBackWhenAStepFails) {
    struct Case {
        std::string what;
        bool faceOnClipboard;
        std::string icon;
    };
    const std::vector<Case> cases = {
        {"no picture on the clipboard", false, "ICON_THISSITECHECK"},
        {"no such icon", true, "ICON_NONE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        putText(L"kept");
        Win32IconFaces faces;
        if (c.faceOnClipboard) host.putFace(host::sim::builtInFace(59));
        EXPECT_FALSE(faces.drawIcon(c.icon));
        // What was there stays: the host would paste the face unchanged, or nothing.
        const auto left = host.takeFace();
        EXPECT_EQ(left.has_value(), c.faceOnClipboard);
        if (left) {
            EXPECT_EQ(*left, host::sim::builtInFace(59));
        }
    }
    EXPECT_EQ(clipboardText(), L"kept");
}

}  // namespace
}  // namespace kq::addin::win32
