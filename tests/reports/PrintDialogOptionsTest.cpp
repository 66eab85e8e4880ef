// What the print dialog offers besides the paper: the page range, the copies (collated or
// page by page) and the order. Printing to a PDF file, Qt leaves the copies and the order to
// the program; the sheets are counted and told apart in the file read back.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/PopupMenu.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

class PrintDialogOptionsTest : public ReportTest
{
protected:
    static wndPrev *window() { return wndPrev::exists() ? wndPrev::instance() : nullptr; }
    static void print() { window()->findChild<QPushButton *>(QStringLiteral("pbtPrint"))->click(); }

    // The words of each sheet of a PDF file, in the file's order.
    static std::vector<QList<PdfWord>> sheetsOf(const QString &pdf)
    {
        std::vector<QList<PdfWord>> sheets;
        for (const PdfWord &word : pdfWords(pdf)) {
            sheets.resize(std::max<size_t>(sheets.size(), word.page));
            sheets[word.page - 1].append(word);
        }
        return sheets;
    }

    static QString signature(const QList<PdfWord> &words)
    {
        QStringList parts;
        for (const PdfWord &word : words) {
            parts.append(QStringLiteral("%1@%2,%3,%4,%5")
                             .arg(word.text)
                             .arg(word.box.left())
                             .arg(word.box.top())
                             .arg(word.box.right())
                             .arg(word.box.bottom()));
        }
        return parts.join(QLatin1Char(' '));
    }

    // The report's pages each sheet shows, by comparing every word and its place with the
    // pages of a plain print; 0 for a sheet that is no page of it.
    static std::vector<int> pagesOnSheets(const QString &pdf, const std::vector<QList<PdfWord>> &reportPages)
    {
        std::map<QString, int> pageOf;
        for (size_t i = 0; i < reportPages.size(); ++i) {
            pageOf[signature(reportPages[i])] = static_cast<int>(i + 1);
        }
        std::vector<int> pages;
        for (const QList<PdfWord> &sheet : sheetsOf(pdf)) {
            const auto found = pageOf.find(signature(sheet));
            pages.push_back(found == pageOf.end() ? 0 : found->second);
        }
        return pages;
    }

    struct Options
    {
        const char *what;
        std::optional<std::pair<int, int>> pages;
        int copies = 1;
        bool collated = true;
        bool lastPageFirst = false;
        // The report's pages on the sheets, in order; none: nothing is printed.
        std::vector<int> sheets;
    };

    // Prints the open report with the options; the window closes when something was printed.
    QString printWith(const Options &o, const std::function<void()> &open)
    {
        static int round = 0;
        const QString pdf = path(QStringLiteral("print-%1.pdf").arg(++round));
        m_ui->pageSetupAnswers.push_back(true);
        m_ui->printAnswers.push_back(pdf);
        m_ui->printPages = o.pages;
        m_ui->printCopies = o.copies;
        m_ui->printCollated = o.collated;
        m_ui->printLastPageFirst = o.lastPageFirst;
        open();
        return pdf;
    }
};

TEST_F(PrintDialogOptionsTest, TheAssetReportPrintsTheChosenPagesCopiesAndOrder)
{
    // Three printed pages of accounts.
    for (int i = 0; i < 100; ++i) {
        exec(QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('口座%1', 0, %1)")
                 .arg(i));
    }
    const auto openAndPrint = [] {
        wndPrev::openReport(kAssetReport);
        print();
    };
    const QString plain = printWith({"all pages, once", std::nullopt, 1, true, false, {}}, openAndPrint);
    const std::vector<QList<PdfWord>> reportPages = sheetsOf(plain);
    ASSERT_EQ(reportPages.size(), 3u);
    ASSERT_EQ(pdfPageCount(plain), 3);
    EXPECT_EQ(m_ui->printPageCounts, QList<int>{3});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const Options cases[] = {
        {"two copies, collated", std::nullopt, 2, true, false, {1, 2, 3, 1, 2, 3}},
        {"two copies, page by page", std::nullopt, 2, false, false, {1, 1, 2, 2, 3, 3}},
        {"last page first", std::nullopt, 1, true, true, {3, 2, 1}},
        {"pages 2 to 3, last first, two collated copies", std::pair{2, 3}, 2, true, true, {3, 2, 3, 2}},
        {"pages 1 to 2, last first, two copies page by page", std::pair{1, 2}, 2, false, true, {2, 2, 1, 1}},
        {"a range past the end", std::pair{2, 9}, 1, true, false, {2, 3}},
        {"a range with no page of the report", std::pair{8, 9}, 2, true, true, {}},
    };
    for (const Options &c : cases) {
        SCOPED_TRACE(c.what);
        m_ui->messages.clear();
        const QString pdf = printWith(c, openAndPrint);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        if (c.sheets.empty()) {
            EXPECT_FALSE(QFileInfo::exists(pdf)) << "a sheet was printed";
            ASSERT_TRUE(wndPrev::exists()) << "the window closed as after a print";
            EXPECT_EQ(window()->pPVal().LinesPerPage, 60);
            closeReportWindow();
            continue;
        }
        EXPECT_FALSE(wndPrev::exists());
        EXPECT_EQ(pdfPageCount(pdf), static_cast<int>(c.sheets.size()));
        EXPECT_EQ(pagesOnSheets(pdf, reportPages), c.sheets);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(PrintDialogOptionsTest, TheYearlyReportPrintsItsPagesLastFirstAndEachTwice)
{
    // More sub-items with income than two printed pages hold.
    for (int i = 0; i < 60; ++i) {
        exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 2, 'extra/%1', 76, 0)").arg(200 + i));
        addEntry(2024, 1 + i % 12, 1, 1, 2, 200 + i, 100 + i);
    }
    const auto openAndPrint = [] { withYearlyReport([](wndPrev *) { print(); }); };
    const QString plain = printWith({"all pages, once", std::nullopt, 1, true, false, {}}, openAndPrint);
    const std::vector<QList<PdfWord>> reportPages = sheetsOf(plain);
    ASSERT_EQ(reportPages.size(), 2u);
    EXPECT_EQ(m_ui->printPageCounts, QList<int>{2});

    const QString pdf =
        printWith({"last first, two copies page by page", std::nullopt, 2, false, true, {}}, openAndPrint);
    EXPECT_EQ(pagesOnSheets(pdf, reportPages), (std::vector<int>{2, 2, 1, 1}));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

} // namespace
