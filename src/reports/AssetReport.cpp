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

void paintAssetReport(ReportSurface &g, const strPreVal &model, const AssetReportData &data,
                      const QString &date)
{
    g.setBold(false);
    g.setUnderline(false);
    g.setTextFont(QStringLiteral("System"));
    g.setTextSize(static_cast<float>(model.BaseTextSize));
    g.setForeColor(QColor(0, 0, 0));

    DrawPStr(g, model, QStringLiteral("現　有　資　産"), 16, 3, 14);
    DrawPStr(g, model, date, 10, 3, 40);
    DrawPStr(g, model, QStringLiteral("番号"), 12, 6, 2);
    DrawPStr(g, model, QStringLiteral("名　　　前"), 12, 6, 10);
    DrawPStr(g, model, QStringLiteral("残　金　（円）"), 12, 6, 30);
    DrawPline(g, model, 6, 1, 6, 40, RuleStyle::Solid);

    int32_t n = 0;
    for (const AssetReportRow &row : data.rows) {
        DrawPStr(g, model, QString::number(row.id), 10, n + 7, 2);
        DrawPStr(g, model, row.name, 10, n + 7, 12);
        DrawPStr(g, model, rightAlignedAmount(row.balance), 10, n + 7, 30);
        ++n;
        if (n % 5 == 0) {
            DrawPline(g, model, n + 6, 1, n + 6, 40, RuleStyle::Dotted);
        }
    }
    DrawPStr(g, model, QStringLiteral("資 産 残 合 計 "), 12, n + 9, 16);
    DrawPStr(g, model, rightAlignedAmount(data.total), 10, n + 9, 30);
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
