#include "platform/LedgerChanges.h"

#include <QCoreApplication>
#include <QPointer>

namespace {
quint64 changesTold = 0;
} // namespace

LedgerChanges::LedgerChanges(QObject *parent) : QObject(parent) {}

LedgerChanges *LedgerChanges::instance()
{
    // Owned by the application, so that it goes with it and a later one gets its own.
    static QPointer<LedgerChanges> changes;
    if (!changes && QCoreApplication::instance()) {
        changes = new LedgerChanges(QCoreApplication::instance());
    }
    return changes;
}

quint64 LedgerChanges::count()
{
    return changesTold;
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
