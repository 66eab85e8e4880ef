// The check a write makes before its first change: each row as the window showed it, read
// again from the file as another copy of the program left it.

#include "app/ShownRows.h"
#include "app/mdlGlobal.h"
#include "support/LedgerTestFixture.h"

#include <QFile>

namespace {

class ShownRowsTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        m_file = path(QStringLiteral("shown.sqlf"));
        createLedger(QStringLiteral("shown.sqlf"));
        exec(QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', 500, 500)"));
        exec(QStringLiteral("INSERT INTO Items VALUES (1, '2026-12-01', 2026, 12, 1, 3, 1, 2, NULL, NULL, "
                            "NULL, 300, 'パン')"));
        m_ui->messages.clear();
    }

    ShownRows shownNow()
    {
        return ShownRows{{readStoredAccount(*KakeiboDB, 3).row},
                         {readStoredCategoryItem(*KakeiboDB, 2).row},
                         {readStoredEntry(*KakeiboDB, 1).row}};
    }

    Standing standing(const ShownRows &rows)
    {
        return shownRowsStand(*KakeiboDB, rows, QStringLiteral("site: "));
    }

    QString m_file;
};

// Every value the user saw is compared: a change of any one of them, made by another program
// on the file, refuses the write; the same statement that leaves the value as it was lets it
// through.
TEST_F(ShownRowsTest, AChangeOfAnyShownValueIsSeenAndNothingElseIs)
{
    const ShownRows shown = shownNow();
    ASSERT_TRUE(readStoredEntry(*KakeiboDB, 1).found());
    struct Case
    {
        const char *changed;
        const char *same;
    };
    const Case cases[] = {
        {"UPDATE Items SET Hizuke = '2026-12-02'", "UPDATE Items SET Hizuke = '2026-12-01'"},
        {"UPDATE Items SET Nen = 2025", "UPDATE Items SET Nen = 2026"},
        {"UPDATE Items SET Tuki = 11", "UPDATE Items SET Tuki = 12"},
        {"UPDATE Items SET Hi = 2", "UPDATE Items SET Hi = 1"},
        {"UPDATE Items SET SisanNo = 1", "UPDATE Items SET SisanNo = 3"},
        {"UPDATE Items SET SyubetuNo = 2", "UPDATE Items SET SyubetuNo = 1"},
        {"UPDATE Items SET HimokuNo = 3", "UPDATE Items SET HimokuNo = 2"},
        {"UPDATE Items SET IdouSisanNo = 1", "UPDATE Items SET IdouSisanNo = NULL"},
        {"UPDATE Items SET IdouId = 5", "UPDATE Items SET IdouId = 0"},
        {"UPDATE Items SET Nyuukin = 1", "UPDATE Items SET Nyuukin = 0"},
        {"UPDATE Items SET Syukkin = 301", "UPDATE Items SET Syukkin = '300'"},
        {"UPDATE Items SET Bikou = 'パン '", "UPDATE Items SET Bikou = 'パン'"},
        {"UPDATE Sisan SET Namae = '財布2' WHERE Id = 3", "UPDATE Sisan SET Namae = '財布' WHERE Id = 3"},
        {"UPDATE Sisan SET SyokiKingaku = 501 WHERE Id = 3",
         "UPDATE Sisan SET SyokiKingaku = 500, Zankin = 1 WHERE Id = 3"},
        {"UPDATE Himoku SET SyubetuNo = 2 WHERE Id = 2", "UPDATE Himoku SET SyubetuNo = 1 WHERE Id = 2"},
        {"UPDATE Himoku SET Hno = 4 WHERE Id = 2", "UPDATE Himoku SET Hno = 1 WHERE Id = 2"},
        {"UPDATE Himoku SET Namae = '食費/食材 ' WHERE Id = 2",
         "UPDATE Himoku SET Namae = '食費/食材' WHERE Id = 2"},
        {"UPDATE Himoku SET Ucount = 1 WHERE Id = 2", "UPDATE Himoku SET Ucount = NULL WHERE Id = 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.changed);
        writeWithSqlite(m_file, {QString::fromUtf8(c.changed)});
        EXPECT_EQ(standing(shown), Standing::Changed);
        writeWithSqlite(m_file, {QString::fromUtf8(c.same)});
        EXPECT_EQ(standing(shown), Standing::Stands);
    }
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

// SQLite gives the next row the largest Id plus one: a row deleted by another program comes
// back under its Id, of the same kind and in the same account, at once.
TEST_F(ShownRowsTest, ARowThatTookAFreedIdIsNotTheRowShown)
{
    const ShownRows shown = shownNow();
    const std::pair<const char *, std::vector<const char *>> cases[] = {
        {"entry",
         {"DELETE FROM Items WHERE Id = 1",
          "INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, Syukkin, Bikou) "
          "VALUES ('2026-12-01', 2026, 12, 1, 3, 1, 2, 900, 'パン')"}},
        {"account",
         {"DELETE FROM Sisan WHERE Id = 3",
          "INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('財布', 0, 0)"}},
        {"sub-item",
         {"DELETE FROM Himoku WHERE Id = 2",
          "INSERT INTO Himoku (Id, SyubetuNo, Namae, Hno, Ucount) VALUES (2, 1, '食費/食材', 4, 0)"}},
    };
    for (const auto &[what, statements] : cases) {
        SCOPED_TRACE(what);
        QStringList list;
        for (const char *statement : statements) {
            list << QString::fromUtf8(statement);
        }
        writeWithSqlite(m_file, list);
        EXPECT_EQ(standing(shown), Standing::Changed);
    }
    // And a row simply gone.
    writeWithSqlite(m_file, {QStringLiteral("DELETE FROM Items")});
    EXPECT_EQ(standing(ShownRows{{}, {}, shown.entries}), Standing::Changed);
}

// A ledger written by other tools: columns without types, amounts stored as '' or as text
// digits, a memo NULL. Read as the lists read them, an unchanged row stands.
TEST_F(ShownRowsTest, ARowStoredAsTextStandsWhereNothingChanged)
{
    KakeiboDB->close();
    QFile::remove(m_file);
    // An empty file is an empty database to SQLite.
    QFile empty(m_file);
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    writeWithSqlite(
        m_file,
        {
            QStringLiteral("CREATE TABLE Sisan (Id INTEGER PRIMARY KEY, Namae, SyokiKingaku, Zankin)"),
            QStringLiteral("CREATE TABLE Himoku (Id INTEGER PRIMARY KEY, SyubetuNo, Namae, Hno, Ucount)"),
            QStringLiteral("CREATE TABLE Items (Id INTEGER PRIMARY KEY, Hizuke, Nen, Tuki, Hi, SisanNo, "
                           "SyubetuNo, HimokuNo, IdouSisanNo, IdouId, Nyuukin, Syukkin, Bikou)"),
            QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', '', '500')"),
            QStringLiteral("INSERT INTO Himoku VALUES (2, '1', '食費/食材', '1', '')"),
            QStringLiteral("INSERT INTO Items VALUES (1, '2026-12-01', '2026', '12', '1', '3', '1', "
                           "'2', '', '', '', '300', NULL)"),
        });
    KakeiboDB->setDatabaseFile(m_file);
    ASSERT_TRUE(KakeiboDB->connect());
    const ShownRows shown = shownNow();
    EXPECT_EQ(shown.entries[0].paid, 300);
    EXPECT_EQ(shown.accounts[0].openingAmount, 0);
    EXPECT_EQ(standing(shown), Standing::Stands);
    // A row described by what a window shows of it alone: no opening amount, no category.
    EXPECT_EQ(standing(ShownRows{{{3, QStringLiteral("財布"), std::nullopt}},
                                 {{2, 1, std::nullopt, QStringLiteral("食費/食材"), false}},
                                 {}}),
              Standing::Stands);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(ShownRowsTest, AFailedReadSaysSoAfterTheSite)
{
    const ShownRows shown = shownNow();
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    EXPECT_EQ(standing(shown), Standing::Failed);
    ASSERT_EQ(m_ui->messages.size(), 1);
    EXPECT_EQ(m_ui->messages.front(), QStringLiteral("site: no such table: Items"));
}

} // namespace
