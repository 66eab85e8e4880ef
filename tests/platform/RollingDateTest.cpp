#include "platform/RollingDate.h"

#include <gtest/gtest.h>

namespace {

enum class Part
{
    Year,
    Month,
    Day
};

struct StepCase
{
    int y, m, d;
    Part part;
    int delta;
    int ey, em, ed;
};

TEST(RollingDate, SettingAPartRollsOverIntoTheUnitsAbove)
{
    const StepCase cases[] = {
        {2015, 1, 31, Part::Day, 1, 2015, 2, 1},       {2015, 3, 1, Part::Day, -1, 2015, 2, 28},
        {2016, 3, 1, Part::Day, -1, 2016, 2, 29},      {2014, 12, 31, Part::Day, 1, 2015, 1, 1},
        {2015, 1, 31, Part::Month, 1, 2015, 3, 3},     {2016, 1, 31, Part::Month, 1, 2016, 3, 2},
        {2014, 12, 15, Part::Month, 1, 2015, 1, 15},   {2015, 1, 15, Part::Month, -1, 2014, 12, 15},
        {2015, 1, 15, Part::Month, -13, 2013, 12, 15}, {2015, 1, 15, Part::Month, 24, 2017, 1, 15},
        {2016, 2, 29, Part::Year, 1, 2017, 3, 1},      {2016, 2, 29, Part::Year, 4, 2020, 2, 29},
        {2015, 3, 1, Part::Day, -365, 2014, 3, 1},
    };
    for (const auto &c : cases) {
        RollingDate date(c.y, c.m, c.d);
        bool changed = false;
        switch (c.part) {
        case Part::Year:
            changed = date.setYear(date.year() + c.delta);
            break;
        case Part::Month:
            changed = date.setMonth(date.month() + c.delta);
            break;
        case Part::Day:
            changed = date.setDay(date.day() + c.delta);
            break;
        }
        EXPECT_TRUE(changed);
        EXPECT_EQ(date.toQDate(), QDate(c.ey, c.em, c.ed))
            << c.y << "-" << c.m << "-" << c.d << " delta " << c.delta;
    }
}

TEST(RollingDate, StepsLeavingTheFourDigitYearsAreIgnored)
{
    RollingDate late(9999, 12, 31);
    EXPECT_FALSE(late.setYear(10000));
    EXPECT_FALSE(late.setDay(32));
    EXPECT_FALSE(late.setMonth(13));
    EXPECT_EQ(late.toQDate(), QDate(9999, 12, 31));

    RollingDate early(1000, 1, 1);
    EXPECT_FALSE(early.setDay(0));
    EXPECT_FALSE(early.setYear(999));
    EXPECT_FALSE(early.setMonth(0));
    EXPECT_FALSE(early.setYMD(0, 1, 1));
    EXPECT_FALSE(early.setDay(-2147483647));
    EXPECT_FALSE(early.setYear(2147483647));
    EXPECT_EQ(early.toQDate(), QDate(1000, 1, 1));
}

TEST(RollingDate, SetYmdHoldsExactlyThatDateWhateverItHeldBefore)
{
    // Part by part, 31 March with month 2 would roll to 3 March before the day is set.
    RollingDate date(2015, 3, 31);
    EXPECT_TRUE(date.setYMD(2015, 2, 10));
    EXPECT_EQ(date.toQDate(), QDate(2015, 2, 10));
    EXPECT_EQ(date.shortDate(), QStringLiteral("2015/02/10"));
    EXPECT_EQ(RollingDate(2024, 3, 5).shortDate(), QStringLiteral("2024/03/05"));
    EXPECT_EQ(RollingDate::today().toQDate(), QDate::currentDate());
}

} // namespace
