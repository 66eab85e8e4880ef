#pragma once
// What must hold in a ledger file whatever happened to the program writing it: the file is
// sound, every transfer is a whole pair, no entry points at a missing account or sub-item,
// and every stored balance agrees with its entries. Read with a connection of its own, so
// that the code under test does not check itself.

#include <QString>
#include <QStringList>

struct LedgerCheck
{
    // Empty when the ledger is sound; otherwise one line per fault found.
    QStringList faults;
    qint64 entries = 0;
    qint64 transferRows = 0;
    qint64 accounts = 0;

    bool sound() const { return faults.isEmpty(); }
};

LedgerCheck checkLedger(const QString &path);

// Every row of the four tables as text, in Id order, to tell whether anything was written.
QString dumpLedger(const QString &path);
