#include "WindowState.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "reports/PageModel.h"
#include "reports/wndPrev.h"
#include "support/LedgerTestFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

class MenuCommandsTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        closeWindows();
        setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
    }

    void TearDown() override
    {
        closeWindows();
        setMainWindowEnabler(nullptr);
        LedgerTestFixture::TearDown();
    }

    static void closeWindows()
    {
        if (wndPrev::exists()) {
            delete wndPrev::instance();
        }
        if (wndKakeibo::exists()) {
            delete wndKakeibo::instance();
        }
    }

    // A seeded ledger remembered as the default, opened the way the program starts.
    wndKakeibo *startWithLedger()
    {
        createLedger(QStringLiteral("Quorvela.sqlf"));
        gDBfileName = QStringLiteral("Quorvela.sqlf");
        KakeiboDB.reset();
        wndKakeibo *w = wndKakeibo::instance();
        w->_mnuDBOpen_Action();
        return w;
    }

    static void trigger(const char *item)
    {
        MainMenuBar::instance().findItem(QString::fromLatin1(item))->trigger();
    }

    // Runs the action on the modal window once it is up (a modal window runs its own loop).
    static void whenModal(std::function<void(QWidget *)> action)
    {
        QTimer::singleShot(0, [action] {
            QWidget *modal = QApplication::activeModalWidget();
            ASSERT_TRUE(modal);
            action(modal);
        });
    }

    template <typename T> static T *child(QWidget *parent, const char *name)
    {
        T *found = parent->findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    // Closes a modal dialog with its Close button.
    static void closeDialog(QWidget *dialog) { child<QPushButton>(dialog, "pbtClose")->click(); }
};

TEST_F(MenuCommandsTest, OpenWithTheRememberedFilePresentReopensWithoutADialogAndRefreshes)
{
    wndKakeibo *w = startWithLedger();
    w->grbKinyu()->setEnabled(true);
    w->KinyuuStatus = 2;
    trigger("mnuDBOpen");
    EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_EQ(w->lsbSisan()->rowCount(), 2);
    EXPECT_EQ(w->lsbSisan()->listIndex(), 0);
    EXPECT_EQ(w->grbKakeibo1()->title(), QString::fromUtf8("現金"));
    EXPECT_EQ(w->KinyuuStatus, 1);
    EXPECT_FALSE(w->grbKinyu()->isEnabled());
}

TEST_F(MenuCommandsTest, ACancelledOpenLeavesNoLedgerAndTheWindowAsItWas)
{
    wndKakeibo *w = startWithLedger();
    gDBfileName = QStringLiteral("gone.sqlf");
    trigger("mnuDBOpen");
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("家計簿ファイルが開かれませんでした。")});
    EXPECT_FALSE(KakeiboDB);
    EXPECT_EQ(w->lsbSisan()->rowCount(), 2);
    EXPECT_TRUE(w->grbKakeibo2()->isEnabled());

    m_ui->messages.clear();
    trigger("mnuDBCreate");
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("新規の家計簿ファイルが開かれませんでした。")});
    EXPECT_EQ(w->lsbSisan()->rowCount(), 2);

    // Without a ledger the other commands do nothing and say nothing.
    m_ui->messages.clear();
    trigger("SisanKoumokuKanri");
    trigger("HimokuKoumokuKanri");
    trigger("mnuSisanReport");
    trigger("mnuKakeiboReport");
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_FALSE(wndPrev::exists());
}

TEST_F(MenuCommandsTest, NewLedgerFromTheMenuIsShownWithTheFirstAccountSelected)
{
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_FALSE(w->grbKakeibo2()->isEnabled());
    m_ui->fileAnswers = {path(QStringLiteral("fresh.sqlf"))};
    trigger("mnuDBCreate");
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
    EXPECT_TRUE(w->grbKakeibo2()->isEnabled());
    EXPECT_EQ(w->lsbSisan()->rowCount(), 2);
    EXPECT_EQ(gSisanCode.SisanId, 1);
    EXPECT_EQ(w->KinyuuStatus, 1);
    EXPECT_TRUE(SisanKoumokuKanri()->isVisible());
    // The new ledger is not remembered.
    EXPECT_EQ(gDBfileName, QString());
}

TEST_F(MenuCommandsTest, AnAccountAddedInTheDialogIsListedAndTheFirstAccountSelected)
{
    wndKakeibo *w = startWithLedger();
    w->lsbSisan()->setListIndex(1);
    ASSERT_EQ(gSisanCode.SisanId, 2);
    whenModal([](QWidget *dialog) {
        child<QPushButton>(dialog, "pbtSisanTuika")->click();
        child<QLineEdit>(dialog, "tfdSisankoumokuNamae")->setText(QString::fromUtf8("財布"));
        child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->setText(QStringLiteral("1500"));
        child<QPushButton>(dialog, "pbtSisanKoumokuKanryou")->click();
        closeDialog(dialog);
    });
    trigger("SisanKoumokuKanri");
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(w->lsbSisan()->rowCount(), 3);
    EXPECT_EQ(w->lsbSisan()->cell(2, 1), QString::fromUtf8("財布"));
    EXPECT_EQ(w->lsbSisan()->listIndex(), 0);
    EXPECT_EQ(gSisanCode.SisanId, 1);
    EXPECT_EQ(gDicSisan.count(), 3);
}

TEST_F(MenuCommandsTest, TheAccountCommandYieldsWhetherTheEntryListWasRefilled)
{
    wndKakeibo *w = startWithLedger();
    whenModal(closeDialog);
    EXPECT_TRUE(w->_SisanKoumokuKanri_Action());
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    whenModal(closeDialog);
    EXPECT_FALSE(w->_SisanKoumokuKanri_Action());
    exec(QStringLiteral("ALTER TABLE Gone RENAME TO Items"));
}

// Closing the account dialog lists the first account's entries once and leaves what the
// selection's listing and the command's own second one leave; when the first fails, the
// second is made and says so again.
TEST_F(MenuCommandsTest, TheAccountCommandListsTheEntriesOnceAsTwoListingsWould)
{
    wndKakeibo *w = startWithLedger();
    for (int i = 0; i < 30; ++i) {
        exec(QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouId, "
                            "Syukkin, Bikou) VALUES ('2024-04-%1', 2024, 4, %1, 1, 1, 2, -1, %2, 'm')")
                 .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                 .arg(i * 10));
    }
    const auto elsewhere = [w] {
        w->lsbSisan()->setListIndex(1);
        w->lsbItem()->setScrollPosition(0);
        w->pbtHensyuu()->setEnabled(true);
    };
    elsewhere();
    int reads = itemsReadsDuring([w] {
        GSisanCodeInit = true;
        w->SetlsbSisan();
        EXPECT_TRUE(w->SetlsbItem(-1));
    });
    const QString twice = windowState(w);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(w->lsbItem()->scrollPosition(), 13);

    elsewhere();
    reads = itemsReadsDuring([w] {
        whenModal(closeDialog);
        EXPECT_TRUE(w->_SisanKoumokuKanri_Action());
    });
    EXPECT_EQ(windowState(w), twice);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    whenModal(closeDialog);
    EXPECT_FALSE(w->_SisanKoumokuKanri_Action());
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("from Method SetlsbItem: no such table: Items"),
                                           QStringLiteral("from Method SetlsbItem: no such table: Items")}));
    exec(QStringLiteral("ALTER TABLE Gone RENAME TO Items"));
}

TEST_F(MenuCommandsTest, TheTransferPopupFollowsTheAccountsAfterTheAccountDialog)
{
    wndKakeibo *w = startWithLedger();
    w->pbtSinki()->click();
    w->rbtIdou()->setValue(true);
    ASSERT_EQ(w->ppmHimoku()->rowCount(), 2);
    whenModal([](QWidget *dialog) {
        child<QPushButton>(dialog, "pbtSisanTuika")->click();
        child<QLineEdit>(dialog, "tfdSisankoumokuNamae")->setText(QStringLiteral("Card"));
        child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->setText(QStringLiteral("0"));
        child<QPushButton>(dialog, "pbtSisanKoumokuKanryou")->click();
        closeDialog(dialog);
    });
    trigger("SisanKoumokuKanri");
    ASSERT_EQ(w->ppmHimoku()->rowCount(), 3);
    EXPECT_EQ(w->ppmHimoku()->rowText(2), QStringLiteral("Card"));
    EXPECT_EQ(gDicIdIndex.count(), 3);
}

TEST_F(MenuCommandsTest, AfterTheCategoryDialogThePopupListsOnlySubItems)
{
    wndKakeibo *w = startWithLedger();
    w->pbtSinki()->click();
    ASSERT_TRUE(w->rbtSisyutu()->value());
    ASSERT_EQ(w->ppmHimoku()->rowCount(), 63);
    whenModal(closeDialog);
    trigger("HimokuKoumokuKanri");
    EXPECT_EQ(w->ppmHimoku()->rowCount(), 48);
    EXPECT_EQ(gDicSisyutu.count(), 48);
    // Row i of the popup is the i-th key of the rebuilt table.
    EXPECT_EQ(gDicIdIndex.value(*gDicSisyutu.keyAt(5)), 5);
    EXPECT_EQ(w->ppmHimoku()->listIndex(), 0);
    EXPECT_EQ(w->ppmHimoku()->rowText(0), QString::fromUtf8("食費/食材"));
}

TEST_F(MenuCommandsTest, TheYearlyReportTurnsTheOpenAssetReportWindowIntoItAndWaits)
{
    startWithLedger();
    trigger("mnuSisanReport");
    ASSERT_TRUE(wndPrev::exists());
    wndPrev *report = wndPrev::instance();
    EXPECT_EQ(report->iReportCode(), kAssetReport);
    EXPECT_TRUE(report->isVisible());

    int seenCode = 0;
    whenModal([&seenCode](QWidget *modal) {
        auto *window = qobject_cast<wndPrev *>(modal);
        ASSERT_TRUE(window);
        seenCode = window->iReportCode();
        window->close();
    });
    trigger("mnuKakeiboReport");
    EXPECT_EQ(seenCode, kYearlyReport);
    EXPECT_FALSE(wndPrev::exists());
}

TEST_F(MenuCommandsTest, PrinterSetupIsKeptOnlyWhenConfirmed)
{
    wndKakeibo::instance();
    gPS.setLandscape(true);
    const QString before = gPS.setupString();
    trigger("mnuPrintSetUp");
    EXPECT_EQ(m_ui->pageSetupCount, 1);
    EXPECT_FALSE(gPrinter.SetupDone);
    EXPECT_EQ(gPS.setupString(), before);

    m_ui->pageSetupAnswers = {true};
    trigger("mnuPrintSetUp");
    EXPECT_TRUE(gPrinter.SetupDone);
    EXPECT_FALSE(gPS.landscape());

    trigger("mnuPrintSetUp");
    EXPECT_TRUE(gPrinter.SetupDone) << "stays set once confirmed";
}

} // namespace
