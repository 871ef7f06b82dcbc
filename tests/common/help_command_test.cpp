// The help command as both programs run it: the help file beside the running
// program file, opened by the shell, or a message naming the path it missed.

#include "common/help_command.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"

namespace kq {
namespace {

class FakeHelpServices final : public HelpServices {
public:
    std::string ProgramFolder() override { return folder; }
    bool PlainFileExists(const std::string& path) override { return plainFiles.count(path) != 0; }
    void ShellOpen(const std::string& path) override { opened.push_back(path); }
    Prompts& prompts() override { return shown; }

    std::string folder;
    std::set<std::string> plainFiles;
    std::vector<std::string> opened;
    test::ScriptedPrompts shown;
};

TEST(HelpCommand, OpensTheFileBesideTheProgramOrSaysWhereItLooked) {
    struct Case {
        const char* folder;
        bool present;
        const char* path;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Kez", true, "C:\\Program Files\\Kez\\quorvex.chm"},
        {"D:\\", true, "D:\\quorvex.chm"},
        {"C:\\Program Files\\Kez", false, "C:\\Program Files\\Kez\\quorvex.chm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        FakeHelpServices services;
        services.folder = c.folder;
        if (c.present) services.plainFiles.insert(c.path);
        Command_Help(services, "Brelmont for Excel(ビュー)");
        if (c.present) {
            EXPECT_EQ(services.opened, std::vector<std::string>{c.path});
            EXPECT_TRUE(services.shown.messages.empty());
        } else {
            EXPECT_TRUE(services.opened.empty());
            const test::ShownMessage missing{std::string("ヘルプファイル ") + c.path + " が見つかりません。",
                                             "Brelmont for Excel(ビュー)", mb::kOkOnly | mb::kIconCritical};
            EXPECT_EQ(services.shown.messages, std::vector<test::ShownMessage>{missing});
        }
    }
}

}  // namespace
}  // namespace kq
