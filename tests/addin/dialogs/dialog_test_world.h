#pragma once
// The surroundings of the registration dialog's models in tests: a simulated
// host with Book1.xls (Sheet1, Sheet2), the remembered lists in memory,
// scripted messages, and the list editor's openings written down.

#include <string>
#include <vector>

#include "addin/dialogs/sheet_context.h"
#include "addin/dialogs/text_box_with_list_model.h"
#include "common/settings_store.h"
#include "tests/host/sim/sim_test_world.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin::dialogs::test {

inline constexpr char kTitle[] = "Brelmont for Excel";

struct DialogWorld {
    host::sim::test::SimWorld sim;
    MemorySettingsStore lists;
    kq::test::ScriptedPrompts prompts;
    std::vector<std::string> editorOpenedFor;

    SheetContext context() { return {sim.app, sim.sheet1, &prompts}; }
    TextBoxWithListModel::Services listServices() {
        return {lists, prompts, [this](const std::string& name) { editorOpenedFor.push_back(name); }};
    }
    std::string list(const std::string& name) { return lists.read("LIST", name).value_or("<missing>"); }
    kq::test::ShownMessage critical(std::string text) { return {std::move(text), kTitle, mb::kIconCritical}; }
};

}  // namespace kq::addin::dialogs::test
