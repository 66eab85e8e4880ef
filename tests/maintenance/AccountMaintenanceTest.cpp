#include "MaintenanceFixture.h"

#include "app/mdlGlobal.h"
#include "maintenance/AccountMaintenance.h"

#include <functional>

class AccountMaintenanceTest : public MaintenanceFixture
{
protected:
    // The account as the dialog lists it, to act on.
    static ShownAccount listed(int32_t id)
    {
        AccountRow gone;
        gone.id = id;
        return shownAccount(readAccount(id).value_or(gone));
    }
};

TEST_F(AccountMaintenanceTest, ReadingTheAccountsRebuildsTheLookupTableInTableOrder)
{
    exec(QStringLiteral("INSERT INTO Sisan VALUES (7, '財布', -500, 1234567890123)"));
    gDicSisan.clear();
    const auto accounts = readAccounts();
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(accounts[2].id, 7);
    EXPECT_EQ(accounts[2].name, QStringLiteral("財布"));
    EXPECT_EQ(accounts[2].opening, -500);
    EXPECT_EQ(accounts[2].balance, 1234567890123LL);
    EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{1, 2, 7}));
    EXPECT_EQ(gDicSisan.value(2), QStringLiteral("預金"));
}

TEST_F(AccountMaintenanceTest, AFailedReadShowsItsMessageAndLeavesTheTableEmpty)
{
    exec(QStringLiteral("DROP TABLE Sisan"));
    EXPECT_TRUE(readAccounts().empty());
    EXPECT_TRUE(gDicSisan.isEmpty());
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method RepopulateLsbSisan: no such table: Sisan")});

    EXPECT_FALSE(readAccount(1).has_value());
    EXPECT_EQ(m_ui->messages.last(),
              QStringLiteral("from Method SisankoumokuSelected: no such table: Sisan"));
}

TEST_F(AccountMaintenanceTest, AddingStoresTheParsedAmountAsOpeningAmountAndBalance)
{
    struct Case
    {
        QString name;
        QString typed;
        qint64 stored;
    };
    const Case cases[] = {
        {QStringLiteral("財布"), QStringLiteral("1000"), 1000},
        {QStringLiteral(""), QStringLiteral("0"), 0},
        {QStringLiteral("O'Neil"), QStringLiteral(" +0500 "), 500},
        {QStringLiteral("x'); DELETE FROM Items; --"), QStringLiteral("-2147483648"), -2147483648LL},
    };
    int id = 3;
    for (const Case &c : cases) {
        EXPECT_TRUE(addAccount(c.name, c.typed));
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Sisan WHERE Id = %1").arg(id)), 1);
        auto row = readAccount(id);
        ASSERT_TRUE(row.has_value()) << c.typed.toStdString();
        EXPECT_EQ(row->name, c.name);
        EXPECT_EQ(row->opening, c.stored);
        EXPECT_EQ(row->balance, c.stored);
        EXPECT_EQ(
            scalar(
                QStringLiteral("SELECT typeof(SyokiKingaku) = 'integer' FROM Sisan WHERE Id = %1").arg(id)),
            1);
        ++id;
    }
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(AccountMaintenanceTest, AnAmountThatIsNotAWholeNumberIsRefusedBeforeAnythingIsWritten)
{
    const QString before = dump();
    for (const char *typed : {"abc", "", "12a", "1.5", "1e3", "1,000", "99999999999", "１０００"}) {
        m_ui->messages.clear();
        EXPECT_FALSE(addAccount(QStringLiteral("財布"), QString::fromUtf8(typed))) << typed;
        EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("初期金額のデータが数値ではありません")})
            << typed;
        m_ui->messages.clear();
        EXPECT_FALSE(editAccount(listed(1), QStringLiteral("財布"), QString::fromUtf8(typed))) << typed;
        EXPECT_EQ(m_ui->messages,
                  QStringList{QStringLiteral("from SisanHensyuu 初期金額  のデータが数値ではありません ")})
            << typed;
    }
    EXPECT_EQ(dump(), before);
}

TEST_F(AccountMaintenanceTest, AFailedInsertShowsItsMessageWritesNothingAndStillClosesThePanel)
{
    failOn(QStringLiteral("INSERT"), QStringLiteral("Sisan"));
    const QString before = dump();
    EXPECT_TRUE(addAccount(QStringLiteral("財布"), QStringLiteral("1000")));
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from Method SisanSakujyo: boom")});
    EXPECT_EQ(dump(), before);
}

TEST_F(AccountMaintenanceTest, ChangingTheOpeningAmountShiftsTheStoredBalanceWithoutReadingEntries)
{
    // A balance that does not match the entries on purpose: the edit shifts what is stored.
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 1000, Zankin = 800 WHERE Id = 1"));
    addExpense(1, 2, 300);
    const qint64 entries = scalar(QStringLiteral("SELECT COUNT(*) FROM Items"));

    EXPECT_TRUE(editAccount(listed(1), QStringLiteral("お財布"), QStringLiteral("1500")));
    auto row = readAccount(1);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->name, QStringLiteral("お財布"));
    EXPECT_EQ(row->opening, 1500);
    EXPECT_EQ(row->balance, 1300);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), entries);

    EXPECT_TRUE(editAccount(listed(1), QStringLiteral("It's mine"), QStringLiteral("1500")));
    row = readAccount(1);
    EXPECT_EQ(row->name, QStringLiteral("It's mine"));
    EXPECT_EQ(row->balance, 1300);
}

TEST_F(AccountMaintenanceTest, TheShiftIsWorkedOutIn64Bits)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = -2147483648, Zankin = 3000000000 WHERE Id = 1"));
    EXPECT_TRUE(editAccount(listed(1), QStringLiteral("現金"), QStringLiteral("2147483647")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")),
              2147483647LL + 2147483648LL + 3000000000LL);
}

TEST_F(AccountMaintenanceTest, AFailedEditShowsBothMessagesAndWritesNothing)
{
    failOn(QStringLiteral("UPDATE"), QStringLiteral("Sisan"));
    const QString before = dump();
    EXPECT_FALSE(editAccount(listed(1), QStringLiteral("x"), QStringLiteral("5")));
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method SisanHensyuu: boom"), QStringLiteral("boom")}));
    EXPECT_EQ(dump(), before);

    m_ui->messages.clear();
    const ShownAccount cash = listed(1);
    exec(QStringLiteral("DROP TRIGGER fail_UPDATE_Sisan"));
    exec(QStringLiteral("ALTER TABLE Sisan RENAME TO Gone"));
    EXPECT_FALSE(editAccount(cash, QStringLiteral("x"), QStringLiteral("5")));
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from SisanHensyuu no such table: Sisan")});
}

// Done then says why nothing happened, and the list is read again.
TEST_F(AccountMaintenanceTest, EditingAnAccountThatIsGoneWritesNothingAndSaysSo)
{
    const QString before = dump();
    EXPECT_TRUE(
        editAccount(ShownAccount{99, QStringLiteral("財布"), 0}, QStringLiteral("x"), QStringLiteral("5")));
    EXPECT_EQ(m_ui->messages, QStringList{changedChoiceMessage()});
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

TEST_F(AccountMaintenanceTest, DeletingTakesTheEntriesAndBothHalvesOfTransfersAndRecomputesThePartners)
{
    exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'カード', 10000, 0)"));
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 500 WHERE Id = 2"));
    addExpense(1, 2, 300);
    addIncome(1, 77, 2000);
    addTransfer(1, 2, 700); // cash -> deposit
    addTransfer(3, 1, 400); // card -> cash
    addTransfer(1, 1, 50);  // cash to itself
    addExpense(2, 3, 100);
    addIncome(3, 77, 5);
    addTransfer(2, 3, 1000); // not cash: stays
    settleBalances();

    EXPECT_TRUE(deleteAccountWithEntries(listed(1)));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Sisan WHERE Id = 1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE SisanNo = 1 OR IdouSisanNo = 1")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 4);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), 500 - 100 - 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 3")), 10000 + 5 + 1000);
    EXPECT_EQ(inconsistentAccounts(), 0);
}

TEST_F(AccountMaintenanceTest, DeletingAnAccountWithoutEntriesRemovesOnlyItsRow)
{
    addExpense(2, 2, 300);
    // A stale balance elsewhere shows that no other account is recomputed.
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 42 WHERE Id = 2"));
    EXPECT_TRUE(deleteAccountWithEntries(listed(1)));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Sisan")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), 42);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 1);
}

TEST_F(AccountMaintenanceTest, AnyFailingStepOfTheDeleteLeavesTheLedgerAsItWas)
{
    struct Case
    {
        const char *what;
        std::function<void()> arrange;
        QStringList messages;
    };
    const Case cases[] = {
        {"partner read",
         [this] { denySelectOf(QStringLiteral("Items"), QStringLiteral("IdouSisanNo")); },
         {QStringLiteral("from SisanSakujyo データを削除できませんでいた。")}},
        {"entries delete",
         [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Items")); },
         {QStringLiteral("from SisanSakujyo データを削除できませんでいた。")}},
        {"balance rule",
         [this] { failOn(QStringLiteral("UPDATE"), QStringLiteral("Sisan")); },
         {QStringLiteral("from Method UpdateSisanZankin: boom")}},
        {"account delete",
         [this] { failOn(QStringLiteral("DELETE"), QStringLiteral("Sisan")); },
         {QStringLiteral("from SusanSakujyo データを削除できませんでいた。")}},
    };
    addExpense(1, 2, 300);
    addTransfer(2, 1, 700);
    settleBalances();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        const QString before = dump();
        m_ui->messages.clear();
        EXPECT_FALSE(deleteAccountWithEntries(listed(1)));
        EXPECT_EQ(m_ui->messages, c.messages);
        EXPECT_EQ(dump(), before);
        EXPECT_FALSE(KakeiboDB->inTransaction());
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_DELETE_Items"));
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_UPDATE_Sisan"));
        exec(QStringLiteral("DROP TRIGGER IF EXISTS fail_DELETE_Sisan"));
        denySelectOf(QString(), QString());
    }
}

TEST_F(AccountMaintenanceTest, ALedgerLockedByAnotherProgramIsLeftAlone)
{
    addExpense(1, 2, 300);
    settleBalances();
    const QString before = dump();
    LedgerConnection other(KakeiboDB->databaseFile());
    ASSERT_TRUE(other.connect());
    ASSERT_TRUE(other.execute(QStringLiteral("BEGIN IMMEDIATE")));
    // Waits out the busy timeout, then gives up before writing anything.
    EXPECT_FALSE(deleteAccountWithEntries(listed(1)));
    ASSERT_EQ(m_ui->messages.size(), 1);
    EXPECT_TRUE(
        m_ui->messages[0].startsWith(QStringLiteral("from SisanSakujyo データを削除できませんでいた。")));
    other.execute(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(dump(), before);
}
