#include "MaintenanceFixture.h"

#include "app/mdlGlobal.h"

#include <sqlite3.h>

#include <utility>

void MaintenanceFixture::SetUp()
{
    LedgerTestFixture::SetUp();
    createLedger(QStringLiteral("maint.sqlf"));
}

int MaintenanceFixture::addExpense(int account, int subItem, int amount)
{
    exec(QStringLiteral(
             "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,Syukkin,Bikou) "
             "VALUES ('2024-03-05',2024,3,5,%1,1,%2,-1,%3,'x')")
             .arg(account)
             .arg(subItem)
             .arg(amount));
    return KakeiboDB->lastRowId();
}

int MaintenanceFixture::addIncome(int account, int subItem, int amount)
{
    exec(QStringLiteral(
             "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,Nyuukin,Bikou) "
             "VALUES ('2024-03-06',2024,3,6,%1,2,%2,-1,%3,'y')")
             .arg(account)
             .arg(subItem)
             .arg(amount));
    return KakeiboDB->lastRowId();
}

void MaintenanceFixture::addTransfer(int from, int to, int amount)
{
    exec(QStringLiteral(
             "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,IdouSisanNo,IdouId,Syukkin,Bikou) "
             "VALUES ('2024-03-07',2024,3,7,%1,3,%2,0,%3,'t')")
             .arg(from)
             .arg(to)
             .arg(amount));
    const int source = KakeiboDB->lastRowId();
    exec(QStringLiteral(
             "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,IdouSisanNo,IdouId,Nyuukin,Bikou) "
             "VALUES ('2024-03-07',2024,3,7,%1,4,%2,%3,%4,'t')")
             .arg(to)
             .arg(from)
             .arg(source)
             .arg(amount));
    exec(
        QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2").arg(KakeiboDB->lastRowId()).arg(source));
}

void MaintenanceFixture::settleBalances()
{
    exec(QStringLiteral("UPDATE Sisan SET Zankin = SyokiKingaku"
                        " + IFNULL((SELECT SUM(Nyuukin) FROM Items WHERE SisanNo = Sisan.Id), 0)"
                        " - IFNULL((SELECT SUM(Syukkin) FROM Items WHERE SisanNo = Sisan.Id), 0)"));
}

qint64 MaintenanceFixture::inconsistentAccounts()
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM Sisan WHERE Zankin <> SyokiKingaku"
                                 " + IFNULL((SELECT SUM(Nyuukin) FROM Items WHERE SisanNo = Sisan.Id), 0)"
                                 " - IFNULL((SELECT SUM(Syukkin) FROM Items WHERE SisanNo = Sisan.Id), 0)"));
}

QString MaintenanceFixture::dump()
{
    // The dump reads every column, a denied one included.
    const QByteArray denied = std::exchange(m_deniedColumn, QByteArray());
    QString text;
    for (const char *table : {"Sisan", "Himoku", "Items", "LastItems"}) {
        auto rows =
            KakeiboDB->select(QStringLiteral("SELECT * FROM %1 ORDER BY Id").arg(QLatin1String(table)));
        EXPECT_TRUE(rows.has_value());
        for (; rows && !rows->atEnd(); rows->moveNext()) {
            text += QLatin1String(table);
            for (int c = 0; c < rows->columnCount(); ++c) {
                text += QLatin1Char('|') + (rows->isNullAt(c) ? QStringLiteral("NULL") : rows->textAt(c));
            }
            text += QLatin1Char('\n');
        }
    }
    m_deniedColumn = denied;
    return text;
}

void MaintenanceFixture::failOn(const QString &event, const QString &table)
{
    exec(QStringLiteral("CREATE TRIGGER fail_%1_%2 BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT,'boom'); END")
             .arg(event, table));
}

void MaintenanceFixture::denySelectOf(const QString &table, const QString &column)
{
    m_deniedTable = table.toUtf8();
    m_deniedColumn = column.toUtf8();
    sqlite3_set_authorizer(KakeiboDB->handle(), &MaintenanceFixture::authorize, this);
}

void MaintenanceFixture::TearDown()
{
    if (KakeiboDB && KakeiboDB->isConnected()) {
        sqlite3_set_authorizer(KakeiboDB->handle(), nullptr, nullptr);
    }
    LedgerTestFixture::TearDown();
}

int MaintenanceFixture::authorize(void *self, int action, const char *a, const char *b, const char *,
                                  const char *)
{
    auto *fixture = static_cast<MaintenanceFixture *>(self);
    // A statement's kind is authorised before its columns are resolved, so the last kind seen
    // tells whether a column is read by a SELECT.
    switch (action) {
    case SQLITE_SELECT:
        fixture->m_inSelect = true;
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        fixture->m_inSelect = false;
        return SQLITE_OK;
    case SQLITE_READ:
        if (fixture->m_inSelect && fixture->m_deniedTable == a && fixture->m_deniedColumn == b) {
            return SQLITE_DENY;
        }
        return SQLITE_OK;
    default:
        return SQLITE_OK;
    }
}
