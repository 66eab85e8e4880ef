#include "ledger/EntryWriter.h"

#include "platform/SqlText.h"
#include "platform/Ui.h"

#include <sqlite3.h>

#include <limits>

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString yearText(int year)
{
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

// " , 2024 , 03 , 05": the date again as the numbers Nen, Tuki and Hi.
QString dateNumbers(const EntryValues &values)
{
    return QStringLiteral(" , ") + yearText(values.year) + QStringLiteral(" , ") + twoDigits(values.month) +
           QStringLiteral(" , ") + twoDigits(values.day);
}

// The date columns of an UPDATE of Items.
QString dateAssignments(const EntryValues &values)
{
    return QStringLiteral("Hizuke =  '") + entryDateText(values) + QStringLiteral("'  ") +
           QStringLiteral(" , Nen= ") + yearText(values.year) + QStringLiteral(" , Tuki= ") +
           twoDigits(values.month) + QStringLiteral(" , Hi= ") + twoDigits(values.day);
}

QString amountText(const EntryValues &values)
{
    return QString::number(values.amount);
}

void report(const QString &site, const LedgerConnection &db)
{
    Ui::instance().message(site + db.errorMessage());
}

bool run(LedgerConnection &db, const QString &sql, const QString &site)
{
    if (db.execute(sql)) {
        return true;
    }
    report(site, db);
    return false;
}

// The Id of the row just inserted; row ids are 32-bit throughout the program, so a larger
// one counts as a failed insert.
std::optional<int32_t> insertedId(LedgerConnection &db, const QString &site)
{
    const sqlite3_int64 id = sqlite3_last_insert_rowid(db.handle());
    if (id > std::numeric_limits<int32_t>::max() || id < std::numeric_limits<int32_t>::min()) {
        Ui::instance().message(site + QStringLiteral("row id out of range"));
        return std::nullopt;
    }
    return static_cast<int32_t>(id);
}

std::optional<int32_t> insertRow(LedgerConnection &db, const QString &sql, const QString &site)
{
    if (!run(db, sql, site)) {
        return std::nullopt;
    }
    return insertedId(db, site);
}

// A pair is written inside a transaction of its own, or joins the caller's, so that a
// failure leaves neither row behind.
bool begun(const Transaction &transaction, const QString &site)
{
    if (transaction.isActive()) {
        return true;
    }
    Ui::instance().message(site + transaction.errorMessage());
    return false;
}

// True when the pair stands: committed, or left to the caller's transaction to commit.
bool committed(Transaction &transaction, const QString &site)
{
    if (transaction.commit() != Transaction::Outcome::Failed) {
        return true;
    }
    Ui::instance().message(site + transaction.errorMessage());
    return false;
}

} // namespace

QString entryDateText(const EntryValues &values)
{
    return yearText(values.year) + QLatin1Char('-') + twoDigits(values.month) + QLatin1Char('-') +
           twoDigits(values.day);
}

std::optional<int32_t> insertEntry(LedgerConnection &db, int32_t sisanId, int32_t kind, int32_t himokuId,
                                   const EntryValues &values)
{
    const QString sql =
        QStringLiteral("INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo , HimokuNo ") +
        (kind == kIncome ? QStringLiteral(", IdouId, Nyuukin  ,Bikou ) VALUES ")
                         : QStringLiteral(", IdouId, Syukkin  ,Bikou ) VALUES  ")) +
        QStringLiteral("   ( '") + entryDateText(values) + QStringLiteral("'  ") + dateNumbers(values) +
        QLatin1Char(',') + QString::number(sisanId) + QStringLiteral(" , ") + QString::number(kind) +
        QStringLiteral(" , ") + QString::number(himokuId) + QStringLiteral(" ,-1  , ") + amountText(values) +
        QStringLiteral("  ,  ") + sqlQuote(values.memo) + QStringLiteral(" )");
    return insertRow(db, sql, QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu: "));
}

LastItemsResult saveLastItems(LedgerConnection &db, int32_t himokuId, const EntryValues &values)
{
    const QString id = QString::number(himokuId);
    bool exists = false;
    {
        auto rows = db.select(QStringLiteral("SELECT * FROM LastItems WHERE Id = ") + id);
        if (!rows) {
            report(QStringLiteral("from KinyuSinkiSisyutuSyuunyuu LastItems Record change : "), db);
            return LastItemsResult::ReadFailed;
        }
        exists = !rows->atEnd();
    }
    if (exists) {
        const QString sql = QStringLiteral("UPDATE LastItems SET  ") + QStringLiteral("Hizuke =  '") +
                            entryDateText(values) + QStringLiteral("'  ") + QStringLiteral(" , Kingaku= ") +
                            amountText(values) + QStringLiteral("   , Bikou=   ") + sqlQuote(values.memo) +
                            QStringLiteral("      WHERE Id= ") + id;
        return run(db, sql, QStringLiteral("from Method KinyuuHensyuu LastItem Update: "))
                   ? LastItemsResult::Saved
                   : LastItemsResult::WriteFailed;
    }
    const QString sql = QStringLiteral("INSERT INTO LastItems (id, Hizuke, Kingaku, Bikou) VALUES  ") +
                        QStringLiteral("   ( ") + id + QStringLiteral(" ,  '") + entryDateText(values) +
                        QStringLiteral("'  ") + QStringLiteral("  , ") + amountText(values) +
                        QStringLiteral("  ,  ") + sqlQuote(values.memo) + QStringLiteral(" )");
    return run(db, sql, QStringLiteral("from Method KinyuuSinkiSisyutuSyuunyuu LastItems insert: "))
               ? LastItemsResult::Saved
               : LastItemsResult::WriteFailed;
}

std::optional<TransferRows> insertTransfer(LedgerConnection &db, int32_t fromSisanId, int32_t toSisanId,
                                           const EntryValues &values)
{
    const QString sourceSite = QStringLiteral("from Method KinyuuSinkiIdou: ");
    const QString destinationSite = QStringLiteral("from Method KinyuuSinki  insert Idousaki Item: ");
    const QString linkSite = QStringLiteral("from Method KinyuuSinki  update Idomotoi Item: ");
    Transaction transaction(&db, Transaction::Nesting::Join);
    if (!begun(transaction, sourceSite)) {
        return std::nullopt;
    }
    // One half of the pair: the row in `sisan` whose partner account is `partner`; `link` is
    // the partner row's Id, "-1 " for the source row, which is written first.
    auto insertHalf = [&](const QString &amountColumn, int32_t sisan, int32_t kind, int32_t partner,
                          const QString &link, const QString &site) {
        const QString sql =
            QStringLiteral(
                "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo , IdouSisanNo ,IdouId ,") +
            amountColumn + QStringLiteral(" , Bikou )   ") + QStringLiteral(" VALUES  ( '") +
            entryDateText(values) + QStringLiteral("'  ") + dateNumbers(values) + QLatin1Char(',') +
            QString::number(sisan) + QStringLiteral(" , ") + QString::number(kind) + QStringLiteral(" , ") +
            QString::number(partner) + QStringLiteral(" , ") + link + QStringLiteral(" , ") +
            amountText(values) + QStringLiteral("  ,  ") + sqlQuote(values.memo) + QStringLiteral(" ) ");
        return insertRow(db, sql, site);
    };
    const auto out = insertHalf(QStringLiteral("Syukkin"), fromSisanId, kTransferOut, toSisanId,
                                QStringLiteral("-1 "), sourceSite);
    if (!out) {
        return std::nullopt;
    }
    const auto in = insertHalf(QStringLiteral("Nyuukin"), toSisanId, kTransferIn, fromSisanId,
                               QString::number(*out), destinationSite);
    if (!in) {
        return std::nullopt;
    }
    if (!run(db,
             QStringLiteral("UPDATE Items SET IdouId = ") + QString::number(*in) +
                 QStringLiteral(" WHERE Id = ") + QString::number(*out),
             linkSite)) {
        return std::nullopt;
    }
    if (!committed(transaction, sourceSite)) {
        return std::nullopt;
    }
    return TransferRows{*out, *in};
}

bool rewriteEntry(LedgerConnection &db, int32_t entryId, int32_t sisanId, int32_t kind, int32_t himokuId,
                  const EntryValues &values)
{
    const QString sql =
        QStringLiteral("UPDATE Items SET  ") + dateAssignments(values) + QStringLiteral(" , SisanNo= ") +
        QString::number(sisanId) + QStringLiteral(" , SyubetuNo= ") + QString::number(kind) +
        QStringLiteral(" ,  HimokuNo= ") + QString::number(himokuId) +
        (kind == kIncome ? QStringLiteral(" , Nyuukin = ") : QStringLiteral(" , Syukkin = ")) +
        amountText(values) + QStringLiteral("  , Bikou=   ") + sqlQuote(values.memo) +
        QStringLiteral("      WHERE Id= ") + QString::number(entryId);
    return run(db, sql, QStringLiteral("from Method KinyuuHensyuu: "));
}

bool rewriteTransfer(LedgerConnection &db, const PairRows &rows, const EntryValues &values)
{
    const QString sourceSite = QStringLiteral("from Method KinyuuHensyuuIdou moto: ");
    const QString destinationSite = QStringLiteral("from Method KinyuuHensyuuIdou saki: ");
    Transaction transaction(&db, Transaction::Nesting::Join);
    if (!begun(transaction, sourceSite)) {
        return false;
    }
    auto update = [&](const QString &amountColumn, int32_t id) {
        return QStringLiteral("UPDATE Items SET  ") + dateAssignments(values) + amountColumn +
               amountText(values) + QStringLiteral("  , Bikou=   ") + sqlQuote(values.memo) +
               QStringLiteral("      WHERE Id= ") + QString::number(id);
    };
    return (!rows.sourceId || run(db, update(QStringLiteral(" , Syukkin = "), *rows.sourceId), sourceSite)) &&
           (!rows.destinationId ||
            run(db, update(QStringLiteral(" , Nyuukin = "), *rows.destinationId), destinationSite)) &&
           committed(transaction, sourceSite);
}

bool deleteEntry(LedgerConnection &db, int32_t entryId)
{
    return run(db, QStringLiteral("DELETE FROM Items WHERE ID = ") + QString::number(entryId),
               QStringLiteral("from Method KinyuSakujyo: "));
}

bool deleteTransfer(LedgerConnection &db, const PairRows &rows)
{
    const QString sourceSite = QStringLiteral("from Method KinyuSakujyo Idoumoto: ");
    const QString destinationSite = QStringLiteral("from Method KinyuSakujyo Idousaki: ");
    Transaction transaction(&db, Transaction::Nesting::Join);
    if (!begun(transaction, sourceSite)) {
        return false;
    }
    const QString sql = QStringLiteral("DELETE FROM Items WHERE ID = ");
    return (!rows.sourceId || run(db, sql + QString::number(*rows.sourceId), sourceSite)) &&
           (!rows.destinationId || run(db, sql + QString::number(*rows.destinationId), destinationSite)) &&
           committed(transaction, sourceSite);
}

std::optional<LastUsed> readLastUsed(LedgerConnection &db, int32_t himokuId)
{
    auto rows = db.select(QStringLiteral("SELECT * FROM LastItems WHERE Id = ") + QString::number(himokuId));
    if (!rows) {
        report(QStringLiteral("from ppmHimoku Change event : "), db);
        return std::nullopt;
    }
    if (rows->atEnd()) {
        return std::nullopt;
    }
    return LastUsed{rows->int64(QStringLiteral("Kingaku")), rows->text(QStringLiteral("Bikou"))};
}
