#pragma once
// What callers of a FileSystem rely on when they list folders and read files,
// checked the same way on the Windows file system and on the in-memory double,
// so that tests written against the double hold on Windows.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/file_system.h"

namespace kq::test {

inline void writeFile(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const auto sink = fs.createNew(path);
    ASSERT_NE(sink, nullptr) << path;
    ASSERT_TRUE(sink->write(bytes.data(), bytes.size())) << path;
}

inline std::vector<std::string> namesIn(const FolderListing& listing) {
    std::vector<std::string> names;
    for (const FolderEntry& e : listing.entries) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

inline const FolderEntry* entryNamed(const FolderListing& listing, const std::string& name) {
    const auto it = std::find_if(listing.entries.begin(), listing.entries.end(),
                                 [&](const FolderEntry& e) { return e.name == name; });
    return it == listing.entries.end() ? nullptr : &*it;
}

// `root` is an empty folder of `fs`.
inline void expectListsNamesSizesAndIdentities(FileSystem& fs, const std::string& root) {
    // A name outside code page 932: Hangul, an accented letter and a character
    // beyond the basic plane.
    const std::string foreign = "한글é\xF0\x9F\x98\x80";
    ASSERT_TRUE(fs.createDirectory(root + "\\Sub"));
    ASSERT_TRUE(fs.createDirectory(root + "\\" + foreign));
    writeFile(fs, root + "\\Sub\\a.TVK", "abcdef");
    writeFile(fs, root + "\\" + foreign + "\\b.tvk", "x");

    const auto top = fs.listFolder(root);
    ASSERT_TRUE(top);
    EXPECT_EQ(namesIn(*top), (std::vector<std::string>{"Sub", foreign}));
    for (const FolderEntry& e : top->entries) {
        EXPECT_TRUE(e.directory) << e.name;
        EXPECT_EQ(e.size, 0u) << e.name;
    }
    // Another letter case and a trailing separator name the same folder.
    const auto sub = fs.listFolder(root + "\\SUB\\");
    ASSERT_TRUE(sub);
    ASSERT_EQ(namesIn(*sub), std::vector<std::string>{"a.TVK"});
    EXPECT_FALSE(sub->entries[0].directory);
    EXPECT_EQ(sub->entries[0].size, 6u);
    const auto inForeign = fs.listFolder(root + "\\" + foreign);
    ASSERT_TRUE(inForeign);
    EXPECT_EQ(namesIn(*inForeign), std::vector<std::string>{"b.tvk"});

    // A folder's identity is the same from its own listing and from its parent's.
    ASSERT_TRUE(top->identity && sub->identity && inForeign->identity);
    EXPECT_NE(*top->identity, *sub->identity);
    EXPECT_NE(*sub->identity, *inForeign->identity);
    EXPECT_EQ(fs.listFolder(root + "\\sub")->identity, sub->identity);
    if (const FolderEntry* e = entryNamed(*top, "Sub"); e && e->identity) {
        EXPECT_EQ(*e->identity, *sub->identity);
    }

    EXPECT_FALSE(fs.listFolder(root + "\\none"));
    EXPECT_FALSE(fs.listFolder(root + "\\Sub\\a.TVK"));
    EXPECT_FALSE(fs.listFolder(""));
}

// `root` is an empty folder of `fs`.
inline void expectReadersShareWithDeletes(FileSystem& fs, const std::string& root) {
    const std::string path = root + "\\a.tvk";
    writeFile(fs, path, "abcdef");
    // The user deletes a history the viewer is reading: the delete goes ahead
    // and the reader goes on with what it opened.
    auto reader = fs.openForReading(path);
    ASSERT_NE(reader, nullptr);
    auto second = fs.openForReading(path);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(fs.removeFile(path));
    char bytes[3] = {};
    EXPECT_TRUE(reader->readAt(3, bytes, 3));
    EXPECT_EQ(std::string(bytes, 3), "def");
    reader.reset();
    second.reset();
    EXPECT_EQ(fs.kind(path), PathKind::missing);
    EXPECT_EQ(namesIn(*fs.listFolder(root)), std::vector<std::string>{});
    // Listed before the delete and opened after it: the open fails, nothing else.
    EXPECT_EQ(fs.openForReading(path), nullptr);
}

}  // namespace kq::test
