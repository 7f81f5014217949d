#include "log/RecordLimitMenu.h"

#include <gtest/gtest.h>

#include <string>

namespace varnex {
namespace {

TEST(RecordLimitMenu, ItemsInMenuOrder)
{
    const struct {
        std::string name, caption;
        std::int32_t limit;
    } expected[] = {{"N10001", "1000", 1000},         {"N50001", "5000", 5000},
                    {"N100001", "10000", 10000},      {"N500001", "50000", 50000},
                    {"N1000001", "100000", 100000},   {"limitess", "limitless", 10000000}};
    ASSERT_EQ(RecordLimitItems.size(), std::size(expected));
    for (std::size_t i = 0; i < RecordLimitItems.size(); ++i) {
        EXPECT_EQ(RecordLimitItems[i].Name, expected[i].name);
        EXPECT_EQ(RecordLimitItems[i].Caption, expected[i].caption);
        EXPECT_EQ(RecordLimitItems[i].Limit, expected[i].limit);
    }
}

TEST(RecordLimitMenu, StartsAtTenThousandChecked)
{
    const RecordLimitMenu menu;
    EXPECT_EQ(menu.RecordLimit(), 10000);
    EXPECT_EQ(RecordLimitItems[menu.CheckedItem()].Caption, std::string("10000"));
}

TEST(RecordLimitMenu, EachItemSetsTheLimitAndCarriesTheOnlyCheckMark)
{
    for (int item = 0; item < static_cast<int>(RecordLimitItems.size()); ++item) {
        RecordLimitMenu byIndex, byName;
        ASSERT_TRUE(byIndex.Select(item));
        ASSERT_TRUE(byName.SelectByName(RecordLimitItems[item].Name));
        for (const RecordLimitMenu* menu : {&byIndex, &byName}) {
            EXPECT_EQ(menu->RecordLimit(), RecordLimitItems[item].Limit);
            for (int other = 0; other < static_cast<int>(RecordLimitItems.size()); ++other)
                EXPECT_EQ(menu->IsChecked(other), other == item) << item << " vs " << other;
        }
    }
}

TEST(RecordLimitMenu, UnknownItemsChangeNothing)
{
    RecordLimitMenu menu;
    menu.Select(0);
    EXPECT_FALSE(menu.Select(-1));
    EXPECT_FALSE(menu.Select(6));
    EXPECT_FALSE(menu.SelectByName("limitless")) << "that is a caption, not a name";
    EXPECT_FALSE(menu.SelectByName(""));
    EXPECT_EQ(menu.RecordLimit(), 1000);
    EXPECT_EQ(menu.CheckedItem(), 0);
}

} // namespace
} // namespace varnex
