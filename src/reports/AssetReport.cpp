#include "reports/AssetReport.h"

#include "platform/CheckedSum.h"
#include "platform/LedgerConnection.h"
#include "platform/NumberFormat.h"
#include "reports/CsvFile.h"
#include "reports/ReportGrid.h"

AssetReportData readAssetReport(LedgerConnection &db)
{
    AssetReportData data;
    auto rows = db.select(QString::fromLatin1(kAssetReportStatement));
    if (!rows) {
        data.error = db.errorMessage();
        return data;
    }
    // A balance or total past the 64-bit limit fails the read as SQL's SUM would: the report
    // goes on as after a failed statement, without rows and with a total of 0.
    std::optional<int64_t> total = 0;
    while (!rows->atEnd()) {
        AssetReportRow row;
        row.id = rows->intValue(QStringLiteral("Id"));
        row.name = rows->text(QStringLiteral("Namae"));
        row.balance = rows->int64(QStringLiteral("Zankin"));
        total = checkedAdd(*total, row.balance);
        if (!total || db.error()) {
            data.error = db.error() ? db.errorMessage() : QString::fromLatin1(kIntegerOverflow);
            data.rows.clear();
            return data;
        }
        data.rows.push_back(row);
        rows->moveNext();
    }
    data.total = *total;
    if (db.error()) {
        data.error = db.errorMessage();
    }
    return data;
}

namespace {
constexpr int32_t kFirstRowLine = 7;
constexpr int32_t kIdColumn = 2;
constexpr int32_t kNameColumn = 12;
constexpr int32_t kBalanceColumn = 30;
constexpr int32_t kTotalLabelColumn = 16;
constexpr int32_t kRuleEndColumn = 40;
constexpr int32_t kTitleSize = 16;
constexpr int32_t kHeadingSize = 12;
constexpr int32_t kAmountSize = 10;
const QString kTitle = QStringLiteral("現　有　資　産");
const QString kTotalLabel = QStringLiteral("資 産 残 合 計 ");

struct Heading
{
    QString text;
    int32_t column;
};
const Heading kHeadings[] = {{QStringLiteral("番号"), kIdColumn},
                             {QStringLiteral("名　　　前"), 10},
                             {QStringLiteral("残　金　（円）"), kBalanceColumn}};

void drawAssetHead(ReportSurface &g, const strPreVal &model, const QString &date)
{
    DrawPStr(g, model, kTitle, kTitleSize, 3, 14);
    DrawPStr(g, model, date, kAmountSize, 3, 40);
    for (const Heading &heading : kHeadings) {
        DrawPStr(g, model, heading.text, kHeadingSize, 6, heading.column);
    }
    DrawPline(g, model, 6, 1, 6, kRuleEndColumn, RuleStyle::Solid);
}

void drawBalance(ReportSurface &g, const strPreVal &model, int64_t balance, int32_t line)
{
    DrawPFigures(g, model, {{rightAlignedAmount(balance), kBalanceColumn}}, kAmountSize, line);
}
} // namespace

void paintAssetReport(ReportSurface &g, const strPreVal &model, const AssetReportData &data,
                      const QString &date)
{
    g.setBold(false);
    g.setUnderline(false);
    g.setTextFont(QStringLiteral("System"));
    g.setTextSize(static_cast<float>(model.BaseTextSize));
    g.setForeColor(QColor(0, 0, 0));

    // Accounts go down to the page's last line, then on under the same head on the next page.
    const int32_t lastLine = convertToInt32(model.LinesPerPage);
    const auto nextPage = [&] {
        g.nextPage();
        drawAssetHead(g, model, date);
    };
    drawAssetHead(g, model, date);
    int32_t line = kFirstRowLine;
    for (const AssetReportRow &row : data.rows) {
        if (line > lastLine) {
            nextPage();
            line = kFirstRowLine;
        }
        DrawPStr(g, model, QString::number(row.id), kAmountSize, line, kIdColumn);
        DrawPName(g, model, row.name, 10, line, kNameColumn, kBalanceColumn);
        drawBalance(g, model, row.balance, line);
        // A dotted rule under every fifth account of a page.
        if ((line - kFirstRowLine + 1) % 5 == 0) {
            DrawPline(g, model, line, 1, line, kRuleEndColumn, RuleStyle::Dotted);
        }
        ++line;
    }
    // The total two lines under the last account; where the page has no room for it, on the
    // next page as under a head without accounts.
    int32_t totalLine = line + 2;
    if (totalLine > lastLine) {
        nextPage();
        totalLine = kFirstRowLine + 2;
    }
    DrawPStr(g, model, kTotalLabel, kHeadingSize, totalLine, kTotalLabelColumn);
    drawBalance(g, model, data.total, totalLine);
}

GridRoom assetReportRoom()
{
    const QString widestFigure(10, u'0');
    GridRoom room;
    room.spans = {
        {kTitle, kTitleSize, 14, 40},
        // Today's date in its one form, whole inside the page.
        {QStringLiteral("0000/00/00"), kAmountSize, 40, 0},
        {kHeadings[0].text, kHeadingSize, kHeadings[0].column, kHeadings[1].column},
        {kHeadings[1].text, kHeadingSize, kHeadings[1].column, kHeadings[2].column},
        {kHeadings[2].text, kHeadingSize, kHeadings[2].column, 0},
        {widestFigure, kAmountSize, kIdColumn, kNameColumn},
        {widestFigure, kAmountSize, kBalanceColumn, 0},
        // The label's last character clear of a total that fills its ten places.
        {kTotalLabel.trimmed(), kHeadingSize, kTotalLabelColumn, kBalanceColumn},
        {QString(), kAmountSize, kRuleEndColumn, 0},
    };
    // Rules run under the heading and under every fifth account; the total stands three
    // lines under the last account, or under the heading on a page of its own.
    room.stacks = {
        {kHeadingSize, true, kAmountSize, 1}, {kAmountSize, true, kAmountSize, 1},
        {kAmountSize, true, kHeadingSize, 3}, {kHeadingSize, true, kHeadingSize, 3},
        {kTitleSize, false, kHeadingSize, 3},
    };
    room.firstLine = 3;
    room.firstSize = kTitleSize;
    room.lastSize = kHeadingSize;
    room.figureSize = kAmountSize;
    return room;
}

QByteArray assetReportCsv(const AssetReportData &data, const QString &date)
{
    QByteArray csv = csvLine({QStringLiteral("現　有　資　産 ,") + date});
    csv += csvLine({QStringLiteral("番号"), QStringLiteral("名前"), QStringLiteral("残金(円)")});
    for (const AssetReportRow &row : data.rows) {
        csv += csvLine({QString::number(row.id), row.name, QString::number(row.balance)});
    }
    csv += csvLine({QStringLiteral("資産残合計  , ") + QString::number(data.total)});
    return csv;
}
