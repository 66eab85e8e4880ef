// Another program may write the ledger while a report window is open (a second copy of this
// one, or the sqlite3 shell). A report window that is activated, or asked to print, shows and
// prints the ledger as it then is; where nothing was committed it reads nothing again.

#include "ReportTestSupport.h"

#include "app/mdlGlobal.h"
#include "platform/PopupMenu.h"
#include "reports/wndPrev.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

// Counts the statements the program's connection runs that begin with a text, as SQLite
// traces them.
class StatementCount
{
public:
    StatementCount(sqlite3 *db, QByteArray start) : m_db(db), m_start(std::move(start))
    {
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementCount::traced, this);
    }
    ~StatementCount() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    StatementCount(const StatementCount &) = delete;
    StatementCount &operator=(const StatementCount &) = delete;

    int count() const { return m_count; }

private:
    static int traced(unsigned, void *self, void *statement, void *)
    {
        auto *counter = static_cast<StatementCount *>(self);
        char *text = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement));
        if (text && QByteArray(text).startsWith(counter->m_start)) {
            ++counter->m_count;
        }
        sqlite3_free(text);
        return 0;
    }

    sqlite3 *m_db;
    QByteArray m_start;
    int m_count = 0;
};

class ReportShowsOtherProgramsWritesTest : public ReportTest
{
protected:
    static wndPrev *window() { return wndPrev::exists() ? wndPrev::instance() : nullptr; }

    static QImage shownPage()
    {
        QCoreApplication::processEvents();
        return window() && window()->PBffer() ? window()->PBffer()->copy() : QImage();
    }

    // The user turns to another window and comes back to the report's. The other window is
    // modal, so that it takes the activation from the modal yearly report too.
    static void activateAgain()
    {
        QWidget other;
        other.setWindowModality(Qt::ApplicationModal);
        other.show();
        other.activateWindow();
        QCoreApplication::processEvents();
        ASSERT_FALSE(window()->isActiveWindow());
        other.hide();
        window()->activateWindow();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window()->isActiveWindow());
    }

    static void print() { window()->findChild<QPushButton *>(QStringLiteral("pbtPrint"))->click(); }

    // Another program's write, straight into the file.
    void otherProgramWrites(const QStringList &statements)
    {
        writeWithSqlite(path(QStringLiteral("report.sqlf")), statements);
    }

    // The same by another process: the sqlite3 shell.
    void otherProcessWrites(const QString &statement)
    {
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"), {path(QStringLiteral("report.sqlf")), statement});
        ASSERT_TRUE(shell.waitForFinished(20000));
        ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    }

    // The accounts another program adds: enough of them to take a second printed page.
    QStringList manyAccounts() const
    {
        QStringList statements;
        for (int i = 0; i < 50; ++i) {
            statements.append(
                QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('口座%1', 0, %1)")
                    .arg(i));
        }
        return statements;
    }

    static QStringList wordsOf(const QString &pdf)
    {
        QStringList words;
        for (const PdfWord &word : pdfWords(pdf)) {
            words.append(word.text);
        }
        return words;
    }
};

TEST_F(ReportShowsOtherProgramsWritesTest, AnActivatedAssetReportShowsWhatAnotherProgramCommittedAndOnlyThen)
{
    wndPrev::openReport(kAssetReport);
    const QImage before = shownPage();
    StatementCount reads(KakeiboDB->handle(), "Select * FROM Sisan");

    // Nothing committed: the page stays as it was read.
    activateAgain();
    EXPECT_EQ(reads.count(), 0);
    EXPECT_TRUE(shownPage() == before);

    otherProgramWrites({QStringLiteral("UPDATE Sisan SET Namae = '別の名前', Zankin = 424242 WHERE Id = 1")});
    activateAgain();
    EXPECT_EQ(reads.count(), 1);
    const QImage after = shownPage();
    EXPECT_FALSE(after == before) << "the window still shows the ledger as it was";
    activateAgain();
    EXPECT_EQ(reads.count(), 1) << "drawn again with nothing committed";

    // Printed from that reading, with no read of its own.
    const QString pdf = path(QStringLiteral("asset.pdf"));
    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(pdf);
    print();
    EXPECT_EQ(reads.count(), 1);
    const QStringList words = wordsOf(pdf);
    EXPECT_TRUE(words.contains(QStringLiteral("別の名前"))) << words.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("424242"))) << words.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

    // And the page shown was the one the report command draws from the ledger now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    wndPrev::openReport(kAssetReport);
    EXPECT_TRUE(shownPage() == after);
}

TEST_F(ReportShowsOtherProgramsWritesTest, APrintAfterAnotherProgramsWriteShowsAndPrintsTheLedgerAsItIs)
{
    const struct
    {
        const char *what;
        // Whether the other program writes before 印刷 is pressed or while the print dialog is open.
        bool whileTheDialogIsOpen;
    } cases[] = {
        {"written before the print", false},
        {"written while the print dialog is open", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        wndPrev::openReport(kAssetReport);
        shownPage();
        const QString pdf = path(QStringLiteral("asset-%1.pdf").arg(c.whileTheDialogIsOpen));
        QImage redrawn;
        const auto write = [&] {
            otherProgramWrites(manyAccounts());
            otherProgramWrites({QStringLiteral("UPDATE Sisan SET Zankin = 31337 WHERE Id = 1")});
        };
        if (c.whileTheDialogIsOpen) {
            m_ui->whilePrintDialogShown = write;
        } else {
            write();
        }
        StatementCount reads(KakeiboDB->handle(), "Select * FROM Sisan");
        m_ui->pageSetupAnswers.push_back(true);
        m_ui->printAnswers.push_back(pdf);
        print();
        m_ui->whilePrintDialogShown = nullptr;
        EXPECT_EQ(reads.count(), 1);
        EXPECT_FALSE(wndPrev::exists()) << "nothing was printed";
        // 52 accounts take two printed pages, and the last of them is on paper.
        EXPECT_EQ(pdfPageCount(pdf), 2);
        const QStringList words = wordsOf(pdf);
        EXPECT_TRUE(words.contains(QStringLiteral("口座49"))) << words.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(words.contains(QStringLiteral("31337"))) << words.join(QLatin1Char(' ')).toStdString();
        // The dialog was given the pages of the ledger as it was when it opened.
        EXPECT_EQ(m_ui->printPageCounts.last(), c.whileTheDialogIsOpen ? 1 : 2);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        writeWithSqlite(path(QStringLiteral("report.sqlf")),
                        {QStringLiteral("DELETE FROM Sisan WHERE Id > 2"),
                         QStringLiteral("UPDATE Sisan SET Zankin = 0 WHERE Id = 1")});
    }
}

TEST_F(ReportShowsOtherProgramsWritesTest, TheModalYearlyReportShowsAndPrintsWhatAnotherProgramCommitted)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    const QString pdf = path(QStringLiteral("yearly.pdf"));
    m_ui->pageSetupAnswers.push_back(true);
    m_ui->printAnswers.push_back(pdf);
    withYearlyReport([&](wndPrev *w) {
        const QImage before = shownPage();
        StatementCount reads(KakeiboDB->handle(), "S");
        activateAgain();
        EXPECT_EQ(reads.count(), 0);

        // Another process books more income in the year shown.
        otherProcessWrites(
            QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, "
                           "IdouId, Nyuukin, Bikou) VALUES ('2024-03-01', 2024, 3, 1, 1, 2, 77, -1, "
                           "654321, 'other')"));
        activateAgain();
        // The year's four statements, once.
        EXPECT_EQ(reads.count(), 4);
        EXPECT_FALSE(shownPage() == before);
        EXPECT_EQ(w->findChild<PopupMenu *>(QStringLiteral("ppmNendo"))->listIndex(), 0);
        print();
        EXPECT_EQ(reads.count(), 4) << "the print read the ledger again";
    });
    const QStringList words = wordsOf(pdf);
    EXPECT_TRUE(words.contains(QStringLiteral("654321"))) << words.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("954321"))) << words.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportShowsOtherProgramsWritesTest, AnUnreadableLedgerIsToldOnceNotAtEveryActivation)
{
    wndPrev::openReport(kAssetReport);
    shownPage();
    // Another program takes the accounts away: the next activation draws the report again and
    // tells why it is empty; the message box gives the activation back, which draws nothing.
    otherProgramWrites({QStringLiteral("DROP TABLE Sisan")});
    m_ui->whileMessageShown = [](const QString &) { activateAgain(); };
    activateAgain();
    m_ui->whileMessageShown = nullptr;
    activateAgain();
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method DrawSisanReport: no such table: Sisan")});
}

} // namespace
