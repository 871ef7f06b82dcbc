#include "common/win32/msgbox_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/support/win32/modal_run.h"

namespace kq::win32 {
namespace {


constexpr char kCheckCaption[] = "次回も表示起動する";

// Stands in for the host's main window.
kq::win32::OwnedWindow hostWindow() { return kq::test::plainWindow(L"host", {100, 100, 900, 700}); }

// Acts on the box once it shows, while MsgBoxEx runs its modal loop; the
// box must close after the act.
std::int32_t runBox(HWND owner, const MsgBoxExArgs& args, std::function<void(HWND)> act) {
    std::int32_t result = 0;
    const kq::test::ModalRun run =
        kq::test::runModal([&] { result = MsgBoxEx(owner, args); }, {kq::test::onClass(L"#32770", std::move(act))});
    EXPECT_TRUE(run.finished) << "the box never showed, or did not close";
    return result;
}

HWND button(HWND box, int i) { return GetDlgItem(box, msgbox_ids::kFirstButton + i); }

using kq::test::textOf;

RECT clientRectOf(HWND box, HWND control) { return kq::test::placeIn(control, box); }

// Keys as the keyboard gives them, to whatever has the focus.
void key(HWND, UINT vk) { kq::test::pressKeys(nullptr, {{vk}}); }
void altKey(HWND, UINT vk, bool shift = false) { kq::test::pressKeys(nullptr, {{.vk = vk, .shift = shift, .alt = true}}); }
void click(HWND box, int i) { kq::test::click(button(box, i)); }
void closeBox(HWND box) { kq::test::closeBox(box); }
void untick(HWND box) { SendMessageW(GetDlgItem(box, msgbox_ids::kCheck), BM_SETCHECK, BST_UNCHECKED, 0); }
void focusCheck(HWND box) { SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(box, msgbox_ids::kCheck)), TRUE); }

TEST(MsgBoxExWindow, AnswersEveryWayOfLeaving) {
    struct Case {
        const char* name;
        std::int32_t flags;
        bool showCheck;
        std::function<void(HWND)> act;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"OK, ticked", 0x2082, true, [](HWND b) { click(b, 0); }, 129},
        {"OK, unticked", 0x2082, true, [](HWND b) { untick(b); click(b, 0); }, 1},
        {"close box keeps the tick", 0x2082, true, closeBox, 130},
        {"Esc on OK/Cancel", 0x2, false, [](HWND b) { key(b, VK_ESCAPE); }, 2},
        {"Esc on Abort/Retry/Ignore", 0x4, false, [](HWND b) { key(b, VK_ESCAPE); }, 16},
        {"close box on Abort/Retry/Ignore", 0x4, false, closeBox, 8},
        {"Alt+R", 0x4, false, [](HWND b) { altKey(b, 'R'); }, 8},
        {"Alt+shift+I", 0x4, false, [](HWND b) { altKey(b, 'I', true); }, 16},
        {"Alt+N on Yes/No/Cancel", 0x8, false, [](HWND b) { altKey(b, 'N'); }, 64},
        {"Esc on Yes/No", 0x10, false, [](HWND b) { key(b, VK_ESCAPE); }, 64},
        {"Enter on Yes/No", 0x10, false, [](HWND b) { key(b, VK_RETURN); }, 32},
        // Enter presses the focused button, or the default one from the check box.
        {"Enter, second default, focus on first", 0x802, true, [](HWND b) { key(b, VK_RETURN); }, 129},
        {"Enter, second default, focus on check", 0x802, true, [](HWND b) { focusCheck(b); key(b, VK_RETURN); }, 130},
        {"Enter, third default missing", 0x1001, true, [](HWND b) { focusCheck(b); key(b, VK_RETURN); }, 129},
        {"Enter, third default of three", 0x1008, false, [](HWND b) { focusCheck(b); key(b, VK_RETURN); }, 2},
        // No button set: an OK box, never 0 and no second box.
        {"no set, Esc", 0x2040, false, [](HWND b) { key(b, VK_ESCAPE); }, 1},
        {"no set, close box", 0x2040, false, closeBox, 1},
        {"no set, close box, ticked", 0x2040, true, closeBox, 129},
    };
    const kq::win32::OwnedWindow host = hostWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MsgBoxExArgs args{.Prompt = "記録しますか?",
                                .Buttons = c.flags,
                                .Title = "Brelmont for Excel",
                                .ShowCheck = c.showCheck,
                                .CheckValue = true,
                                .CheckCaption = kCheckCaption};
        EXPECT_EQ(runBox(host.get(), args, c.act), c.expected);
    }
}

TEST(MsgBoxExWindow, ShowsItsTextsOwnedModalAndTopmostWhenAsked) {
    struct Case {
        std::int32_t flags;
        std::vector<std::string> captions;
        bool topmost;
    };
    const kq::win32::OwnedWindow host = hostWindow();
    for (const Case& c : {
             Case{0x2082, {"OK(&K)", "キャンセル(&C)"}, true},
             Case{0x8, {"はい(&Y)", "いいえ(&N)", "キャンセル(&C)"}, false},
             Case{0x4, {"中止(&A)", "再試行(&R)", "無視(&I)"}, false},
         }) {
        SCOPED_TRACE(c.flags);
        const MsgBoxExArgs args{.Prompt = "本文", .Buttons = c.flags, .Title = "題名", .ShowCheck = true,
                                .CheckValue = false, .CheckCaption = kCheckCaption};
        runBox(host.get(), args, [&](HWND box) {
            EXPECT_EQ(textOf(box), "題名");
            EXPECT_EQ(textOf(GetDlgItem(box, msgbox_ids::kText)), "本文");
            for (int i = 0; i < 3; ++i) {
                if (static_cast<std::size_t>(i) < c.captions.size()) {
                    EXPECT_EQ(textOf(button(box, i)), c.captions[static_cast<std::size_t>(i)]);
                } else {
                    EXPECT_EQ(button(box, i), nullptr);
                }
            }
            HWND check = GetDlgItem(box, msgbox_ids::kCheck);
            EXPECT_EQ(textOf(check), kCheckCaption);
            EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_EQ(GetFocus(), button(box, 0));

            EXPECT_EQ(GetWindow(box, GW_OWNER), host.get());
            EXPECT_FALSE(IsWindowEnabled(host.get()));
            const auto style = GetWindowLongPtrW(box, GWL_STYLE);
            const auto exStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
            EXPECT_TRUE(style & WS_SYSMENU);
            EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
            EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
            EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
            EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, c.topmost);

            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(box, msgbox_ids::kText), WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            EXPECT_EQ(std::wstring(font.lfFaceName), L"MS UI Gothic");
            EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);

            // Centred on the screen's work area.
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            RECT r;
            GetWindowRect(box, &r);
            EXPECT_LE(std::abs((r.left - work.left) - (work.right - r.right)), 1);
            EXPECT_LE(std::abs((r.top - work.top) - (work.bottom - r.bottom)), 1);
            click(box, 0);
        });
        EXPECT_TRUE(IsWindowEnabled(host.get()));
    }
}

// Positions in pixels at 96 dpi (15 twips per pixel) for a one-line message,
// the 32-pixel system icon and the designed 81 x 33 button.
TEST(MsgBoxExWindow, ShortMessageLaysOutAsDesigned) {
    struct Case {
        std::int32_t flags;
        bool showCheck;
        std::vector<int> buttonLefts;
        int clientHeight;
    };
    const kq::win32::OwnedWindow host = hostWindow();
    for (const Case& c : {
             Case{0x2, true, {114, 202}, 145},
             Case{0x1, false, {202}, 118},
             Case{0x4, false, {20, 108, 195}, 118},
         }) {
        SCOPED_TRACE(c.flags);
        const MsgBoxExArgs args{.Prompt = "保存", .Buttons = c.flags, .Title = "t", .ShowCheck = c.showCheck,
                                .CheckValue = true, .CheckCaption = kCheckCaption};
        runBox(host.get(), args, [&](HWND box) {
            RECT client;
            GetClientRect(box, &client);
            EXPECT_EQ(client.right, 296);  // 4445 twips
            EXPECT_EQ(client.bottom, c.clientHeight);
            const RECT icon = clientRectOf(box, GetDlgItem(box, msgbox_ids::kIcon));
            EXPECT_EQ(icon.left, 20);
            EXPECT_EQ(icon.top, 20);
            EXPECT_EQ(icon.right - icon.left, 32);
            const RECT text = clientRectOf(box, GetDlgItem(box, msgbox_ids::kText));
            EXPECT_EQ(text.left, 59);  // 880 twips
            EXPECT_EQ(text.top, 20);
            for (std::size_t i = 0; i < c.buttonLefts.size(); ++i) {
                const RECT b = clientRectOf(box, button(box, static_cast<int>(i)));
                EXPECT_EQ(b.left, c.buttonLefts[i]) << i;
                EXPECT_EQ(b.top, 79);  // 1180 twips
                EXPECT_EQ(b.right - b.left, 81);
                EXPECT_EQ(b.bottom - b.top, 33);
            }
            HWND check = GetDlgItem(box, msgbox_ids::kCheck);
            EXPECT_EQ(IsWindowVisible(check) != FALSE, c.showCheck);
            if (c.showCheck) {
                const RECT r = clientRectOf(box, check);
                EXPECT_EQ(r.left, 7);
                EXPECT_EQ(r.top, 118);
                EXPECT_EQ(r.bottom - r.top, 20);
            }
            const RECT band = clientRectOf(box, GetDlgItem(box, msgbox_ids::kBand));
            EXPECT_EQ(band.left, 0);
            EXPECT_EQ(band.top, 72);  // 1080 twips
            EXPECT_EQ(band.right, client.right);
            EXPECT_EQ(band.bottom, client.bottom);
            click(box, 0);
        });
    }
}

TEST(MsgBoxExWindow, LongJapaneseLineIsBrokenToTheWrapWidth) {
    std::string line;
    for (int i = 0; i < 200; ++i) line += i % 10 == 9 ? "。" : "印";
    const kq::win32::OwnedWindow host = hostWindow();
    for (const char* ending : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(ending[0]) << " " << std::string(ending).size());
        const MsgBoxExArgs args{.Prompt = line + ending + "二行目", .Buttons = 0x1, .Title = "t"};
        runBox(host.get(), args, [&](HWND box) {
            HWND label = GetDlgItem(box, msgbox_ids::kText);
            const std::string shown = textOf(label);
            const kq::win32::WindowDc dc = kq::win32::windowDc(label);
            const kq::win32::Selection useFont =
                kq::win32::selectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
            std::vector<std::string> lines;
            std::size_t start = 0;
            for (std::size_t at; (at = shown.find("\r\n", start)) != std::string::npos; start = at + 2) {
                lines.push_back(shown.substr(start, at - start));
            }
            lines.push_back(shown.substr(start));
            ASSERT_GE(lines.size(), 4U);
            EXPECT_EQ(lines.back(), "二行目");
            std::string joined;
            int widest = 0;
            for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
                joined += lines[i];
                const int w = kq::win32::lineExtent(dc.get(), wide(lines[i])).cx;
                EXPECT_LE(w, 441) << i;  // 6615 twips
                widest = std::max(widest, w);
            }
            EXPECT_EQ(joined, line);
            RECT client;
            GetClientRect(box, &client);
            EXPECT_NEAR(client.right, 59 + widest + 13, 1);  // label left + widest line + 200 twips
            const RECT r = clientRectOf(box, label);
            EXPECT_EQ(r.right - r.left, widest);
            click(box, 0);
        });
    }
}

TEST(MsgBoxExWindow, Screenshot) {
    const kq::win32::OwnedWindow host = hostWindow();
    const MsgBoxExArgs args{.Prompt = "印刷履歴を保存します。\r\nよろしいですか?",
                            .Buttons = 0x2082,
                            .Title = "Brelmont for Excel",
                            .ShowCheck = true,
                            .CheckValue = true,
                            .CheckCaption = kCheckCaption};
    runBox(host.get(), args, [](HWND box) {
        EXPECT_TRUE(kq::test::screenshot(box, "msgbox.png"));
        click(box, 1);
    });
}

}  // namespace
}  // namespace kq::win32
