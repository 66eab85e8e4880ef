// Ledgers written by other tools: numbers stored as text digits, empty texts where a number
// is missing, tables without column types, tables made the way the sqlite3 shell's import
// makes them (every column TEXT). The lists read them as numbers; a write compares what was
// shown the same way, so where nothing changed nothing is refused.

#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"

#include "LedgerText.h"
#include "MainWindowFixture.h"
#include "support/ListRows.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct ForeignShape
{
    const char *what;
    QStringList statements;
};

void PrintTo(const ForeignShape &shape, std::ostream *os)
{
    *os << shape.what;
}

// The seeded rows again in a table of the given columns, the values as the select gives them.
QStringList rebuilt(const char *table, const char *columns, const char *select)
{
    return {QStringLiteral("CREATE TABLE Rebuilt (%1)").arg(QLatin1String(columns)),
            QStringLiteral("INSERT INTO Rebuilt SELECT %1 FROM %2")
                .arg(QLatin1String(select), QLatin1String(table)),
            QStringLiteral("DROP TABLE %1").arg(QLatin1String(table)),
            QStringLiteral("ALTER TABLE Rebuilt RENAME TO %1").arg(QLatin1String(table))};
}

const ForeignShape kShapes[] = {
    {"EntriesHoldTextDigitsAndEmptyTexts",
     rebuilt(
         "Items",
         "Id INTEGER PRIMARY KEY, Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouSisanNo, IdouId, "
         "Nyuukin, Syukkin, Bikou",
         "Id, Hizuke, CAST(Nen AS TEXT), CAST(Tuki AS TEXT), CAST(Hi AS TEXT), SisanNo, CAST(SyubetuNo AS "
         "TEXT), "
         "IFNULL(CAST(HimokuNo AS TEXT), ''), IFNULL(CAST(IdouSisanNo AS TEXT), ''), CAST(IdouId AS TEXT), "
         "IFNULL(CAST(Nyuukin AS TEXT), ''), IFNULL(CAST(Syukkin AS TEXT), ''), Bikou") +
         QStringList{QStringLiteral("UPDATE Sisan SET SyokiKingaku = '' WHERE Id = 2")}},
    {"HimokuWithoutColumnTypes",
     rebuilt("Himoku", "Id, SyubetuNo, Namae, Hno, Ucount",
             "Id, CAST(SyubetuNo AS TEXT), Namae, CAST(Hno AS TEXT), CASE WHEN Ucount = 0 THEN '' ELSE "
             "CAST(Ucount AS TEXT) END")},
    {"TablesMadeAsTheShellImportsThem",
     rebuilt("Sisan", "Id TEXT, Namae TEXT, SyokiKingaku TEXT, Zankin TEXT", "*") +
         rebuilt("Himoku", "Id TEXT, SyubetuNo TEXT, Namae TEXT, Hno TEXT, Ucount TEXT", "*") +
         rebuilt("Items",
                 "Id INTEGER PRIMARY KEY, Hizuke TEXT, Nen TEXT, Tuki TEXT, Hi TEXT, SisanNo TEXT, SyubetuNo "
                 "TEXT, "
                 "HimokuNo TEXT, IdouSisanNo TEXT, IdouId TEXT, Nyuukin TEXT, Syukkin TEXT, Bikou TEXT",
                 "*")},
};

class ForeignLedgerTest : public MainWindowFixture, public ::testing::WithParamInterface<ForeignShape>
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createLedger(QStringLiteral("foreign.sqlf"));
        // An expense and a pair 現金 → 預金 in 現金, an income and a pair 預金 → 現金 in 預金.
        for (const char *row : {
                 "1, '2024-03-01', 2024, 3, 1, 1, 1, 2, NULL, -1, NULL, 300, 'e'",
                 "2, '2024-03-02', 2024, 3, 2, 1, 3, NULL, 2, 3, NULL, 1000, 't'",
                 "3, '2024-03-02', 2024, 3, 2, 2, 4, NULL, 1, 2, 1000, NULL, 't'",
                 "4, '2024-03-03', 2024, 3, 3, 2, 2, 77, NULL, -1, 500, NULL, 'i'",
                 "5, '2024-03-04', 2024, 3, 4, 2, 3, NULL, 1, 6, NULL, 40, 'u'",
                 "6, '2024-03-04', 2024, 3, 4, 1, 4, NULL, 2, 5, 40, NULL, 'u'",
             }) {
            exec(QStringLiteral("INSERT INTO Items VALUES (%1)").arg(QLatin1String(row)));
        }
        for (const QString &statement : GetParam().statements) {
            exec(statement);
        }
        exec(QStringLiteral("UPDATE Sisan SET Zankin = SyokiKingaku + (SELECT COALESCE(SUM(Nyuukin), 0) - "
                            "COALESCE(SUM(Syukkin), 0) FROM Items WHERE SisanNo = Sisan.Id)"));
        loadLookupTables(QString());
        ASSERT_TRUE(m_ui->messages.isEmpty()) << messages();
        m_w = wndKakeibo::instance();
        m_w->grbKakeibo2()->setEnabled(true);
        m_w->DateListBox1()->TheDate().setYMD(2024, 3, 5);
    }

    std::string messages() const { return m_ui->messages.join(QLatin1Char('\n')).toStdString(); }

    void showAccount(int32_t id) { m_w->lsbSisan()->setListIndex(rowHolding(*m_w->lsbSisan(), 0, id)); }

    void press(QPushButton *button, int32_t entry, const QString &amount = QString())
    {
        const int row = rowHolding(*m_w->lsbItem(), 0, entry);
        ASSERT_GE(row, 0) << "entry " << entry << " is not listed";
        m_w->lsbItem()->setListIndex(row);
        button->click();
        if (!amount.isEmpty()) {
            m_w->tfdKingaku()->setText(amount);
        }
        m_ui->confirmAnswers.push_back(true);
        m_w->pbtNyuryoku()->click();
        m_ui->confirmAnswers.clear();
    }

    void enter(RadioButton *kind, const QString &choice, const QString &amount)
    {
        m_w->pbtSinki()->click();
        kind->click();
        m_w->ppmHimoku()->setListIndex(m_w->ppmHimoku()->findText(choice));
        ASSERT_GE(m_w->ppmHimoku()->listIndex(), 0) << choice.toStdString();
        m_w->tfdKingaku()->setText(amount);
        m_w->pbtNyuryoku()->click();
    }

    QString amounts(int32_t id)
    {
        return queryText(QStringLiteral("SELECT Nyuukin, Syukkin FROM Items WHERE Id = ") +
                         QString::number(id));
    }

    wndKakeibo *m_w = nullptr;
};

TEST_P(ForeignLedgerTest, EveryEntryWriteActsWhereNothingChanged)
{
    showAccount(1);
    press(m_w->pbtHensyuu(), 1, QStringLiteral("350"));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages();
    EXPECT_EQ(amounts(1).section(QLatin1Char('|'), 1).toInt(), 350);

    press(m_w->pbtHensyuu(), 6, QStringLiteral("45"));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages();
    EXPECT_EQ(amounts(5).section(QLatin1Char('|'), 1).toInt(), 45) << "both rows of the pair";
    EXPECT_EQ(amounts(6).section(QLatin1Char('|'), 0, 0).toInt(), 45);

    press(m_w->pbtSakujyo(), 2);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE Id IN (2, 3)")), 0)
        << "both rows of the pair";

    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("20"));
    enter(m_w->rbtSyunyu(), QStringLiteral("給料/給料"), QStringLiteral("30"));
    enter(m_w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("10"));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE Id > 6")), 4);

    showAccount(2);
    press(m_w->pbtSakujyo(), 4);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE Id = 4")), 0);

    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan s WHERE CAST(Zankin AS INTEGER) <> "
                                    "CAST(SyokiKingaku AS INTEGER) + (SELECT COALESCE(SUM(Nyuukin), 0) - "
                                    "COALESCE(SUM(Syukkin), 0) FROM Items WHERE SisanNo = s.Id)")),
              0);
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

INSTANTIATE_TEST_SUITE_P(EveryShape, ForeignLedgerTest, ::testing::ValuesIn(kShapes),
                         [](const ::testing::TestParamInfo<ForeignShape> &info) {
                             return std::string(info.param.what);
                         });

} // namespace
