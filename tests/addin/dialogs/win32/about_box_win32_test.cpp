// The about box as a real window owned by a stand-in for the host's window.

#include "addin/dialogs/win32/about_box_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/addin/dialogs/win32/form_driver.h"
#include "tests/addin/recording/win32/window_capture.h"
#include "tests/support/win32_windows.h"

namespace kq::addin::dialogs::win32 {
namespace {

namespace ids = about_ids;
namespace shots = kq::addin::recording::test;
using test::item;
using test::placeOf;
using test::textOf;

// A click on a label with SS_NOTIFY, as its holder hears of it.
void clickLabel(HWND form, int id) {
    const HWND label = item(form, id);
    SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(label));
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(AboutBoxWindow, ShowsVersionAndDayAndOpensTheHomePageFromItsLink) {
    const kq::win32::OwnedWindow host = test::plainWindow(L"host", {0, 0, 800, 600});
    const AboutTexts texts = AboutBoxTexts("Brelmont for Excel", "1.05.0.03", 46365);
    std::vector<std::string> opened;
    const test::FormDrive drive = test::driveForm(
        [&] { ShowAboutBox(host.get(), texts, [&](const std::string& address) { opened.push_back(address); }); },
        {[&](HWND form) {
             EXPECT_EQ(textOf(form), "Brelmont for Excel - バージョン情報");
             EXPECT_EQ(GetWindow(form, GW_OWNER), host.get());
             EXPECT_FALSE(IsWindowEnabled(host.get()));
             EXPECT_EQ(textOf(item(form, ids::lblVersion)), "1.05.0.03");
             EXPECT_EQ(textOf(item(form, ids::lblDay)), "2026/12/9");
             EXPECT_EQ(textOf(item(form, ids::lblURL)), "https://example.com/kez-quorvex");
             RECT client;
             GetClientRect(form, &client);
             EXPECT_TRUE(inside(placeOf(form, ids::lblURL), placeOf(form, ids::Picture1)));
             EXPECT_TRUE(inside(placeOf(form, IDOK), client));
             EXPECT_TRUE(shots::saveBmp(shots::captureWindow(form), L"about_box.bmp"));
             clickLabel(form, ids::lblURL);
         },
         [&](HWND form) { PostMessageW(item(form, IDOK), BM_CLICK, 0, 0); }});
    EXPECT_FALSE(drive.stuck) << "the box did not close";
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.com/kez-quorvex"});
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
