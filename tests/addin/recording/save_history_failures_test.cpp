// A recording in which one call of the host fails, for every call the
// recording makes: whatever fails, the host is put back, the user's clipboard
// comes back, no temp file and no partial history file stay, and the run ends
// with either its notice or one error box.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "addin/recording/save_history.h"
#include "tests/addin/recording/host_proxy.h"
#include "tests/addin/recording/recorder_test_world.h"

namespace kq::addin::recording {
namespace {

using host::sim::CellRect;
using host::sim::ShapeData;

// Two watched sheets, one with print titles, headings, a group of shapes and
// a printed comment, recorded while a third sheet is active.
struct Scene {
    Scene() {
        book = w.sim->addWorkbook("Book.xls", "C:\\books");
        auto active = book->addWorksheet("Active");
        auto ledger = book->addWorksheet("Ledger");
        auto memo = book->addWorksheet("Memo");
        test::fillWithAddresses(*ledger, 1, 1, 40, 5);
        ledger->setPrintArea("$B$3:$E$40");
        ledger->setPrintTitleRows("$1:$2");
        ledger->setPrintTitleColumns("$A:$A");
        ledger->rowBreaks() = {20};
        ledger->setup().printComments = 1;
        ledger->addComment(4, 3, "Sato", "two\nlines");
        ShapeData group;
        group.name = "Group";
        group.type = host::msoGroup;
        group.anchor = {5, 3, 8, 4};
        ShapeData item;
        item.name = "Box";
        item.caption = "checked";
        group.items = {std::make_shared<ShapeData>(item)};
        ledger->addShape(group);
        test::fillWithAddresses(*memo, 1, 1, 3, 2);
        w.docPros.Add(book, ledger, "cat", "20240101090000SAA", "20240101090000VAA", "", {"No", "Text"},
                      {"$A$3:$A$4", "literal"}, {0, 1});
        w.docPros.Add(book, memo, "cat", "20240101090000SBA", "20240101090000VBA", "", {}, {}, {});
        book->selectSheets({"Active", "Ledger", "Memo"});
        active->select({{3, 3, 5, 4}}, {4, 4, 4, 4});
        w.setting->ShowProgressTime(2);
        w.clipboard->content = {{"text", "user text"}};
    }

    test::RecorderTestWorld w;
    std::shared_ptr<host::sim::SimWorkbook> book;
};

TEST(RecordingFailures, AnyHostCallMayFailAndNothingIsLeftBroken) {
    const std::string errorsHead = "下記のエラーが発生しました。";
    const std::string unknown = "不明なエラーが発生しました。";
    int completed = 0;
    int call = 1;
    for (;; ++call) {
        Scene s;
        test::HostHook hook;
        std::string failed;
        int lastStatusBar = 0;
        hook.before = [&](const std::string& what) {
            if (what == "Application.SetStatusBar") lastStatusBar = hook.calls;
            if (hook.calls == call) {
                failed = what;
                throw host::HostError(1004, "Application-defined or object-defined error");
            }
        };
        RecorderWorld world = s.w.world();
        world.application = test::proxy(hook, s.w.application);
        SaveHistory(world);
        if (failed.empty()) break;  // the recording makes fewer calls than that
        SCOPED_TRACE(test::cat("call ", std::to_string(call), ": ", failed));

        // Only a failure of the very call that puts a thing back leaves it.
        host::sim::SimApplication& app = *s.w.sim;
        if (failed != "Application.SetScreenUpdating") {
            EXPECT_TRUE(app.ScreenUpdating());
        }
        if (failed != "Application.SetEnableEvents") {
            EXPECT_TRUE(app.EnableEvents());
        }
        if (failed != "Window.SetView") {
            EXPECT_EQ(s.book->window()->View(), host::xlNormalView);
        }
        if (failed != "Worksheet.Activate") {
            EXPECT_EQ(app.ActiveSheet()->Name(), "Active");
            if (failed != "Range.Select" && failed != "Range.Activate") {
                const auto active = s.book->worksheet("Active");
                EXPECT_EQ(active->selection(), (std::vector<CellRect>{{3, 3, 5, 4}}));
                EXPECT_EQ(active->activeCell(), (CellRect{4, 4, 4, 4}));
            }
        }
        if (lastStatusBar != call) {
            EXPECT_EQ(app.statusBar(), std::nullopt);
        }
        EXPECT_EQ(s.w.clipboard->content, (std::map<std::string, std::string>{{"text", "user text"}}));
        EXPECT_EQ(s.w.files.filesIn(test::kTempFolder), std::vector<std::string>{});

        // Every file there is whole.
        const std::vector<std::string> files = s.w.historyFiles();
        EXPECT_LE(files.size(), 2u);
        for (const std::string& name : files) {
            EXPECT_TRUE(name.ends_with(".tvk")) << name;
            EXPECT_NO_THROW(s.w.readHistory(name)) << name;
        }

        // The notice, or one error box. A watch the workbook would not take
        // is still recorded, and said after the notice.
        const auto& messages = s.w.prompts.messages;
        if (s.w.system.notices.empty()) {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_TRUE(messages[0].text.starts_with(errorsHead) || messages[0].text.starts_with(unknown));
            EXPECT_EQ(messages[0].style, 0x10u);
        } else {
            EXPECT_EQ(s.w.system.notices, std::vector<double>{2});
            if (failed == "Properties.Add") {
                ASSERT_EQ(messages.size(), 1u);
                EXPECT_EQ(messages[0].style, 0x30u);
            } else {
                EXPECT_TRUE(messages.empty());
            }
            EXPECT_EQ(files.size(), 2u);
            ++completed;
        }
    }
    // The run without a failure, and those whose failure was one the recorder
    // goes past, end normally; the others end in the error box.
    EXPECT_GT(call, 200);
    EXPECT_GT(completed, 0);
    EXPECT_LT(completed, call - 1);
}

}  // namespace
}  // namespace kq::addin::recording
