#pragma once
// The one SQLite connection to a ledger file, with the small surface the program needs:
// create or connect, select with a forward-only row set, execute one statement, and the
// error state of the last statement.

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A forward-only row set over one SELECT. It holds the statement until it is destroyed.
// Columns are read by name (case-insensitive) or by position; NULL, a missing column or a
// position out of range reads as 0 or the empty text.
class RowSet
{
public:
    RowSet(RowSet &&other) noexcept;
    RowSet &operator=(RowSet &&other) noexcept;
    RowSet(const RowSet &) = delete;
    RowSet &operator=(const RowSet &) = delete;
    ~RowSet();

    bool atEnd() const { return m_atEnd; }
    // Steps to the next row; a failing step ends the row set and records the error
    // on the connection.
    void moveNext();

    int columnCount() const;
    int columnIndex(const QString &name) const;

    // A REAL past the 64-bit range reads clamped and records "integer overflow" on the
    // connection, as a failing step would.
    int64_t int64At(int column) const;
    int32_t intAt(int column) const;
    QString textAt(int column) const;
    bool isNullAt(int column) const;
    // The value as UTF-8 text, as textAt reads it (NULL: empty), without a copy; valid until
    // the next step. Lists of many rows decode it straight into a buffer of their own.
    QByteArrayView utf8At(int column) const;
    // The stored value is of SQLite's TEXT storage class.
    bool isTextAt(int column) const;
    // The stored value is of SQLite's INTEGER storage class.
    bool isIntegerAt(int column) const;

    int64_t int64(const QString &name) const { return int64At(columnIndex(name)); }
    int32_t intValue(const QString &name) const { return intAt(columnIndex(name)); }
    QString text(const QString &name) const { return textAt(columnIndex(name)); }

private:
    friend class LedgerConnection;
    RowSet(class LedgerConnection *owner, sqlite3_stmt *stmt);

    class LedgerConnection *m_owner = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_atEnd = true;
    std::vector<QByteArray> m_names;
};

class LedgerConnection
{
public:
    // How long a statement waits for a lock another connection holds before it fails.
    static constexpr int kBusyTimeoutMs = 5000;

    LedgerConnection() = default;
    explicit LedgerConnection(const QString &databaseFile);
    ~LedgerConnection();
    LedgerConnection(const LedgerConnection &) = delete;
    LedgerConnection &operator=(const LedgerConnection &) = delete;

    void setDatabaseFile(const QString &path);
    QString databaseFile() const { return m_path; }
    // The file name without its folder.
    QString databaseName() const;

    // Creates a new database file (or opens an existing one) and connects to it.
    bool createDatabaseFile();
    // Connects to an existing file without ever creating one, and reads the schema once so
    // that a file that is not a database fails here. Connecting an open connection succeeds.
    // Once a connect has failed, the connection stays failed with its message.
    bool connect();
    bool isConnected() const { return m_db != nullptr; }
    void close();

    std::optional<RowSet> select(const QString &sql);
    // Runs exactly one statement; text after it is refused.
    bool execute(const QString &sql);

    bool error() const { return m_error; }
    QString errorMessage() const { return m_errorMessage; }
    int32_t lastRowId() const;

    bool inTransaction() const;
    sqlite3 *handle() const { return m_db; }

    // SQLite's own words for a database file that cannot be opened or made, and for a failing
    // read, write or sync, for file work done beside the connection.
    static QString cannotOpenMessage();
    static QString ioErrorMessage();

private:
    friend class RowSet;
    bool open(int flags);
    void setError(const QString &message);
    void setSqliteError();
    void clearError();

    QString m_path;
    sqlite3 *m_db = nullptr;
    bool m_connectFailed = false;
    bool m_error = false;
    QString m_errorMessage;
};

class MessageHold;

// One transaction around a user action. The scope that begins it owns it; while it is open,
// message boxes wait (MessageHold) and are shown once it has been committed or rolled back,
// so no box is open while the ledger is locked. A scope that is not committed rolls back.
class Transaction
{
public:
    // What a scope opened while a transaction is already running does.
    enum class Nesting
    {
        // A user action is never part of another: the scope does not begin (SQLite's
        // "cannot start a transaction within a transaction"), and the action writes nothing.
        Refuse,
        // A step that runs alone or inside an action (a transfer pair, say) joins it.
        Join
    };

    enum class Outcome
    {
        // This scope committed: the ledger holds the work.
        Committed,
        // This scope joined an outer one and committed nothing: the outer scope decides.
        Joined,
        // The scope never began, or its commit failed and the work has been rolled back
        // (errorMessage says why).
        Failed
    };

    explicit Transaction(LedgerConnection *db, Nesting nesting = Nesting::Refuse);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    Outcome commit();
    void rollback();

    // False when the ledger refused to begin (locked by another writer, say): writes made
    // then would not be undone together.
    bool isActive() const { return m_active; }
    // The database's message of a failed begin or commit.
    QString errorMessage() const { return m_errorMessage; }

private:
    void end(const char *statement);

    LedgerConnection *m_db;
    bool m_owner = false;
    bool m_done = false;
    bool m_active = false;
    QString m_errorMessage;
    std::unique_ptr<MessageHold> m_hold;
};
