// Broken transfer pairs, as a damaged or foreign ledger holds them, or as an older program
// left them when it failed half way: they must stay repairable from the entry list. A change
// or delete acts on the chosen row, and on its partner only where that row is there and
// names the chosen row back; a row that merely sits in the partner's Id is never touched.

#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"

#include "LedgerText.h"
#include "MainWindowFixture.h"
#include "support/ListRows.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>
#include <vector>

namespace {

constexpr int32_t kSource = 10;
constexpr int32_t kDestination = 11;

struct BrokenCase
{
    const char *what;
    // Run on a ledger holding the pair 10 (現金 → 預金) and 11, and an expense in each account.
    QStringList statements;
    // The row chosen in the list, and its account.
    int32_t chosen;
    int32_t account;
    // The rows the change or delete must act on; every other row stays as it was.
    std::vector<int32_t> acted;
};

void PrintTo(const BrokenCase &c, std::ostream *os)
{
    *os << c.what;
}

QString expense(int32_t id, int32_t account, int amount, const char *memo)
{
    return QStringLiteral(
               "INSERT INTO Items VALUES (%1, '2024-02-01', 2024, 2, 1, %2, 1, 2, NULL, -1, NULL, %3, "
               "'%4')")
        .arg(id)
        .arg(account)
        .arg(amount)
        .arg(QLatin1String(memo));
}

const BrokenCase kCases[] = {
    {"OrphanSource",
     {QStringLiteral("DELETE FROM Items WHERE Id = 11"),
      QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = 10")},
     kSource,
     1,
     {kSource}},
    {"LinkNeverWrittenFromTheSource",
     {QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = 10")},
     kSource,
     1,
     {kSource}},
    {"LinkNeverWrittenFromTheDestination",
     {QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = 10")},
     kDestination,
     2,
     {kDestination}},
    {"HalfDeleted", {QStringLiteral("DELETE FROM Items WHERE Id = 10")}, kDestination, 2, {kDestination}},
    {"HalfDeletedTheOtherWay", {QStringLiteral("DELETE FROM Items WHERE Id = 11")}, kSource, 1, {kSource}},
    {"PartnerAccountGoneFromTheSource",
     {QStringLiteral("DELETE FROM Sisan WHERE Id = 2")},
     kSource,
     1,
     {kSource, kDestination}},
    {"PartnerAccountGoneFromTheDestination",
     {QStringLiteral("DELETE FROM Sisan WHERE Id = 1")},
     kDestination,
     2,
     {kSource, kDestination}},
    {"PartnerIdReusedByAnExpenseFromTheSource",
     {QStringLiteral("DELETE FROM Items WHERE Id = 11"), expense(11, 2, 77, "unrelated")},
     kSource,
     1,
     {kSource}},
    {"PartnerIdReusedByAnExpenseFromTheDestination",
     {QStringLiteral("DELETE FROM Items WHERE Id = 10"), expense(10, 1, 77, "unrelated")},
     kDestination,
     2,
     {kDestination}},
};

class BrokenPairTest : public MainWindowFixture,
                       public ::testing::WithParamInterface<std::tuple<BrokenCase, bool>>
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createLedger(QStringLiteral("broken.sqlf"));
        exec(QStringLiteral(
            "INSERT INTO Items VALUES (10, '2024-03-01', 2024, 3, 1, 1, 3, NULL, 2, 11, NULL, 1000, "
            "'pair')"));
        exec(QStringLiteral(
            "INSERT INTO Items VALUES (11, '2024-03-01', 2024, 3, 1, 2, 4, NULL, 1, 10, 1000, NULL, "
            "'pair')"));
        exec(expense(20, 1, 55, "kept"));
        exec(expense(21, 2, 66, "kept"));
    }

    QString rowsOtherThan(const std::vector<int32_t> &acted)
    {
        QStringList ids;
        for (const int32_t id : acted) {
            ids << QString::number(id);
        }
        return queryText(QStringLiteral("SELECT * FROM Items WHERE Id NOT IN (") +
                         ids.join(QLatin1Char(',')) + QStringLiteral(") ORDER BY Id"));
    }
};

TEST_P(BrokenPairTest, TheChosenRowIsChangedOrDeletedAndOnlyARealPartnerWithIt)
{
    const auto &[c, deleting] = GetParam();
    for (const QString &statement : c.statements) {
        exec(statement);
    }
    exec(QStringLiteral("UPDATE Sisan SET Zankin = SyokiKingaku + (SELECT COALESCE(SUM(Nyuukin), 0) - "
                        "COALESCE(SUM(Syukkin), 0) FROM Items WHERE SisanNo = Sisan.Id)"));
    const QString others = rowsOtherThan(c.acted);

    wndKakeibo *w = wndKakeibo::instance();
    w->grbKakeibo2()->setEnabled(true);
    const int accountRow = rowHolding(*w->lsbSisan(), 0, c.account);
    ASSERT_GE(accountRow, 0);
    w->lsbSisan()->setListIndex(accountRow);
    const int entryRow = rowHolding(*w->lsbItem(), 0, c.chosen);
    ASSERT_GE(entryRow, 0);
    w->lsbItem()->setListIndex(entryRow);
    ASSERT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

    if (deleting) {
        w->pbtSakujyo()->click();
    } else {
        w->pbtHensyuu()->click();
        w->DateListBox1()->TheDate().setYMD(2024, 4, 2);
        w->tfdKingaku()->setText(QStringLiteral("1234"));
        w->tfdBikou()->setText(QStringLiteral("fixed"));
    }
    m_ui->confirmAnswers.push_back(true);
    w->pbtNyuryoku()->click();

    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(m_ui->confirmations.size(), 1u);
    EXPECT_EQ(rowsOtherThan(c.acted), others) << "a row that is no partner was touched";
    for (const int32_t id : c.acted) {
        SCOPED_TRACE(id);
        const QString row =
            queryText(QStringLiteral("SELECT Hizuke, SyubetuNo, quote(Nyuukin), quote(Syukkin), "
                                     "Bikou FROM Items WHERE Id = ") +
                      QString::number(id));
        if (deleting) {
            EXPECT_EQ(row, QString());
        } else {
            EXPECT_EQ(row, id == kSource ? QStringLiteral("2024-04-02|3|NULL|1234|fixed")
                                         : QStringLiteral("2024-04-02|4|1234|NULL|fixed"));
        }
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan s WHERE Zankin <> SyokiKingaku + (SELECT "
                                    "COALESCE(SUM(Nyuukin), 0) - COALESCE(SUM(Syukkin), 0) FROM Items WHERE "
                                    "SisanNo = s.Id)")),
              0)
        << "balances agree with the entries";
    EXPECT_FALSE(KakeiboDB->inTransaction());
    // The list shows the account's entries as they now are.
    EXPECT_EQ(w->lsbItem()->rowCount(), scalar(QStringLiteral("SELECT count(*) FROM Items WHERE SisanNo = ") +
                                               QString::number(c.account)));
}

INSTANTIATE_TEST_SUITE_P(EveryVariant, BrokenPairTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<BrokenCase, bool>> &info) {
                             return std::string(std::get<0>(info.param).what) +
                                    (std::get<1>(info.param) ? "Delete" : "Edit");
                         });

} // namespace
