#include "platform/LedgerChanges.h"

#include "platform/LedgerConnection.h"

#include <QCoreApplication>

namespace {
quint64 changesTold = 0;
// Plain pointers, with nothing to destroy: a connection closed while the program's statics
// are destroyed still tells its change safely.
LedgerChanges *theChanges = nullptr;
} // namespace

LedgerChanges::LedgerChanges(QObject *parent) : QObject(parent) {}

LedgerChanges::~LedgerChanges()
{
    if (theChanges == this) {
        theChanges = nullptr;
    }
}

LedgerChanges *LedgerChanges::instance()
{
    // Owned by the application, so that it goes with it and a later one gets its own.
    if (!theChanges && QCoreApplication::instance()) {
        theChanges = new LedgerChanges(QCoreApplication::instance());
    }
    return theChanges;
}

quint64 LedgerChanges::count()
{
    return changesTold;
}

LedgerReading LedgerChanges::reading(LedgerConnection &db)
{
    LedgerReading now;
    now.toldChanges = changesTold;
    std::optional<RowSet> rows = db.select(QStringLiteral("PRAGMA data_version"));
    if (rows && !rows->atEnd() && !db.error()) {
        now.otherCommits = rows->int64At(0);
    }
    return now;
}

void LedgerChanges::notify()
{
    ++changesTold;
    LedgerChanges *changes = instance();
    if (!changes || changes->m_pending) {
        return;
    }
    changes->m_pending = true;
    QMetaObject::invokeMethod(changes, &LedgerChanges::deliver, Qt::QueuedConnection);
}

void LedgerChanges::deliver()
{
    m_pending = false;
    emit changed();
}
