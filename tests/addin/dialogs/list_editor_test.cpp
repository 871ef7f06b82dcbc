#include "addin/dialogs/list_editor_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"

namespace kq::addin::dialogs {
namespace {

using Rows = std::vector<std::string>;
using Buttons = ListEditorModel::Buttons;

struct Editor {
    explicit Editor(const std::string& stored) {
        store.set("LIST", "TITLE", stored);
        model.emplace(store, prompts, "TITLE");
    }
    MemorySettingsStore store;
    kq::test::ScriptedPrompts prompts;
    std::optional<ListEditorModel> model;
};

TEST(ListEditor, ButtonsFollowTheSelectedRow) {
    struct Case {
        const char* stored;
        std::optional<std::size_t> selected;
        Buttons buttons;
    };
    const Case cases[] = {
        {"a\tb\tc", std::nullopt, {false, false, false}},
        {"a\tb\tc", 0, {false, true, true}},
        {"a\tb\tc", 1, {true, true, true}},
        {"a\tb\tc", 2, {true, false, true}},
        {"a", 0, {false, false, true}},
        {"a\tb", 5, {false, false, false}},  // no such row: nothing selected
    };
    for (const Case& c : cases) {
        Editor e(c.stored);
        e.model->select(c.selected);
        EXPECT_EQ(e.model->buttons(), c.buttons) << c.stored << " row " << c.selected.value_or(99);
    }
}

TEST(ListEditor, ToolbarMovesTextsUnderAFixedSelectionAndBeepsAtTheEnds) {
    struct Case {
        const char* what;
        std::optional<std::size_t> selected;
        std::function<void(ListEditorModel&)> act;
        Rows rows;
        std::optional<std::size_t> selectedAfter;
        int beeps;
    };
    const Case cases[] = {
        {"up", 2, [](ListEditorModel& m) { m.up(); }, {"a", "c", "b"}, 2, 0},
        {"down", 0, [](ListEditorModel& m) { m.down(); }, {"b", "a", "c"}, 0, 0},
        {"up on the first", 0, [](ListEditorModel& m) { m.up(); }, {"a", "b", "c"}, 0, 1},
        {"down on the last", 2, [](ListEditorModel& m) { m.down(); }, {"a", "b", "c"}, 2, 1},
        {"delete", 1, [](ListEditorModel& m) { m.remove(); }, {"a", "c"}, std::nullopt, 0},
        {"nothing selected: not even a beep", std::nullopt, [](ListEditorModel& m) { m.up(); },
         {"a", "b", "c"}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        Editor e("a\tb\tc");
        e.model->select(c.selected);
        c.act(*e.model);
        EXPECT_EQ(e.model->rows(), c.rows) << c.what;
        EXPECT_EQ(e.model->selected(), c.selectedAfter) << c.what;
        EXPECT_EQ(e.prompts.beeps, c.beeps) << c.what;
    }
}

TEST(ListEditor, OkWritesTheRowsTrimmedAndAnEmptyListAsEmpty) {
    Editor e(" x \ty\t x\t");
    EXPECT_EQ(e.model->rows(), (Rows{"x", "y"}));
    e.model->select(1);
    e.model->up();
    e.model->ok();
    EXPECT_EQ(e.store.read("LIST", "TITLE"), "y\tx");

    e.model->select(0);
    e.model->remove();
    e.model->select(0);
    e.model->remove();
    e.model->ok();
    EXPECT_EQ(e.store.read("LIST", "TITLE"), "");
}

TEST(ListEditor, LeavingWithoutOkWritesNothing) {
    Editor e("a\tb");
    e.model->select(0);
    e.model->remove();
    EXPECT_TRUE(e.store.writes().empty());
    EXPECT_EQ(e.store.read("LIST", "TITLE"), "a\tb");
}

}  // namespace
}  // namespace kq::addin::dialogs
