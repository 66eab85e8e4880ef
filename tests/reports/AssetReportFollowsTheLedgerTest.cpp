// The asset report window does not block: while it is open the user books in the main window,
// keeps the accounts and categories, or opens or makes another ledger. After each such action
// the open window shows the ledger as it is, drawn as the report command draws it.

#include "ReportTestSupport.h"

#include "app/LedgerSchema.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/AccountMaintenance.h"
#include "maintenance/CategoryMaintenance.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

class AssetReportFollowsTheLedgerTest : public ReportTest
{
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        closeMainWindow();
    }

    void TearDown() override
    {
        closeReportWindow();
        closeMainWindow();
        ReportTest::TearDown();
    }

    static void closeMainWindow()
    {
        if (wndKakeibo::exists()) {
            delete wndKakeibo::instance();
        }
    }

    // The ledger remembered as the default and opened the way the program starts, with a
    // balance in the first account; the main window is ready for bookings.
    wndKakeibo *startOn(const QString &name)
    {
        createLedger(name);
        exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 5000, Zankin = 5000 WHERE Id = 1"));
        gDBfileName = name;
        KakeiboDB.reset();
        wndKakeibo *w = wndKakeibo::instance();
        w->_mnuDBOpen_Action();
        w->grbKakeibo2()->setEnabled(true);
        w->DateListBox1()->TheDate().setYMD(2024, 3, 5);
        w->DateListBox1()->DisplayDate();
        return w;
    }

    // New, a kind, a popup row, the amount, Input: as the user books.
    static void book(wndKakeibo *w, RadioButton *kind, const QString &choice, const QString &amount)
    {
        w->pbtSinki()->click();
        kind->click();
        w->ppmHimoku()->setListIndex(w->ppmHimoku()->findText(choice));
        w->tfdKingaku()->setText(amount);
        w->pbtNyuryoku()->click();
    }

    // Shows the entry of that Id, as a click on its row does.
    static void chooseEntry(wndKakeibo *w, int32_t id)
    {
        for (int row = 0; row < w->lsbItem()->rowCount(); ++row) {
            if (w->lsbItem()->cell(row, 0).toInt() == id) {
                w->lsbItem()->setListIndex(row);
                return;
            }
        }
        ADD_FAILURE() << "entry " << id << " is not listed";
    }

    // The open window's page once the events the action left have been handled, as they are
    // when it returns to the event loop.
    static QImage shownPage()
    {
        QCoreApplication::processEvents();
        return wndPrev::exists() && wndPrev::instance()->PBffer() ? wndPrev::instance()->PBffer()->copy()
                                                                  : QImage();
    }

    // The page the report command draws from the ledger as it now is.
    static QImage commandPage()
    {
        wndPrev::openReport(kAssetReport);
        return shownPage();
    }
};

TEST_F(AssetReportFollowsTheLedgerTest, AnOpenReportIsDrawnAgainAfterEveryActionThatChangesTheLedger)
{
    const struct
    {
        const char *what;
        std::function<void(wndKakeibo *)> action;
        // What the ledger holds before the report is opened, when the action needs it.
        std::function<void(wndKakeibo *)> before = nullptr;
    } cases[] = {
        {"an expense booked in the main window",
         [](wndKakeibo *w) {
             book(w, w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("1200"));
         }},
        {"income booked in the main window",
         [](wndKakeibo *w) { book(w, w->rbtSyunyu(), QStringLiteral("給料/給料"), QStringLiteral("800")); }},
        {"a transfer booked in the main window",
         [](wndKakeibo *w) { book(w, w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("300")); }},
        {"an expense changed in the main window",
         [](wndKakeibo *w) {
             chooseEntry(w, 1);
             w->pbtHensyuu()->click();
             w->tfdKingaku()->setText(QStringLiteral("900"));
             w->pbtNyuryoku()->click();
         },
         [](wndKakeibo *w) {
             book(w, w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("1200"));
         }},
        {"a transfer pair deleted in the main window",
         [this](wndKakeibo *w) {
             chooseEntry(w, 1);
             w->pbtSakujyo()->click();
             m_ui->confirmAnswers.push_back(true);
             w->pbtNyuryoku()->click();
         },
         [](wndKakeibo *w) { book(w, w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("300")); }},
        {"an account added",
         [](wndKakeibo *) { EXPECT_TRUE(addAccount(QStringLiteral("財布"), QStringLiteral("700"))); }},
        {"an account deleted with its entries",
         [](wndKakeibo *) { EXPECT_TRUE(deleteAccountWithEntries(readStoredAccount(*KakeiboDB, 2).row)); }},
        {"a sub-item merged into another",
         [](wndKakeibo *) {
             EXPECT_TRUE(mergeSubItem(readStoredCategoryItem(*KakeiboDB, 3).row,
                                      readStoredCategoryItem(*KakeiboDB, 13).row));
         }},
        {"a category added", [](wndKakeibo *) { EXPECT_TRUE(addCategory(1, QStringLiteral("趣味"))); }},
        {"another ledger opened",
         [this](wndKakeibo *w) {
             gDBfileName = QStringLiteral("other.sqlf");
             w->_mnuDBOpen_Action();
         }},
        {"a new ledger made",
         [this](wndKakeibo *) {
             m_ui->fileAnswers.push_back(path(QStringLiteral("made.sqlf")));
             CreateNewKakeiboDB();
         }},
    };
    // The other ledger has accounts of its own.
    createLedger(QStringLiteral("other.sqlf"));
    exec(QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('別口', 42, 42)"));

    int round = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("ledger%1.sqlf").arg(++round);
        wndKakeibo *w = startOn(name);
        if (c.before) {
            c.before(w);
        }
        wndPrev::openReport(kAssetReport);
        const QImage before = shownPage();
        ASSERT_FALSE(before.isNull());
        // Another program adds an account meanwhile (one that no action here rests on):
        // whatever the action changes, a page drawn again from the ledger differs from the
        // one before.
        writeWithSqlite(
            path(name),
            {QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('他口座', 5, 5)")});
        m_ui->messages.clear();

        c.action(w);
        const QImage shown = shownPage();
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(m_ui->confirmAnswers.empty()) << "the action asked less than it was answered";
        EXPECT_FALSE(shown == before) << "the window still shows the ledger as it was";
        EXPECT_TRUE(shown == commandPage()) << "the window shows otherwise than the report command draws";

        closeReportWindow();
        closeMainWindow();
    }
}

TEST_F(AssetReportFollowsTheLedgerTest, WithoutALedgerTheReportShowsNoOtherOne)
{
    startOn(QStringLiteral("ledger.sqlf"));
    wndPrev::openReport(kAssetReport);
    const QImage before = shownPage();
    // The open command over a remembered name that is gone, its file dialog cancelled.
    gDBfileName = QStringLiteral("gone.sqlf");
    wndKakeibo::instance()->_mnuDBOpen_Action();
    ASSERT_FALSE(KakeiboDB);
    const QImage shown = shownPage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("家計簿ファイルが開かれませんでした。")});
    QImage blank(before.size(), before.format());
    blank.fill(Qt::white);
    EXPECT_TRUE(shown == blank) << "the closed ledger's accounts are still shown";
}

} // namespace
