#pragma once
// Tells the windows that show the ledger that it may have changed: this program committed a
// write to a ledger, or opened or closed one. The signal comes from the event loop once the
// action that caused it has returned, once however many commits the action made, so a window
// that draws itself again on it never reads the ledger in the middle of an action.

#include <QObject>
#include <QtGlobal>

#include <optional>

class LedgerConnection;

// Where a ledger stood when a window read it. Another process's commits are not told here:
// SQLite counts them per connection (PRAGMA data_version, which a connection's own commits
// leave as it is), so both counts together say whether anything was committed since.
struct LedgerReading
{
    quint64 toldChanges = 0;
    // None when the count could not be read: a ledger that cannot be read stays unreadable
    // without counting as changed again and again.
    std::optional<qint64> otherCommits;

    bool operator==(const LedgerReading &) const = default;
};

class LedgerChanges : public QObject
{
    Q_OBJECT
public:
    // The application's notifier, or null when there is no application to deliver it.
    static LedgerChanges *instance();
    // Cheap, and safe inside SQLite's own callbacks: it only counts and posts the signal.
    static void notify();
    // How many changes were told so far: a window that read the ledger after the change the
    // signal is late for has nothing to draw again.
    static quint64 count();
    // The ledger's standing now, read on its connection.
    static LedgerReading reading(LedgerConnection &db);

    ~LedgerChanges() override;

signals:
    void changed();

private:
    explicit LedgerChanges(QObject *parent);
    void deliver();

    bool m_pending = false;
};
