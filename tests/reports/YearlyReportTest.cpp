#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "reports/RecordingSurface.h"
#include "reports/YearlyReport.h"

#include <gtest/gtest.h>

namespace {
const QString kDate = QStringLiteral("2024/03/05");

class YearlyReportTest : public ReportTest
{
protected:
    // The fixture year 2024: income of two sub-items, expense of three (with a December
    // that spends more than it earns), entries of another year and a transfer that must
    // not count.
    void addFixtureEntries()
    {
        addEntry(2024, 1, 25, 1, 2, 77, 300000);
        addEntry(2024, 1, 31, 2, 2, 77, 50000);
        addEntry(2024, 12, 25, 1, 2, 77, 300000);
        addEntry(2024, 6, 30, 2, 2, 83, 12);
        addEntry(2024, 1, 3, 1, 1, 2, 4000);
        addEntry(2024, 1, 9, 2, 1, 2, 1000);
        addEntry(2024, 3, 1, 1, 1, 2, 2500);
        addEntry(2024, 2, 14, 1, 1, 13, 8000);
        addEntry(2024, 12, 31, 1, 1, 3, 400000);
        addEntry(2023, 1, 5, 1, 2, 77, 1);
        addEntry(2023, 1, 5, 1, 1, 2, 7);
        addTransfer(2024, 3, 3, 1, 2, 10000);
    }
};
} // namespace

TEST(YearlyStatements, AreBuiltAsTheLedgerExpectsThem)
{
    const QString incomeRows = QStringLiteral(
        "Select Himoku.Namae  , SUM(CASE WHEN Tuki = 1 THEN Nyuukin END) AS g1 , SUM(CASE WHEN Tuki = 2 THEN "
        "Nyuukin END) AS g2 , SUM(CASE WHEN Tuki = 3 THEN Nyuukin END) AS g3 , SUM(CASE WHEN Tuki = 4 THEN "
        "Nyuukin "
        "END) AS g4 , SUM(CASE WHEN Tuki = 5 THEN Nyuukin END) AS g5 , SUM(CASE WHEN Tuki = 6 THEN Nyuukin "
        "END) AS "
        "g6 , SUM(CASE WHEN Tuki = 7 THEN Nyuukin END) AS g7 , SUM(CASE WHEN Tuki = 8 THEN Nyuukin END) AS "
        "g8 , "
        "SUM(CASE WHEN Tuki = 9 THEN Nyuukin END) AS g9 , SUM(CASE WHEN Tuki = 10 THEN Nyuukin END) AS g10 , "
        "SUM(CASE WHEN Tuki = 11 THEN Nyuukin END) AS g11 , SUM(CASE WHEN Tuki = 12 THEN Nyuukin END) AS "
        "g12,SUM(CASE WHEN Nen=2024 THEN Nyuukin END) AS N2024  FROM Items JOIN Himoku ON "
        "Items.HimokuNo=Himoku.Id  WHERE Nen=2024 AND Items.SyubetuNo=2 GROUP BY Items.HimokuNo");
    EXPECT_EQ(yearlyStatementText(YearlyStatement::IncomeRows, QStringLiteral("2024")), incomeRows);
    EXPECT_EQ(incomeRows.size(), 778);

    QString expenseTotals = incomeRows;
    expenseTotals.replace(QStringLiteral("Select Himoku.Namae "), QStringLiteral("SELECT Items.SyubetuNo "));
    expenseTotals.replace(QStringLiteral("Nyuukin"), QStringLiteral("Syukkin"));
    expenseTotals.replace(QStringLiteral("SyubetuNo=2 GROUP BY Items.HimokuNo"),
                          QStringLiteral("SyubetuNo=1"));
    EXPECT_EQ(yearlyStatementText(YearlyStatement::ExpenseTotals, QStringLiteral("2024")), expenseTotals);
}

TEST_F(YearlyReportTest, CsvFileOfAYear)
{
    addFixtureEntries();
    const YearlyReportData data = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    for (const auto &error : data.errors) {
        EXPECT_FALSE(error) << error->toStdString();
    }
    const QByteArray expected =
        "2024 年度　レポート , 2024/03/05\n" + kYearlyCsvHeading +
        "収入\n"
        "給料/給料 , 350000 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 300000 , 650000\n"
        "金利/利子 , 0 , 0 , 0 , 0 , 0 , 12 , 0 , 0 , 0 , 0 , 0 , 0 , 12\n"
        "収入合計 , 350000 , 0 , 0 , 0 , 0 , 12 , 0 , 0 , 0 , 0 , 0 , 300000 , 650012\n"
        "支出\n"
        "食費/食材 , 5000 , 0 , 2500 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 7500\n"
        "食費/アルコール , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 400000 , 400000\n"
        "娯楽費/外食 , 0 , 8000 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 8000\n"
        "支出合計 , 5000 , 8000 , 2500 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 400000 , 415500\n"
        "差引合計 , 345000 , -8000 , -2500 , 0 , 0 , 12 , 0 , 0 , 0 , 0 , 0 , -100000 , 234512\n";
    EXPECT_EQ(yearlyReportCsv(data, QStringLiteral("2024"), kDate), expected);
}

TEST_F(YearlyReportTest, YearWithIncomeOnlyAndYearWithTransfersOnly)
{
    addEntry(2022, 4, 1, 1, 2, 79, 1500);
    addTransfer(2021, 5, 5, 1, 2, 900);
    EXPECT_EQ(readReportYears(*KakeiboDB).years,
              QStringList({QStringLiteral("2022"), QStringLiteral("2021")}));

    const QByteArray incomeOnly =
        yearlyReportCsv(readYearlyReport(*KakeiboDB, QStringLiteral("2022")), QStringLiteral("2022"), kDate);
    EXPECT_EQ(incomeOnly, "2022 年度　レポート , 2024/03/05\n" + kYearlyCsvHeading +
                              "収入\n"
                              "年金/公的年金 , 0 , 0 , 0 , 1500 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 1500\n"
                              "収入合計 , 0 , 0 , 0 , 1500 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 1500\n"
                              "支出\n"
                              "支出合計 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0\n"
                              "差引合計 , 0 , 0 , 0 , 1500 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 1500\n");

    const QByteArray zeros = " , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0\n";
    const QByteArray transfersOnly =
        yearlyReportCsv(readYearlyReport(*KakeiboDB, QStringLiteral("2021")), QStringLiteral("2021"), kDate);
    EXPECT_EQ(transfersOnly, "2021 年度　レポート , 2024/03/05\n" + kYearlyCsvHeading + "収入\n収入合計" +
                                 zeros + "支出\n支出合計" + zeros + "差引合計" + zeros);
}

TEST_F(YearlyReportTest, YearsComeInStatementOrder)
{
    addEntry(2024, 1, 1, 1, 1, 2, 1);
    addEntry(2022, 1, 1, 1, 1, 2, 1);
    addEntry(2023, 1, 1, 1, 1, 2, 1);
    addEntry(2024, 2, 1, 1, 1, 2, 1);
    EXPECT_EQ(readReportYears(*KakeiboDB).years,
              QStringList({QStringLiteral("2024"), QStringLiteral("2022"), QStringLiteral("2023")}));
}

TEST_F(YearlyReportTest, SumsBeyondThirtyTwoBits)
{
    addEntry(2024, 5, 1, 1, 2, 77, 2000000000);
    addEntry(2024, 5, 2, 1, 2, 77, 2000000000);
    const YearlyReportData data = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    ASSERT_EQ(data.income.size(), 1u);
    EXPECT_EQ(data.income[0].sums[4], 4000000000LL);
    EXPECT_EQ((*data.incomeTotals)[12], 4000000000LL);
    EXPECT_EQ(data.difference()[12], 4000000000LL);
}

TEST_F(YearlyReportTest, FailedStatementsGiveEmptySectionsAndEmptyTotals)
{
    addFixtureEntries();
    exec(QStringLiteral("DROP TABLE Items"));
    const YearlyReportData data = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    for (const auto &error : data.errors) {
        ASSERT_TRUE(error);
        EXPECT_EQ(*error, QStringLiteral("no such table: Items"));
    }
    const QByteArray empty = QByteArray(" , ").repeated(13) + "\n";
    EXPECT_EQ(yearlyReportCsv(data, QStringLiteral("2024"), kDate),
              "2024 年度　レポート , 2024/03/05\n" + kYearlyCsvHeading + "収入\n収入合計" + empty +
                  "支出\n支出合計" + empty + "差引合計" + empty);
    EXPECT_TRUE(readReportYears(*KakeiboDB).error);
}

namespace {
YearlyReportData rowsOnly(int incomeRows, int expenseRows)
{
    YearlyReportData data;
    for (int i = 1; i <= incomeRows; ++i) {
        data.income.push_back({QStringLiteral("in%1").arg(i), {}});
    }
    for (int i = 1; i <= expenseRows; ++i) {
        data.expense.push_back({QStringLiteral("ex%1").arg(i), {}});
    }
    return data;
}

struct Placement
{
    int page = 0;
    int line = 0;
};

// Where a text of the name column was drawn: its page and grid line.
Placement placementOf(const RecordingSurface &g, const strPreVal &model, const QString &text)
{
    for (const auto &op : g.texts()) {
        if (op.text != text || op.x1 != getDrawPos(model, 1, 1).X) {
            continue;
        }
        for (int line = 1; line <= 200; ++line) {
            if (getDrawPos(model, line, 1).Y == op.y1) {
                return {op.page, line};
            }
        }
    }
    return {};
}

int countTexts(const RecordingSurface &g, const QString &text)
{
    int count = 0;
    for (const auto &op : g.texts()) {
        count += op.text == text ? 1 : 0;
    }
    return count;
}

// The grid line down to which a page's foot rule runs: its dashes start short of the end
// rule position of that line, the last one less than four pixels before it.
int footLastLine(const RecordingSurface &g, const strPreVal &model, int page)
{
    const int x = getDrawPos(model, 1, 30).X;
    int lastStart = -1;
    for (const auto &op : g.lines()) {
        if (op.page == page && op.x1 == x && op.x2 == x) {
            lastStart = std::max(lastStart, op.y1);
        }
    }
    for (int line = 1; line <= 200; ++line) {
        if (convertToInt32(getDrawPos(model, line, 1).Y + model.TopOffset / 2) > lastStart) {
            return line;
        }
    }
    return 0;
}
} // namespace

TEST(YearlyReportPaging, PrintedPagesOfFiftyLines)
{
    // A4 landscape at 72 dots per inch with 10 mm margins.
    const strPreVal printer = printerPageModel(*previewPageModel(kYearlyReport), 822, 575, 72);
    const QString incomeTotals = QStringLiteral("  収  入  合  計");
    const QString expenseTitle = QStringLiteral("  支  出");
    const QString expenseTotals = QStringLiteral("  支  出  合  計");
    const QString difference = QStringLiteral("  差  引  合  計");
    struct Case
    {
        int income;
        int expense;
        int pages;
        Placement incomeTotals;
        Placement expenseTitle;
        Placement expenseTotals;
        Placement difference;
    };
    const Case cases[] = {
        // The seed tree's sub-items: the expense rows go on at line 5 of the second page.
        {8, 48, 2, {1, 14}, {1, 15}, {2, 20}, {2, 21}},
        // Income totals on line 48 take a page step; the expense title opens page 2.
        {42, 0, 2, {1, 48}, {2, 5}, {2, 6}, {2, 7}},
        {43, 0, 2, {2, 5}, {2, 6}, {2, 7}, {2, 8}},
        // The expense title and the last two lines never step: they fill lines 48 to 50.
        {41, 0, 1, {1, 47}, {1, 48}, {1, 49}, {1, 50}},
        {43, 43, 3, {2, 5}, {2, 6}, {3, 6}, {3, 7}},
    };
    for (const Case &c : cases) {
        RecordingSurface g;
        paintYearlyReport(g, printer, rowsOnly(c.income, c.expense), QStringLiteral("2024"), kDate);
        const std::string what = std::to_string(c.income) + "/" + std::to_string(c.expense);
        EXPECT_EQ(g.pageCount(), c.pages) << what;
        for (const auto &[text, expected] : {std::pair{incomeTotals, c.incomeTotals},
                                             {expenseTitle, c.expenseTitle},
                                             {expenseTotals, c.expenseTotals},
                                             {difference, c.difference}}) {
            const Placement at = placementOf(g, printer, text);
            EXPECT_EQ(at.page, expected.page) << what << " " << text.toStdString();
            EXPECT_EQ(at.line, expected.line) << what << " " << text.toStdString();
        }
        EXPECT_EQ(countTexts(g, QStringLiteral("  収  入")), 1) << what;
        EXPECT_EQ(countTexts(g, QStringLiteral("2024 年度　レポート")), c.pages) << what;
        EXPECT_EQ(countTexts(g, QStringLiteral("合　計")), c.pages) << what;
        for (int page = 1; page < c.pages; ++page) {
            EXPECT_EQ(footLastLine(g, printer, page), 48) << what << " page " << page;
        }
        EXPECT_EQ(footLastLine(g, printer, c.pages), c.difference.line) << what;
    }

    // After a page step the rows go on at line 5.
    RecordingSurface g;
    paintYearlyReport(g, printer, rowsOnly(8, 48), QStringLiteral("2024"), kDate);
    EXPECT_EQ(placementOf(g, printer, QStringLiteral("ex33")).line, 48);
    EXPECT_EQ(placementOf(g, printer, QStringLiteral("ex34")).page, 2);
    EXPECT_EQ(placementOf(g, printer, QStringLiteral("ex34")).line, 5);
}

TEST(YearlyReportPaging, PreviewPageHoldsTheSeedTreeOnOnePage)
{
    const strPreVal preview = *previewPageModel(kYearlyReport);
    RecordingSurface g;
    paintYearlyReport(g, preview, rowsOnly(8, 48), QStringLiteral("2024"), kDate);
    EXPECT_EQ(g.pageCount(), 1);
    EXPECT_EQ(placementOf(g, preview, QStringLiteral("in1")).line, 6);
    EXPECT_EQ(placementOf(g, preview, QStringLiteral("  収  入  合  計")).line, 14);
    EXPECT_EQ(placementOf(g, preview, QStringLiteral("  支  出")).line, 15);
    EXPECT_EQ(placementOf(g, preview, QStringLiteral("ex48")).line, 63);
    EXPECT_EQ(placementOf(g, preview, QStringLiteral("  差  引  合  計")).line, 65);
    EXPECT_EQ(footLastLine(g, preview, 1), 65);
}

TEST(YearlyReportLayout, HeadRowsAmountsAndRules)
{
    const strPreVal preview = *previewPageModel(kYearlyReport);
    YearlyReportData data;
    MonthSums sums{};
    sums[0] = 5;
    sums[11] = -7;
    sums[12] = 12345678901LL;
    data.income.push_back({QStringLiteral("給料/給料"), sums});
    data.incomeTotals = sums;
    RecordingSurface g;
    paintYearlyReport(g, preview, data, QStringLiteral("2024"), kDate);

    const auto texts = g.texts();
    const auto at = [&](const QString &text) -> const RecordingSurface::Operation * {
        for (const auto &op : texts) {
            if (op.text == text) {
                return &op;
            }
        }
        return nullptr;
    };
    const auto expectAt = [&](const QString &text, int line, int column, float size) {
        const auto *op = at(text);
        ASSERT_TRUE(op) << text.toStdString();
        const strDrawPos pos = getDrawPos(preview, line, column);
        EXPECT_EQ(op->x1, pos.X) << text.toStdString();
        EXPECT_EQ(op->y1, pos.Y) << text.toStdString();
        EXPECT_EQ(op->size, size) << text.toStdString();
    };
    expectAt(QStringLiteral("2024 年度　レポート"), 2, 14, 12);
    expectAt(kDate, 2, 50, 10);
    expectAt(QStringLiteral("1 月"), 4, 33, 10);
    expectAt(QStringLiteral("12 月"), 4, 143, 10);
    expectAt(QStringLiteral("合　計"), 4, 153, 10);
    expectAt(QStringLiteral("給料/給料"), 6, 1, 10);
    expectAt(QStringLiteral("         5"), 6, 31, 8);
    expectAt(QStringLiteral("        -7"), 6, 141, 8);
    // Never cut, however long.
    expectAt(QStringLiteral("12345678901"), 6, 151, 8);
    // The yearly report sets no font of its own.
    EXPECT_TRUE(texts[0].font.isEmpty());

    // Head rule on line 4, the dotted rule above and the solid rule on the income totals (line 7).
    const auto ruleY = [&](int line) {
        return convertToInt32(getDrawPos(preview, line, 1).Y + preview.TopOffset / 2);
    };
    const int left = getDrawPos(preview, 1, 1).X;
    const int right = getDrawPos(preview, 1, 160).X;
    int solidOnFour = 0;
    int solidOnSeven = 0;
    int dashesOnSix = 0;
    for (const auto &op : g.lines()) {
        if (op.x1 == left && op.x2 == right) {
            solidOnFour += op.y1 == ruleY(4) ? 1 : 0;
            solidOnSeven += op.y1 == ruleY(7) ? 1 : 0;
        }
        dashesOnSix += op.y1 == ruleY(6) && op.x2 == op.x1 + 1 ? 1 : 0;
    }
    EXPECT_EQ(solidOnFour, 1);
    EXPECT_EQ(solidOnSeven, 1);
    EXPECT_EQ(dashesOnSix, (right - left + 3) / 4);
}
