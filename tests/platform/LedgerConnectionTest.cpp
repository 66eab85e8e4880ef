#include "platform/LedgerConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

class LedgerConnectionTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    std::unique_ptr<LedgerConnection> makeDatabase(const QString &name)
    {
        auto db = std::make_unique<LedgerConnection>(path(name));
        EXPECT_TRUE(db->createDatabaseFile());
        EXPECT_TRUE(
            db->execute(QStringLiteral("CREATE TABLE T (Id Integer PRIMARY KEY, N INTEGER, S TEXT)")));
        return db;
    }

    QTemporaryDir m_dir;
};

TEST_F(LedgerConnectionTest, ConnectingNeverCreatesAFile)
{
    LedgerConnection db(path(QStringLiteral("missing.sqlf")));
    EXPECT_FALSE(db.connect());
    EXPECT_TRUE(db.error());
    EXPECT_FALSE(db.errorMessage().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing.sqlf"))));
}

TEST_F(LedgerConnectionTest, AFileThatIsNotADatabaseFailsToConnectAndStaysFailed)
{
    QFile file(path(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();

    LedgerConnection db(file.fileName());
    EXPECT_FALSE(db.connect());
    const QString message = db.errorMessage();
    EXPECT_FALSE(message.isEmpty());
    // Retrying keeps the stored failure rather than reconnecting behind the user's back.
    EXPECT_FALSE(db.connect());
    EXPECT_EQ(db.errorMessage(), message);
    EXPECT_EQ(db.databaseName(), QStringLiteral("notes.txt"));
}

TEST_F(LedgerConnectionTest, ReadsByNameOrPositionWithNullAsZeroOrEmpty)
{
    auto db = makeDatabase(QStringLiteral("a.sqlf"));
    ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (7, NULL, NULL)")));
    ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (8, 5000000000, 'x''y')")));
    EXPECT_EQ(db->lastRowId(), 8);

    auto rows = db->select(QStringLiteral("SELECT * FROM T ORDER BY Id"));
    ASSERT_TRUE(rows);
    ASSERT_FALSE(rows->atEnd());
    EXPECT_EQ(rows->intValue(QStringLiteral("id")), 7);
    EXPECT_EQ(rows->intValue(QStringLiteral("N")), 0);
    EXPECT_EQ(rows->text(QStringLiteral("S")), QString());
    EXPECT_EQ(rows->text(QStringLiteral("NoSuchColumn")), QString());
    rows->moveNext();
    EXPECT_EQ(rows->int64At(1), 5000000000LL);
    EXPECT_EQ(rows->textAt(2), QStringLiteral("x'y"));
    rows->moveNext();
    EXPECT_TRUE(rows->atEnd());
}

TEST_F(LedgerConnectionTest, RefusesTextAfterTheOneStatement)
{
    auto db = makeDatabase(QStringLiteral("a.sqlf"));
    EXPECT_FALSE(db->execute(QStringLiteral("INSERT INTO T VALUES (1, 1, 'a'); DELETE FROM T")));
    EXPECT_TRUE(db->error());
    EXPECT_FALSE(db->select(QStringLiteral("SELECT 1; SELECT 2")));
    EXPECT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (2, 1, 'a') ; ")));
    EXPECT_FALSE(db->error());
    auto rows = db->select(QStringLiteral("SELECT count(*) FROM T"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->intAt(0), 1);
}

TEST_F(LedgerConnectionTest, ErrorStateDescribesOnlyTheLastStatement)
{
    auto db = makeDatabase(QStringLiteral("a.sqlf"));
    EXPECT_FALSE(db->select(QStringLiteral("SELECT * FROM Missing")));
    EXPECT_TRUE(db->error());
    EXPECT_EQ(db->errorMessage(), QStringLiteral("no such table: Missing"));
    EXPECT_TRUE(db->select(QStringLiteral("SELECT * FROM T")));
    EXPECT_FALSE(db->error());
}

TEST_F(LedgerConnectionTest, AnUncommittedTransactionRollsBackAndNestedScopesJoin)
{
    auto db = makeDatabase(QStringLiteral("a.sqlf"));
    {
        Transaction outer(db.get());
        ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (1, 1, 'a')")));
        {
            Transaction inner(db.get());
            ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (2, 1, 'b')")));
            EXPECT_TRUE(inner.commit());
        }
        EXPECT_TRUE(db->inTransaction());
    }
    EXPECT_FALSE(db->inTransaction());
    auto rows = db->select(QStringLiteral("SELECT count(*) FROM T"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->intAt(0), 0);

    {
        Transaction t(db.get());
        ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (3, 1, 'c')")));
        EXPECT_TRUE(t.commit());
    }
    rows = db->select(QStringLiteral("SELECT count(*) FROM T"));
    EXPECT_EQ(rows->intAt(0), 1);
}

} // namespace
