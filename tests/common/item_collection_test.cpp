#include "common/item_collection.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

std::vector<std::string> Names(const colItem& items) {
    std::vector<std::string> names;
    for (const clsItem& item : items) names.push_back(item.Name());
    return names;
}

TEST(ItemCollection, KeepsNamesOnceInOrderByPositionAndByName) {
    colItem items;
    ASSERT_NE(items.Add("B.PRD", 0x80), nullptr);
    ASSERT_NE(items.Add("A.SET", 0x21), nullptr);
    ASSERT_NE(items.Add("C", 0x10), nullptr);
    EXPECT_EQ(items.Add("A.SET", 0x80), nullptr);  // a key already: nothing added, the first kept
    EXPECT_EQ(items.Count(), 3u);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"B.PRD", "A.SET", "C"}));
    EXPECT_EQ(items.Item("A.SET")->Value(), 0x21u);
    EXPECT_EQ(items.Item(2)->Name(), "A.SET");
    EXPECT_EQ(items.Item(0), nullptr);
    EXPECT_EQ(items.Item(4), nullptr);
    EXPECT_EQ(items.Item("a.set"), nullptr);

    items.Remove(0);
    items.Remove(4);
    EXPECT_EQ(items.Count(), 3u);
    items.Remove(1);
    EXPECT_EQ(Names(items), (std::vector<std::string>{"A.SET", "C"}));
    EXPECT_EQ(items.Item("B.PRD"), nullptr);
    EXPECT_EQ(items.Item("C")->Value(), 0x10u);  // found again at its new position
    ASSERT_NE(items.Add("B.PRD", 1), nullptr);   // a removed name can come back
    EXPECT_EQ(items.Item(3)->Name(), "B.PRD");

    items.Clear();
    EXPECT_EQ(items.Count(), 0u);
    EXPECT_EQ(items.Item("C"), nullptr);
    EXPECT_NE(items.Add("C", 0), nullptr);
}

TEST(ItemCollection, EachTestReadsItsOwnAttributeBit) {
    struct Case {
        std::uint32_t bit;
        bool (clsItem::*test)() const;
    } cases[] = {
        {0x1, &clsItem::ReadOnly},    {0x2, &clsItem::Hidden},       {0x4, &clsItem::System},
        {0x10, &clsItem::Directory},  {0x20, &clsItem::Archive},     {0x80, &clsItem::Normal},
        {0x100, &clsItem::Temporary}, {0x800, &clsItem::Compressed}, {0x1000, &clsItem::Offline},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bit);
        EXPECT_TRUE((clsItem("x", c.bit).*c.test)());
        EXPECT_FALSE((clsItem("x", ~c.bit).*c.test)());
    }
}

}  // namespace
}  // namespace tarvo
