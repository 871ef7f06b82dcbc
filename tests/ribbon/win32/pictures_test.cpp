// PNG resources turned into picture objects, from this program's own
// resources: the temp file they pass through never stays behind.

#include "ribbon/win32/pictures.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <string>

#include "common/win32/com_boundary.h"
#include "ribbon/texts.h"
#include "tests/ribbon/win32/picture_checks.h"
#include "tests/support/scripted_prompts.h"

namespace kq::ribbon::win32 {
namespace {

using kq::win32::ComFailure;
using kq::win32::ComPtr;

using test::factsOf;
using test::PictureFacts;
using test::tempFilesNamedKez;

class Pictures : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
    test::ScriptedPrompts prompts;
    const test::PrivateTempFolder temp;
};

TEST_F(Pictures, AResourceBecomesABitmapPictureThatOwnsItsBitmap) {
    const int before = tempFilesNamedKez();
    const PicturePtr picture = LoadResPNGPicture(L"GOOD_PICTURE", prompts, "title");
    const auto dispatch = ComPtr<IDispatch>::adopt(detachedDispatch(picture));
    EXPECT_EQ(factsOf(dispatch.get()), (PictureFacts{48, 48, PICTYPE_BITMAP}));
    const auto ole = dispatch.as<IPicture>(IID_IPicture);
    ASSERT_TRUE(ole);
    OLE_HANDLE handle = 0;
    ole->get_Handle(&handle);
    BITMAP facts{};
    EXPECT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof facts, &facts),
              static_cast<int>(sizeof facts));
    EXPECT_EQ(tempFilesNamedKez(), before);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Pictures, BytesThatAreNoImageAreAnInvalidPictureAndLeaveNoFile) {
    const int before = tempFilesNamedKez();
    try {
        LoadResPNGPicture(L"NOT_A_PICTURE", prompts, "title");
        ADD_FAILURE() << "no failure";
    } catch (const ComFailure& failure) {
        EXPECT_EQ(failure.result(), static_cast<HRESULT>(0x800A01E1));  // the runtime's error 481
        EXPECT_EQ(std::string(failure.what()), texts::kBadPicture);
    }
    EXPECT_EQ(tempFilesNamedKez(), before);
    EXPECT_THROW(LoadResPNGPicture(L"NO_SUCH_PICTURE", prompts, "title"), ComFailure);
    EXPECT_EQ(tempFilesNamedKez(), before);
}

TEST_F(Pictures, NoBitmapGivesNoPicture) { EXPECT_EQ(PictureFromBitmapHandle(nullptr), nullptr); }

}  // namespace
}  // namespace kq::ribbon::win32
