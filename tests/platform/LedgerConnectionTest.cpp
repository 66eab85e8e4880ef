#include "platform/LedgerConnection.h"
#include "platform/ScriptedUi.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A scripted dialog service installed while it lives; the one it replaced is put back however
// the test ends, a failed assertion included.
class ScriptedUiInstalled
{
public:
    ScriptedUiInstalled()
    {
        auto ui = std::make_unique<ScriptedUi>();
        m_ui = ui.get();
        m_previous = Ui::install(std::move(ui));
    }
    ~ScriptedUiInstalled() { Ui::install(std::move(m_previous)); }
    ScriptedUiInstalled(const ScriptedUiInstalled &) = delete;
    ScriptedUiInstalled &operator=(const ScriptedUiInstalled &) = delete;

    ScriptedUi *ui() const { return m_ui; }

private:
    ScriptedUi *m_ui = nullptr;
    std::unique_ptr<Ui> m_previous;
};

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
            Transaction inner(db.get(), Transaction::Nesting::Join);
            ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (2, 1, 'b')")));
            // A joined scope commits nothing and does not say it did.
            EXPECT_EQ(inner.commit(), Transaction::Outcome::Joined);
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
        EXPECT_EQ(t.commit(), Transaction::Outcome::Committed);
    }
    rows = db->select(QStringLiteral("SELECT count(*) FROM T"));
    EXPECT_EQ(rows->intAt(0), 1);
}

TEST_F(LedgerConnectionTest, AnActionNeverJoinsAnotherAndItsMessagesWaitUntilItHasEnded)
{
    auto db = makeDatabase(QStringLiteral("a.sqlf"));
    // Declared before the service, so that its callback never outlives what it records into.
    QList<bool> lockedWhileShown;
    const ScriptedUiInstalled installed;
    ScriptedUi *ui = installed.ui();
    ui->whileMessageShown = [&](const QString &) { lockedWhileShown << db->inTransaction(); };
    {
        Transaction outer(db.get());
        ASSERT_TRUE(outer.isActive());
        ASSERT_TRUE(db->execute(QStringLiteral("INSERT INTO T VALUES (1, 1, 'a')")));
        Ui::instance().message(QStringLiteral("first"));
        {
            Transaction action(db.get());
            EXPECT_FALSE(action.isActive());
            EXPECT_EQ(action.errorMessage(),
                      QStringLiteral("cannot start a transaction within a transaction"));
            Ui::instance().message(QStringLiteral("second"));
        }
        EXPECT_TRUE(db->inTransaction()) << "a refused scope must not end the running transaction";
        EXPECT_TRUE(ui->messages.isEmpty()) << "shown while the ledger was locked";
        outer.rollback();
        EXPECT_EQ(ui->messages, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    }
    {
        Transaction t(db.get());
        Ui::instance().message(QStringLiteral("third"));
        EXPECT_EQ(ui->messages.size(), 2);
        EXPECT_EQ(t.commit(), Transaction::Outcome::Committed);
        EXPECT_EQ(ui->messages.size(), 3);
    }
    EXPECT_EQ(lockedWhileShown, (QList<bool>{false, false, false}));
    auto rows = db->select(QStringLiteral("SELECT count(*) FROM T"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->intAt(0), 0);
}

} // namespace
