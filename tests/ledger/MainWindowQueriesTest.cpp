#include "ledger/MainWindowQueries.h"
#include "app/mdlGlobal.h"
#include "support/LedgerTestFixture.h"

#include <limits>
#include <optional>

namespace {

class MainWindowQueriesTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        createLedger(QStringLiteral("ledger.sqlf"));
    }

    void addEntry(int id, const QString &dateLiteral, int account = 1,
                  const QString &memo = QStringLiteral("NULL"))
    {
        exec(QStringLiteral(
                 "INSERT INTO Items (Id, Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouId, "
                 "Syukkin, Bikou) VALUES (%1, %2, 2024, 1, 1, %3, 1, 2, -1, 10, %4)")
                 .arg(id)
                 .arg(dateLiteral)
                 .arg(account)
                 .arg(memo));
    }

    // The entries as they are added, then put in list order.
    struct Collected final : EntrySink
    {
        void add(const EntryRecord &e) override
        {
            rows.emplace_back(e.id, QString::fromUtf8(e.date) + QLatin1Char('|') + QString::fromUtf8(e.memo));
        }
        void restart() override { rows.clear(); }
        std::vector<std::pair<int32_t, QString>> rows;
    };

    std::vector<std::pair<int32_t, QString>> read(int32_t account)
    {
        Collected collected;
        EntryOrder order;
        EXPECT_TRUE(readEntries(*KakeiboDB, account, collected, order));
        if (order.sources.empty()) {
            return collected.rows;
        }
        std::vector<std::pair<int32_t, QString>> rows;
        for (const uint32_t source : order.sources) {
            rows.push_back(collected.rows.at(source));
        }
        return rows;
    }
};

TEST_F(MainWindowQueriesTest, EntriesComeInDateOrderWithTiesInTableOrder)
{
    addEntry(5, QStringLiteral("'2024-03-02'"), 1, QStringLiteral("'b'"));
    addEntry(3, QStringLiteral("'2024-03-01'"), 1, QStringLiteral("'日本語のメモ'"));
    addEntry(9, QStringLiteral("'2024-03-02'"), 1, QStringLiteral("'c'"));
    addEntry(7, QStringLiteral("'2024-03-02'"), 1, QStringLiteral("'a'"));
    addEntry(8, QStringLiteral("'2023-12-31'"), 2);
    using Rows = std::vector<std::pair<int32_t, QString>>;
    // Ties in Id (table) order, as SQLite's own sort of the list statement returns them.
    EXPECT_EQ(read(1), (Rows{{3, QStringLiteral("2024-03-01|日本語のメモ")},
                             {5, QStringLiteral("2024-03-02|b")},
                             {7, QStringLiteral("2024-03-02|a")},
                             {9, QStringLiteral("2024-03-02|c")}}));
    EXPECT_EQ(read(2), (Rows{{8, QStringLiteral("2023-12-31|")}}));
    EXPECT_TRUE(read(3).empty());
}

// Dates in any other form (from another program, or a damaged file) sort as SQLite sorts
// them: numbers before texts, texts byte by byte.
TEST_F(MainWindowQueriesTest, DatesOfAnotherFormKeepTheDatabaseOrder)
{
    addEntry(1, QStringLiteral("'2024-03-10'"));
    addEntry(2, QStringLiteral("'2024-3-9'"));
    addEntry(3, QStringLiteral("20240101"));
    addEntry(4, QStringLiteral("'2024-03-09'"));
    using Rows = std::vector<std::pair<int32_t, QString>>;
    EXPECT_EQ(read(1), (Rows{{3, QStringLiteral("20240101|")},
                             {4, QStringLiteral("2024-03-09|")},
                             {1, QStringLiteral("2024-03-10|")},
                             {2, QStringLiteral("2024-3-9|")}}));
}

TEST_F(MainWindowQueriesTest, AFailedReadReportsTheDatabaseMessage)
{
    exec(QStringLiteral("DROP TABLE Items"));
    Collected collected;
    EntryOrder order;
    EXPECT_FALSE(readEntries(*KakeiboDB, 1, collected, order));
    EXPECT_EQ(KakeiboDB->errorMessage(), QStringLiteral("no such table: Items"));
    EXPECT_EQ(entryListSql(1),
              QStringLiteral("SELECT *  FROM Items  WHERE Items.SisanNo = 1  ORDER BY Hizuke"));
}

TEST(EntryRules, RunningBalanceAndCategoryTextFollowTheKind)
{
    resetGlobals();
    gDicSisyutu.set(2, QStringLiteral("食費/食材"));
    gDicSyuunyuu.set(77, QStringLiteral("給料/給料"));
    gDicSisan.set(2, QStringLiteral("預金"));
    const struct
    {
        int32_t kind;
        int64_t balance;
        const char *category;
    } cases[] = {
        {1, 1000 - 300, "食費/食材"},
        {2, 1000 + 500, "給料/給料"},
        {3, 1000 - 300, "預金 へ"},
        {4, 1000 + 500, "預金 から"},
        {0, 1000, ""},
        {9, 1000, ""},
    };
    for (const auto &c : cases) {
        EntryRecord entry;
        entry.kind = c.kind;
        entry.categoryId = c.kind <= 2 ? (c.kind == 1 ? 2 : 77) : 5;
        entry.partnerAccountId = 2;
        entry.received = 500;
        entry.paid = 300;
        int64_t balance = 1000;
        EXPECT_TRUE(balanceAfter(balance, entry)) << c.kind;
        EXPECT_EQ(balance, c.balance) << c.kind;
        QString text;
        appendEntryCategoryText(text, entry);
        EXPECT_EQ(text, QString::fromUtf8(c.category)) << c.kind;
    }
    // A partner that the table does not hold reads as "" and is not added to it.
    EntryRecord orphan;
    orphan.kind = 3;
    orphan.partnerAccountId = 42;
    QString text;
    appendEntryCategoryText(text, orphan);
    EXPECT_EQ(text, QStringLiteral(" へ"));
    EXPECT_FALSE(gDicSisan.contains(42));
    resetGlobals();
}

// A ledger written by another program may hold amounts near the 64-bit limit: a step that
// would pass it fails and leaves the balance as it was, one that reaches it exactly does not.
TEST(RunningBalance, StopsAtTheLimitInsteadOfWrapping)
{
    constexpr int64_t max = std::numeric_limits<int64_t>::max();
    constexpr int64_t min = std::numeric_limits<int64_t>::min();
    const struct
    {
        int32_t kind;
        int64_t start;
        int64_t amount;
        std::optional<int64_t> after;
    } cases[] = {
        {2, max - 1, 1, max},      {2, max, 1, std::nullopt}, {4, 1000, max, std::nullopt},
        {4, -1, max, max - 1},     {1, min + 1, 1, min},      {1, min, 1, std::nullopt},
        {3, 0, min, std::nullopt}, {1, -1, max, min},         {2, min, -1, std::nullopt},
        {9, max, max, max},
    };
    for (const auto &c : cases) {
        EntryRecord entry;
        entry.kind = c.kind;
        entry.received = c.amount;
        entry.paid = c.amount;
        int64_t balance = c.start;
        EXPECT_EQ(balanceAfter(balance, entry), c.after.has_value()) << c.kind << " " << c.start;
        EXPECT_EQ(balance, c.after.value_or(c.start)) << c.kind << " " << c.start;
    }
}

} // namespace
