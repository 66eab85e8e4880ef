#pragma once
// A seeded ledger with a few entries for the maintenance tests, and the checks they share:
// every balance against its entries, and a dump of the tables to prove nothing changed.

#include "support/LedgerTestFixture.h"

#include <QString>
#include <QWidget>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

class MaintenanceFixture : public LedgerTestFixture
{
protected:
    void SetUp() override;

    // Adds one entry row and returns its Id; balances are not touched (see settleBalances).
    int addExpense(int account, int subItem, int amount);
    int addIncome(int account, int subItem, int amount);
    // A transfer pair: the source row in `from`, the destination row in `to`.
    void addTransfer(int from, int to, int amount);
    // Sets every stored balance from the entries, as the main window would have.
    void settleBalances();

    // The accounts whose stored balance differs from opening amount + receipts - payments.
    qint64 inconsistentAccounts();
    // Every row of Sisan, Himoku, Items and LastItems as text.
    QString dump();
    // A control of a window by its name; fails the test when there is none.
    template <typename T> static T *child(const QWidget &window, const char *name)
    {
        T *control = window.findChild<T *>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // A trigger that makes every statement of that event on that table fail with "boom".
    void failOn(const QString &event, const QString &table);
    // Makes every SELECT that reads that column fail, while other statements may still read it.
    void denySelectOf(const QString &table, const QString &column);
    void TearDown() override;

private:
    QByteArray m_deniedTable;
    QByteArray m_deniedColumn;
    bool m_inSelect = false;
    static int authorize(void *self, int action, const char *a, const char *b, const char *, const char *);
};
