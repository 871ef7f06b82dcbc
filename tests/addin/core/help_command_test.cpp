// The help command: where it looks for the help file, and what it does when
// the file is there or not.

#include "addin/core/help_command.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"

namespace kq::addin {
namespace {

class FakeHelp final : public HelpServices {
public:
    std::string LibraryFolder() override { return folder; }
    bool PlainFileExists(const std::string& path) override { return files.contains(path); }
    void ShellOpen(const std::string& path) override { opened.push_back(path); }
    Prompts& prompts() override { return shown; }

    std::string folder;
    std::set<std::string> files;
    std::vector<std::string> opened;
    test::ScriptedPrompts shown;
};

TEST(HelpCommand, OpensTheHelpFileBesideTheLibraryOrSaysItIsMissing) {
    struct Case {
        std::string folder;
        bool present;
        std::string path;
    };
    const std::vector<Case> cases = {
        {"C:\\Program Files\\Kez", true, "C:\\Program Files\\Kez\\quorvex.chm"},
        {"C:\\", true, "C:\\quorvex.chm"},  // a drive root: no doubled "\"
        {"C:\\Program Files\\Kez", false, "C:\\Program Files\\Kez\\quorvex.chm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + (c.present ? " with" : " without"));
        FakeHelp help;
        help.folder = c.folder;
        if (c.present) help.files.insert(c.path);
        Command_Help(help, "Brelmont for Excel");
        if (c.present) {
            EXPECT_EQ(help.opened, std::vector<std::string>{c.path});
            EXPECT_TRUE(help.shown.messages.empty());
        } else {
            EXPECT_TRUE(help.opened.empty());
            EXPECT_EQ(help.shown.messages, (std::vector<test::ShownMessage>{
                                               {"ヘルプファイル " + c.path + " が見つかりません。", "Brelmont for Excel", 0x10}}));
        }
    }
}

}  // namespace
}  // namespace kq::addin
