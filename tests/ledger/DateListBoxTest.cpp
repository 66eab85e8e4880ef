#include "ledger/DateListBox.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList cellsOf(const DateListBox &picker)
{
    QStringList cells;
    for (int c = 0; c < 5; ++c) {
        cells << picker.cell(c);
    }
    return cells;
}

class DateListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override { picker.show(); }

    void showDate(int y, int m, int d)
    {
        ASSERT_TRUE(picker.TheDate().setYMD(y, m, d));
        picker.DisplayDate();
    }

    void press(Qt::Key key) { QTest::keyClick(&picker, key); }

    DateListBox picker;
};

TEST_F(DateListBoxTest, OpensOnTodayWithNoPartActive)
{
    const QDate today = QDate::currentDate();
    EXPECT_EQ(cellsOf(picker),
              (QStringList{QString::number(today.year()), QStringLiteral("/"), QString::number(today.month()),
                           QStringLiteral("/"), QString::number(today.day())}));
    EXPECT_EQ(picker.objectName(), QStringLiteral("DateListBox1"));
    EXPECT_EQ(picker.size(), QSize(120, 20));
    EXPECT_EQ(picker.activeColumn(), -1);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(picker.cellTextColour(c), QColor(Qt::black));
    }
    press(Qt::Key_Up);
    press(Qt::Key_Down);
    EXPECT_EQ(picker.TheDate().toQDate(), today);
}

TEST_F(DateListBoxTest, CellsShowPlainNumbersAndChangeOnlyOnDisplay)
{
    showDate(2014, 3, 5);
    EXPECT_EQ(cellsOf(picker), (QStringList{QStringLiteral("2014"), QStringLiteral("/"), QStringLiteral("3"),
                                            QStringLiteral("/"), QStringLiteral("5")}));
    // The date object is the picker's own: a change shows after DisplayDate, not before.
    RollingDate &date = picker.TheDate();
    EXPECT_EQ(&date, &picker.TheDate());
    date.setYMD(2015, 2, 10);
    EXPECT_EQ(picker.cell(0), QStringLiteral("2014"));
    EXPECT_EQ(picker.TheDate().day(), 10);
    picker.DisplayDate();
    EXPECT_EQ(picker.cell(0), QStringLiteral("2015"));
    EXPECT_EQ(picker.cell(4), QStringLiteral("10"));
}

TEST_F(DateListBoxTest, AClickAnywhereMakesTheDayActive)
{
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(picker.activeColumn(), 4);
    EXPECT_EQ(picker.cellTextColour(4), QColor(0x3399CC));
    EXPECT_EQ(picker.cellTextColour(0), QColor(Qt::black));
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(picker.activeColumn(), 4);
}

TEST_F(DateListBoxTest, ArrowsCycleThePartsAndStepTheActiveOne)
{
    struct Case
    {
        int y, m, d;
        // Right presses after the click that activates the day: 1 year, 2 month, 0 day.
        int rights;
        Qt::Key key;
        int ey, em, ed;
    };
    const Case cases[] = {
        {2015, 1, 31, 0, Qt::Key_Up, 2015, 2, 1},   {2015, 3, 1, 0, Qt::Key_Down, 2015, 2, 28},
        {2015, 1, 31, 2, Qt::Key_Up, 2015, 3, 3},   {2016, 1, 31, 2, Qt::Key_Up, 2016, 3, 2},
        {2014, 12, 15, 2, Qt::Key_Up, 2015, 1, 15}, {2015, 1, 15, 2, Qt::Key_Down, 2014, 12, 15},
        {2016, 2, 29, 1, Qt::Key_Up, 2017, 3, 1},   {9999, 6, 1, 1, Qt::Key_Up, 9999, 6, 1},
        {1000, 1, 1, 0, Qt::Key_Down, 1000, 1, 1},
    };
    for (const auto &c : cases) {
        showDate(c.y, c.m, c.d);
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(5, 5));
        for (int i = 0; i < c.rights; ++i) {
            press(Qt::Key_Right);
        }
        press(c.key);
        EXPECT_EQ(picker.TheDate().toQDate(), QDate(c.ey, c.em, c.ed)) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(picker.cell(4), QString::number(c.ed));
    }

    // Left walks day, month, year, day; right walks day, year, month, day.
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(5, 5));
    std::vector<int> walk;
    for (int i = 0; i < 3; ++i) {
        press(Qt::Key_Left);
        walk.push_back(picker.activeColumn());
    }
    for (int i = 0; i < 3; ++i) {
        press(Qt::Key_Right);
        walk.push_back(picker.activeColumn());
    }
    EXPECT_EQ(walk, (std::vector<int>{2, 0, 4, 0, 2, 4}));
}

TEST_F(DateListBoxTest, BeforeAnyClickTheArrowsStepThroughOddValues)
{
    showDate(2014, 3, 5);
    press(Qt::Key_Right);
    EXPECT_EQ(picker.activeColumn(), 1);
    press(Qt::Key_Right);
    EXPECT_EQ(picker.activeColumn(), 3);
    EXPECT_EQ(picker.cellTextColour(3), QColor(0x3399CC));
    press(Qt::Key_Up);
    EXPECT_EQ(picker.TheDate().toQDate(), QDate(2014, 3, 5));
    press(Qt::Key_Right);
    EXPECT_EQ(picker.activeColumn(), 5);
    press(Qt::Key_A);
    press(Qt::Key_5);
    EXPECT_EQ(picker.activeColumn(), 5);
    EXPECT_EQ(picker.TheDate().toQDate(), QDate(2014, 3, 5));
}

TEST_F(DateListBoxTest, ADisabledPickerTakesNoClicksAndNoKeys)
{
    showDate(2014, 3, 5);
    picker.setEnabled(false);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(5, 5));
    press(Qt::Key_Up);
    press(Qt::Key_Right);
    EXPECT_EQ(picker.activeColumn(), -1);
    EXPECT_EQ(picker.TheDate().toQDate(), QDate(2014, 3, 5));
}

} // namespace
