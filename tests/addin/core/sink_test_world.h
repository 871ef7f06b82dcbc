#pragma once
// The event sink's surroundings in tests: the simulated host with its files in
// memory, the helper workbook file, a clock the test moves, and the add-in's
// message box answered from a script.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "addin/core/xl_events.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/settable_clock.h"

namespace kq::test {

inline constexpr char kTempFolder[] = "C:\\Users\\kei\\AppData\\Local\\Temp";
inline constexpr char kHelperInTemp[] = "C:\\Users\\kei\\AppData\\Local\\Temp\\Kez_Quorvex.xla";

class FakeSinkServices final : public addin::XlSinkServices {
public:
    FakeSinkServices() {
        files_.addDirectory(kTempFolder);
        files_.setTempFolder(std::string(kTempFolder) + "\\");
    }

    std::vector<std::uint8_t> HelperWorkbookFile() override {
        ++helperFileReads;
        return helperFile;
    }
    FileSystem& files() override { return files_; }
    Prompts& prompts() override { return prompts_; }
    const Clock& clock() override { return clock_; }
    std::int32_t MsgBoxEx(const host::ApplicationPtr&, const MsgBoxExArgs& args) override {
        boxes.push_back(args);
        if (answers.empty()) return msgbox::kOk | msgbox::kChecked;
        const std::int32_t answer = answers.front();
        answers.pop_front();
        return answer;
    }

    MemoryFileSystem& memoryFiles() { return files_; }
    SettableClock& settableClock() { return clock_; }

    // Not a workbook the simulated host knows, so it opens as an add-in with one sheet.
    std::vector<std::uint8_t> helperFile{'x', 'l', 'a'};
    int helperFileReads = 0;
    std::vector<MsgBoxExArgs> boxes;
    // The box's answers in order; OK with the box ticked once they run out.
    std::deque<std::int32_t> answers;
    ScriptedPrompts prompts_;

private:
    MemoryFileSystem files_;
    SettableClock clock_;
};

}  // namespace kq::test
