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

bool ReplacedDatabase::prepare()
{
    release();
    m_error.clear();
    // Beside a name that holds no file (or no regular file) nothing belongs to a database.
    if (!QFileInfo(m_path).isFile()) {
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

    if (!siblingExists(kLogSuffix)) {
        // A rollback journal ledger, now write-locked: a journal still there is no hot one
        // (it would have been rolled back), and no one else can start one while the lock is
        // held; an index without its log is used by no one.
        m_db = db;
        if (!removeLeftovers()) {
            release();
            return false;
        }
        return true;
    }

    // A log: closing the last connection takes its pages into the file and removes it and its
    // index. Another connection that keeps the file open keeps them too, and would share them
    // with the new file: then the file is not replaced (and nothing of it was changed).
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (siblingExists(kLogSuffix) || siblingExists(kLogIndexSuffix)) {
        return fail(QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY)));
    }
    // The log is gone, so no journal beside it is a hot one.
    return removeLeftovers();
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
