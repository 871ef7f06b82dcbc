#include "viewer/main_window/view_setting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kq::viewer {
namespace {

std::string stored(MemorySettingsStore& store, const char* name) { return store.read("View", name).value_or("<none>"); }

TEST(ViewSetting, FreshUserGetsTheDefaultsAndWritesThemInTheFixedOrder) {
    MemorySettingsStore store;
    c_Setting_View view(store);
    EXPECT_EQ(static_cast<const ViewSettings&>(view), ViewSettings{});
    EXPECT_TRUE(view.column(ColumnSwitch::DataTitle));
    EXPECT_FALSE(view.column(ColumnSwitch::FileSize));
    EXPECT_TRUE(store.writes().empty());  // reading never writes

    view.SaveViewSetting();
    std::vector<std::string> order;
    for (const auto& w : store.writes()) {
        EXPECT_EQ(w.section, "View");
        order.push_back(w.name + "=" + w.value);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"MinMaxAvgSum=0",
                                               "DataTitle=1",
                                               "BookPath=0",
                                               "BookName=0",
                                               "SheetName=0",
                                               "Category=0",
                                               "ID1=0",
                                               "ID2=0",
                                               "ID3=0",
                                               "Area=0",
                                               "Version=0",
                                               "OSVersion=0",
                                               "ExcelVersion=0",
                                               "ExcelUserName=0",
                                               "PrinterName=0",
                                               "PageImageCount=0",
                                               "ShapesCount=0",
                                               "CommentCount=0",
                                               "ErrorCount=0",
                                               "FileName=0",
                                               "FileSize=0",
                                               "ViewStyle=0",
                                               "CardsCategoryType=2",
                                               "Positon1=3000",
                                               "Positon2=6000",
                                               "Positon3=2000"}));
}

TEST(ViewSetting, StoredTextsReadAsNumbersWithTheirRules) {
    const struct {
        const char* name;
        const char* text;
        const char* written;  // what the next save stores
    } cases[] = {
        {"CardsCategoryType", "0", "2"},
        {"CardsCategoryType", "5", "2"},
        {"CardsCategoryType", "abc", "2"},
        {"CardsCategoryType", "3.4", "3"},
        {"CardsCategoryType", "4", "4"},
        {"CardsCategoryType", "3.5", "4"},
        {"CardsCategoryType", "2.5", "2"},
        {"CardsCategoryType", "-1", "2"},
        {"CardsCategoryType", "1e300", "2"},
        {"CardsCategoryType", "99999", "2"},
        {"ViewStyle", "2", "1"},
        {"ViewStyle", "-1", "1"},
        {"ViewStyle", "0.4", "0"},
        {"ViewStyle", "70000", "0"},  // does not fit: default
        {"ViewStyle", "1e999", "0"},
        {"BookName", "True", "0"},
        {"BookName", "-1", "0"},
        {"BookName", "2", "0"},
        {"BookName", " 1", "1"},
        {"BookName", "1.0", "1"},
        {"BookName", "&H1", "1"},
        {"DataTitle", "", "0"},
        {"DataTitle", "0", "0"},
        {"MinMaxAvgSum", "1", "0"},
        {"Positon1", "2437.5", "2437.5"},
        {"Positon1", "abc", "0"},
        {"Positon1", "-50", "-50"},
        {"Positon2", "1e39", "6000"},
        {"Positon3", "1e999", "2000"},
        {"Positon3", "0.1", "0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.text);
        MemorySettingsStore store;
        store.set("View", c.name, c.text);
        c_Setting_View view(store);
        view.SaveViewSetting();
        EXPECT_EQ(stored(store, c.name), c.written);
    }
}

TEST(ViewSetting, ChangesReachTheStoreOnlyWhenSaved) {
    MemorySettingsStore store;
    store.set("View", "Positon1", "1234.5");
    {
        c_Setting_View view(store);
        EXPECT_EQ(view.Positon1, 1234.5f);
        view.setColumn(ColumnSwitch::FileSize, true);
        view.CardsCategoryType = Grouping::category;
        view.Positon2 = 7000.25f;
        EXPECT_TRUE(store.writes().empty());
        view.SaveViewSetting();
    }
    c_Setting_View again(store);
    EXPECT_TRUE(again.column(ColumnSwitch::FileSize));
    EXPECT_EQ(again.CardsCategoryType, Grouping::category);
    EXPECT_EQ(again.Positon1, 1234.5f);  // untouched, written back unchanged
    EXPECT_EQ(again.Positon2, 7000.25f);
    EXPECT_EQ(stored(store, "Positon2"), "7000.25");
}

}  // namespace
}  // namespace kq::viewer
