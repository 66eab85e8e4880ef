#pragma once
// The asset report: every asset account with its stored balance and the total of all
// balances. Reading the ledger, drawing the page and the CSV text are plain functions, so the
// report window only decides when they run.

#include "reports/PageModel.h"
#include "reports/ReportGrid.h"
#include "reports/ReportSurface.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class LedgerConnection;

struct AssetReportRow
{
    int32_t id = 0;
    QString name;
    int64_t balance = 0;
};

struct AssetReportData
{
    // In the table's row order.
    std::vector<AssetReportRow> rows;
    int64_t total = 0;
    // The database's message when the statement failed (the report then has no rows).
    std::optional<QString> error;
};

inline constexpr const char *kAssetReportStatement = "Select * FROM Sisan";
inline constexpr const char *kAssetDrawFailure = "from Method DrawSisanReport: ";
inline constexpr const char *kAssetCsvFailure = "from Method OutputSisanCSV: ";
inline constexpr const char *kAssetCsvDialogTitle = "資産レポートをCSVファイルに書き出します";

AssetReportData readAssetReport(LedgerConnection &db);

// The report on the model's grid; date is today's short date. Accounts that do not fit the
// page go on to further pages under the same head, and the total follows the last account.
// A long account name is cut with "…" before the balance column.
void paintAssetReport(ReportSurface &g, const strPreVal &model, const AssetReportData &data,
                      const QString &date);

// What the page needs of its grid for no text to meet another: the head, the account rows
// (a number of up to ten digits, the name cut before the balance) and the total under its label.
GridRoom assetReportRoom();

// The whole CSV file.
QByteArray assetReportCsv(const AssetReportData &data, const QString &date);
