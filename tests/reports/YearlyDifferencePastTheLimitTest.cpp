// A ledger written by another program whose yearly differences (income minus expense) pass
// the 64-bit limit in some cells: through the report window, those cells are left empty on
// the page and in the CSV file, every other figure is exact, and the overflow is told once.

#include "ReportTestSupport.h"

#include "platform/CheckedSum.h"
#include "platform/NumberFormat.h"
#include "platform/RollingDate.h"
#include "reports/PageModel.h"
#include "reports/PainterSurface.h"
#include "reports/ReportGrid.h"
#include "reports/YearlyReport.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr int64_t kTop = std::numeric_limits<int64_t>::max();

struct Booking
{
    int month;
    bool income;
    int64_t amount;
};

// Months 1 to 12 at 0 to 11, the year at 12: worked out wide so that nothing here wraps, and
// the figures of a report line, each of which may have no value.
using WideSums = std::array<__int128, 13>;
using Figures = std::array<std::optional<int64_t>, 13>;

struct LimitCase
{
    const char *what;
    std::vector<Booking> bookings;
    // The difference cells that pass the limit (0 is January, 12 the year).
    std::vector<int> emptyCells;
};

// Amounts as another program writes them: straight into the file, past every check of ours.
// Income to 給料/給料 (77), expense to 食費/食材 (2), all in 2024.
QStringList bookingStatements(const std::vector<Booking> &bookings)
{
    QStringList statements;
    for (const Booking &b : bookings) {
        statements.append(
            QStringLiteral(
                "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,%1,Bikou) "
                "VALUES ('2024-%2-10', 2024, %3, 10, 1, %4, %5, -1, %6, 'far')")
                .arg(b.income ? QStringLiteral("Nyuukin") : QStringLiteral("Syukkin"))
                .arg(b.month, 2, 10, QLatin1Char('0'))
                .arg(b.month)
                .arg(b.income ? 2 : 1)
                .arg(b.income ? 77 : 2)
                .arg(b.amount));
    }
    return statements;
}

WideSums sumsOf(const std::vector<Booking> &bookings, bool income)
{
    WideSums sums{};
    for (const Booking &b : bookings) {
        if (b.income == income) {
            sums[b.month - 1] += b.amount;
            sums[12] += b.amount;
        }
    }
    return sums;
}

Figures fitting(const WideSums &wide)
{
    Figures figures;
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] >= std::numeric_limits<int64_t>::min() && wide[i] <= kTop) {
            figures[i] = static_cast<int64_t>(wide[i]);
        }
    }
    return figures;
}

QByteArray csvFigures(const char *label, const Figures &figures)
{
    QStringList fields{QString::fromUtf8(label)};
    for (const std::optional<int64_t> &figure : figures) {
        fields.append(figure ? QString::number(*figure) : QString());
    }
    return fields.join(QStringLiteral(" , ")).toUtf8() + '\n';
}

// The rule under a grid line, half a top margin under its baseline.
int ruleUnder(const strPreVal &model, int line)
{
    return convertToInt32(getDrawPos(model, line, 1).Y + model.TopOffset / 2);
}

// The amounts of one grid line as they are on the page: from the January column to the page's
// edge, between the rules above and below the line, with the dotted rule that crosses every
// line before the year's column blanked.
QImage amountStrip(const QImage &page, const strPreVal &model, int line)
{
    const int left = getDrawPos(model, line, 31).X;
    const int top = ruleUnder(model, line - 1) + 1;
    QImage strip = page.copy(left, top, page.width() - left, ruleUnder(model, line) - top);
    const int rule = getDrawPos(model, line, 152).X - left;
    for (int y = 0; y < strip.height(); ++y) {
        strip.setPixel(rule, y, qRgb(255, 255, 255));
    }
    return strip;
}

// A page holding only the figures on that line, drawn as the report draws amounts: in size 8
// (smaller where one would touch the next), right-aligned, at the month columns and the year's
// column; a figure without value draws nothing.
QImage figuresOnly(const QImage &like, const strPreVal &model, int line, const Figures &figures)
{
    QImage page(like.size(), like.format());
    page.fill(Qt::white);
    PainterSurface surface(&page, model.PageHeight);
    std::vector<RowFigure> row;
    for (int cell = 0; cell < 13; ++cell) {
        if (figures[cell]) {
            row.push_back({rightAlignedAmount(*figures[cell]), cell < 12 ? 31 + 10 * cell : 151});
        }
    }
    DrawPFigures(surface, model, row, 8, line);
    surface.end();
    return page;
}

class YearlyDifferencePastTheLimitTest : public ReportTest
{
protected:
    // Opens the yearly report as the menu does (modal), keeps its page and model, writes the
    // CSV file through its command and closes it.
    void drawAndWrite(const QString &csv, QImage &page, strPreVal &model)
    {
        m_ui->fileAnswers.push_back(csv);
        withYearlyReport([&](wndPrev *report) {
            if (report->PBffer()) {
                page = report->PBffer()->copy();
            }
            model = report->pPVal();
            report->findChild<QPushButton *>(QStringLiteral("pbtCsvOutput"))->click();
        });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(YearlyDifferencePastTheLimitTest, OnlyTheCellsPastTheLimitAreLeftEmpty)
{
    const LimitCase cases[] = {
        {"January's difference passes the top, the year's fits",
         {{1, true, kTop}, {1, false, -1}, {2, false, 1000}},
         {0}},
        {"only the year's difference passes the top", {{1, true, kTop}, {2, false, -1}}, {12}},
        {"January's and the year's pass the top, February's beside them fits",
         {{1, true, kTop}, {1, false, -1}, {2, true, -5}, {2, false, -10}},
         {0, 12}},
        {"December's passes the bottom, the year's fits",
         {{12, true, -kTop}, {12, false, 2}, {3, true, 100}},
         {11}},
    };
    const QString csv = path(QStringLiteral("yearly.csv"));
    const QString date = RollingDate::today().shortDate();
    for (const LimitCase &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Items"));
        writeWithSqlite(path(QStringLiteral("report.sqlf")), bookingStatements(c.bookings));
        m_ui->messages.clear();

        const WideSums income = sumsOf(c.bookings, true);
        const WideSums expense = sumsOf(c.bookings, false);
        WideSums wideDifference{};
        for (size_t i = 0; i < wideDifference.size(); ++i) {
            wideDifference[i] = income[i] - expense[i];
        }
        const Figures incomeTotals = fitting(income);
        const Figures expenseTotals = fitting(expense);
        const Figures difference = fitting(wideDifference);
        std::vector<int> empty;
        for (int i = 0; i < 13; ++i) {
            ASSERT_TRUE(incomeTotals[i] && expenseTotals[i]) << "the totals themselves must fit";
            if (!difference[i]) {
                empty.push_back(i);
            }
        }
        ASSERT_EQ(empty, c.emptyCells) << "the case is built otherwise than it says";

        QImage page;
        strPreVal model;
        drawAndWrite(csv, page, model);

        // The overflow is told once for the drawing and once for the file, with the expense
        // totals statement's prefix; nothing else failed.
        const QString overflow = QString::fromLatin1(kIntegerOverflow);
        EXPECT_EQ(m_ui->messages, QStringList({QString::fromUtf8(kYearlyDrawFailures[3]) + overflow,
                                               QString::fromUtf8(kYearlyCsvFailures[3]) + overflow}));

        const QByteArray expected =
            "2024 年度　レポート , " + date.toUtf8() + "\n" + kYearlyCsvHeading + "収入\n" +
            csvFigures("給料/給料", incomeTotals) + csvFigures("収入合計", incomeTotals) + "支出\n" +
            csvFigures("食費/食材", expenseTotals) + csvFigures("支出合計", expenseTotals) +
            csvFigures("差引合計", difference);
        EXPECT_EQ(readFileBytes(csv).toStdString(), expected.toStdString());

        // One row in each section: the income row on line 6, its totals on 7, the expense row
        // on 9, its totals on 10 and the difference on 11.
        ASSERT_FALSE(page.isNull());
        const struct
        {
            const char *what;
            int line;
            const Figures &figures;
        } drawn[] = {
            {"income row", 6, incomeTotals},   {"income totals", 7, incomeTotals},
            {"expense row", 9, expenseTotals}, {"expense totals", 10, expenseTotals},
            {"difference", 11, difference},
        };
        for (const auto &line : drawn) {
            EXPECT_TRUE(amountStrip(page, model, line.line) ==
                        amountStrip(figuresOnly(page, model, line.line, line.figures), model, line.line))
                << "the " << line.what << " line is drawn otherwise than its figures";
        }
    }
}

} // namespace
