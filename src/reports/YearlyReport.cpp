#include "reports/YearlyReport.h"

#include "platform/CheckedSum.h"
#include "platform/LedgerConnection.h"
#include "platform/NumberFormat.h"
#include "reports/CsvFile.h"
#include "reports/ReportGrid.h"

#include <algorithm>

namespace {
constexpr int32_t kNameColumn = 1;
// The dotted rules of the foot: after the names and before the year's figures.
constexpr int32_t kNameRuleColumn = 30;
constexpr int32_t kYearRuleColumn = 152;
constexpr int32_t kYearColumn = 151;
constexpr int32_t kRuleEndColumn = 160;
constexpr int32_t kTitleColumn = 14;
constexpr int32_t kDateColumn = 50;
constexpr int32_t kYearHeadingColumn = 153;
constexpr int32_t kTitleSize = 12;
constexpr int32_t kNameSize = 10;
constexpr int32_t kAmountSize = 8;
const QString kTitleTail = QStringLiteral(" 年度　レポート");
const QString kYearHeading = QStringLiteral("合　計");
const QString kIncomeTotalsLabel = QStringLiteral("  収  入  合  計");

int32_t monthColumn(int month)
{
    return 31 + 10 * (month - 1);
}

int32_t monthHeadingColumn(int month)
{
    return 33 + 10 * (month - 1);
}

QString monthHeading(int month)
{
    return QString::number(month) + QStringLiteral(" 月");
}

MonthSums readSums(const RowSet &rows)
{
    MonthSums sums{};
    for (int i = 0; i < 13; ++i) {
        sums[i] = rows.int64At(i + 1);
    }
    return sums;
}

std::vector<YearlyReportRow> readRows(LedgerConnection &db, const QString &sql, std::optional<QString> &error)
{
    std::vector<YearlyReportRow> result;
    auto rows = db.select(sql);
    if (!rows) {
        error = db.errorMessage();
        return result;
    }
    while (!rows->atEnd()) {
        YearlyReportRow row{rows->textAt(0), readSums(*rows)};
        if (db.error()) {
            // A sum past the 64-bit limit: the statement fails here, that row unshown.
            break;
        }
        result.push_back(std::move(row));
        rows->moveNext();
    }
    if (db.error()) {
        error = db.errorMessage();
    }
    return result;
}

std::optional<MonthSums> readTotals(LedgerConnection &db, const QString &sql, std::optional<QString> &error)
{
    auto rows = db.select(sql);
    if (!rows) {
        error = db.errorMessage();
        return std::nullopt;
    }
    const MonthSums sums = rows->atEnd() ? MonthSums{} : readSums(*rows);
    if (db.error()) {
        error = db.errorMessage();
        return std::nullopt;
    }
    return sums;
}

// A figure that has no value leaves its cell empty; the cells beside it keep their places.
// Returns where the foot's rule beside the year column must give way to the year's figure:
// nowhere, unless that figure reaches across it.
template <typename Figures>
std::optional<RuleGap> drawAmounts(ReportSurface &g, const strPreVal &model, const Figures &figures,
                                   int32_t line)
{
    std::vector<RowFigure> row;
    for (int i = 0; i < 13; ++i) {
        const std::optional<int64_t> figure = figures[i];
        if (figure) {
            row.push_back({rightAlignedAmount(*figure), i < 12 ? monthColumn(i + 1) : kYearColumn});
        }
    }
    const std::vector<FigurePlacement> placements = DrawPFigures(g, model, row, kAmountSize, line);
    if (row.empty() || row.back().column != kYearColumn) {
        return std::nullopt;
    }
    const double ruleX = getDrawPos(model, line, kYearRuleColumn).X;
    if (placements.back().digitsLeft > ruleX + 1 || placements.back().digitsRight < ruleX) {
        return std::nullopt;
    }
    // The digits stand on the baseline and rise by the capital height; a pixel more on
    // either side keeps the dashes from touching them.
    g.setTextSize(scaledTextSize(model, placements.back().size));
    const double baseline = getDrawPos(model, line, kYearColumn).Y;
    return RuleGap{baseline - g.metrics().capHeight() - 1, baseline + 1};
}

// A totals line that could not be read: every cell empty.
MonthFigures figuresOf(const std::optional<MonthSums> &sums)
{
    MonthFigures figures;
    if (sums) {
        std::copy(sums->begin(), sums->end(), figures.begin());
    }
    return figures;
}

template <typename Figures> QStringList sumFields(const Figures &figures)
{
    QStringList fields;
    for (const std::optional<int64_t> figure : figures) {
        fields.append(figure ? QString::number(*figure) : QString());
    }
    return fields;
}
} // namespace

MonthFigures YearlyReportData::difference() const
{
    MonthFigures result;
    if (!incomeTotals || !expenseTotals) {
        return result;
    }
    for (size_t i = 0; i < result.size(); ++i) {
        result[i] = checkedSub((*incomeTotals)[i], (*expenseTotals)[i]);
    }
    return result;
}

ReportYears readReportYears(LedgerConnection &db)
{
    ReportYears result;
    auto rows = db.select(QString::fromLatin1(kReportYearsStatement));
    if (!rows) {
        result.error = db.errorMessage();
        return result;
    }
    while (!rows->atEnd()) {
        // Read as a number, so the year text that goes into the report statements is always
        // plain digits.
        result.years.append(QString::number(rows->int64(QStringLiteral("Nen"))));
        rows->moveNext();
    }
    if (db.error()) {
        result.error = db.errorMessage();
    }
    return result;
}

QString yearlyStatementText(YearlyStatement statement, const QString &year)
{
    QString monthColumns;
    for (int m = 1; m <= 12; ++m) {
        monthColumns += QStringLiteral(" , SUM(CASE WHEN Tuki = %1 THEN Nyuukin END) AS g%1").arg(m);
    }
    QString yearColumn =
        QStringLiteral(",SUM(CASE WHEN Nen=") + year + QStringLiteral(" THEN Nyuukin END) AS N") + year;
    const bool expense =
        statement == YearlyStatement::ExpenseRows || statement == YearlyStatement::ExpenseTotals;
    if (expense) {
        monthColumns.replace(QStringLiteral("Nyuukin"), QStringLiteral("Syukkin"));
        yearColumn.replace(QStringLiteral("Nyuukin"), QStringLiteral("Syukkin"));
    }
    const bool rows = statement == YearlyStatement::IncomeRows || statement == YearlyStatement::ExpenseRows;
    QString sql = rows ? QStringLiteral("Select Himoku.Namae ") : QStringLiteral("SELECT Items.SyubetuNo ");
    sql += monthColumns + yearColumn;
    sql += QStringLiteral("  FROM Items JOIN Himoku ON Items.HimokuNo=Himoku.Id");
    sql += QStringLiteral("  WHERE Nen=") + year + QStringLiteral(" AND Items.SyubetuNo=");
    sql += expense ? QStringLiteral("1") : QStringLiteral("2");
    if (rows) {
        sql += QStringLiteral(" GROUP BY Items.HimokuNo");
    }
    return sql;
}

YearlyReportData readYearlyReport(LedgerConnection &db, const QString &year)
{
    YearlyReportData data;
    data.income = readRows(db, yearlyStatementText(YearlyStatement::IncomeRows, year), data.errors[0]);
    data.incomeTotals =
        readTotals(db, yearlyStatementText(YearlyStatement::IncomeTotals, year), data.errors[1]);
    data.expense = readRows(db, yearlyStatementText(YearlyStatement::ExpenseRows, year), data.errors[2]);
    data.expenseTotals =
        readTotals(db, yearlyStatementText(YearlyStatement::ExpenseTotals, year), data.errors[3]);
    // The difference is worked out as the expense totals are taken away: past the 64-bit
    // limit, that read fails as SQL's SUM would, once for all the cells that passed it. The
    // totals themselves are exact, so they stay, and so does every difference that fits.
    // Without both totals there is no difference to take, and nothing more to tell.
    if (data.incomeTotals && data.expenseTotals) {
        const MonthFigures difference = data.difference();
        if (std::any_of(difference.begin(), difference.end(), [](const auto &cell) { return !cell; })) {
            data.errors[3] = QString::fromLatin1(kIntegerOverflow);
        }
    }
    return data;
}

void KRnendoHeader(ReportSurface &g, const strPreVal &model, const QString &year, const QString &date)
{
    DrawPStr(g, model, year + kTitleTail, kTitleSize, 2, kTitleColumn);
    DrawPStr(g, model, date, kNameSize, 2, kDateColumn);
    for (int m = 1; m <= 12; ++m) {
        DrawPStr(g, model, monthHeading(m), kNameSize, 4, monthHeadingColumn(m));
    }
    DrawPStr(g, model, kYearHeading, kNameSize, 4, kYearHeadingColumn);
    DrawPline(g, model, 4, 1, 4, kRuleEndColumn, RuleStyle::Solid);
}

void KRnendoFooter(ReportSurface &g, const strPreVal &model, int32_t lastLine,
                   const std::vector<RuleGap> &yearGaps)
{
    DrawPlineVertical(g, model, 4, kNameRuleColumn, lastLine, kNameRuleColumn, RuleStyle::Dotted);
    DrawPlineVertical(g, model, 4, kYearRuleColumn, lastLine, kYearRuleColumn, RuleStyle::Dotted, yearGaps);
}

void paintYearlyReport(ReportSurface &g, const strPreVal &model, const YearlyReportData &data,
                       const QString &year, const QString &date)
{
    KRnendoHeader(g, model, year, date);
    DrawPStr(g, model, QStringLiteral("  収  入"), kNameSize, 5, kNameColumn);
    int32_t line = 6;
    // Where the year column's rule gives way on the page being drawn.
    std::vector<RuleGap> yearGaps;
    const auto drawFigures = [&](const auto &figures) {
        if (const std::optional<RuleGap> gap = drawAmounts(g, model, figures, line)) {
            yearGaps.push_back(*gap);
        }
    };

    // Rows and the income totals may end a page; the expense title, the expense totals and
    // the difference never do (they still fit: at most lines 49 and 50 of a printed page).
    const auto pageStepDecision = [&](int32_t drawnLine) {
        if (drawnLine >= model.LinesPerPage - 2) {
            KRnendoFooter(g, model, drawnLine, yearGaps);
            yearGaps.clear();
            g.nextPage();
            KRnendoHeader(g, model, year, date);
            line = 5;
        } else {
            ++line;
        }
    };
    const auto drawRows = [&](const std::vector<YearlyReportRow> &rows) {
        for (const YearlyReportRow &row : rows) {
            DrawPName(g, model, row.name, kNameSize, line, kNameColumn, kNameRuleColumn);
            drawFigures(row.sums);
            pageStepDecision(line);
        }
    };
    const auto drawTotals = [&](const QString &label, const std::optional<MonthSums> &sums) {
        DrawPline(g, model, line - 1, 1, line - 1, kRuleEndColumn, RuleStyle::Dotted);
        DrawPStr(g, model, label, kNameSize, line, kNameColumn);
        drawFigures(figuresOf(sums));
        DrawPline(g, model, line, 1, line, kRuleEndColumn, RuleStyle::Solid);
    };

    drawRows(data.income);
    drawTotals(kIncomeTotalsLabel, data.incomeTotals);
    pageStepDecision(line);

    DrawPStr(g, model, QStringLiteral("  支  出"), kNameSize, line, kNameColumn);
    ++line;
    drawRows(data.expense);
    drawTotals(QStringLiteral("  支  出  合  計"), data.expenseTotals);

    ++line;
    DrawPStr(g, model, QStringLiteral("  差  引  合  計"), kNameSize, line, kNameColumn);
    drawFigures(data.difference());
    KRnendoFooter(g, model, line, yearGaps);
}

GridRoom yearlyReportRoom()
{
    const QString widestFigure(10, u'0');
    GridRoom room;
    room.spans = {
        {QStringLiteral("0000") + kTitleTail, kTitleSize, kTitleColumn, kDateColumn},
        {QStringLiteral("0000/00/00"), kNameSize, kDateColumn, 0},
        {kYearHeading, kNameSize, kYearHeadingColumn, 0},
        // The totals labels are as long as the difference's, and are not cut.
        {kIncomeTotalsLabel, kNameSize, kNameColumn, kNameRuleColumn},
        {widestFigure, kAmountSize, kYearColumn, 0},
        {QString(), kNameSize, kRuleEndColumn, 0},
    };
    for (int m = 1; m <= 12; ++m) {
        room.spans.push_back({monthHeading(m), kNameSize, monthHeadingColumn(m),
                              m < 12 ? monthHeadingColumn(m + 1) : kYearHeadingColumn});
        // December's digits end before the year column's rule.
        room.spans.push_back(
            {widestFigure, kAmountSize, monthColumn(m), m < 12 ? monthColumn(m + 1) : kYearRuleColumn});
    }
    // Every line from the head's down may have a rule under it: the head rule, the dotted
    // rule above a totals line and the solid one on it.
    room.stacks = {
        {kNameSize, true, kNameSize, 1},
        {kTitleSize, false, kNameSize, 2},
    };
    room.firstLine = 2;
    room.firstSize = kTitleSize;
    room.lastSize = kNameSize;
    room.figureSize = kAmountSize;
    return room;
}

QByteArray yearlyReportCsv(const YearlyReportData &data, const QString &year, const QString &date)
{
    QByteArray csv = csvLine({year + QStringLiteral(" 年度　レポート , ") + date});
    QStringList heading{QString()};
    for (int m = 1; m <= 12; ++m) {
        heading.append(QString::number(m) + QStringLiteral(" 月"));
    }
    heading.append(QStringLiteral("合計"));
    csv += csvLine(heading);

    const auto writeSection = [&](const QString &title, const std::vector<YearlyReportRow> &rows,
                                  const QString &totalsLabel, const std::optional<MonthSums> &totals) {
        csv += csvLine({title});
        for (const YearlyReportRow &row : rows) {
            csv += csvLine(QStringList{row.name} + sumFields(row.sums));
        }
        csv += csvLine(QStringList{totalsLabel} + sumFields(figuresOf(totals)));
    };
    writeSection(QStringLiteral("収入"), data.income, QStringLiteral("収入合計"), data.incomeTotals);
    writeSection(QStringLiteral("支出"), data.expense, QStringLiteral("支出合計"), data.expenseTotals);
    csv += csvLine(QStringList{QStringLiteral("差引合計")} + sumFields(data.difference()));
    return csv;
}
