// A new ledger made over a name that SQLite has files beside: a hot journal of a writer that
// died, the log of a ledger another program kept in write-ahead mode, leftovers of a deleted
// ledger or of a file that is no ledger, a writer that is still at work. The new ledger is
// renamed onto the name when complete, and a rename moves none of those files: the name must
// hold exactly the new ledger afterwards, or, while another connection is at work, stay as it
// was.

#include "ReliabilityFixture.h"

#include "DeadWriter.h"
#include "LedgerInvariants.h"
#include "app/LedgerSchema.h"
#include "app/mdlGlobal.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sqlite3.h>

namespace {

const QString kCreateFailed = QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;");

// Another program's connection, which the test drives by hand.
class OtherConnection
{
public:
    explicit OtherConnection(const QString &file)
    {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~OtherConnection() { sqlite3_close(m_db); }
    OtherConnection(const OtherConnection &) = delete;
    OtherConnection &operator=(const OtherConnection &) = delete;

    bool run(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3 *m_db = nullptr;
};

// A program that kept the ledger in write-ahead mode and ended before a checkpoint.
bool leaveUncheckpointedLog(const QString &file)
{
    return dieAfter(file,
                    {"PRAGMA journal_mode = WAL", "INSERT INTO Sisan VALUES (4, 'in the log only', 7, 7)",
                     "UPDATE Sisan SET Namae = 'renamed in the log' WHERE Id = 1"});
}

class ReplacedLedgerTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        // What a new ledger holds when nothing lay beside its name.
        createLedger(QStringLiteral("reference.sqlf"));
        KakeiboDB.reset();
        m_newLedger = dumpLedger(path(QStringLiteral("reference.sqlf")));
        ASSERT_FALSE(m_newLedger.isEmpty());
        ASSERT_TRUE(QFile::remove(path(QStringLiteral("reference.sqlf"))));
    }

    // A ledger of the program's with an account and entries of its own, closed again.
    void makeOldLedger(const QString &file)
    {
        createLedger(file);
        exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'old account', 100, 100)"));
        addSampleEntries(30);
        KakeiboDB.reset();
    }

    QString m_newLedger;
};

struct Leftover
{
    const char *what;
    std::function<void(const QString &file)> make;
    // The files beside the name that the set-up must have left, so the case tests something.
    QStringList beside;
};

TEST_F(ReplacedLedgerTest, TheNameHoldsExactlyTheNewLedgerWhateverLayBesideIt)
{
    const QString file = QStringLiteral("kakeibo.sqlf");
    const QString journal = file + QStringLiteral("-journal");
    const QString log = file + QStringLiteral("-wal");
    const QString index = file + QStringLiteral("-shm");
    const std::vector<Leftover> cases = {
        {"a hot journal of a writer that died with spilled pages",
         [this](const QString &f) {
             makeOldLedger(f);
             ASSERT_TRUE(leaveHotJournal(path(f)));
         },
         {journal}},
        {"a log with committed pages no checkpoint had taken into the file",
         [this](const QString &f) {
             makeOldLedger(f);
             ASSERT_TRUE(leaveUncheckpointedLog(path(f)));
         },
         {log, index}},
        {"nothing, beside it the hot journal and the log of a ledger deleted since",
         [this](const QString &f) {
             makeOldLedger(f);
             ASSERT_TRUE(leaveHotJournal(path(f)));
             const QByteArray hot = readFile(f + QStringLiteral("-journal"));
             ASSERT_TRUE(QFile::remove(path(f)));
             makeOldLedger(f);
             ASSERT_TRUE(leaveUncheckpointedLog(path(f)));
             ASSERT_TRUE(QFile::remove(path(f)));
             writeFile(f + QStringLiteral("-journal"), hot);
         },
         {journal, log, index}},
        {"a file that is no ledger, with another ledger's journal and log beside it",
         [this](const QString &f) {
             makeOldLedger(f);
             ASSERT_TRUE(leaveUncheckpointedLog(path(f)));
             makeOldLedger(QStringLiteral("other.sqlf"));
             ASSERT_TRUE(leaveHotJournal(path(QStringLiteral("other.sqlf"))));
             ASSERT_TRUE(QFile::rename(path(QStringLiteral("other.sqlf-journal")),
                                       path(f + QStringLiteral("-journal"))));
             ASSERT_TRUE(QFile::remove(path(QStringLiteral("other.sqlf"))));
             writeFile(f, QByteArray("a letter, not a ledger\n").repeated(200));
         },
         {journal, log, index}},
    };
    for (const Leftover &leftover : cases) {
        SCOPED_TRACE(leftover.what);
        restart();
        leftover.make(file);
        for (const QString &name : leftover.beside) {
            ASSERT_TRUE(QFileInfo::exists(path(name)) && (QFileInfo(path(name)).size() > 0 || name == index))
                << name.toStdString();
        }

        m_ui->fileAnswers.push_back(path(file));
        CreateNewKakeiboDB();
        EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
        EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{1, 2}));
        EXPECT_EQ(gDicSisan.value(1), QString::fromUtf8("現金"));
        EXPECT_EQ(folderEntries(), QStringList{file});
        // The next entry goes into the new ledger, and only it is there afterwards.
        exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'new account', 0, 0)"));
        exec(QStringLiteral("DELETE FROM Sisan WHERE Id = 3"));
        KakeiboDB.reset();
        EXPECT_EQ(dumpLedger(path(file)), m_newLedger);
        expectSound(file);
        EXPECT_EQ(folderEntries(), QStringList{file});
        QFile::remove(path(file));
    }
}

struct Writer
{
    const char *what;
    // Set-up of the other connection, run before the creation; it holds the file meanwhile.
    std::vector<const char *> statements;
    // The other connection is in the middle of a transaction: the creation waits for its lock
    // before it gives up, and the transaction is committed afterwards.
    bool writing;
};

TEST_F(ReplacedLedgerTest, AFileAnotherConnectionIsWritingIsNotReplacedUnderIt)
{
    const QString file = QStringLiteral("busy.sqlf");
    const std::vector<Writer> writers = {
        {"an exclusive transaction whose pages spilled into the file",
         {"PRAGMA cache_size = 10", "BEGIN EXCLUSIVE", "UPDATE Sisan SET Namae = 'being written'",
          kSpillingRows},
         true},
        {"a write-ahead transaction", {"PRAGMA journal_mode = WAL", "BEGIN IMMEDIATE", kSpillingRows}, true},
        {"a write-ahead connection that keeps its log open",
         {"PRAGMA journal_mode = WAL", "INSERT INTO Sisan VALUES (4, 'committed to the log', 1, 1)"},
         false},
    };
    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.what);
        restart();
        makeOldLedger(file);
        {
            OtherConnection other(path(file));
            for (const char *sql : writer.statements) {
                ASSERT_TRUE(other.run(sql)) << sql << ": " << other.error().toStdString();
            }
            const QStringList before = folderEntries();
            // The log's index is shared memory, where a reader marks what it reads.
            QStringList kept = before;
            kept.removeAll(file + QStringLiteral("-shm"));
            std::vector<QByteArray> bytes;
            for (const QString &name : kept) {
                bytes.push_back(readFile(name));
            }
            ASSERT_GT(before.size(), 1) << "nothing lies beside the file";

            m_ui->fileAnswers.push_back(path(file));
            QElapsedTimer waited;
            waited.start();
            CreateNewKakeiboDB();
            if (writer.writing) {
                EXPECT_GE(waited.elapsed(), 4000);
            }
            EXPECT_EQ(m_ui->messages, QStringList{kCreateFailed + QStringLiteral("database is locked")});
            EXPECT_FALSE(KakeiboDB);
            // Everything as it was, the other connection's journal or log included.
            ASSERT_EQ(folderEntries(), before);
            for (size_t i = 0; i < bytes.size(); ++i) {
                const QString &name = kept[static_cast<int>(i)];
                EXPECT_EQ(readFile(name), bytes[i]) << name.toStdString();
            }
            // The other program's work is its own to finish.
            if (writer.writing) {
                EXPECT_TRUE(other.run("COMMIT")) << other.error().toStdString();
            }
        }
        expectSound(file);
        const LedgerCheck check = checkLedger(path(file));
        EXPECT_GE(check.accounts, 3);
        QFile::remove(path(file));
    }
}

} // namespace
