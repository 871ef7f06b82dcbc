#include "addin/core/small_commands.h"

#include <gtest/gtest.h>

#include "host/sim/sim_application.h"
#include "tests/support/scripted_prompts.h"

namespace kq::addin {
namespace {

using host::sim::SimApplication;

// The settings and about commands open their window only when no cell is being edited.
TEST(SmallCommands, WindowOpensOnlyWhenNoCellIsBeingEdited) {
    for (const bool editing : {false, true}) {
        SCOPED_TRACE(editing);
        const auto sim = SimApplication::create();
        sim->control(host::sim::kControlEditingOff)->setEnabled(!editing);
        test::ScriptedPrompts prompts;
        int shown = 0;
        ShowUnlessEditing(*sim, prompts, [&] { ++shown; });
        EXPECT_EQ(shown, editing ? 0 : 1);
        EXPECT_EQ(prompts.beeps, editing ? 1 : 0);
        EXPECT_EQ(CellBeingEdited(*sim), editing);
    }
}

}  // namespace
}  // namespace kq::addin
