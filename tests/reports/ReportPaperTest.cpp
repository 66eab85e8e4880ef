#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/PageSetup.h"
#include "platform/RollingDate.h"
#include "reports/AssetReport.h"
#include "reports/PainterSurface.h"
#include "reports/RecordingSurface.h"
#include "reports/YearlyReport.h"
#include "reports/wndPrev.h"

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {
class ReportPaperTest : public ReportTest
{
protected:
    // The kept page setup the next print uses without asking.
    static void keepSetup(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation,
                          const QMarginsF &margins)
    {
        gPS.setLayout(QPageLayout(QPageSize(paper), orientation, margins, QPageLayout::Millimeter));
        gPrinter.SetupDone = true;
    }

    static void clickPrint()
    {
        wndPrev::instance()->findChild<QPushButton *>(QStringLiteral("pbtPrint"))->click();
    }

    void printAssetReport(const QString &pdf)
    {
        wndPrev::openReport(kAssetReport);
        m_ui->printAnswers.push_back(pdf);
        clickPrint();
        closeReportWindow();
    }

    void printYearlyReport(const QString &pdf)
    {
        m_ui->printAnswers.push_back(pdf);
        withYearlyReport([](wndPrev *) { clickPrint(); });
    }

    void setAccounts(const QStringList &names)
    {
        exec(QStringLiteral("DELETE FROM Sisan"));
        for (int i = 0; i < names.size(); ++i) {
            exec(QStringLiteral("INSERT INTO Sisan VALUES (%1, '%2', 0, %3)")
                     .arg(i + 1)
                     .arg(names[i])
                     .arg((i + 1) * 1000));
        }
    }

    // Names 口座001, 口座002, ...
    static QStringList numberedAccounts(int count)
    {
        QStringList names;
        for (int i = 1; i <= count; ++i) {
            names.append(QStringLiteral("口座%1").arg(i, 3, 10, QLatin1Char('0')));
        }
        return names;
    }

    // Both reports on one page with the texts that need the most room: a name cut before
    // the next column, names with descenders, figures of ten and eleven characters, among
    // them December's beside the year column's rule and year totals reaching across it.
    void addPaperFixture()
    {
        setAccounts({QStringLiteral("現金"), QStringLiteral("預金"), kLongAccount, QStringLiteral("カード"),
                     QStringLiteral("証券口座"), QStringLiteral("財布"), QStringLiteral("定期預金"),
                     QStringLiteral("Wallet(gy)")});
        const qint64 balances[] = {12000, -1500000000, 1234567890, -3500, 1999999999, 0, 250000, 77};
        for (int i = 0; i < 8; ++i) {
            exec(QStringLiteral("UPDATE Sisan SET Zankin = %1 WHERE Id = %2").arg(balances[i]).arg(i + 1));
        }
        exec(QStringLiteral("INSERT INTO Himoku VALUES (900, 2, '%1', 76, 0)").arg(kLongSubItem));
        addEntry(2024, 1, 25, 1, 2, 77, 300000);
        addEntry(2024, 6, 30, 1, 2, 77, 1000000038);
        addEntry(2024, 12, 25, 1, 2, 77, 300000);
        addEntry(2024, 6, 30, 2, 2, 83, 12);
        addEntry(2024, 1, 10, 1, 2, 900, 5000);
        addEntry(2024, 1, 3, 1, 1, 2, 4000);
        addEntry(2024, 3, 1, 1, 1, 2, 2500);
        addEntry(2024, 2, 14, 1, 1, 13, 8000);
        addEntry(2024, 12, 31, 1, 1, 3, 999999999);
    }
    // In kana: the CJK face's kanji read back from the PDF partly as radicals NFKC leaves alone.
    const QString kLongAccount = QStringLiteral("とてもながいこうざのなまえをここまでかいてしまいました");
    const QString kLongSubItem = QStringLiteral("とてもながいなまえのひもく/さらにながいなまえのこうもく");

    // Income sub-items 'extra/N' with one income entry each in 2024: a yearly report of
    // count + 5 lines and more.
    void addIncomeSubItems(int count)
    {
        for (int i = 0; i < count; ++i) {
            exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 2, 'extra/%1', 76, 0)").arg(1000 + i));
            addEntry(2024, 1 + i % 12, 1, 1, 2, 1000 + i, 1 + i);
        }
    }
};

QString today()
{
    return RollingDate::today().shortDate();
}

QStringList textsOf(const QList<PdfWord> &words, int page)
{
    QStringList texts;
    for (const PdfWord &word : words) {
        if (word.page == page) {
            texts.append(word.text);
        }
    }
    return texts;
}

const PdfWord *findWord(const QList<PdfWord> &words, const QString &text)
{
    for (const PdfWord &word : words) {
        if (word.text == text) {
            return &word;
        }
    }
    return nullptr;
}

// The printable rectangle of a paper in points, from the paper's top left corner.
QRectF printableArea(QPageSize::PageSizeId paper, QPageLayout::Orientation orientation,
                     const QMarginsF &margins)
{
    const QPageLayout layout(QPageSize(paper), orientation, margins, QPageLayout::Millimeter);
    return layout.paintRectPoints();
}

bool isFigure(const QString &text)
{
    static const QRegularExpression figure(QStringLiteral("^-?[0-9]+$"));
    return figure.match(text).hasMatch();
}

bool onOneLine(const PdfWord &a, const PdfWord &b)
{
    // Boxes of neighbouring lines overlap on a low page; each word's middle lies in the other.
    const auto holds = [](const QRectF &box, double y) { return box.top() < y && y < box.bottom(); };
    return a.page == b.page && holds(a.box, b.box.center().y()) && holds(b.box, a.box.center().y());
}

// The printable size in points of a paper set up in one orientation, turned to the report's,
// as the print turns it.
QSize printableSize(QPageSize::PageSizeId paper, QPageLayout::Orientation setup, const QMarginsF &margins,
                    QPageLayout::Orientation report)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(QPageLayout(QPageSize(paper), setup, margins, QPageLayout::Millimeter));
    printer.setPageOrientation(report);
    printer.setResolution(72);
    return QSize(printer.width(), printer.height());
}

// The pages kept from before, beside this file.
QString referenceFile(const QString &name)
{
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/data/") + name;
}

// A word as the reference lists keep it: page, box and text, today's date as "<date>".
QString wordLine(const PdfWord &word)
{
    const QString text = word.text == today() ? QStringLiteral("<date>") : word.text;
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(word.page)
        .arg(word.box.left(), 0, 'f', 3)
        .arg(word.box.top(), 0, 'f', 3)
        .arg(word.box.right(), 0, 'f', 3)
        .arg(word.box.bottom(), 0, 'f', 3)
        .arg(text);
}

// Where a recorded figure's digits stand: from the end of its padding blanks to its end,
// from its baseline up by the digits' height.
QList<QRectF> figureDigits(const RecordingSurface &g)
{
    QList<QRectF> digits;
    for (const auto &op : g.texts()) {
        const QString figure = op.text.trimmed();
        if (!isFigure(figure)) {
            continue;
        }
        const QFontMetricsF metrics(ReportSurface::reportFont(op.font, op.bold, op.underline, op.size));
        const double left = op.x1 + metrics.horizontalAdvance(op.text.left(op.text.indexOf(figure)));
        const double right = op.x1 + metrics.horizontalAdvance(op.text);
        digits.append(QRectF(QPointF(left, op.y1 - metrics.capHeight()), QPointF(right, op.y1)));
    }
    return digits;
}

// The grid line a recorded text or rule end stands on, 0 for none.
int lineOf(const strPreVal &model, int y)
{
    for (int line = 1; line <= 100; ++line) {
        if (getDrawPos(model, line, 1).Y == y) {
            return line;
        }
    }
    return 0;
}
} // namespace

TEST_F(ReportPaperTest, AssetAccountsPastThePageGoOnUnderTheSameHeadWithTheTotalAfterTheLast)
{
    // 44 accounts fill a printed page (lines 7 to 50); the total needs two lines more.
    const struct
    {
        int accounts;
        QPageSize::PageSizeId paper;
        double margin;
        int pages;
    } cases[] = {
        {41, QPageSize::A4, 10, 1}, {42, QPageSize::A5, 30, 2},   {44, QPageSize::Letter, 25, 2},
        {70, QPageSize::A4, 10, 2}, {88, QPageSize::JisB5, 0, 3}, {70, QPageSize::A3, 30, 2},
    };
    for (const auto &c : cases) {
        const QString what = QStringLiteral("%1 accounts on %2 at %3 mm")
                                 .arg(c.accounts)
                                 .arg(QPageSize(c.paper).name())
                                 .arg(c.margin);
        SCOPED_TRACE(what.toStdString());
        const QStringList names = numberedAccounts(c.accounts);
        setAccounts(names);
        const QMarginsF margins(c.margin, c.margin, c.margin, c.margin);
        keepSetup(c.paper, QPageLayout::Portrait, margins);
        const QString pdf = path(QStringLiteral("asset-%1-%2.pdf").arg(c.accounts).arg(c.margin));
        printAssetReport(pdf);
        EXPECT_EQ(pdfPageCount(pdf), c.pages);

        const QList<PdfWord> words = pdfWords(pdf);
        // Every account once, in order, each page under the head.
        QStringList printed;
        for (const PdfWord &word : words) {
            if (word.text.startsWith(QStringLiteral("口座"))) {
                printed.append(word.text);
            }
        }
        EXPECT_EQ(printed, names);
        for (int page = 1; page <= c.pages; ++page) {
            const QStringList texts = textsOf(words, page);
            for (const QString &head :
                 {QStringLiteral("現"), QStringLiteral("番号"), QStringLiteral("(円)"), today()}) {
                EXPECT_EQ(texts.count(head), 1) << "page " << page << " " << head.toStdString();
            }
        }
        // The total once, on the last page, under the last account.
        const QString total = QString::number(500LL * c.accounts * (c.accounts + 1));
        const PdfWord *label = findWord(words, QStringLiteral("計"));
        const PdfWord *figure = findWord(words, total);
        ASSERT_TRUE(label && figure);
        EXPECT_EQ(textsOf(words, c.pages).count(QStringLiteral("計")), 1);
        EXPECT_EQ(figure->page, c.pages);
        const PdfWord *last = findWord(words, names.back());
        ASSERT_TRUE(last);
        EXPECT_TRUE(last->page < figure->page || last->box.bottom() < figure->box.top());
        // Nothing runs past the top or bottom margin: no row is cut at the paper's edge.
        const QRectF area = printableArea(c.paper, QPageLayout::Portrait, margins);
        for (const PdfWord &word : words) {
            EXPECT_GE(word.box.top(), area.top() - 1) << word.text.toStdString() << " on page " << word.page;
            EXPECT_LE(word.box.bottom(), area.bottom() + 1)
                << word.text.toStdString() << " on page " << word.page;
        }
    }
}

TEST_F(ReportPaperTest, AssetPreviewGrowsByAPageWhereTheAccountsPassTheFirst)
{
    // The preview page holds 54 accounts (lines 7 to 60); the 70 go on to a second page.
    setAccounts(numberedAccounts(70));
    wndPrev::openReport(kAssetReport);
    ASSERT_TRUE(wndPrev::exists());
    const QImage *picture = wndPrev::instance()->PBffer();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(595, 2 * 847));

    const strPreVal preview = *previewPageModel(kAssetReport);
    RecordingSurface g;
    paintAssetReport(g, preview, readAssetReport(*KakeiboDB), today());
    EXPECT_EQ(g.pageCount(), 2);
    for (const auto &op : g.texts()) {
        if (op.text == QStringLiteral("口座055")) {
            EXPECT_EQ(op.page, 2);
            EXPECT_EQ(lineOf(preview, op.y1), 7);
        }
        if (op.text == QStringLiteral("資 産 残 合 計 ")) {
            EXPECT_EQ(op.page, 2);
            EXPECT_EQ(lineOf(preview, op.y1), 7 + 16 + 2);
        }
        EXPECT_LE(op.y1, preview.PageHeight) << op.text.toStdString();
    }
    // Under the same head: title, date and column heads on both pages.
    int titles = 0;
    for (const auto &op : g.texts()) {
        titles += op.text == QStringLiteral("現　有　資　産") ? op.page : 0;
    }
    EXPECT_EQ(titles, 1 + 2);
}

TEST_F(ReportPaperTest, FiguresOnNarrowPaperAreDrawnApart)
{
    // May shows 0 and June ten digits: on paper narrower than 240 mm they touched ("01000000038").
    addEntry(2024, 6, 30, 1, 2, 77, 1000000038);
    const struct
    {
        QPageSize::PageSizeId paper;
        double margin;
    } cases[] = {{QPageSize::B5, 10}, {QPageSize::JisB5, 10},  {QPageSize::A5, 10},
                 {QPageSize::A4, 30}, {QPageSize::Letter, 25}, {QPageSize::A5, 0}};
    for (const auto &c : cases) {
        const QString what = QStringLiteral("%1 at %2 mm").arg(QPageSize(c.paper).name()).arg(c.margin);
        SCOPED_TRACE(what.toStdString());
        keepSetup(c.paper, QPageLayout::Portrait, QMarginsF(c.margin, c.margin, c.margin, c.margin));
        const QString pdf = path(QStringLiteral("narrow.pdf"));
        printYearlyReport(pdf);
        const QList<PdfWord> words = pdfWords(pdf);
        QList<PdfWord> figures;
        for (const PdfWord &word : words) {
            EXPECT_FALSE(word.text.contains(QStringLiteral("01000000038"))) << word.text.toStdString();
            if (isFigure(word.text)) {
                figures.append(word);
            }
        }
        // June and the year on the row, the income totals and the difference.
        EXPECT_EQ(std::count_if(figures.begin(), figures.end(),
                                [](const PdfWord &w) { return w.text == QStringLiteral("1000000038"); }),
                  6);
        for (const PdfWord &a : figures) {
            for (const PdfWord &b : figures) {
                if (&a != &b && onOneLine(a, b) && a.box.left() < b.box.left()) {
                    EXPECT_GE(b.box.left() - a.box.right(), 1.0)
                        << a.text.toStdString() << " " << b.text.toStdString();
                }
            }
        }
    }

    // Where the figures fit (A4 landscape at 10 mm, 786 x 539 points), every one keeps size 8;
    // on B5 at 10 mm (653 x 443) the ten-digit figures are drawn smaller.
    const YearlyReportData data = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    // The year's figure has the room up to the page's edge and keeps its size there too.
    const auto figureSizes = [&](int width, int height) {
        const strPreVal model = printerPageModel(*previewPageModel(kYearlyReport), width, height, 72);
        RecordingSurface g;
        paintYearlyReport(g, model, data, QStringLiteral("2024"), today());
        QMap<int, QSet<float>> sizesByColumn;
        for (const auto &op : g.texts()) {
            if (isFigure(op.text.trimmed())) {
                for (const int column : {31 + 10 * 4, 31 + 10 * 5, 151}) {
                    if (op.x1 == getDrawPos(model, 1, column).X) {
                        sizesByColumn[column].insert(op.size);
                    }
                }
            }
        }
        return sizesByColumn;
    };
    const QSet<float> sizeEight{8};
    const auto wide = figureSizes(786, 539);
    EXPECT_EQ(wide.value(71), sizeEight);
    EXPECT_EQ(wide.value(81), sizeEight);
    EXPECT_EQ(wide.value(151), sizeEight);
    // May's blank-padded 0 reaches past its cell into June's ten digits: May's is the one drawn
    // smaller, on the lines where June has them (the expense totals' May stays).
    const auto narrow = figureSizes(653, 443);
    EXPECT_EQ(narrow.value(81), sizeEight);
    EXPECT_EQ(narrow.value(151), sizeEight);
    ASSERT_EQ(narrow.value(71).size(), 2);
    EXPECT_TRUE(narrow.value(71).contains(8));
    EXPECT_LT(*std::min_element(narrow.value(71).begin(), narrow.value(71).end()), 8);
}

TEST_F(ReportPaperTest, LongNamesAreCutWithAnEllipsisBeforeTheNextColumn)
{
    // In kana: the CJK face's kanji read back from the PDF partly as radicals NFKC leaves alone.
    const QString longSubItem = QStringLiteral("とてもながいなまえのひもく/さらにながいなまえのこうもく");
    exec(QStringLiteral("INSERT INTO Himoku VALUES (900, 2, '%1', 76, 0)").arg(longSubItem));
    addEntry(2024, 1, 10, 1, 2, 900, 5000);
    addEntry(2024, 1, 11, 1, 2, 77, 7000);
    const QString longAccount = QStringLiteral("とてもながいこうざのなまえをここまでかいてしまいました");
    setAccounts({longAccount, QStringLiteral("現金")});

    const struct
    {
        int report;
        QString name;
        QString shortName;
        QPageLayout::Orientation orientation;
        QString nextFigure;
    } cases[] = {
        {kYearlyReport, longSubItem, QStringLiteral("給料/給料"), QPageLayout::Landscape,
         QStringLiteral("5000")},
        {kAssetReport, longAccount, QStringLiteral("現金"), QPageLayout::Portrait, QStringLiteral("1000")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QMarginsF margins(10, 10, 10, 10);
        keepSetup(QPageSize::A4, QPageLayout::Portrait, margins);
        const QString pdf = path(QStringLiteral("names-%1.pdf").arg(c.report));
        if (c.report == kYearlyReport) {
            printYearlyReport(pdf);
        } else {
            printAssetReport(pdf);
        }
        const QList<PdfWord> words = pdfWords(pdf);
        ASSERT_TRUE(findWord(words, c.shortName));
        const PdfWord *cut = nullptr;
        for (const PdfWord &word : words) {
            EXPECT_NE(word.text, c.name);
            if (word.text.startsWith(c.name.left(5)) && word.text.endsWith(QStringLiteral("..."))) {
                cut = &word;
            }
        }
        ASSERT_TRUE(cut);
        EXPECT_TRUE(c.name.startsWith(cut->text.chopped(3)));
        const PdfWord *figure = nullptr;
        for (const PdfWord &word : words) {
            if (word.text == c.nextFigure && onOneLine(word, *cut)) {
                figure = &word;
            }
        }
        ASSERT_TRUE(figure);
        EXPECT_LT(cut->box.right(), figure->box.left() - 1);
        EXPECT_LT(cut->box.right(), printableArea(QPageSize::A4, c.orientation, margins).right());
    }
}

TEST_F(ReportPaperTest, YearColumnRuleGivesWayToYearTotalsOfNineCharacters)
{
    YearlyReportData data;
    MonthSums nine{};
    nine[12] = 123456789;
    MonthSums eight{};
    eight[12] = 12345678;
    data.income = {{QStringLiteral("nine"), nine}, {QStringLiteral("eight"), eight}};
    for (const strPreVal &model : {*previewPageModel(kYearlyReport),
                                   printerPageModel(*previewPageModel(kYearlyReport), 786, 539, 72)}) {
        RecordingSurface g;
        paintYearlyReport(g, model, data, QStringLiteral("2024"), today());
        const int ruleX = getDrawPos(model, 1, 152).X;
        // The dashes of the rule beside the year column that fall on a line's digits.
        const auto dashesOnDigits = [&](int line) {
            const int baseline = getDrawPos(model, line, 1).Y;
            int count = 0;
            for (const auto &op : g.lines()) {
                if (op.x1 == ruleX && op.x2 == ruleX && op.y2 >= baseline - 6 && op.y1 <= baseline) {
                    ++count;
                }
            }
            return count;
        };
        EXPECT_EQ(dashesOnDigits(6), 0) << "width " << model.PageWidth;
        // An eight-digit total leaves the rule as it is.
        EXPECT_GT(dashesOnDigits(7), 0) << "width " << model.PageWidth;
        EXPECT_GT(dashesOnDigits(5), 0) << "width " << model.PageWidth;
    }
}

TEST_F(ReportPaperTest, OnlyThePagesChosenInThePrintDialogArePrinted)
{
    // An eleven-page yearly report on A4 landscape at 10 mm (786 x 539 points).
    addIncomeSubItems(470);
    const strPreVal printer = printerPageModel(*previewPageModel(kYearlyReport), 786, 539, 72);
    RecordingSurface report;
    paintYearlyReport(report, printer, readYearlyReport(*KakeiboDB, QStringLiteral("2024")),
                      QStringLiteral("2024"), today());
    ASSERT_EQ(report.pageCount(), 11);
    const auto namesOn = [](const QStringList &texts) {
        QStringList names;
        for (const QString &text : texts) {
            if (text.startsWith(QStringLiteral("extra/"))) {
                names.append(text);
            }
        }
        return names;
    };
    const auto reportPage = [&](int page) {
        QStringList texts;
        for (const auto &op : report.texts()) {
            if (op.page == page) {
                texts.append(op.text);
            }
        }
        return namesOn(texts);
    };

    keepSetup(QPageSize::A4, QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
    m_ui->printPages = std::pair{2, 3};
    const QString pdf = path(QStringLiteral("pages.pdf"));
    printYearlyReport(pdf);
    EXPECT_EQ(pdfPageCount(pdf), 2);
    const QList<PdfWord> words = pdfWords(pdf);
    EXPECT_EQ(namesOn(textsOf(words, 1)), reportPage(2));
    EXPECT_EQ(namesOn(textsOf(words, 2)), reportPage(3));
    EXPECT_TRUE(textsOf(words, 2).contains(QStringLiteral("レポート")));

    // The last page alone of a two-page asset report: the accounts past the first 44 and the total.
    setAccounts(numberedAccounts(70));
    m_ui->printPages = std::pair{2, 2};
    const QString asset = path(QStringLiteral("asset-page-2.pdf"));
    printAssetReport(asset);
    EXPECT_EQ(pdfPageCount(asset), 1);
    const QStringList texts = textsOf(pdfWords(asset), 1);
    EXPECT_FALSE(texts.contains(QStringLiteral("口座044")));
    EXPECT_TRUE(texts.contains(QStringLiteral("口座045")));
    EXPECT_TRUE(texts.contains(QStringLiteral("口座070")));
    EXPECT_TRUE(texts.contains(QStringLiteral("計")));
}

TEST_F(ReportPaperTest, MarginsThatLeaveNoRoomInTheReportsOrientationStopThePrintWithAMessage)
{
    addEntry(2024, 1, 10, 1, 2, 77, 5000);
    const QString tail =
        QStringLiteral("の用紙にレポートを印刷する場所がありません。ページ設定で余白を小さくしてください。");
    const struct
    {
        int report;
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
        QMarginsF margins;
        QString message;
    } cases[] = {
        // Top and bottom margins that fit a portrait A4 page, not the landscape yearly page.
        {kYearlyReport, QPageSize::A4, QPageLayout::Portrait, QMarginsF(10, 100, 10, 100),
         QStringLiteral("上下の余白（上 100 mm、下 100 mm）では、横向き") + tail},
        {kYearlyReport, QPageSize::A4, QPageLayout::Portrait, QMarginsF(10, 80, 10, 80),
         QStringLiteral("上下の余白（上 80 mm、下 80 mm）では、横向き") + tail},
        // Side margins set on a landscape page that the portrait asset page has no room for.
        {kAssetReport, QPageSize::A4, QPageLayout::Landscape, QMarginsF(100, 10, 100, 10),
         QStringLiteral("左右の余白（左 100 mm、右 100 mm）では、縦向き") + tail},
        // A5 at 30 mm leaves the landscape yearly page lines of 5 points: its names would be
        // drawn over each other even at the least size. The portrait asset page still prints,
        // smaller.
        {kYearlyReport, QPageSize::A5, QPageLayout::Portrait, QMarginsF(30, 30, 30, 30),
         QStringLiteral("上下の余白（上 30 mm、下 30 mm）では、横向き") + tail},
        {kAssetReport, QPageSize::A5, QPageLayout::Portrait, QMarginsF(30, 30, 30, 30), QString()},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        m_ui->messages.clear();
        keepSetup(c.paper, c.orientation, c.margins);
        const QString pdf = path(QStringLiteral("margins-%1.pdf").arg(++n));
        if (c.report == kYearlyReport) {
            printYearlyReport(pdf);
        } else {
            printAssetReport(pdf);
        }
        if (c.message.isEmpty()) {
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(pdfPageCount(pdf), 1);
        } else {
            EXPECT_EQ(m_ui->messages, QStringList{c.message});
            EXPECT_FALSE(QFileInfo::exists(pdf));
            // The setup is asked for again at the next print.
            EXPECT_FALSE(gPrinter.SetupDone);
        }
    }
}

namespace {
enum class Outcome
{
    Prints,
    TooLow,
    TooNarrow
};
} // namespace

TEST_F(ReportPaperTest, OnEveryPaperTheTextsStandApartOrThePrintIsRefused)
{
    addPaperFixture();
    const auto reference = [](const QString &name) {
        QStringList lines = QString::fromUtf8(readFileBytes(referenceFile(name))).split(QLatin1Char('\n'));
        lines.removeAll(QString());
        return lines;
    };
    const QStringList assetA4 = reference(QStringLiteral("asset-a4-10mm.words"));
    const QStringList yearlyA4 = reference(QStringLiteral("yearly-a4-10mm.words"));
    ASSERT_FALSE(assetA4.isEmpty());
    ASSERT_FALSE(yearlyA4.isEmpty());
    // What must be printed: every word of the page on A4 at 10 mm, as often, and today's date
    // whole. A long name may be cut anywhere (its start kept), or not at all where the smaller
    // text leaves it the room.
    const auto printedWords = [&](const QStringList &lines) {
        QStringList texts;
        for (const QString &line : lines) {
            QString text = line.section(QLatin1Char(' '), 5);
            for (const QString &name : {kLongAccount, kLongSubItem}) {
                if (text == name ||
                    (text.endsWith(QStringLiteral("...")) && name.startsWith(text.chopped(3)))) {
                    text = QStringLiteral("<long name>");
                }
            }
            texts.append(text);
        }
        texts.sort();
        return texts.join(QLatin1Char('\n')).toStdString();
    };
    const auto asPrinted = [&](const QList<PdfWord> &words) {
        QStringList lines;
        for (const PdfWord &word : words) {
            lines.append(wordLine(word));
        }
        return lines;
    };

    const QString tail =
        QStringLiteral("の用紙にレポートを印刷する場所がありません。ページ設定で余白を小さくしてください。");
    const auto refusal = [&](Outcome outcome, const QMarginsF &mm, int report) {
        const QString margins =
            outcome == Outcome::TooLow
                ? QStringLiteral("上下の余白（上 %1 mm、下 %2 mm）").arg(mm.top()).arg(mm.bottom())
                : QStringLiteral("左右の余白（左 %1 mm、右 %2 mm）").arg(mm.left()).arg(mm.right());
        return margins + QStringLiteral("では、") +
               (report == kYearlyReport ? QStringLiteral("横向き") : QStringLiteral("縦向き")) + tail;
    };

    const auto P = QPageLayout::Portrait;
    const auto L = QPageLayout::Landscape;
    const auto even = [](double mm) { return QMarginsF(mm, mm, mm, mm); };
    const struct
    {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation setup;
        QMarginsF margins;
        Outcome asset;
        Outcome yearly;
    } cases[] = {
        // Where the grid fits: the page printed as before, word for word.
        {QPageSize::A4, P, even(10), Outcome::Prints, Outcome::Prints},
        {QPageSize::A4, L, even(10), Outcome::Prints, Outcome::Prints},
        // Smaller pages: every text drawn smaller with the grid, down to figures of 5 points.
        {QPageSize::A5, P, even(0), Outcome::Prints, Outcome::Prints},
        {QPageSize::A5, L, even(0), Outcome::Prints, Outcome::Prints},
        {QPageSize::A5, P, even(10), Outcome::Prints, Outcome::Prints},
        {QPageSize::A5, L, even(10), Outcome::Prints, Outcome::Prints},
        {QPageSize::A5, P, even(20), Outcome::Prints, Outcome::TooLow},
        {QPageSize::A5, L, even(20), Outcome::Prints, Outcome::TooLow},
        {QPageSize::A5, P, even(30), Outcome::Prints, Outcome::TooLow},
        {QPageSize::A5, L, even(30), Outcome::Prints, Outcome::TooLow},
        {QPageSize::JisB5, P, even(40), Outcome::Prints, Outcome::TooLow},
        {QPageSize::A4, P, QMarginsF(10, 66, 10, 66), Outcome::Prints, Outcome::TooLow},
        {QPageSize::A4, P, QMarginsF(95, 10, 95, 10), Outcome::TooNarrow, Outcome::TooNarrow},
        // Pages a little short of the grid: the names of neighbouring lines touched.
        {QPageSize::A4, L, even(20), Outcome::Prints, Outcome::Prints},
        {QPageSize::B5, P, even(10), Outcome::Prints, Outcome::Prints},
        {QPageSize::Letter, P, even(20), Outcome::Prints, Outcome::Prints},
    };
    int n = 0;
    for (const auto &c : cases) {
        for (const int report : {kAssetReport, kYearlyReport}) {
            const QString what =
                QStringLiteral("%1 %2 set up %3 at %4/%5/%6/%7 mm")
                    .arg(report == kAssetReport ? QStringLiteral("asset") : QStringLiteral("yearly"))
                    .arg(QPageSize(c.paper).name())
                    .arg(c.setup == P ? QStringLiteral("portrait") : QStringLiteral("landscape"))
                    .arg(c.margins.left())
                    .arg(c.margins.top())
                    .arg(c.margins.right())
                    .arg(c.margins.bottom());
            SCOPED_TRACE(what.toStdString());
            const Outcome outcome = report == kAssetReport ? c.asset : c.yearly;
            m_ui->messages.clear();
            keepSetup(c.paper, c.setup, c.margins);
            const QString pdf = path(QStringLiteral("paper-%1.pdf").arg(++n));
            if (report == kYearlyReport) {
                printYearlyReport(pdf);
            } else {
                printAssetReport(pdf);
            }
            if (outcome != Outcome::Prints) {
                EXPECT_EQ(m_ui->messages, QStringList{refusal(outcome, c.margins, report)});
                EXPECT_FALSE(QFileInfo::exists(pdf));
                continue;
            }
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(pdfPageCount(pdf), 1);
            const QList<PdfWord> words = pdfWords(pdf);
            const QStringList &before = report == kAssetReport ? assetA4 : yearlyA4;
            EXPECT_EQ(printedWords(asPrinted(words)), printedWords(before));
            if (c.paper == QPageSize::A4 && c.margins == even(10)) {
                EXPECT_EQ(asPrinted(words).join(QLatin1Char('\n')).toStdString(),
                          before.join(QLatin1Char('\n')).toStdString());
            }

            const QPageLayout::Orientation orientation = report == kYearlyReport ? L : P;
            const QRectF area = printableArea(c.paper, orientation, c.margins).adjusted(-0.5, -0.5, 0.5, 0.5);
            int meeting = 0;
            for (qsizetype i = 0; i < words.size(); ++i) {
                EXPECT_TRUE(area.contains(words[i].em)) << words[i].text.toStdString();
                for (qsizetype j = i + 1; j < words.size(); ++j) {
                    const QRectF both = words[i].em.intersected(words[j].em);
                    // Squares that touch (lines set solid) do not meet.
                    if (words[i].page == words[j].page && both.width() > 0.01 && both.height() > 0.01 &&
                        ++meeting <= 5) {
                        ADD_FAILURE()
                            << words[i].text.toStdString() << " meets " << words[j].text.toStdString();
                    }
                }
            }
            EXPECT_EQ(meeting, 0);

            // No rule runs through a figure or out of the page, as the print drew them.
            const QSize page = printableSize(c.paper, c.setup, c.margins, orientation);
            const strPreVal model =
                fittedPrinterPageModel(report, *previewPageModel(report), page.width(), page.height(), 72);
            RecordingSurface g;
            if (report == kAssetReport) {
                paintAssetReport(g, model, readAssetReport(*KakeiboDB), today());
            } else {
                paintYearlyReport(g, model, readYearlyReport(*KakeiboDB, QStringLiteral("2024")),
                                  QStringLiteral("2024"), today());
            }
            const QList<QRectF> digits = figureDigits(g);
            int crossings = 0;
            for (const auto &rule : g.lines()) {
                const QRectF span(QPointF(std::min(rule.x1, rule.x2), std::min(rule.y1, rule.y2)),
                                  QPointF(std::max(rule.x1, rule.x2), std::max(rule.y1, rule.y2)));
                EXPECT_TRUE(span.left() >= 0 && span.top() >= 0 && span.right() <= page.width() &&
                            span.bottom() <= page.height());
                for (const QRectF &figure : digits) {
                    crossings += span.left() <= figure.right() && span.right() >= figure.left() &&
                                         span.top() <= figure.bottom() && span.bottom() >= figure.top()
                                     ? 1
                                     : 0;
                }
            }
            EXPECT_EQ(crossings, 0);
        }
    }
}

TEST_F(ReportPaperTest, PagesWhereTheGridFitsAreDrawnAsBefore)
{
    addPaperFixture();
    const AssetReportData asset = readAssetReport(*KakeiboDB);
    const YearlyReportData yearly = readYearlyReport(*KakeiboDB, QStringLiteral("2024"));
    const QString date = QStringLiteral("2026/12/31");
    const struct
    {
        QString name;
        int report;
        double margin;
    } cases[] = {
        {QStringLiteral("asset-preview"), kAssetReport, -1},
        {QStringLiteral("yearly-preview"), kYearlyReport, -1},
        {QStringLiteral("asset-a4-10mm"), kAssetReport, 10},
        {QStringLiteral("yearly-a4-10mm"), kYearlyReport, 10},
        {QStringLiteral("asset-a4-15mm"), kAssetReport, 15},
        {QStringLiteral("yearly-a4-15mm"), kYearlyReport, 15},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        strPreVal model = *previewPageModel(c.report);
        if (c.margin >= 0) {
            const QSize page = printableSize(
                QPageSize::A4, QPageLayout::Portrait, QMarginsF(c.margin, c.margin, c.margin, c.margin),
                c.report == kYearlyReport ? QPageLayout::Landscape : QPageLayout::Portrait);
            model = fittedPrinterPageModel(c.report, model, page.width(), page.height(), 72);
        }
        EXPECT_EQ(model.Scale, 1.0);
        // Drawn as the window draws the preview and the print draws the page, at 72 dots per inch.
        QImage picture(model.PageWidth, model.PageHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setDotsPerMeterX(2835);
        picture.setDotsPerMeterY(2835);
        {
            PainterSurface g(&picture, model.PageHeight);
            if (c.report == kAssetReport) {
                paintAssetReport(g, model, asset, date);
            } else {
                paintYearlyReport(g, model, yearly, QStringLiteral("2024"), date);
            }
        }
        keepPicture(picture, c.name + QStringLiteral(".png"));
        const QImage before =
            QImage(referenceFile(c.name + QStringLiteral(".png"))).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), before.size());
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                differing += picture.pixel(x, y) != before.pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}
