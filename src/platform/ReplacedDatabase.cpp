#include "platform/ReplacedDatabase.h"

#include "platform/LedgerConnection.h"
#include "platform/StagedFile.h"
#include "platform/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString databaseError(sqlite3 *db, int rc)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
}

} // namespace

bool siblingNamesFit(const QString &path)
{
    const QFileInfo info(path);
    long longest = 0;
    for (const char *suffix : ReplacedDatabase::kSiblingSuffixes) {
        longest = std::max(longest, static_cast<long>(std::strlen(suffix)));
    }
    return QFile::encodeName(info.fileName()).size() + longest <= nameLimit(info.absolutePath());
}

bool specialFileBeside(const QString &path)
{
    const QFileInfo info(path);
    const QString database = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (const char *suffix : ReplacedDatabase::kSiblingSuffixes) {
        struct stat sibling;
        if (::stat(QFile::encodeName(database + QLatin1String(suffix)).constData(), &sibling) == 0 &&
            !S_ISREG(sibling.st_mode)) {
            return true;
        }
    }
    return false;
}

ReplacedDatabase::ReplacedDatabase(const QString &path) : m_path(QFileInfo(path).absoluteFilePath()) {}

ReplacedDatabase::~ReplacedDatabase()
{
    release();
}

bool ReplacedDatabase::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool ReplacedDatabase::siblingExists(const char *suffix) const
{
    struct stat info;
    return ::lstat(QFile::encodeName(m_path + QLatin1String(suffix)).constData(), &info) == 0;
}

bool ReplacedDatabase::anySiblingExists() const
{
    for (const char *suffix : kSiblingSuffixes) {
        if (siblingExists(suffix)) {
            return true;
        }
    }
    return false;
}

bool ReplacedDatabase::removeLeftovers()
{
    for (const char *suffix : kSiblingSuffixes) {
        if (::unlink(QFile::encodeName(m_path + QLatin1String(suffix)).constData()) != 0 && errno != ENOENT) {
            return fail(systemErrorText(errno));
        }
    }
    return true;
}

bool ReplacedDatabase::removeSpecialSiblings()
{
    for (const char *suffix : kSiblingSuffixes) {
        const QByteArray name = QFile::encodeName(m_path + QLatin1String(suffix));
        struct stat info;
        if (::lstat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
            ::unlink(name.constData()) != 0) {
            return fail(systemErrorText(errno));
        }
    }
    return true;
}

namespace {

// Whether the connection, inside a transaction, reads through a log: SQLite opens one beside
// a database in write-ahead mode, and leaves one it cannot use (an empty one beside a rollback
// journal database) alone.
bool readsThroughLog(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    bool log = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        log = qstricmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "wal") == 0;
    }
    sqlite3_finalize(stmt);
    return log;
}

} // namespace

bool ReplacedDatabase::prepare()
{
    release();
    m_error.clear();
    // A FIFO, a device or a socket beside the name belongs to no database, and SQLite would
    // open it as a journal or a log: a FIFO's open blocks for ever.
    if (!removeSpecialSiblings()) {
        return false;
    }
    // Beside a name that holds no regular file nothing belongs to a database: SQLite keeps a
    // link's journal and log beside the file the link leads to, and a rename replaces only
    // the link.
    struct stat info;
    if (::lstat(QFile::encodeName(m_path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return removeLeftovers();
    }

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, LedgerConnection::kBusyTimeoutMs);
        // The first lock rolls a hot journal back (SQLite deletes it then) and opens a log
        // that is there; IMMEDIATE waits, as any write does, for a writer to finish.
        rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK && readsThroughLog(db)) {
        // Leaving write-ahead mode takes the log's pages into the file and removes the log
        // and its index, only when no other connection has the file open: one that does would
        // share them with the new file, which then does not replace it (and nothing of it
        // was changed). A checkpoint that fails says why (a full disk, say); the log stays.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        rc = sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK && readsThroughLog(db)) {
            rc = SQLITE_BUSY;
        }
        if (rc != SQLITE_OK) {
            const QString message =
                rc == SQLITE_BUSY ? QString::fromUtf8(sqlite3_errstr(rc)) : databaseError(db, rc);
            sqlite3_close(db);
            return fail(message);
        }
    }
    if (rc != SQLITE_OK) {
        const QString message = databaseError(db, rc);
        sqlite3_close(db);
        if (rc == SQLITE_NOTADB) {
            // What lies beside a file that is no database belongs to none.
            return removeLeftovers();
        }
        // A file SQLite cannot settle (unreadable, read-only, damaged) with nothing beside it
        // needs no settling; busy, another connection is writing it.
        if (rc != SQLITE_BUSY && !anySiblingExists()) {
            return true;
        }
        return fail(message);
    }

    // A rollback journal database, now write-locked: a journal still there is no hot one (it
    // would have been rolled back), and no one else can start one while the lock is held; a
    // log SQLite did not read through, or an index without its log, is used by no one.
    m_db = db;
    if (!removeLeftovers()) {
        release();
        return false;
    }
    return true;
}

void ReplacedDatabase::release()
{
    if (m_db) {
        // Nothing was written: the rollback touches no file beside the name.
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}
