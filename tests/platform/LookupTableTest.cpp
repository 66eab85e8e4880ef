#include "platform/LookupTable.h"

#include <QString>

#include <gtest/gtest.h>

TEST(LookupTable, EnumeratesInInsertionOrderAndKeepsPlaceOnOverwrite)
{
    LookupTable<QString> table;
    table.set(30, QStringLiteral("c"));
    table.set(10, QStringLiteral("a"));
    table.set(20, QStringLiteral("b"));
    table.set(10, QStringLiteral("A"));
    EXPECT_EQ(table.keys(), (std::vector<int32_t>{30, 10, 20}));
    EXPECT_EQ(table.value(10), QStringLiteral("A"));
    EXPECT_EQ(table.keyAt(1), 10);
    EXPECT_EQ(table.keyAt(3), std::nullopt);
    EXPECT_EQ(table.keyAt(-1), std::nullopt);
}

TEST(LookupTable, ReadingAMissingKeyYieldsEmptyAndInsertsNothing)
{
    LookupTable<int32_t> table;
    table.set(1, 5);
    EXPECT_EQ(table.value(99), 0);
    EXPECT_FALSE(table.contains(99));
    EXPECT_EQ(table.count(), 1);
    table.clear();
    EXPECT_TRUE(table.isEmpty());
}
