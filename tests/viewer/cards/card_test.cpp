#include "viewer/cards/card.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace kq::viewer {
namespace {

// 2010/01/01 and 2009/12/31 as OLE dates.
constexpr double kNewer = 40179;
constexpr double kOlder = 40178;
const double kNaN = std::nan("");

Card keyed(const char* key) {
    Card card;
    card.setKey(key);
    return card;
}

std::vector<std::string> textsOf(const CardFace& face) {
    std::vector<std::string> out;
    for (const auto& t : face.texts) out.push_back(t.text);
    return out;
}

TEST(Card, TitlesComeFromTheKeyOrTheNewestPrint) {
    struct Add {
        const char* book;
        const char* sheet;
        const char* folder;
        double date;
    };
    const struct {
        const char* key;
        std::vector<Add> adds;
        const char* title1;
        const char* title2;
        const char* folder;
        double lastDate;
    } cases[] = {
        {"ALL", {{"B", "S", "F", kNewer}, {"B2", "S2", "F2", kOlder}}, "全ての履歴", "", "", 0},
        {"CATEGORY_<分類なし>", {{"B", "S", "F", kNewer}}, "<分類なし>", "", "", 0},
        {"CATEGORY_経理", {{"B", "S", "F", kNewer}}, "経理", "", "", 0},
        {"category_x", {{"B", "S", "F", kNewer}}, "B", "S", "F", kNewer},  // the prefix is case-sensitive
        {"SHEET", {{"New", "S1", "F1", kNewer}, {"Old", "S2", "F2", kOlder}}, "New", "S1", "F1", kNewer},
        {"SHEET", {{"Old", "S2", "F2", kOlder}, {"New", "S1", "F1", kNewer}}, "New", "S1", "F1", kNewer},
        {"SHEET", {{"First", "S1", "F1", kNewer}, {"Second", "S2", "F2", kNewer}}, "Second", "S2", "F2", kNewer},
        // A damaged date never hides the titles of a sound one.
        {"SHEET", {{"Bad", "S1", "F1", kNaN}, {"Good", "S2", "F2", kOlder}}, "Good", "S2", "F2", kOlder},
        {"SHEET", {{"Good", "S2", "F2", kOlder}, {"Bad", "S1", "F1", kNaN}}, "Good", "S2", "F2", kOlder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Card card = keyed(c.key);
        int n = 0;
        for (const auto& a : c.adds)
            card.FilesAdd(std::string("C:\\H\\") + std::to_string(++n) + ".tvk", a.folder, a.book, a.sheet, a.date);
        EXPECT_EQ(card.CardTitle1(), c.title1);
        EXPECT_EQ(card.CardTitle2(), c.title2);
        EXPECT_EQ(card.LastBookPath(), c.folder);
        EXPECT_EQ(card.LastPrintDate(), c.lastDate);
        EXPECT_EQ(card.FilesCount(), c.adds.size());
    }
}

TEST(Card, RemovingKeepsTitlesAndMatchesPathsInAnyCase) {
    Card card = keyed("S");
    card.FilesAdd("c:\\h\\a.tvk", "F", "Old", "S", kOlder);
    card.FilesAdd("C:\\H\\b.tvk", "F", "New", "S", kNewer);
    EXPECT_FALSE(card.FilesRemove({"C:\\H\\B.TVK"}));
    EXPECT_EQ(card.CardTitle1(), "New");
    EXPECT_EQ(card.LastPrintDate(), kNewer);
    EXPECT_FALSE(card.FilesRemove({"C:\\H\\other.tvk"}));
    EXPECT_EQ(card.FileFullpath(1), "c:\\h\\a.tvk");
    EXPECT_EQ(card.FileFullpath(0), "");
    EXPECT_EQ(card.FileFullpath(2), "");
    EXPECT_TRUE(card.FilesRemove({"C:\\H\\A.TVK"}));
    EXPECT_EQ(card.FilesCount(), 0u);
}

TEST(Card, KeyWrittenAfterFilesLeavesTheOldTitles) {
    Card card = keyed("ALL");
    card.FilesAdd("p", "F", "B", "S", kNewer);
    card.setKey("CATEGORY_x");
    EXPECT_EQ(card.CardTitle1(), "全ての履歴");
}

TEST(Card, FaceDrawsIconsTitlesFolderAndCount) {
    const CardMetrics m{.titleTextHeight = 180,
                        .folderTextHeight = 150,
                        .bookHeight = 240,
                        .bookWidth = 240,
                        .sheetHeight = 240,
                        .sheetWidth = 240};
    Card card = keyed("S");
    card.FilesAdd("a", "C:\\Books", "見積.xls", "売上", kNewer);
    card.FilesAdd("b", "C:\\Books", "見積.xls", "売上", kOlder);
    CardFace face = card.face(m);
    EXPECT_EQ(face.pictures,
              (std::vector<CardFace::Picture>{{CardPicture::book, 100, 100}, {CardPicture::sheet, 200, 370}}));
    ASSERT_EQ(face.texts.size(), 4u);
    EXPECT_EQ(face.texts[0], (CardFace::Text{"見積.xls", CardFont::title, 440, 130}));
    EXPECT_EQ(face.texts[1], (CardFace::Text{"売上", CardFont::title, 540, 400}));
    EXPECT_EQ(face.texts[2], (CardFace::Text{"C:\\Books", CardFont::folder, 200, 655}));
    EXPECT_EQ(face.texts[3], (CardFace::Text{"履歴数=2", CardFont::title, 200, 865}));
    EXPECT_EQ(face.height, 865 + 180 + 100);
    EXPECT_EQ(card.height(m), face.height);

    Card all = keyed("ALL");
    for (int i = 0; i < 3; ++i) all.FilesAdd(std::string("p") + std::to_string(i), "F", "B", "S", kNewer);
    EXPECT_EQ(textsOf(all.face(m)), (std::vector<std::string>{"全ての履歴", "履歴数=3"}));
    EXPECT_EQ(all.face(m).pictures.size(), 1u);
}

TEST(Card, EmptiedCardDrawsNothingInPlaceOfTheWorkbook) {
    Card card = keyed("S");
    card.FilesAdd("a", "C:\\Books", "見積.xls", "売上", kNewer);
    card.FilesRemove({"a"});
    const CardFace face = card.face({});
    EXPECT_TRUE(face.pictures.empty());
    EXPECT_EQ(textsOf(face), (std::vector<std::string>{"Nothing", "売上", "C:\\Books"}));  // no count line

    Card fresh;
    EXPECT_TRUE(fresh.face({}).texts.empty());
    EXPECT_EQ(fresh.face(CardMetrics{.titleTextHeight = 180}).height, 100 + 180 + 30 + 180 + 100);
}

TEST(Card, LookBeforeAndAfterTheFirstSelection) {
    Card card;
    EXPECT_EQ(card.face({}).background, (Colour{255, 255, 255}));
    EXPECT_TRUE(card.setSelected(true));
    EXPECT_FALSE(card.setSelected(true));  // a change is reported once
    EXPECT_EQ(card.face({}).background, (Colour{245, 245, 255}));
    EXPECT_TRUE(card.face({}).raisedBorder);
    EXPECT_TRUE(card.setSelected(false));
    EXPECT_EQ(card.face({}).background, (Colour{245, 245, 245}));
    EXPECT_FALSE(card.face({}).raisedBorder);

    Card deselected;
    EXPECT_FALSE(deselected.setSelected(false));
    EXPECT_EQ(deselected.face({}).background, (Colour{245, 245, 245}));
}

}  // namespace
}  // namespace kq::viewer
