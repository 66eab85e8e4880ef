#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "reports/AssetReport.h"
#include "reports/RecordingSurface.h"

#include <gtest/gtest.h>

namespace {
const QString kDate = QStringLiteral("2024/03/05");

class AssetReportTest : public ReportTest
{
protected:
    void setAccounts(const QList<QPair<QString, qint64>> &accounts)
    {
        exec(QStringLiteral("DELETE FROM Sisan"));
        int id = 1;
        for (const auto &account : accounts) {
            exec(QStringLiteral("INSERT INTO Sisan VALUES (%1, '%2', 0, %3)")
                     .arg(id++)
                     .arg(account.first)
                     .arg(account.second));
        }
    }

    // The grid lines of the dotted rules drawn on the asset preview page.
    static QList<int> dottedRuleLines(const RecordingSurface &g)
    {
        const strPreVal model = *previewPageModel(kAssetReport);
        QList<int> lines;
        for (const auto &op : g.lines()) {
            if (op.x2 - op.x1 == 1) {
                for (int line = 1; line <= 60; ++line) {
                    if (convertToInt32(getDrawPos(model, line, 1).Y + model.TopOffset / 2) == op.y1 &&
                        !lines.contains(line)) {
                        lines.append(line);
                    }
                }
            }
        }
        return lines;
    }

    static const RecordingSurface::Operation *textAt(const RecordingSurface &g, const QString &text)
    {
        for (const auto &op : g.operations()) {
            if (op.kind == RecordingSurface::Operation::Kind::Text && op.text == text) {
                return &op;
            }
        }
        return nullptr;
    }
};
} // namespace

TEST_F(AssetReportTest, CsvFileHoldsTitleHeadingAccountsAndTotal)
{
    setAccounts({{QStringLiteral("現金"), 12000},
                 {QStringLiteral("預金"), 250000},
                 {QStringLiteral("カード"), -3500}});
    // The account rows come in table row order and show the stored balance, not one
    // recomputed from the entries.
    addEntry(2024, 1, 5, 1, 1, 2, 999);
    const AssetReportData data = readAssetReport(*KakeiboDB);
    EXPECT_FALSE(data.error);
    const QByteArray expected = "現　有　資　産 ,2024/03/05\n"
                                "番号 , 名前 , 残金(円)\n"
                                "1 , 現金 , 12000\n"
                                "2 , 預金 , 250000\n"
                                "3 , カード , -3500\n"
                                "資産残合計  , 258500\n";
    EXPECT_EQ(assetReportCsv(data, kDate), expected);
}

TEST_F(AssetReportTest, TotalIsSummedInSixtyFourBits)
{
    setAccounts({{QStringLiteral("a"), 2000000000}, {QStringLiteral("b"), 2000000000}});
    const AssetReportData data = readAssetReport(*KakeiboDB);
    EXPECT_EQ(data.total, 4000000000LL);
    EXPECT_TRUE(assetReportCsv(data, kDate).endsWith("資産残合計  , 4000000000\n"));
}

TEST_F(AssetReportTest, EmptyTableGivesHeadAndZeroTotal)
{
    exec(QStringLiteral("DELETE FROM Sisan"));
    const AssetReportData data = readAssetReport(*KakeiboDB);
    EXPECT_EQ(assetReportCsv(data, kDate), QByteArray("現　有　資　産 ,2024/03/05\n"
                                                      "番号 , 名前 , 残金(円)\n"
                                                      "資産残合計  , 0\n"));
    RecordingSurface g;
    paintAssetReport(g, *previewPageModel(kAssetReport), data, kDate);
    const auto *label = textAt(g, QStringLiteral("資 産 残 合 計 "));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->y1, getDrawPos(*previewPageModel(kAssetReport), 9, 16).Y);
    ASSERT_TRUE(textAt(g, QStringLiteral("         0")));
}

TEST_F(AssetReportTest, FailedStatementGivesNoRowsAndItsMessage)
{
    exec(QStringLiteral("DROP TABLE Sisan"));
    const AssetReportData data = readAssetReport(*KakeiboDB);
    ASSERT_TRUE(data.error);
    EXPECT_EQ(*data.error, QStringLiteral("no such table: Sisan"));
    EXPECT_TRUE(data.rows.empty());
    EXPECT_EQ(data.total, 0);
}

TEST_F(AssetReportTest, PageLayoutOfHeadRowsAndTotal)
{
    setAccounts({{QStringLiteral("現金"), 500}, {QStringLiteral("預金"), -1500000000}});
    RecordingSurface g;
    const strPreVal model = *previewPageModel(kAssetReport);
    paintAssetReport(g, model, readAssetReport(*KakeiboDB), kDate);

    struct Expected
    {
        QString text;
        int line;
        int column;
        float size;
    };
    const Expected expected[] = {
        {QStringLiteral("現　有　資　産"), 3, 14, 16},
        {kDate, 3, 40, 10},
        {QStringLiteral("番号"), 6, 2, 12},
        {QStringLiteral("名　　　前"), 6, 10, 12},
        {QStringLiteral("残　金　（円）"), 6, 30, 12},
        {QStringLiteral("1"), 7, 2, 10},
        {QStringLiteral("現金"), 7, 12, 10},
        {QStringLiteral("       500"), 7, 30, 10},
        {QStringLiteral("2"), 8, 2, 10},
        {QStringLiteral("預金"), 8, 12, 10},
        // Longer than ten characters: shown whole, minus sign included.
        {QStringLiteral("-1500000000"), 8, 30, 10},
        {QStringLiteral("資 産 残 合 計 "), 11, 16, 12},
        {QStringLiteral("-1499999500"), 11, 30, 10},
    };
    const auto texts = g.texts();
    ASSERT_EQ(texts.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const strDrawPos pos = getDrawPos(model, expected[i].line, expected[i].column);
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(texts[i].x1, pos.X) << expected[i].text.toStdString();
        EXPECT_EQ(texts[i].y1, pos.Y) << expected[i].text.toStdString();
        EXPECT_EQ(texts[i].size, expected[i].size) << expected[i].text.toStdString();
        EXPECT_EQ(texts[i].font, QStringLiteral("System"));
        EXPECT_FALSE(texts[i].bold);
        EXPECT_FALSE(texts[i].underline);
        EXPECT_EQ(texts[i].color, QColor(Qt::black));
    }
    // The one solid rule under the headings, columns 1 to 40.
    ASSERT_EQ(g.lines().size(), 1);
    EXPECT_EQ(g.lines()[0].x1, getDrawPos(model, 6, 1).X);
    EXPECT_EQ(g.lines()[0].x2, getDrawPos(model, 6, 40).X);
    EXPECT_EQ(g.lines()[0].y1, 77); // baseline 75, 2.5 under it
}

TEST_F(AssetReportTest, DottedRuleAfterEveryFifthAccount)
{
    const struct
    {
        int accounts;
        QList<int> ruleLines;
    } cases[] = {{4, {}}, {5, {11}}, {10, {11, 16}}, {11, {11, 16}}};
    for (const auto &c : cases) {
        QList<QPair<QString, qint64>> accounts;
        for (int i = 0; i < c.accounts; ++i) {
            accounts.append({QStringLiteral("口座%1").arg(i), i * 100});
        }
        setAccounts(accounts);
        RecordingSurface g;
        paintAssetReport(g, *previewPageModel(kAssetReport), readAssetReport(*KakeiboDB), kDate);
        EXPECT_EQ(dottedRuleLines(g), c.ruleLines) << c.accounts << " accounts";
        const auto *label = textAt(g, QStringLiteral("資 産 残 合 計 "));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->y1, getDrawPos(*previewPageModel(kAssetReport), c.accounts + 9, 16).Y);
    }
}
