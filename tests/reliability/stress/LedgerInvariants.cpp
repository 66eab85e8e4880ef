#include "LedgerInvariants.h"

#include <sqlite3.h>

#include <functional>

namespace {

// Runs a query and hands every row to the callback; a failing query is itself a fault.
void eachRow(sqlite3 *db, const char *sql, LedgerCheck &check, const std::function<void(sqlite3_stmt *)> &row)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        check.faults << QStringLiteral("query failed: %1: %2")
                            .arg(QString::fromUtf8(sql), QString::fromUtf8(sqlite3_errmsg(db)));
        return;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        row(stmt);
    }
    if (rc != SQLITE_DONE) {
        check.faults << QStringLiteral("query failed: %1: %2")
                            .arg(QString::fromUtf8(sql), QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_finalize(stmt);
}

QString text(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)));
}

// Each query lists the rows that break one rule; the first column names the row.
struct Rule
{
    const char *what;
    const char *sql;
};

const Rule kRules[] = {
    {"transfer row without its partner", "SELECT a.Id FROM Items a LEFT JOIN Items b ON b.Id = a.IdouId "
                                         "WHERE a.SyubetuNo IN (3, 4) AND b.Id IS NULL"},
    {"transfer pair not linked both ways, of the same kinds, date, amount, memo and accounts",
     "SELECT a.Id FROM Items a JOIN Items b ON b.Id = a.IdouId WHERE a.SyubetuNo IN (3, 4) AND ("
     "b.IdouId IS NOT a.Id OR b.SyubetuNo IS NOT 7 - a.SyubetuNo "
     "OR b.Hizuke IS NOT a.Hizuke OR b.Nen IS NOT a.Nen OR b.Tuki IS NOT a.Tuki OR b.Hi IS NOT a.Hi "
     "OR b.Bikou IS NOT a.Bikou OR b.SisanNo IS NOT a.IdouSisanNo OR a.SisanNo IS NOT b.IdouSisanNo "
     "OR (a.SyubetuNo = 3 AND (a.Syukkin IS NULL OR a.Syukkin IS NOT b.Nyuukin)) "
     "OR (a.SyubetuNo = 4 AND (a.Nyuukin IS NULL OR a.Nyuukin IS NOT b.Syukkin)))"},
    {"entry booked to a missing account",
     "SELECT Id FROM Items WHERE SisanNo NOT IN (SELECT Id FROM Sisan) "
     "OR (SyubetuNo IN (3, 4) AND (IdouSisanNo IS NULL OR IdouSisanNo NOT IN (SELECT Id FROM Sisan)))"},
    {"expense or income entry without its sub-item",
     "SELECT Id FROM Items WHERE SyubetuNo IN (1, 2) AND (HimokuNo IS NULL "
     "OR HimokuNo NOT IN (SELECT Id FROM Himoku WHERE Ucount = 0 AND SyubetuNo = Items.SyubetuNo))"},
    {"entry of an unknown kind", "SELECT Id FROM Items WHERE SyubetuNo NOT IN (1, 2, 3, 4)"},
    {"stored balance that contradicts the entries",
     "SELECT s.Id || ': Zankin ' || s.Zankin || ', entries give ' || (s.SyokiKingaku + "
     "(SELECT TOTAL(Nyuukin) - TOTAL(Syukkin) FROM Items WHERE SisanNo = s.Id)) FROM Sisan s "
     "WHERE s.Zankin IS NOT s.SyokiKingaku + (SELECT COALESCE(SUM(Nyuukin), 0) - COALESCE(SUM(Syukkin), 0) "
     "FROM Items WHERE SisanNo = s.Id)"},
};

} // namespace

LedgerCheck checkLedger(const QString &path)
{
    LedgerCheck check;
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    // Read-write (never create): a transaction that a killed writer left behind is rolled back
    // here, as the program's next start would; a read-only connection could not.
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        check.faults << QStringLiteral("cannot open %1: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return check;
    }
    // A writer killed in the middle holds no lock any more, but a live one may: wait for it.
    sqlite3_busy_timeout(db, 5000);

    eachRow(db, "PRAGMA integrity_check", check, [&](sqlite3_stmt *stmt) {
        if (text(stmt, 0) != QLatin1String("ok")) {
            check.faults << QStringLiteral("integrity_check: ") + text(stmt, 0);
        }
    });
    for (const Rule &rule : kRules) {
        eachRow(db, rule.sql, check, [&](sqlite3_stmt *stmt) {
            check.faults << QString::fromUtf8(rule.what) + QStringLiteral(": ") + text(stmt, 0);
        });
    }
    eachRow(db, "SELECT count(*), count(CASE WHEN SyubetuNo IN (3, 4) THEN 1 END) FROM Items", check,
            [&](sqlite3_stmt *stmt) {
                check.entries = sqlite3_column_int64(stmt, 0);
                check.transferRows = sqlite3_column_int64(stmt, 1);
            });
    eachRow(db, "SELECT count(*) FROM Sisan", check,
            [&](sqlite3_stmt *stmt) { check.accounts = sqlite3_column_int64(stmt, 0); });
    sqlite3_close(db);
    return check;
}

QString dumpLedger(const QString &path)
{
    LedgerCheck check;
    QString dump;
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open ") + path;
    }
    sqlite3_busy_timeout(db, 5000);
    for (const char *sql : {"SELECT * FROM Sisan ORDER BY Id", "SELECT * FROM Himoku ORDER BY Id",
                            "SELECT * FROM Items ORDER BY Id", "SELECT * FROM LastItems ORDER BY Id"}) {
        dump += QString::fromUtf8(sql) + QLatin1Char('\n');
        eachRow(db, sql, check, [&](sqlite3_stmt *stmt) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                dump +=
                    (sqlite3_column_type(stmt, c) == SQLITE_NULL ? QStringLiteral("NULL") : text(stmt, c)) +
                    QLatin1Char('|');
            }
            dump += QLatin1Char('\n');
        });
    }
    sqlite3_close(db);
    return dump + check.faults.join(QLatin1Char('\n'));
}
