#include "ledger/BalanceRule.h"
#include "app/mdlGlobal.h"

#include "support/LedgerTestFixture.h"

namespace {

class BalanceRuleTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        createLedger(QStringLiteral("balance.sqlf"));
    }

    void item(int32_t sisan, int32_t kind, const char *nyuukin, const char *syukkin)
    {
        exec(QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, Nyuukin, Syukkin) "
                            "VALUES ('2024-01-01', 2024, 1, 1, %1, %2, %3, %4)")
                 .arg(sisan)
                 .arg(kind)
                 .arg(QString::fromLatin1(nyuukin), QString::fromLatin1(syukkin)));
    }
};

TEST_F(BalanceRuleTest, TheBalanceIsTheOpeningAmountPlusReceiptsMinusPaymentsOfEveryKind)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 900, Zankin = 12345 WHERE Id = 1"));
    item(1, 1, "NULL", "300");
    item(1, 2, "500", "NULL");
    item(1, 3, "NULL", "200");
    item(1, 4, "100", "NULL");
    item(2, 1, "NULL", "7");
    EXPECT_EQ(UpdateSisanZankin(1), QStringLiteral("1000"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), 1000);
    // An account without entries of a kind, or without any: the empty sums count 0.
    exec(QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', -50, 0)"));
    EXPECT_EQ(UpdateSisanZankin(3), QStringLiteral("-50"));
    EXPECT_EQ(UpdateSisanZankin(2), QStringLiteral("-7"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), -7);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(BalanceRuleTest, BalancesBeyondThe32BitRangeAreKeptWhole)
{
    item(1, 1, "NULL", "2000000000");
    item(1, 1, "NULL", "2000000000");
    EXPECT_EQ(UpdateSisanZankin(1), QStringLiteral("-4000000000"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), -4000000000LL);
}

TEST_F(BalanceRuleTest, AFailedStatementShowsItsMessageAndYieldsError)
{
    exec(QStringLiteral("CREATE TRIGGER t BEFORE UPDATE ON Sisan BEGIN SELECT RAISE(ABORT,'boom'); END"));
    EXPECT_EQ(UpdateSisanZankin(1), QStringLiteral("ERROR"));
    exec(QStringLiteral("ALTER TABLE Sisan RENAME TO Gone"));
    EXPECT_EQ(UpdateSisanZankin(1), QStringLiteral("ERROR"));
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone2"));
    EXPECT_EQ(UpdateSisanZankin(1), QStringLiteral("ERROR"));
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method UpdateSisanZankin: boom"),
                           QStringLiteral("no such table: Sisan"), QStringLiteral("no such table: Items")}));
}

} // namespace
