#pragma once
// The yearly report: for one year of the ledger, the income and expense of every sub-item
// month by month with the year's sum, the totals, and income minus expense. The statements,
// reading, drawing with its paging rule and the CSV text are plain functions; the report
// window decides when they run.

#include "reports/PageModel.h"
#include "reports/ReportGrid.h"
#include "reports/ReportSurface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class LedgerConnection;

// Months 1 to 12 at 0 to 11, the year at 12.
using MonthSums = std::array<int64_t, 13>;
// Figures in the same places, each of which may have no value.
using MonthFigures = std::array<std::optional<int64_t>, 13>;

enum class YearlyStatement
{
    IncomeRows,
    IncomeTotals,
    ExpenseRows,
    ExpenseTotals
};

struct YearlyReportRow
{
    QString name;
    MonthSums sums{};
};

struct YearlyReportData
{
    // In the order the statements return them.
    std::vector<YearlyReportRow> income;
    // None when its statement failed: the line's cells are then left empty, never shown as 0.
    std::optional<MonthSums> incomeTotals = MonthSums{};
    std::vector<YearlyReportRow> expense;
    std::optional<MonthSums> expenseTotals = MonthSums{};
    // The database's message of each statement that failed, in statement order. A failed
    // rows statement gives no rows, a failed totals statement no totals. A difference past
    // the 64-bit limit fails as SQL's SUM would ("integer overflow"), told with the expense
    // totals statement; those totals are exact and stay as read.
    std::array<std::optional<QString>, 4> errors;

    // Income minus expense, per month and for the year, each worked out on its own: none
    // where it passes the 64-bit limit, and none at all without both totals lines. Such a
    // cell is left empty on the page and in the CSV file while every other figure stays.
    MonthFigures difference() const;
};

struct ReportYears
{
    // The years as decimal texts, in the order the statement returns them.
    QStringList years;
    std::optional<QString> error;
};

inline constexpr const char *kReportYearsStatement = "Select DISTINCT Nen  FROM Items";
inline constexpr const char *kReportYearsFailure = "from Method DrawKakeiboReport     set Nen: ";
// The message prefix of each statement, in statement order, when drawing and when writing.
inline constexpr std::array<const char *, 4> kYearlyDrawFailures = {
    "from Method DrawKakeiboReport Syuunyuu: ", "from Method DrawSisanReport SyuunyuuGoukei: ",
    "from Method DrawKakeiboReport syusitu: ", "from Method DrawSisanReport SisyutuGoukei: "};
inline constexpr std::array<const char *, 4> kYearlyCsvFailures = {
    "from Method DrawKakeiboReport Syuunyuu: ", "from Method OutputKakeiboNendo SyuunyuuGoukei: ",
    "from Method OutputKakeiboReport syusitu: ", "from Method OutputSisanReport SisyutuGoukei: "};
inline constexpr const char *kYearlyCsvFileFailure = "from Method OutputKakeiboNendoCSV: ";
inline constexpr const char *kYearlyCsvDialogTitle = "年度別家計簿レポートをCSVファイルに書き出します";

ReportYears readReportYears(LedgerConnection &db);

// The statement text for year text Y; the months are pivoted in SQL and grouped by sub-item,
// so the work does not grow with the number of entries on the C++ side.
QString yearlyStatementText(YearlyStatement statement, const QString &year);

// Runs the four statements in order.
YearlyReportData readYearlyReport(LedgerConnection &db, const QString &year);

// The head of a page: title, date, month headings and the head rule.
void KRnendoHeader(ReportSurface &g, const strPreVal &model, const QString &year, const QString &date);
// The foot of a page: the two dotted vertical rules from line 4 down to lastLine; the rule
// beside the year column gives way where a long year figure reaches across it.
void KRnendoFooter(ReportSurface &g, const strPreVal &model, int32_t lastLine,
                   const std::vector<RuleGap> &yearGaps = {});

// The whole report on the model's grid, with a page step whenever a row or the income totals
// fall on line LinesPerPage - 2 or below (line 48 of a printed page). A sub-item name is cut
// with "…" before the name column's rule; figures that would touch are drawn smaller.
void paintYearlyReport(ReportSurface &g, const strPreVal &model, const YearlyReportData &data,
                       const QString &year, const QString &date);

// What a page needs of its grid for no text to meet another and no rule to run through a
// figure: the head, the names cut before the names' rule, and twelve months' figures of ten
// places each, December's clear of the year column's rule.
GridRoom yearlyReportRoom();

// The whole CSV file: fourteen fields on the heading and the data lines.
QByteArray yearlyReportCsv(const YearlyReportData &data, const QString &year, const QString &date);
