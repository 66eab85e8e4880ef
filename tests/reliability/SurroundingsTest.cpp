// Faults of the surroundings while a ledger is open: a read-only file, a folder that vanished,
// another process holding the write lock, a full disk, a file that may not grow. Each write
// action is refused with its site's message and leaves the ledger exactly as it was: no half
// transfer pair, no stale balance, no open transaction.

#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/LedgerSchema.h"
#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"
#include "ledger/EntryWriter.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/AccountMaintenance.h"
#include "maintenance/CategoryMaintenance.h"
#include "platform/RadioButton.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <csignal>
#include <functional>

#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One user action that writes, with the text its failure message begins with.
struct WriteAction
{
    const char *what;
    QString site;
    std::function<void()> run;
    // Adds rows (and so needs room in the file), as opposed to deleting or re-booking.
    bool adds = false;
};

class SurroundingsTest : public ReliabilityFixture
{
protected:
    // Every kind of write a user can start: the entry form's Input (new, changed and deleted
    // entries, a transfer pair) and the maintenance dialogs' Done.
    std::vector<WriteAction> writeActions(const QString &memo = QString::fromUtf8("移動 'テスト'"))
    {
        const QString food = QString::fromUtf8("食費/食材");
        return {
            {"new expense through the form", QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu: "),
             [this, memo, food] { enterNew(m_w->rbtSisyutu(), food, QStringLiteral("1200"), memo); }, true},
            {"new transfer through the form", QStringLiteral("from Method KinyuuSinkiIdou: "),
             [this, memo] {
                 enterNew(m_w->rbtIdou(), QString::fromUtf8("預金"), QStringLiteral("300"), memo);
             },
             true},
            {"changed expense through the form", QStringLiteral("from Method KinyuuHensyuu: "),
             [this, memo] {
                 ASSERT_TRUE(chooseEntry(1));
                 m_w->pbtHensyuu()->click();
                 m_w->tfdKingaku()->setText(QStringLiteral("999"));
                 m_w->tfdBikou()->setText(memo);
                 m_w->pbtNyuryoku()->click();
             }},
            {"deleted transfer pair through the form", QStringLiteral("from Method KinyuSakujyo Idoumoto: "),
             [this] {
                 ASSERT_TRUE(chooseEntry(3));
                 m_w->pbtSakujyo()->click();
                 m_ui->confirmAnswers.push_back(true);
                 m_w->pbtNyuryoku()->click();
             }},
            {"transfer writer", QStringLiteral("from Method KinyuuSinkiIdou: "),
             [memo] {
                 insertTransfer(*KakeiboDB, 1, 2, EntryValues{2024, 6, 1, 4321, memo});
             },
             true},
            {"account add", QStringLiteral("from Method SisanSakujyo: "),
             [memo] { addAccount(memo, QStringLiteral("500")); }, true},
            {"account delete", QString::fromUtf8("from SisanSakujyo データを削除できませんでいた。"),
             [] { deleteAccountWithEntries(readStoredAccount(*KakeiboDB, 2).row); }},
            {"category add", QStringLiteral("from Method Himokutuika INSERT: "),
             [memo] { addCategory(1, memo); }, true},
            {"sub-item delete", QString::fromUtf8("この内訳をもつデータを削除できませんでいた。"),
             [] { deleteSubItemWithEntries(readStoredCategoryItem(*KakeiboDB, 2).row); }},
            {"merge", QStringLiteral("from Method HimokuTougou Update: "),
             [] {
                 mergeSubItem(readStoredCategoryItem(*KakeiboDB, 2).row,
                              readStoredCategoryItem(*KakeiboDB, 3).row);
             }},
        };
    }

    // A ledger with entries in a folder of its own, open as the remembered ledger.
    void openSampleLedger(const QString &folder)
    {
        QDir(m_dir.path()).mkpath(folder);
        m_file = folder + QStringLiteral("/ledger.sqlf");
        createLedger(m_file);
        addSampleEntries(60);
        reopen(m_file);
        showMainWindow();
    }

    // What the user met in one action: the messages shown, and whether it returned with a
    // transaction open.
    struct Outcome
    {
        QStringList messages;
        bool inTransaction = false;
    };

    Outcome runAction(const WriteAction &action)
    {
        m_ui->messages.clear();
        action.run();
        return {m_ui->messages, KakeiboDB->inTransaction()};
    }

    // Runs the action and expects its site's message first, the database's reason in one of
    // the messages (unless the site shows none), and no transaction left open.
    void expectRefused(const WriteAction &action, const QString &reason, bool siteShowsReason = true)
    {
        expectRefused(action, runAction(action), reason, siteShowsReason);
    }

    static void expectRefused(const WriteAction &action, const Outcome &outcome, const QString &reason,
                              bool siteShowsReason)
    {
        SCOPED_TRACE(action.what);
        ASSERT_FALSE(outcome.messages.isEmpty()) << "the failure was not reported";
        EXPECT_TRUE(outcome.messages[0].startsWith(action.site)) << outcome.messages[0].toStdString();
        if (siteShowsReason && action.site.startsWith(QStringLiteral("from Method"))) {
            EXPECT_TRUE(outcome.messages.join(QLatin1Char('\n')).contains(reason))
                << outcome.messages.join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_FALSE(outcome.inTransaction);
    }

    QString m_file;
};

// Opening a read-only file needs an unprivileged user: root may write any file. As root the
// test takes the identity of "nobody" while the ledger is opened, so that SQLite finds the file
// read-only as a user would.
class UnprivilegedScope
{
public:
    explicit UnprivilegedScope(const QString &folder)
    {
        if (geteuid() != 0) {
            m_ok = true;
            return;
        }
        chmod(QFile::encodeName(folder).constData(), 0755);
        m_ok = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~UnprivilegedScope()
    {
        if (getuid() == 0) {
            (void)seteuid(0);
            (void)setegid(0);
        }
    }
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

TEST_F(SurroundingsTest, AReadOnlyLedgerRefusesEveryWriteWithTheStatementsMessage)
{
    openSampleLedger(QStringLiteral("ro"));
    KakeiboDB.reset();
    const QString file = path(m_file);
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0444), 0);
    const QByteArray before = readFile(m_file);
    {
        UnprivilegedScope nobody(m_dir.path());
        if (!nobody.ok()) {
            GTEST_SKIP() << "cannot take an unprivileged identity to make the file read-only";
        }
        reopen(m_file);
    }
    showMainWindow();
    // The ledger opens and reads as usual.
    EXPECT_EQ(gDicSisan.count(), 2);
    for (const WriteAction &action : writeActions()) {
        expectRefused(action, QStringLiteral("attempt to write a readonly database"));
    }
    EXPECT_EQ(readFile(m_file), before);
    expectSound(m_file);
}

TEST_F(SurroundingsTest, ALedgerWhoseFolderWasMovedAwayRefusesWritesAndKeepsItsEntries)
{
    openSampleLedger(QStringLiteral("moving"));
    const QString before = dumpLedger(path(m_file));
    ASSERT_TRUE(QDir(m_dir.path()).rename(QStringLiteral("moving"), QStringLiteral("moved")));
    for (const WriteAction &action : writeActions()) {
        expectRefused(action, QString());
    }
    KakeiboDB.reset();
    const QString moved = QStringLiteral("moved/ledger.sqlf");
    EXPECT_EQ(dumpLedger(path(moved)), before);
    expectSound(moved);
}

TEST_F(SurroundingsTest, ALedgerWhoseFolderWasDeletedRefusesWritesWithoutACrash)
{
    openSampleLedger(QStringLiteral("doomed"));
    ASSERT_TRUE(QDir(path(QStringLiteral("doomed"))).removeRecursively());
    for (const WriteAction &action : writeActions()) {
        expectRefused(action, QString());
    }
    // Reading goes on from the file the connection still holds.
    EXPECT_TRUE(CheckKakeiboDBConnected());
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan")), 2);
}

// Another process that holds the write lock (BEGIN IMMEDIATE) for `holdMs`, then rolls back.
// Returns once the lock is held.
pid_t holdWriteLock(const QString &file, int holdMs)
{
    int ready[2];
    if (pipe(ready) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        sqlite3 *db = nullptr;
        const QByteArray name = QFile::encodeName(file);
        char ok = 0;
        if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE Sisan SET Zankin = Zankin + 1", nullptr, nullptr,
                         nullptr) == SQLITE_OK) {
            ok = 1;
        }
        (void)write(ready[1], &ok, 1);
        usleep(static_cast<useconds_t>(holdMs) * 1000);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(ok ? 0 : 1);
    }
    close(ready[1]);
    char ok = 0;
    if (read(ready[0], &ok, 1) != 1 || !ok) {
        close(ready[0]);
        return -1;
    }
    close(ready[0]);
    return child;
}

int reap(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SurroundingsTest, ALedgerLockedByAnotherProcessWaitsFiveSecondsThenRefusesWhole)
{
    openSampleLedger(QStringLiteral("locked"));
    const QString before = dumpLedger(path(m_file));
    const auto actions = writeActions();
    // The form's Input and a maintenance dialog's Done: every action begins its transaction so.
    for (const WriteAction *action : {&actions[0], &actions[6]}) {
        const pid_t holder = holdWriteLock(path(m_file), 20000);
        ASSERT_GT(holder, 0);
        QElapsedTimer waited;
        waited.start();
        expectRefused(*action, QStringLiteral("database is locked"));
        EXPECT_GE(waited.elapsed(), 4500) << action->what;
        EXPECT_LT(waited.elapsed(), 15000) << action->what;
        kill(holder, SIGKILL);
        reap(holder);
    }
    EXPECT_EQ(dumpLedger(path(m_file)), before);
    expectSound(m_file);
}

TEST_F(SurroundingsTest, ALockReleasedWithinTheTimeoutLetsTheWriteThroughWhole)
{
    openSampleLedger(QStringLiteral("busy"));
    const qint64 entries = scalar(QStringLiteral("SELECT count(*) FROM Items"));
    const pid_t holder = holdWriteLock(path(m_file), 1500);
    ASSERT_GT(holder, 0);
    QElapsedTimer waited;
    waited.start();
    enterNew(m_w->rbtIdou(), QString::fromUtf8("預金"), QStringLiteral("4321"), QStringLiteral("waited"));
    EXPECT_GE(waited.elapsed(), 1000);
    EXPECT_EQ(reap(holder), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), entries + 2);
    expectSound(m_file);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(SurroundingsTest, AFullDiskRefusesEveryWriteWholeAndWritesAgainOnceThereIsRoom)
{
    const QString folder = path(QStringLiteral("small"));
    QDir().mkpath(folder);
    if (!mountSmallFolder(folder, "1m")) {
        GTEST_SKIP() << "no permission to mount a small file system here (needs CAP_SYS_ADMIN)";
    }
    openSampleLedger(QStringLiteral("small"));
    const QString before = dumpLedger(path(m_file));
    fillUp(path(QStringLiteral("small/filler")));
    // A long memo needs new pages, so the write cannot fit in space the file already has.
    const QString longMemo(6000, QLatin1Char('m'));
    for (const WriteAction &action : writeActions(longMemo)) {
        expectRefused(action, QStringLiteral("database or disk is full"), false);
    }
    EXPECT_EQ(dumpLedger(path(m_file)), before);
    expectSound(m_file);

    ASSERT_TRUE(QFile::remove(path(QStringLiteral("small/filler"))));
    m_ui->messages.clear();
    const qint64 entries = scalar(QStringLiteral("SELECT count(*) FROM Items"));
    enterNew(m_w->rbtIdou(), QString::fromUtf8("預金"), QStringLiteral("77"), longMemo);
    EXPECT_TRUE(addAccount(longMemo, QStringLiteral("77")));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), entries + 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan")), 3);
    expectSound(m_file);
    umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

TEST_F(SurroundingsTest, ANewLedgerOnAFullDiskIsReportedOnceAndLeavesNoFile)
{
    const QString folder = path(QStringLiteral("tiny"));
    QDir().mkpath(folder);
    if (!mountSmallFolder(folder, "64k")) {
        GTEST_SKIP() << "no permission to mount a small file system here (needs CAP_SYS_ADMIN)";
    }
    fillUp(path(QStringLiteral("tiny/filler")));
    m_ui->fileAnswers.push_back(path(QStringLiteral("tiny/new.sqlf")));
    CreateNewKakeiboDB();
    EXPECT_EQ(m_ui->messages.size(), 1) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(KakeiboDB);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("tiny/new.sqlf"))));
    // Nor the file it was being built in.
    EXPECT_EQ(folderEntries(QStringLiteral("tiny")), QStringList{QStringLiteral("filler")});
    umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

TEST_F(SurroundingsTest, ALedgerThatMayNotGrowRefusesEveryWriteWhole)
{
    openSampleLedger(QStringLiteral("capped"));
    const QString before = dumpLedger(path(m_file));
    const rlim_t size = static_cast<rlim_t>(QFileInfo(path(m_file)).size());
    const QString longMemo(6000, QLatin1Char('m'));
    const auto actions = writeActions(longMemo);
    // A connection must not cross a fork: the child opens the ledger as a start does.
    KakeiboDB.reset();
    // A signal that ends the child fails the test.
    const ChildEnd end = runInChild([&] {
        reopen(m_file);
        if (!KakeiboDB || !KakeiboDB->isConnected()) {
            _exit(2);
        }
        showMainWindow();
        limitFileSize(size);
        QByteArray report;
        QDataStream out(&report, QIODevice::WriteOnly);
        for (const WriteAction &action : actions) {
            if (action.adds) {
                const Outcome outcome = runAction(action);
                out << outcome.messages << outcome.inTransaction;
            }
        }
        return report;
    });
    ASSERT_FALSE(WIFSIGNALED(end.status)) << "the program was ended by signal " << WTERMSIG(end.status);
    ASSERT_TRUE(WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0) << "status " << end.status;

    QDataStream in(end.report);
    for (const WriteAction &action : actions) {
        if (action.adds) {
            Outcome outcome;
            in >> outcome.messages >> outcome.inTransaction;
            ASSERT_EQ(in.status(), QDataStream::Ok) << action.what << ": no report from the child";
            expectRefused(action, outcome, QString(), false);
        }
    }
    EXPECT_EQ(dumpLedger(path(m_file)), before);
    expectSound(m_file);
}

} // namespace
