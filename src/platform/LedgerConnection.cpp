#include "platform/LedgerConnection.h"

#include "platform/CheckedSum.h"
#include "platform/LedgerChanges.h"
#include "platform/ReplacedDatabase.h"
#include "platform/Ui.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <limits>

namespace {

bool onlyBlanksOrComments(const char *tail)
{
    // sqlite3_complete-style scan is overkill: after prepare, the tail holds what follows
    // the first statement; anything but blanks and a lone ';' is another statement.
    for (const char *p = tail; p && *p; ++p) {
        if (*p == ';' || *p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') {
            continue;
        }
        return false;
    }
    return true;
}

// Every commit of a write, an action's own or a lone statement's, whichever code made it.
int writeCommitted(void *)
{
    LedgerChanges::notify();
    // Zero lets the commit go on.
    return 0;
}

} // namespace

RowSet::RowSet(LedgerConnection *owner, sqlite3_stmt *stmt) : m_owner(owner), m_stmt(stmt)
{
    const int n = sqlite3_column_count(stmt);
    m_names.reserve(n);
    for (int i = 0; i < n; ++i) {
        m_names.emplace_back(QByteArray(sqlite3_column_name(stmt, i)).toLower());
    }
}

RowSet::RowSet(RowSet &&other) noexcept
    : m_owner(other.m_owner), m_stmt(other.m_stmt), m_atEnd(other.m_atEnd), m_names(std::move(other.m_names))
{
    other.m_stmt = nullptr;
    other.m_atEnd = true;
}

RowSet &RowSet::operator=(RowSet &&other) noexcept
{
    if (this != &other) {
        if (m_stmt) {
            sqlite3_finalize(m_stmt);
        }
        m_owner = other.m_owner;
        m_stmt = other.m_stmt;
        m_atEnd = other.m_atEnd;
        m_names = std::move(other.m_names);
        other.m_stmt = nullptr;
        other.m_atEnd = true;
    }
    return *this;
}

RowSet::~RowSet()
{
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
    }
}

void RowSet::moveNext()
{
    if (!m_stmt || m_atEnd) {
        return;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return;
    }
    m_atEnd = true;
    if (rc != SQLITE_DONE && m_owner) {
        m_owner->setSqliteError();
    }
}

int RowSet::columnCount() const
{
    return static_cast<int>(m_names.size());
}

int RowSet::columnIndex(const QString &name) const
{
    const QByteArray key = name.toUtf8().toLower();
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i] == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool RowSet::isNullAt(int column) const
{
    if (!m_stmt || m_atEnd || column < 0 || column >= columnCount()) {
        return true;
    }
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int64_t RowSet::int64At(int column) const
{
    // SQLite reads NULL as 0 itself; asking for the type first would double the calls.
    if (!m_stmt || m_atEnd || column < 0 || column >= columnCount()) {
        return 0;
    }
    const int64_t value = sqlite3_column_int64(m_stmt, column);
    // SQLite stores a number past the 64-bit range as REAL and reads it back clamped to the
    // nearest limit. Such a value has no 64-bit reading: the read fails as a sum past the
    // limit does, so no clamped amount is shown or summed into a balance.
    if ((value == std::numeric_limits<int64_t>::max() || value == std::numeric_limits<int64_t>::min()) &&
        sqlite3_column_type(m_stmt, column) == SQLITE_FLOAT && m_owner) {
        const double real = sqlite3_column_double(m_stmt, column);
        if (!(real >= -0x1p63 && real < 0x1p63)) {
            m_owner->setError(QString::fromLatin1(kIntegerOverflow));
        }
    }
    return value;
}

int32_t RowSet::intAt(int column) const
{
    const int64_t v = int64At(column);
    if (v > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (v < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(v);
}

QString RowSet::textAt(int column) const
{
    if (isNullAt(column)) {
        return QString();
    }
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return QString::fromUtf8(bytes, size);
}

QByteArrayView RowSet::utf8At(int column) const
{
    if (!m_stmt || m_atEnd || column < 0 || column >= columnCount()) {
        return {};
    }
    // NULL gives no text and no bytes.
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return bytes ? QByteArrayView(bytes, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

bool RowSet::isTextAt(int column) const
{
    return !isNullAt(column) && sqlite3_column_type(m_stmt, column) == SQLITE_TEXT;
}

bool RowSet::isIntegerAt(int column) const
{
    return !isNullAt(column) && sqlite3_column_type(m_stmt, column) == SQLITE_INTEGER;
}

LedgerConnection::LedgerConnection(const QString &databaseFile) : m_path(databaseFile) {}

LedgerConnection::~LedgerConnection()
{
    close();
}

void LedgerConnection::setDatabaseFile(const QString &path)
{
    m_path = path;
}

QString LedgerConnection::databaseName() const
{
    return QFileInfo(m_path).fileName();
}

bool LedgerConnection::open(int flags)
{
    // Absolute paths: a relative name beginning with "file:" would be taken as a URI.
    const QByteArray path = QFileInfo(m_path).absoluteFilePath().toUtf8();
    // Refused, never opened: SQLite's first read would open a FIFO there and wait for ever.
    if (specialFileBeside(m_path)) {
        setError(cannotOpenMessage());
        return false;
    }
    sqlite3 *db = nullptr;
    // One user-interface thread runs every statement: without the connection's mutex each
    // column read of a long list costs no lock.
    const int rc = sqlite3_open_v2(path.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        setError(db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
        if (db) {
            sqlite3_close(db);
        }
        return false;
    }
    sqlite3_busy_timeout(db, LedgerConnection::kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    // SQLite opens lazily: a file that is not a database only fails at its first read.
    char *err = nullptr;
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &err) != SQLITE_OK) {
        setError(err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_free(err);
        sqlite3_close(db);
        return false;
    }
    m_db = db;
    sqlite3_commit_hook(m_db, &writeCommitted, nullptr);
    clearError();
    // Another ledger is open now: what the windows show of the one before is gone.
    LedgerChanges::notify();
    return true;
}

bool LedgerConnection::createDatabaseFile()
{
    if (m_db) {
        return true;
    }
    m_connectFailed = false;
    return open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool LedgerConnection::connect()
{
    if (m_db) {
        clearError();
        return true;
    }
    if (m_connectFailed) {
        // Keep the failure: a later success could write another window's ids into this file.
        m_error = true;
        return false;
    }
    if (!open(SQLITE_OPEN_READWRITE)) {
        m_connectFailed = true;
        return false;
    }
    return true;
}

void LedgerConnection::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        LedgerChanges::notify();
    }
}

void LedgerConnection::setError(const QString &message)
{
    m_error = true;
    m_errorMessage = message;
}

void LedgerConnection::setSqliteError()
{
    setError(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("database is not open"));
}

void LedgerConnection::clearError()
{
    m_error = false;
    m_errorMessage.clear();
}

std::optional<RowSet> LedgerConnection::select(const QString &sql)
{
    if (!m_db) {
        setError(QStringLiteral("database is not open"));
        return std::nullopt;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, &tail) != SQLITE_OK) {
        setSqliteError();
        return std::nullopt;
    }
    if (!stmt) {
        setError(QStringLiteral("not a statement"));
        return std::nullopt;
    }
    if (!onlyBlanksOrComments(tail)) {
        sqlite3_finalize(stmt);
        setError(QStringLiteral("only one statement is allowed"));
        return std::nullopt;
    }
    RowSet rows(this, stmt);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        rows.m_atEnd = false;
    } else if (rc != SQLITE_DONE) {
        setSqliteError();
        return std::nullopt;
    }
    clearError();
    return rows;
}

bool LedgerConnection::execute(const QString &sql)
{
    if (!m_db) {
        setError(QStringLiteral("database is not open"));
        return false;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), text.size(), &stmt, &tail) != SQLITE_OK) {
        setSqliteError();
        return false;
    }
    if (!stmt) {
        setError(QStringLiteral("not a statement"));
        return false;
    }
    if (!onlyBlanksOrComments(tail)) {
        sqlite3_finalize(stmt);
        setError(QStringLiteral("only one statement is allowed"));
        return false;
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        setSqliteError();
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_finalize(stmt);
    clearError();
    return true;
}

int32_t LedgerConnection::lastRowId() const
{
    return m_db ? static_cast<int32_t>(sqlite3_last_insert_rowid(m_db)) : 0;
}

QString LedgerConnection::cannotOpenMessage()
{
    return QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
}

QString LedgerConnection::ioErrorMessage()
{
    return QString::fromUtf8(sqlite3_errstr(SQLITE_IOERR));
}

bool LedgerConnection::inTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

Transaction::Transaction(LedgerConnection *db, Nesting nesting) : m_db(db)
{
    if (!m_db || !m_db->isConnected()) {
        m_errorMessage = QStringLiteral("database is not open");
        return;
    }
    if (nesting == Nesting::Join && m_db->inTransaction()) {
        m_active = true;
        return;
    }
    // BEGIN IMMEDIATE takes the write lock up front, so another writer makes the whole
    // action wait (busy timeout) or fail before anything is written. Inside a running
    // transaction it fails with SQLite's own message.
    m_owner = sqlite3_exec(m_db->handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    m_active = m_owner;
    if (!m_owner) {
        m_errorMessage = QString::fromUtf8(sqlite3_errmsg(m_db->handle()));
        return;
    }
    m_hold = std::make_unique<MessageHold>();
}

Transaction::~Transaction()
{
    if (!m_done) {
        rollback();
    }
}

Transaction::Outcome Transaction::commit()
{
    m_done = true;
    // A scope that never began committed nothing, whatever it was asked to join.
    if (!m_active) {
        return Outcome::Failed;
    }
    if (!m_owner) {
        return Outcome::Joined;
    }
    if (!m_db->isConnected()) {
        m_errorMessage = QStringLiteral("database is not open");
        end(nullptr);
        return Outcome::Failed;
    }
    if (sqlite3_exec(m_db->handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        m_errorMessage = QString::fromUtf8(sqlite3_errmsg(m_db->handle()));
        end("ROLLBACK");
        return Outcome::Failed;
    }
    end(nullptr);
    return Outcome::Committed;
}

void Transaction::rollback()
{
    m_done = true;
    if (m_owner) {
        end("ROLLBACK");
    }
}

void Transaction::end(const char *statement)
{
    if (statement && m_db->isConnected()) {
        sqlite3_exec(m_db->handle(), statement, nullptr, nullptr, nullptr);
    }
    m_owner = false;
    // Only now, with the lock released, are the messages raised meanwhile shown.
    m_hold.reset();
}
