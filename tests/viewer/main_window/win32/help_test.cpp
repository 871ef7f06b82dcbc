// The viewer's help command: without a help file beside the program (or with
// only a hidden one) it says where it looked, under the viewer's title.

#include "viewer/main_window/win32/help.h"

#include <gtest/gtest.h>

#include <string>

#include "common/win32/handles.h"
#include "common/win32/module.h"
#include "common/win32/wide.h"
#include "tests/support/scripted_prompts.h"

namespace kq::viewer::win32 {
namespace {

const std::string kHelpFile = kq::win32::thisModuleFolder() + "\\quorvex.chm";

test::ShownMessage missingMessage() {
    return {"ヘルプファイル " + kHelpFile + " が見つかりません。", "Brelmont for Excel(ビュー)",
            mb::kOkOnly | mb::kIconCritical};
}

TEST(ViewerHelp, AMissingHelpFileIsNamedInTheViewersMessage) {
    DeleteFileW(kq::win32::wide(kHelpFile).c_str());
    test::ScriptedPrompts prompts;

    Command_Help(prompts);

    EXPECT_EQ(prompts.messages, std::vector<test::ShownMessage>{missingMessage()});
}

TEST(ViewerHelp, AHiddenHelpFileCountsAsMissing) {
    const std::wstring path = kq::win32::wide(kHelpFile);
    {
        const kq::win32::FileHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
        ASSERT_TRUE(file);
    }
    test::ScriptedPrompts prompts;

    Command_Help(prompts);

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    EXPECT_EQ(prompts.messages, std::vector<test::ShownMessage>{missingMessage()});
}

}  // namespace
}  // namespace kq::viewer::win32
