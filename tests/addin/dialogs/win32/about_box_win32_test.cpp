// The about box as a real window owned by a stand-in for the host's window.

#include "addin/dialogs/win32/about_box_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/win32/modal_run.h"

namespace kq::addin::dialogs::win32 {
namespace {

namespace ids = about_ids;
using kq::test::textOf;

HWND item(HWND form, int id) { return kq::test::control(form, id); }
RECT placeOf(HWND form, int id) { return kq::test::placeIn(item(form, id), form); }

// The mouse's click on a label.
void clickLabel(HWND form, int id) {
    RECT r{};
    GetClientRect(item(form, id), &r);
    kq::test::clickAt(item(form, id), {r.right / 2, r.bottom / 2});
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(AboutBoxWindow, ShowsVersionAndDayAndOpensTheHomePageFromItsLink) {
    const kq::win32::OwnedWindow host = kq::test::plainWindow(L"host", {0, 0, 800, 600});
    const AboutTexts texts = AboutBoxTexts("Brelmont for Excel", "1.05.0.03", 46365);
    std::vector<std::string> opened;
    const kq::test::ModalRun drive = kq::test::runModal(
        [&] { ShowAboutBox(host.get(), texts, [&](const std::string& address) { opened.push_back(address); }); },
        {kq::test::onClass(L"KqForm", [&](HWND form) {
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
             EXPECT_TRUE(kq::test::screenshot(form, "about_box.png"));
             clickLabel(form, ids::lblURL);
         }),
         kq::test::onClass(L"KqForm", [&](HWND form) { kq::test::click(item(form, IDOK)); })});
    EXPECT_TRUE(drive.finished) << "the box did not close";
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.com/kez-quorvex"});
}

}  // namespace
}  // namespace kq::addin::dialogs::win32
