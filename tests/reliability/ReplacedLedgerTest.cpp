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

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>

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

    // Makes the new ledger over the name as the user does; the ledger then must be open with
    // no message, and the name hold exactly a new ledger that takes the next entry.
    void expectNewLedgerAt(const QString &file)
    {
        m_ui->fileAnswers.push_back(path(file));
        CreateNewKakeiboDB();
        EXPECT_EQ(lines(m_ui->messages), "");
        ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
        exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'new account', 0, 0)"));
        exec(QStringLiteral("DELETE FROM Sisan WHERE Id = 3"));
        KakeiboDB.reset();
        EXPECT_TRUE(QFileInfo(path(file)).isFile() && !QFileInfo(path(file)).isSymLink());
        EXPECT_EQ(dumpLedger(path(file)), m_newLedger);
        expectSound(file);
    }

    // Every file in the folder with a digest of its bytes, to tell whether anything there was
    // touched.
    QStringList filesIn(const QString &folder)
    {
        QStringList files;
        for (const QString &name : folderEntries(folder)) {
            files.append(
                name + QStringLiteral(": ") +
                QString::fromLatin1(QCryptographicHash::hash(readFile(folder + QLatin1Char('/') + name),
                                                             QCryptographicHash::Sha256)
                                        .toHex()));
        }
        return files;
    }

    QString m_newLedger;
};

// A special file made at a name.
struct SpecialFile
{
    const char *what;
    std::function<bool(const QString &file)> make;
};

bool makeFifo(const QString &file)
{
    return ::mkfifo(QFile::encodeName(file).constData(), 0644) == 0;
}

// A write-ahead ledger whose log (or index) is then replaced by a FIFO.
bool fifoBesideLog(const QString &file, const char *suffix)
{
    const QString special = file + QLatin1String(suffix);
    return leaveUncheckpointedLog(file) && QFile::remove(special) && makeFifo(special);
}

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

TEST_F(ReplacedLedgerTest, ASpecialFileBesideTheNameNeverBlocksTheNewLedger)
{
    const QString file = QStringLiteral("kakeibo.sqlf");
    const std::vector<SpecialFile> cases = {
        // SQLite would open it to read the journal back, and the open waits for a writer.
        {"a FIFO as the journal", [](const QString &f) { return makeFifo(f + QStringLiteral("-journal")); }},
        {"a link to a FIFO as the journal",
         [](const QString &f) {
             return makeFifo(f + QStringLiteral(".fifo")) &&
                    QFile::link(f + QStringLiteral(".fifo"), f + QStringLiteral("-journal"));
         }},
        // A ledger in write-ahead mode has SQLite read its log and index.
        {"a FIFO as the log of a write-ahead ledger",
         [](const QString &f) { return fifoBesideLog(f, "-wal"); }},
        {"a FIFO as the log's index of a write-ahead ledger",
         [](const QString &f) { return fifoBesideLog(f, "-shm"); }},
    };
    for (const SpecialFile &special : cases) {
        SCOPED_TRACE(special.what);
        restart();
        makeOldLedger(file);
        ASSERT_TRUE(special.make(path(file)));
        const QStringList others = folderEntries().filter(QStringLiteral(".fifo"));
        expectNewLedgerAt(file);
        // Neither the special file nor the file the new ledger was built in is left.
        EXPECT_EQ(lines(folderEntries()), lines(QStringList{file} + others));
        for (const QString &name : folderEntries()) {
            QFile::remove(path(name));
        }
    }
}

TEST_F(ReplacedLedgerTest, ALogSQLiteDidNotUseIsALeftoverThatGoes)
{
    const QString file = QStringLiteral("kakeibo.sqlf");
    const QString target = QStringLiteral("elsewhere/kakeibo.sqlf");
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("elsewhere"))));
    const std::vector<Leftover> cases = {
        {"an empty log beside a rollback journal ledger",
         [this](const QString &f) {
             makeOldLedger(f);
             writeFile(f + QStringLiteral("-wal"), QByteArray());
         },
         {}},
        // SQLite keeps a link's journal and log beside the file the link leads to.
        {"a log beside a link to a ledger whose own log lies beside it",
         [this, target](const QString &f) {
             makeOldLedger(target);
             ASSERT_TRUE(leaveUncheckpointedLog(path(target)));
             ASSERT_TRUE(QFile::link(path(target), path(f)));
             writeFile(f + QStringLiteral("-wal"), readFile(target + QStringLiteral("-wal")));
             writeFile(f + QStringLiteral("-shm"), readFile(target + QStringLiteral("-shm")));
         },
         {QStringLiteral("kakeibo.sqlf"), QStringLiteral("kakeibo.sqlf-shm"),
          QStringLiteral("kakeibo.sqlf-wal")}},
    };
    for (const Leftover &leftover : cases) {
        SCOPED_TRACE(leftover.what);
        restart();
        leftover.make(file);
        ASSERT_TRUE(QFileInfo::exists(path(file + QStringLiteral("-wal"))));
        ASSERT_EQ(folderEntries(QStringLiteral("elsewhere")), leftover.beside);
        const QStringList elsewhere = filesIn(QStringLiteral("elsewhere"));
        expectNewLedgerAt(file);
        EXPECT_EQ(lines(folderEntries()), lines({QStringLiteral("elsewhere"), file}));
        // The file the link led to is another ledger, with its log, as it was.
        EXPECT_EQ(filesIn(QStringLiteral("elsewhere")), elsewhere);
        QFile::remove(path(file));
    }
}

TEST_F(ReplacedLedgerTest, ASettlingThatFindsNoRoomSaysSoAndLeavesTheOldLedgerWhole)
{
    const QString small = QStringLiteral("small");
    ASSERT_TRUE(QDir().mkpath(path(small)));
    if (!mountSmallFolder(path(small), "2m")) {
        GTEST_SKIP() << "no permission to mount a small file system here (needs CAP_SYS_ADMIN)";
    }
    const QString file = small + QStringLiteral("/kakeibo.sqlf");
    makeOldLedger(file);
    // A log whose pages need far more room in the file than the disk has left; the new
    // ledger itself still fits.
    ASSERT_TRUE(dieAfter(path(file), {"PRAGMA journal_mode = WAL",
                                      "INSERT INTO Sisan VALUES (4, printf('%.*c', 600000, 'x'), 7, 7)"}));
    writeFile(small + QStringLiteral("/room"), QByteArray(256 * 1024, 'r'));
    fillUp(path(small + QStringLiteral("/filler")));
    ASSERT_TRUE(QFile::remove(path(small + QStringLiteral("/room"))));
    const QStringList before = folderEntries(small);
    const QByteArray log = readFile(file + QStringLiteral("-wal"));

    m_ui->fileAnswers.push_back(path(file));
    CreateNewKakeiboDB();
    EXPECT_EQ(lines(m_ui->messages), lines({kCreateFailed + QStringLiteral("database or disk is full")}));
    EXPECT_FALSE(KakeiboDB);
    // No file the new ledger was built in is left, and the log still holds what it held.
    EXPECT_EQ(lines(folderEntries(small)), lines(before));
    EXPECT_TRUE(readFile(file + QStringLiteral("-wal")) == log);
    ASSERT_TRUE(QFile::remove(path(small + QStringLiteral("/filler"))));
    const LedgerCheck check = checkLedger(path(file));
    EXPECT_EQ(check.accounts, 4);
    expectSound(file);
    umount2(QFile::encodeName(path(small)).constData(), MNT_DETACH);
}

} // namespace
