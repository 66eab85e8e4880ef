// A failing write and the ledger's lock. Each action that writes holds the write lock from its
// begin; when one of its statements fails, the action is rolled back before its message is
// shown, so another program can write to the ledger while the user reads the box. A user
// action started while another transaction runs is refused rather than joined, so it never
// reports as saved what the other one may still roll back.

#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/AccountMaintenance.h"
#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"

#include <QLineEdit>
#include <QPushButton>

#include <sqlite3.h>

#include <functional>

namespace {

// One user action that writes, made to fail by the trigger at a statement after the first.
struct FailingWrite
{
    const char *what;
    const char *trigger;
    // The first message the user sees.
    QString message;
    std::function<void()> run;
};

class FailureMessageTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        createLedger(kLedger);
        addSampleEntries(30);
        // The other program writes here, untouched by the triggers that make the actions fail.
        exec(QStringLiteral("CREATE TABLE Probe (N INTEGER)"));
        showMainWindow();
    }

    // A write by another connection to the same file that does not wait for a lock: empty
    // when it went through, else SQLite's reason.
    QString writeFromAnotherProgram()
    {
        sqlite3 *other = nullptr;
        QString failure;
        if (sqlite3_open_v2(path(kLedger).toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            failure = QString::fromUtf8(sqlite3_errmsg(other));
        } else {
            sqlite3_busy_timeout(other, 0);
            char *error = nullptr;
            if (sqlite3_exec(other, "INSERT INTO Probe VALUES (1)", nullptr, nullptr, &error) != SQLITE_OK) {
                failure = QString::fromUtf8(error ? error : sqlite3_errmsg(other));
            }
            sqlite3_free(error);
        }
        sqlite3_close(other);
        return failure;
    }

    // Entry form: New with the kind, the popup row, an amount, a memo, Input.
    std::function<void()> newEntry(RadioButton *kind, const char *choice)
    {
        return [this, kind, choice] {
            enterNew(kind, QString::fromUtf8(choice), QStringLiteral("1234"), QStringLiteral("m"));
        };
    }

    // Entry form: an entry of the kind shown, Edit with a new amount, Input (confirmed).
    std::function<void()> editEntry(int32_t kind)
    {
        return [this, kind] {
            ASSERT_TRUE(chooseEntry(kind));
            m_w->pbtHensyuu()->click();
            m_w->tfdKingaku()->setText(QStringLiteral("999"));
            m_ui->confirmAnswers.push_back(true);
            m_w->pbtNyuryoku()->click();
        };
    }

    // Entry form: an entry of the kind shown, Delete, Input, confirmed.
    std::function<void()> deleteEntry(int32_t kind)
    {
        return [this, kind] {
            ASSERT_TRUE(chooseEntry(kind));
            m_w->pbtSakujyo()->click();
            m_ui->confirmAnswers.push_back(true);
            m_w->pbtNyuryoku()->click();
        };
    }

    std::vector<FailingWrite> failingWrites()
    {
        const char *sisanUpdate =
            "CREATE TRIGGER fail BEFORE UPDATE ON Sisan BEGIN SELECT RAISE(ABORT,'forced'); END";
        const QString balance = QStringLiteral("from Method UpdateSisanZankin: forced");
        return {
            // The entry form's actions write their entries, then fail at the balance.
            {"new expense", sisanUpdate, balance, newEntry(m_w->rbtSisyutu(), "食費/食材")},
            {"new transfer", sisanUpdate, balance, newEntry(m_w->rbtIdou(), "預金")},
            {"changed expense", sisanUpdate, balance, editEntry(1)},
            {"changed transfer pair",
             "CREATE TRIGGER fail BEFORE UPDATE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
             "RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method KinyuuHensyuuIdou saki: forced"), editEntry(3)},
            {"deleted expense", sisanUpdate, balance, deleteEntry(1)},
            {"deleted transfer pair",
             "CREATE TRIGGER fail BEFORE DELETE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
             "RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method KinyuSakujyo Idousaki: forced"), deleteEntry(3)},
            // The account dialog's Done.
            {"account add",
             "CREATE TRIGGER fail BEFORE INSERT ON Sisan BEGIN SELECT RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method SisanSakujyo: forced"),
             [] {
                 dlgSisan dialog;
                 press(dialog, "pbtSisanTuika");
                 child<QLineEdit>(dialog, "tfdSisankoumokuNamae")->setText(QStringLiteral("new"));
                 child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->setText(QStringLiteral("10"));
                 press(dialog, "pbtSisanKoumokuKanryou");
             }},
            {"account edit", sisanUpdate, QStringLiteral("from Method SisanHensyuu: forced"),
             [] {
                 dlgSisan dialog;
                 dialog.lsbSisan_CellClick(0, 0);
                 press(dialog, "pbtSisanHensyuu");
                 child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->setText(QStringLiteral("10"));
                 press(dialog, "pbtSisanKoumokuKanryou");
             }},
            {"account delete, after its entries",
             "CREATE TRIGGER fail BEFORE DELETE ON Sisan BEGIN SELECT RAISE(ABORT,'forced'); END",
             QString::fromUtf8("from SusanSakujyo データを削除できませんでいた。"),
             [this] {
                 dlgSisan dialog;
                 dialog.lsbSisan_CellClick(1, 0);
                 press(dialog, "pbtSisanSakujyo");
                 m_ui->confirmAnswers.push_back(true);
                 press(dialog, "pbtSisanKoumokuKanryou");
             }},
            // The category dialog's Done.
            {"category add, at its first sub-item",
             "CREATE TRIGGER fail BEFORE INSERT ON Himoku WHEN NEW.Hno <> 0 BEGIN SELECT "
             "RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method Himokutuika add Utiwake: forced"),
             [] {
                 dlgHimoku dialog;
                 press(dialog, "pbtHimokuTuika");
                 child<QLineEdit>(dialog, "tfdHimokuNamae")->setText(QStringLiteral("new"));
                 press(dialog, "pbtKoumokuKanryou");
             }},
            {"sub-item rename",
             "CREATE TRIGGER fail BEFORE UPDATE ON Himoku BEGIN SELECT RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method HimokuHensyuu: forced"),
             [] {
                 dlgHimoku dialog;
                 dialog.lsbHimoku_CellClick(categoryRow(dialog, 2), 0);
                 press(dialog, "pbtKoumokuHensyuu");
                 child<QLineEdit>(dialog, "tfdUtiwakeNamae")->setText(QStringLiteral("renamed"));
                 press(dialog, "pbtKoumokuKanryou");
             }},
            {"sub-item delete, after its entries",
             "CREATE TRIGGER fail BEFORE DELETE ON Himoku BEGIN SELECT RAISE(ABORT,'forced'); END",
             QString::fromUtf8("この内訳を削除できませんでいた。forced"),
             [this] {
                 dlgHimoku dialog;
                 dialog.lsbHimoku_CellClick(categoryRow(dialog, 2), 0);
                 press(dialog, "pbtKoumokuSakujyo");
                 m_ui->confirmAnswers.push_back(true);
                 press(dialog, "pbtKoumokuKanryou");
             }},
            {"merge, after re-booking the entries",
             "CREATE TRIGGER fail BEFORE DELETE ON Himoku BEGIN SELECT RAISE(ABORT,'forced'); END",
             QStringLiteral("from Method HimokuTougou deleteforced"),
             [this] {
                 dlgHimoku dialog;
                 dialog.lsbHimoku_CellClick(categoryRow(dialog, 2), 0);
                 press(dialog, "pbtUtiwakeTougou");
                 auto *targets = child<PopupMenu>(dialog, "ppmUtiwakeTougouSaki");
                 targets->setListIndex(targets->findText(gDicSisyutu.value(3)));
                 m_ui->confirmAnswers.push_back(true);
                 press(dialog, "pbtKoumokuKanryou");
             }},
        };
    }

    const QString kLedger = QStringLiteral("ledger.sqlf");
};

TEST_F(FailureMessageTest, AnotherProgramCanWriteWhileAFailedActionsMessageIsOpen)
{
    for (const FailingWrite &write : failingWrites()) {
        SCOPED_TRACE(write.what);
        exec(QString::fromUtf8(write.trigger));
        const QString before = dumpLedger(path(kLedger));
        m_ui->messages.clear();
        QStringList othersWrites;
        m_ui->whileMessageShown = [&](const QString &) { othersWrites << writeFromAnotherProgram(); };

        write.run();

        m_ui->whileMessageShown = nullptr;
        ASSERT_FALSE(m_ui->messages.isEmpty()) << "the failure was not reported";
        EXPECT_EQ(m_ui->messages[0], write.message) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        for (const QString &failure : othersWrites) {
            EXPECT_TRUE(failure.isEmpty())
                << "another program could not write while the message was open: " << failure.toStdString();
        }
        EXPECT_FALSE(KakeiboDB->inTransaction());
        EXPECT_EQ(dumpLedger(path(kLedger)), before) << "the failed action was not rolled back whole";
        exec(QStringLiteral("DROP TRIGGER fail"));
    }
    EXPECT_GT(scalar(QStringLiteral("SELECT count(*) FROM Probe")), 0);
    expectSound(kLedger);
}

TEST_F(FailureMessageTest, AnActionStartedInsideAnotherTransactionIsRefusedAndNotReportedAsSaved)
{
    const QString before = dumpLedger(path(kLedger));
    const int listed = m_w->lsbItem()->rowCount();
    const qint64 entries = scalar(QStringLiteral("SELECT count(*) FROM Items"));
    const QString nested = QStringLiteral("cannot start a transaction within a transaction");
    {
        Transaction other(KakeiboDB.get());
        ASSERT_TRUE(other.isActive());
        enterNew(m_w->rbtSisyutu(), QString::fromUtf8("食費/食材"), QStringLiteral("1234"),
                 QStringLiteral("m"));
        addAccount(QStringLiteral("new"), QStringLiteral("10"));
        // Neither action wrote into the other transaction (this connection would see it), which
        // now ends without a commit.
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), entries);
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan WHERE Namae = 'new'")), 0);
    }
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu: ") + nested,
                           QStringLiteral("from Method SisanSakujyo: ") + nested}));
    EXPECT_EQ(m_w->lsbItem()->rowCount(), listed) << "the list shows an entry the ledger does not hold";
    EXPECT_EQ(dumpLedger(path(kLedger)), before);
}

} // namespace
