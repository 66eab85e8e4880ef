#include "ledger/EntryWriter.h"
#include "app/mdlGlobal.h"
#include "ledger/ChosenEntry.h"

#include "LedgerText.h"
#include "support/LedgerTestFixture.h"

namespace {

constexpr int32_t kGenkin = 1;
constexpr int32_t kYokin = 2;
constexpr int32_t kSyokuzai = 2;  // 食費/食材
constexpr int32_t kKyuuryou = 77; // 給料/給料

class EntryWriterTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        createLedger(QStringLiteral("entries.sqlf"));
    }

    LedgerConnection &db() { return *KakeiboDB; }

    // Every Items row, to compare the whole table before and after.
    QString itemsDump()
    {
        return queryText(
            QStringLiteral("SELECT Id, Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, quote(HimokuNo), "
                           "quote(IdouSisanNo), IdouId, "
                           "quote(Nyuukin), quote(Syukkin), quote(Bikou) FROM Items ORDER BY Id"));
    }

    QString itemRow(int32_t id)
    {
        auto rows = KakeiboDB->select(
            QStringLiteral(
                "SELECT typeof(Hizuke), Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, quote(HimokuNo), "
                "quote(IdouSisanNo), IdouId, quote(Nyuukin), quote(Syukkin), Bikou FROM Items "
                "WHERE Id = ") +
            QString::number(id));
        EXPECT_TRUE(rows && !rows->atEnd());
        QStringList cells;
        for (int i = 0; rows && i < rows->columnCount(); ++i) {
            cells << rows->textAt(i);
        }
        return cells.join(QLatin1Char('|'));
    }

    static EntryValues values(int32_t amount, const QString &memo = QStringLiteral("memo"))
    {
        return EntryValues{2024, 3, 5, amount, memo};
    }

    static PairRows both(const TransferRows &rows) { return PairRows{rows.sourceId, rows.destinationId}; }
};

TEST_F(EntryWriterTest, ExpenseAndIncomeRowsFillTheColumnsOfTheirKind)
{
    const auto expense = insertEntry(db(), kGenkin, kExpense, kSyokuzai, values(500, QStringLiteral("パン")));
    const auto income = insertEntry(db(), kYokin, kIncome, kKyuuryou, values(-7, QStringLiteral("x")));
    ASSERT_TRUE(expense && income);
    EXPECT_EQ(itemRow(*expense), QStringLiteral("text|2024-03-05|2024|3|5|1|1|2|NULL|-1|NULL|500|パン"));
    EXPECT_EQ(itemRow(*income), QStringLiteral("text|2024-03-05|2024|3|5|2|2|77|NULL|-1|-7|NULL|x"));
    EXPECT_EQ(*income, *expense + 1);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(EntryWriterTest, TheFirstUseOfASubItemInsertsItsLastItemsRowAndTheNextReplacesIt)
{
    EXPECT_EQ(saveLastItems(db(), kSyokuzai, values(1500, QStringLiteral("first"))), LastItemsResult::Saved);
    EntryValues later{2025, 12, 31, 80, QStringLiteral("it's later")};
    EXPECT_EQ(saveLastItems(db(), kSyokuzai, later), LastItemsResult::Saved);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LastItems")), 1);
    auto rows = KakeiboDB->select(QStringLiteral("SELECT Id, Hizuke, Kingaku, Bikou FROM LastItems"));
    ASSERT_TRUE(rows && !rows->atEnd());
    EXPECT_EQ(rows->intAt(0), kSyokuzai);
    EXPECT_EQ(rows->textAt(1), QStringLiteral("2025-12-31"));
    EXPECT_EQ(rows->int64At(2), 80);
    EXPECT_EQ(rows->textAt(3), QStringLiteral("it's later"));

    const auto used = readLastUsed(db(), kSyokuzai);
    ASSERT_TRUE(used);
    EXPECT_EQ(used->amount, 80);
    EXPECT_EQ(used->memo, QStringLiteral("it's later"));
    EXPECT_FALSE(readLastUsed(db(), kKyuuryou));
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(EntryWriterTest, LastItemsFailuresTellAReadFromAWrite)
{
    exec(QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON LastItems BEGIN SELECT RAISE(ABORT,'boom'); END"));
    EXPECT_EQ(saveLastItems(db(), kSyokuzai, values(1)), LastItemsResult::WriteFailed);
    exec(QStringLiteral("DROP TRIGGER t"));
    exec(QStringLiteral("INSERT INTO LastItems VALUES (2, '2024-01-01', 5, 'm')"));
    exec(QStringLiteral("CREATE TRIGGER t BEFORE UPDATE ON LastItems BEGIN SELECT RAISE(ABORT,'boom'); END"));
    EXPECT_EQ(saveLastItems(db(), kSyokuzai, values(1)), LastItemsResult::WriteFailed);
    exec(QStringLiteral("ALTER TABLE LastItems RENAME TO Gone"));
    EXPECT_EQ(saveLastItems(db(), kSyokuzai, values(1)), LastItemsResult::ReadFailed);
    EXPECT_FALSE(readLastUsed(db(), kSyokuzai));
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu LastItems insert: boom"),
                           QStringLiteral("from Method KinyuuHensyuu LastItem Update: boom"),
                           QStringLiteral("from KinyuSinkiSisyutuSyuunyuu LastItems Record change : no such "
                                          "table: LastItems"),
                           QStringLiteral("from ppmHimoku Change event : no such table: LastItems")}));
}

TEST_F(EntryWriterTest, ATransferIsTwoLinkedRowsWithTheSameDateAmountAndMemo)
{
    const auto rows =
        insertTransfer(db(), kGenkin, kYokin, EntryValues{2024, 4, 1, 1000, QStringLiteral("振替")});
    ASSERT_TRUE(rows);
    EXPECT_EQ(
        itemRow(rows->sourceId),
        QStringLiteral("text|2024-04-01|2024|4|1|1|3|NULL|2|%1|NULL|1000|振替").arg(rows->destinationId));
    EXPECT_EQ(itemRow(rows->destinationId),
              QStringLiteral("text|2024-04-01|2024|4|1|2|4|NULL|1|%1|1000|NULL|振替").arg(rows->sourceId));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LastItems")), 0);
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

TEST_F(EntryWriterTest, ChangingAnEntryRewritesItsKindsColumnsOnly)
{
    const auto id = insertEntry(db(), kGenkin, kExpense, kSyokuzai, values(500));
    ASSERT_TRUE(id);
    ASSERT_TRUE(
        rewriteEntry(db(), *id, kGenkin, kExpense, 3, EntryValues{2023, 11, 9, 700, QStringLiteral("n")}));
    EXPECT_EQ(itemRow(*id), QStringLiteral("text|2023-11-09|2023|11|9|1|1|3|NULL|-1|NULL|700|n"));

    const auto pair = insertTransfer(db(), kGenkin, kYokin, values(1000));
    ASSERT_TRUE(pair);
    ASSERT_TRUE(rewriteTransfer(db(), both(*pair), EntryValues{2024, 5, 6, 3000, QStringLiteral("y")}));
    EXPECT_EQ(itemRow(pair->sourceId),
              QStringLiteral("text|2024-05-06|2024|5|6|1|3|NULL|2|%1|NULL|3000|y").arg(pair->destinationId));
    EXPECT_EQ(itemRow(pair->destinationId),
              QStringLiteral("text|2024-05-06|2024|5|6|2|4|NULL|1|%1|3000|NULL|y").arg(pair->sourceId));

    // One row of a broken pair is rewritten alone.
    ASSERT_TRUE(rewriteTransfer(db(), PairRows{std::nullopt, pair->destinationId},
                                EntryValues{2024, 5, 7, 40, QStringLiteral("z")}));
    EXPECT_EQ(itemRow(pair->sourceId),
              QStringLiteral("text|2024-05-06|2024|5|6|1|3|NULL|2|%1|NULL|3000|y").arg(pair->destinationId));
    EXPECT_EQ(itemRow(pair->destinationId),
              QStringLiteral("text|2024-05-07|2024|5|7|2|4|NULL|1|%1|40|NULL|z").arg(pair->sourceId));
}

TEST_F(EntryWriterTest, DeletingRemovesTheEntryOrBothRowsOfThePairAndNothingElse)
{
    const auto keep = insertEntry(db(), kGenkin, kExpense, kSyokuzai, values(1));
    const auto gone = insertEntry(db(), kGenkin, kIncome, kKyuuryou, values(2));
    const auto pair = insertTransfer(db(), kYokin, kGenkin, values(3));
    ASSERT_TRUE(keep && gone && pair);
    ASSERT_TRUE(saveLastItems(db(), kKyuuryou, values(2)) == LastItemsResult::Saved);
    EXPECT_TRUE(deleteEntry(db(), *gone));
    EXPECT_TRUE(deleteTransfer(db(), both(*pair)));
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(Id) FROM Items")), *keep);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LastItems")), 1);

    // The one row of a broken pair goes alone: the row in the Id its partner would hold stays.
    const auto lone = insertTransfer(db(), kYokin, kGenkin, values(4));
    ASSERT_TRUE(lone);
    EXPECT_TRUE(deleteTransfer(db(), PairRows{std::nullopt, lone->destinationId}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 2);
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT count(*) FROM Items WHERE Id = ") + QString::number(lone->sourceId)),
        1);
    EXPECT_TRUE(deleteTransfer(db(), PairRows{lone->sourceId, std::nullopt}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT group_concat(Id) FROM Items")), *keep);
}

// The pair must be whole or absent, with the refused statement's message.
class TransferPairFailureTest : public EntryWriterTest, public ::testing::WithParamInterface<RefusedStatement>
{
};

TEST_P(TransferPairFailureTest, AFailingStatementLeavesTheLedgerAsItWas)
{
    const auto single = insertEntry(db(), kGenkin, kExpense, kSyokuzai, values(10));
    const auto pair = insertTransfer(db(), kGenkin, kYokin, values(20));
    ASSERT_TRUE(single && pair);
    const QString before = itemsDump();
    exec(QString::fromUtf8(GetParam().trigger));

    const QString operation = QString::fromUtf8(GetParam().message).section(QLatin1Char(':'), 0, 0);
    if (operation.contains(QStringLiteral("Sinki"))) {
        EXPECT_FALSE(insertTransfer(db(), kGenkin, kYokin, values(30)));
    } else if (operation.contains(QStringLiteral("Hensyuu"))) {
        EXPECT_FALSE(rewriteTransfer(db(), both(*pair), values(40)));
    } else {
        EXPECT_FALSE(deleteTransfer(db(), both(*pair)));
    }
    EXPECT_EQ(itemsDump(), before);
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8(GetParam().message)});
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

INSTANTIATE_TEST_SUITE_P(
    EachStatementOfAPair, TransferPairFailureTest,
    ::testing::Values(
        RefusedStatement{"SourceInsert",
                         "CREATE TRIGGER t BEFORE INSERT ON Items WHEN NEW.SyubetuNo = 3 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuuSinkiIdou: boom"},
        RefusedStatement{"DestinationInsert",
                         "CREATE TRIGGER t BEFORE INSERT ON Items WHEN NEW.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuuSinki  insert Idousaki Item: boom"},
        RefusedStatement{
            "Link", "CREATE TRIGGER t BEFORE UPDATE OF IdouId ON Items BEGIN SELECT RAISE(ABORT,'boom'); END",
            "from Method KinyuuSinki  update Idomotoi Item: boom"},
        RefusedStatement{"SourceRewrite",
                         "CREATE TRIGGER t BEFORE UPDATE ON Items WHEN OLD.SyubetuNo = 3 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuuHensyuuIdou moto: boom"},
        RefusedStatement{"DestinationRewrite",
                         "CREATE TRIGGER t BEFORE UPDATE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuuHensyuuIdou saki: boom"},
        RefusedStatement{"SourceDelete",
                         "CREATE TRIGGER t BEFORE DELETE ON Items WHEN OLD.SyubetuNo = 3 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuSakujyo Idoumoto: boom"},
        RefusedStatement{"DestinationDelete",
                         "CREATE TRIGGER t BEFORE DELETE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); "
                         "END",
                         "from Method KinyuSakujyo Idousaki: boom"}),
    refusedStatementName);

TEST_F(EntryWriterTest, APairInsideACallersTransactionJoinsItAndLeavesTheRollbackToIt)
{
    const QString before = itemsDump();
    exec(QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON Items WHEN NEW.SyubetuNo = 4 BEGIN SELECT "
                        "RAISE(ABORT,'boom'); END"));
    {
        Transaction action(KakeiboDB.get());
        EXPECT_FALSE(insertTransfer(db(), kGenkin, kYokin, values(30)));
        EXPECT_TRUE(KakeiboDB->inTransaction());
    }
    EXPECT_EQ(itemsDump(), before);
}

TEST_F(EntryWriterTest, QuotesInAMemoAreStoredAsTypedAndChangeNoOtherRow)
{
    const auto other = insertEntry(db(), kYokin, kExpense, kSyokuzai, values(900, QStringLiteral("other")));
    const auto id = insertEntry(db(), kGenkin, kExpense, kSyokuzai, values(500));
    ASSERT_TRUE(other && id);
    const QString otherBefore = itemRow(*other);
    const QStringList memos{QStringLiteral("x' , Syukkin = 0 WHERE 1=1 --"), QStringLiteral("it's 'x'"),
                            QStringLiteral("'); DELETE FROM Items; --"), QStringLiteral("''")};
    for (const QString &memo : memos) {
        ASSERT_TRUE(rewriteEntry(db(), *id, kGenkin, kExpense, kSyokuzai, values(600, memo)));
        EXPECT_EQ(itemRow(*id).section(QLatin1Char('|'), 12), memo);
        const auto inserted = insertEntry(db(), kGenkin, kIncome, kKyuuryou, values(1, memo));
        ASSERT_TRUE(inserted);
        EXPECT_EQ(itemRow(*inserted).section(QLatin1Char('|'), 12), memo);
        ASSERT_EQ(saveLastItems(db(), kSyokuzai, values(1, memo)), LastItemsResult::Saved);
        EXPECT_EQ(readLastUsed(db(), kSyokuzai)->memo, memo);
    }
    EXPECT_EQ(itemRow(*other), otherBefore);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Syukkin FROM Items WHERE Id = ") + QString::number(*id)), 600);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EntryWriterTest, ReadingAnEntryGivesItsColumnsAndTellsAMissingOneFromAFailedRead)
{
    const auto pair =
        insertTransfer(db(), kGenkin, kYokin, EntryValues{2015, 2, 10, 250, QStringLiteral("m")});
    ASSERT_TRUE(pair);
    const auto chosen = readChosenEntry(db(), pair->destinationId);
    ASSERT_TRUE(chosen.found());
    const ShownEntry &entry = chosen.row.entry;
    EXPECT_EQ(entry.id, pair->destinationId);
    EXPECT_EQ(entry.date, QStringLiteral("2015-02-10"));
    EXPECT_EQ((std::vector<int>{entry.year, entry.month, entry.day}), (std::vector<int>{2015, 2, 10}));
    EXPECT_EQ(entry.account, kYokin);
    EXPECT_EQ(entry.kind, kTransferIn);
    EXPECT_EQ(entry.subItem, 0);
    EXPECT_EQ(entry.partnerAccount, kGenkin);
    EXPECT_EQ(entry.partnerEntry, pair->sourceId);
    EXPECT_EQ(entry.received, 250);
    EXPECT_EQ(entry.paid, 0);
    EXPECT_EQ(entry.memo, QStringLiteral("m"));
    ASSERT_TRUE(chosen.row.partner);
    EXPECT_EQ(chosen.row.partner->id, pair->sourceId);
    EXPECT_EQ(chosen.row.pairRows().sourceId, pair->sourceId);
    EXPECT_EQ(chosen.row.pairRows().destinationId, pair->destinationId);

    EXPECT_EQ(readChosenEntry(db(), 999).outcome, StoredRow<ChosenEntry>::Outcome::Missing);
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    EXPECT_EQ(readChosenEntry(db(), pair->sourceId).outcome, StoredRow<ChosenEntry>::Outcome::Failed);
    EXPECT_EQ(db().errorMessage(), QStringLiteral("no such table: Items"));
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

// A row names a partner only where that row is the other half and names it back; otherwise
// the pair is broken and only the chosen row is acted on.
TEST_F(EntryWriterTest, APartnerIsTheOtherHalfNamingTheChosenRowBack)
{
    const auto pair = insertTransfer(db(), kGenkin, kYokin, values(100));
    const auto expense = insertEntry(db(), kYokin, kExpense, kSyokuzai, values(7));
    ASSERT_TRUE(pair && expense);
    const QString out = QString::number(pair->sourceId);
    const QString in = QString::number(pair->destinationId);
    struct Case
    {
        const char *what;
        QString statement;
        int32_t chosen;
        bool partnered;
    };
    const Case cases[] = {
        {"whole pair, source", QString(), pair->sourceId, true},
        {"whole pair, destination", QString(), pair->destinationId, true},
        {"link never written", QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = ") + out,
         pair->sourceId, false},
        {"not named back", QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = ") + out,
         pair->destinationId, false},
        {"partner missing", QStringLiteral("DELETE FROM Items WHERE Id = ") + in, pair->sourceId, false},
        {"partner Id taken by an expense",
         QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2").arg(*expense).arg(out), pair->sourceId,
         false},
        {"partner of the same kind", QStringLiteral("UPDATE Items SET SyubetuNo = 3 WHERE Id = ") + in,
         pair->sourceId, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Transaction scratch(KakeiboDB.get());
        if (!c.statement.isEmpty()) {
            exec(c.statement);
        }
        const auto chosen = readChosenEntry(db(), c.chosen);
        ASSERT_TRUE(chosen.found());
        EXPECT_EQ(chosen.row.partner.has_value(), c.partnered);
        const PairRows rows = chosen.row.pairRows();
        EXPECT_EQ(rows.sourceId.has_value(), c.partnered || c.chosen == pair->sourceId);
        EXPECT_EQ(rows.destinationId.has_value(), c.partnered || c.chosen == pair->destinationId);
        scratch.rollback();
    }
    // An expense has no partner, whatever its IdouId names.
    exec(QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2").arg(pair->sourceId).arg(*expense));
    EXPECT_FALSE(readChosenEntry(db(), *expense).row.partner);
}

} // namespace
