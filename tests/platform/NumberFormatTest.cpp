#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct PatternCase
{
    int64_t value;
    const char16_t *pattern;
    const char *expected;
};

TEST(NumberFormat, PatternsWriteTheTextsOfTheTable)
{
    const PatternCase cases[] = {
        {1234567, u"-#,###,###,###", "1,234,567"},
        {-1500, u"-#,###,###,###", "-1,500"},
        {999, u"-#,###,###,###", "999"},
        {1000, u"-#,###,###,###", "1,000"},
        {-100, u"-#,###,###,###", "-100"},
        // No mandatory digit: zero is still written.
        {0, u"-#,###,###,###", "0"},
        // Beyond the pattern's ten digits the value is written whole, grouping going on.
        {123456789012345, u"-#,###,###,###", "123,456,789,012,345"},
        {std::numeric_limits<int64_t>::min(), u"-#,###,###,###", "-9,223,372,036,854,775,808"},
        {2024, u"####", "2024"},
        {12345, u"####", "12345"},
        {3, u"0#", "03"},
        {12, u"0#", "12"},
        {123, u"0#", "123"},
        {0, u"0#", "00"},
        {42, u"######", "42"},
        {1234567, u"######", "1234567"},
        {-7, u"######", "-7"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatNumber(c.value, QStringView(c.pattern)).toStdString(), c.expected)
            << c.value << " " << QString::fromUtf16(c.pattern).toStdString();
    }
    EXPECT_EQ(formatAmount(-1234567), QStringLiteral("-1,234,567"));
}

TEST(NumberFormat, AppendNumberAddsToTheExistingText)
{
    QString text = QStringLiteral("x");
    appendNumber(text, 12345, kAmountPattern);
    EXPECT_EQ(text, QStringLiteral("x12,345"));
}

TEST(NumberFormat, RightAlignedAmountPadsToTenAndNeverCuts)
{
    EXPECT_EQ(rightAlignedAmount(12345), QStringLiteral("     12345"));
    EXPECT_EQ(rightAlignedAmount(-5), QStringLiteral("        -5"));
    EXPECT_EQ(rightAlignedAmount(12345678901LL), QStringLiteral("12345678901"));
    EXPECT_EQ(rightAlignedAmount(-1234567890LL), QStringLiteral("-1234567890"));
    EXPECT_EQ(rightAlignedAmount(7, 3), QStringLiteral("  7"));
}

} // namespace
