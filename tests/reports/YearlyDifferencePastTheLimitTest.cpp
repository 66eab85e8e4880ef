// A ledger written by another program whose yearly differences (income minus expense) pass
// the 64-bit limit in some cells: through the report window, those cells are left empty on
// the page and in the CSV file, every other figure is exact, and the overflow is told once.
// The same when a totals line itself passes the limit: that line and every difference are
// left empty.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
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

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace {

constexpr int64_t kTop = std::numeric_limits<int64_t>::max();

struct Booking
{
    int month;
    bool income;
    int64_t amount;
    // 0 books to 給料/給料 (77) for income and to 食費/食材 (2) for expense.
    int32_t subItem = 0;
};

int32_t subItemOf(const Booking &b)
{
    return b.subItem ? b.subItem : b.income ? 77 : 2;
}

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
// All in 2024.
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
                .arg(subItemOf(b))
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

// Sums of the bookings of each sub-item of one kind, in sub-item order as the statements
// group them.
std::map<int32_t, WideSums> rowSums(const std::vector<Booking> &bookings, bool income)
{
    std::map<int32_t, WideSums> rows;
    for (const Booking &b : bookings) {
        if (b.income == income) {
            WideSums &sums = rows[subItemOf(b)];
            sums[b.month - 1] += b.amount;
            sums[12] += b.amount;
        }
    }
    return rows;
}

struct TotalsCase
{
    const char *what;
    std::vector<Booking> bookings;
    // Which totals line passes the limit: that statement fails as SQL's SUM does.
    bool incomeFails;
};

TEST_F(YearlyDifferencePastTheLimitTest, AFailedTotalsLineAndEveryDifferenceAreLeftEmpty)
{
    // Every row fits; only the sum of two rows in January passes the top. March alone would
    // give the difference 70, or 100 - 0 from a totals line taken for zeros.
    const TotalsCase cases[] = {
        {"expense totals pass the top",
         {{3, true, 100}, {1, false, kTop, 2}, {1, false, 1, 3}, {3, false, 30, 3}},
         false},
        {"income totals pass the top",
         {{1, true, kTop, 77}, {1, true, 1, 83}, {3, true, 100, 83}, {3, false, 30}},
         true},
    };
    const QString csv = path(QStringLiteral("yearly.csv"));
    const QString date = RollingDate::today().shortDate();
    const auto nameOf = [this](int32_t subItem) {
        auto rows = KakeiboDB->select(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = %1").arg(subItem));
        return rows && !rows->atEnd() ? rows->textAt(0).toUtf8() : QByteArray();
    };
    for (const TotalsCase &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Items"));
        writeWithSqlite(path(QStringLiteral("report.sqlf")), bookingStatements(c.bookings));
        m_ui->messages.clear();

        const std::map<int32_t, WideSums> incomeRows = rowSums(c.bookings, true);
        const std::map<int32_t, WideSums> expenseRows = rowSums(c.bookings, false);
        const Figures incomeTotals = c.incomeFails ? Figures{} : fitting(sumsOf(c.bookings, true));
        const Figures expenseTotals = c.incomeFails ? fitting(sumsOf(c.bookings, false)) : Figures{};
        const Figures &readTotals = c.incomeFails ? expenseTotals : incomeTotals;
        ASSERT_TRUE(std::all_of(readTotals.begin(), readTotals.end(), [](const auto &cell) { return cell; }))
            << "the other totals line must fit";

        QImage page;
        strPreVal model;
        drawAndWrite(csv, page, model);

        // The failed statement is told once for the drawing and once for the file; no
        // overflow of a difference is told beside it.
        const size_t failed = c.incomeFails ? 1 : 3;
        const QString overflow = QString::fromLatin1(kIntegerOverflow);
        EXPECT_EQ(m_ui->messages, QStringList({QString::fromUtf8(kYearlyDrawFailures[failed]) + overflow,
                                               QString::fromUtf8(kYearlyCsvFailures[failed]) + overflow}));

        // The lines of the page: income rows from line 6, then their totals, the expense
        // title, the expense rows, their totals and the difference.
        struct Line
        {
            QByteArray label;
            int line;
            Figures figures;
        };
        std::vector<Line> lines;
        int line = 6;
        for (const auto &[subItem, sums] : incomeRows) {
            lines.push_back({nameOf(subItem), line++, fitting(sums)});
        }
        lines.push_back({QByteArray("収入合計"), line, incomeTotals});
        line += 2;
        for (const auto &[subItem, sums] : expenseRows) {
            lines.push_back({nameOf(subItem), line++, fitting(sums)});
        }
        lines.push_back({QByteArray("支出合計"), line++, expenseTotals});
        lines.push_back({QByteArray("差引合計"), line, Figures{}});

        QByteArray expected = "2024 年度　レポート , " + date.toUtf8() + "\n" + kYearlyCsvHeading;
        for (const Line &l : lines) {
            if (l.line == 6) {
                expected += "収入\n";
            } else if (l.line == 8 + static_cast<int>(incomeRows.size())) {
                expected += "支出\n";
            }
            expected += csvFigures(l.label.constData(), l.figures);
        }
        EXPECT_EQ(readFileBytes(csv).toStdString(), expected.toStdString());

        ASSERT_FALSE(page.isNull());
        for (const Line &l : lines) {
            EXPECT_TRUE(amountStrip(page, model, l.line) ==
                        amountStrip(figuresOnly(page, model, l.line, l.figures), model, l.line))
                << "the " << l.label.toStdString() << " line is drawn otherwise than its figures";
        }
    }
}

} // namespace
