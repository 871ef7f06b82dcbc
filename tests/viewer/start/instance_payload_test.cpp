#include "viewer/start/instance_payload.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kq::viewer {
namespace {

std::optional<std::string> decode(const std::string& bytes, std::uint64_t tag = kInstancePayloadTag) {
    return decodeInstancePayload(tag, bytes.data(), bytes.size(), cp932Codec());
}

TEST(InstancePayload, ALineOfNBytesGoesOutAsNPlusThreeAndComesBackWhole) {
    const struct {
        std::string line;
        std::string bytes;
    } cases[] = {
        {"ShowId=A_1", std::string("ShowId=A_1\0\0\0", 13)},
        // A folder of Japanese names, two bytes a character in the code page.
        {"SaveFolder=D:\\履歴\tShowCategory=営業",
         std::string("SaveFolder=D:\\\x97\x9a\x97\xf0\tShowCategory=\x89\x63\x8b\xc6\0\0\0", 39)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string payload = encodeInstancePayload(c.line, cp932Codec());
        EXPECT_EQ(payload, c.bytes);
        EXPECT_EQ(decode(payload), c.line);
    }
}

TEST(InstancePayload, WhatNoSecondStartSendsIsIgnoredAndTheRestReadsLeniently) {
    const std::string big(kInstancePayloadLimit, 'x');
    const struct {
        const char* what;
        std::string bytes;
        std::uint64_t tag;
        std::optional<std::string> line;
    } cases[] = {
        {"no bytes", "", 0, std::nullopt},
        {"only NULs", std::string(3, '\0'), 0, std::nullopt},
        {"a NUL first", std::string("\0ShowId=A", 9), 0, std::nullopt},
        {"another program's tag", std::string("ShowId=A\0\0\0", 11), 1, std::nullopt},
        {"a tag beyond 32 bits", std::string("ShowId=A\0\0\0", 11), 0x100000000u, std::nullopt},
        {"over the limit", big + 'x', 0, std::nullopt},
        {"at the limit, unterminated", big, 0, big},
        {"unterminated", "ShowId=A", 0, "ShowId=A"},
        {"cut at the first NUL", std::string("ShowId=A\0ShowId=B", 17), 0, "ShowId=A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decode(c.bytes, c.tag), c.line);
    }
    EXPECT_FALSE(decodeInstancePayload(0, nullptr, 5, cp932Codec())) << "a block that points nowhere";
}

TEST(InstancePayload, BytesTheCodePageDoesNotKnowBecomeTextThatStillReads) {
    // A lead byte at the end, before the NUL (which it must not take), bytes
    // that start no character, a trail byte out of range.
    for (const std::string& bytes : {std::string("ShowId=\x82"), std::string("ShowId=\x82\0B", 10),
                                    std::string("ShowId=\xfd\xfe\xff"), std::string("ShowId=\x81\x7f")}) {
        const std::optional<std::string> line = decode(bytes);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->substr(0, 7), "ShowId=");
        EXPECT_GT(line->size(), 7u);
        EXPECT_EQ(line->find('B'), std::string::npos);
        EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(*line)), *line) << "well-formed UTF-8";
    }
}

}  // namespace
}  // namespace kq::viewer
