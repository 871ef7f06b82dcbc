// What the help command takes for a help file: the end-to-end tests open one
// through the shell and miss another; here, the files that do not count.

#include "common/win32/shell.h"

#include <gtest/gtest.h>

#include "common/win32/handles.h"
#include "common/win32/wide.h"
#include "tests/support/win32_scratch.h"

namespace kq::win32 {
namespace {

TEST(PlainFileExists, HiddenSystemFilesAndFoldersCountAsMissing) {
    const test::ScratchFolder folder(L"plain files");
    struct Case {
        const char* name;
        DWORD attributes;  // 0: a folder
        bool plain;
    };
    const Case cases[] = {
        {"normal.chm", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.chm", FILE_ATTRIBUTE_READONLY, true},
        {"hidden.chm", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.chm", FILE_ATTRIBUTE_SYSTEM, false},
        {"folder.chm", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = wide(folder.path(c.name));
        if (c.attributes == 0) {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        } else {
            const FileHandle file(
                CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, c.attributes, nullptr));
            ASSERT_TRUE(file);
        }
        EXPECT_EQ(PlainFileExists(narrow(path)), c.plain);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_FALSE(PlainFileExists(folder.path("missing.chm")));
}

}  // namespace
}  // namespace kq::win32
