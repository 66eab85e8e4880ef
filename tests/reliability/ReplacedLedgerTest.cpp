// A new ledger made over a name that SQLite has files beside: a hot journal of a writer that
// died, the log of a ledger another program kept in write-ahead mode, leftovers of a deleted
// ledger or of a file that is no ledger, a writer that is still at work. The new ledger is
// renamed onto the name when complete, and a rename moves none of those files: the name must
// hold exactly the new ledger afterwards, or, while another connection is at work, stay as it
// was.

#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/LedgerSchema.h"
#include "app/mdlGlobal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kCreateFailed = QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;");

// Enough rows that the transaction's pages no longer fit a cache of ten pages: SQLite then
// writes some of them into the file before the commit, with the old pages in the journal.
const char *const kManyRows =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
    "INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, Syukkin, Bikou) "
    "SELECT '2026-01-01', 2026, 1, 1, 1, 1, 9, 0, printf('%0400d', i) FROM n";

bool run(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

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

    bool run(const char *sql) { return ::run(m_db, sql); }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3 *m_db = nullptr;
};

// Runs the statements in a child process that then dies without a commit or a close, as a
// program killed in the middle of its work: what it left beside the file stays there.
void dieAfter(const QString &file, const std::vector<const char *> &statements)
{
    const pid_t child = fork();
    if (child == 0) {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            _exit(2);
        }
        for (const char *sql : statements) {
            if (!run(db, sql)) {
                _exit(3);
            }
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed: " << status;
}

// A writer killed in the middle of a transaction whose pages spilled into the file.
void leaveHotJournal(const QString &file)
{
    dieAfter(file, {"PRAGMA cache_size = 10", "BEGIN", "UPDATE Sisan SET Namae = 'half written'", kManyRows});
}

// A program that kept the ledger in write-ahead mode and ended before a checkpoint.
void leaveUncheckpointedLog(const QString &file)
{
    dieAfter(file, {"PRAGMA journal_mode = WAL", "INSERT INTO Sisan VALUES (4, 'in the log only', 7, 7)",
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

    QStringList folderEntries() const
    {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
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
             leaveHotJournal(path(f));
         },
         {journal}},
        {"a log with committed pages no checkpoint had taken into the file",
         [this](const QString &f) {
             makeOldLedger(f);
             leaveUncheckpointedLog(path(f));
         },
         {log, index}},
        {"nothing, beside it the hot journal and the log of a ledger deleted since",
         [this](const QString &f) {
             makeOldLedger(f);
             leaveHotJournal(path(f));
             const QByteArray hot = readFile(f + QStringLiteral("-journal"));
             ASSERT_TRUE(QFile::remove(path(f)));
             makeOldLedger(f);
             leaveUncheckpointedLog(path(f));
             ASSERT_TRUE(QFile::remove(path(f)));
             writeFile(f + QStringLiteral("-journal"), hot);
         },
         {journal, log, index}},
        {"a file that is no ledger, with another ledger's journal and log beside it",
         [this](const QString &f) {
             makeOldLedger(f);
             leaveUncheckpointedLog(path(f));
             makeOldLedger(QStringLiteral("other.sqlf"));
             leaveHotJournal(path(QStringLiteral("other.sqlf")));
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
         {"PRAGMA cache_size = 10", "BEGIN EXCLUSIVE", "UPDATE Sisan SET Namae = 'being written'", kManyRows},
         true},
        {"a write-ahead transaction", {"PRAGMA journal_mode = WAL", "BEGIN IMMEDIATE", kManyRows}, true},
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
