#include "ledger/MainWindowQueries.h"

#include "app/mdlGlobal.h"
#include "ledger/EntryWriter.h"

std::optional<std::vector<AccountRecord>> readAccounts(LedgerConnection &db)
{
    auto rows = db.select(QStringLiteral("SELECT * FROM Sisan"));
    if (!rows) {
        return std::nullopt;
    }
    const int id = rows->columnIndex(QStringLiteral("Id"));
    const int name = rows->columnIndex(QStringLiteral("Namae"));
    const int balance = rows->columnIndex(QStringLiteral("Zankin"));
    const int opening = rows->columnIndex(QStringLiteral("SyokiKingaku"));
    std::vector<AccountRecord> accounts;
    for (; !rows->atEnd(); rows->moveNext()) {
        accounts.push_back(
            {rows->intAt(id), rows->textAt(name), rows->int64At(balance), rows->int64At(opening)});
    }
    if (db.error()) {
        return std::nullopt;
    }
    return accounts;
}

std::optional<int64_t> readBalanceTotal(LedgerConnection &db)
{
    auto rows = db.select(QStringLiteral("SELECT SUM(Zankin) AS ZankinKei FROM Sisan"));
    if (!rows) {
        return std::nullopt;
    }
    return rows->atEnd() ? 0 : rows->int64(QStringLiteral("ZankinKei"));
}

QString entryListSql(int32_t accountId)
{
    return QStringLiteral("SELECT *  FROM Items  WHERE Items.SisanNo = ") + QString::number(accountId) +
           QStringLiteral("  ORDER BY Hizuke");
}

bool readEntries(LedgerConnection &db, int32_t accountId, const std::function<void(const EntryRecord &)> &row)
{
    auto rows = db.select(entryListSql(accountId));
    if (!rows) {
        return false;
    }
    // Columns are found by name once, not once per row.
    const int id = rows->columnIndex(QStringLiteral("Id"));
    const int date = rows->columnIndex(QStringLiteral("Hizuke"));
    const int kind = rows->columnIndex(QStringLiteral("SyubetuNo"));
    const int account = rows->columnIndex(QStringLiteral("SisanNo"));
    const int category = rows->columnIndex(QStringLiteral("HimokuNo"));
    const int partnerAccount = rows->columnIndex(QStringLiteral("IdouSisanNo"));
    const int partnerEntry = rows->columnIndex(QStringLiteral("IdouId"));
    const int received = rows->columnIndex(QStringLiteral("Nyuukin"));
    const int paid = rows->columnIndex(QStringLiteral("Syukkin"));
    const int memo = rows->columnIndex(QStringLiteral("Bikou"));
    EntryRecord entry;
    for (; !rows->atEnd(); rows->moveNext()) {
        entry.id = rows->intAt(id);
        entry.date = rows->textAt(date);
        entry.kind = rows->intAt(kind);
        entry.accountId = rows->intAt(account);
        entry.categoryId = rows->intAt(category);
        entry.partnerAccountId = rows->intAt(partnerAccount);
        entry.partnerEntryId = rows->intAt(partnerEntry);
        entry.received = rows->int64At(received);
        entry.paid = rows->int64At(paid);
        entry.memo = rows->textAt(memo);
        row(entry);
    }
    return !db.error();
}

int64_t balanceAfter(int64_t balance, const EntryRecord &entry)
{
    switch (entry.kind) {
    case kExpense:
    case kTransferOut:
        return balance - entry.paid;
    case kIncome:
    case kTransferIn:
        return balance + entry.received;
    default:
        return balance;
    }
}

QString entryCategoryText(const EntryRecord &entry)
{
    switch (entry.kind) {
    case kExpense:
        return gDicSisyutu.value(entry.categoryId);
    case kIncome:
        return gDicSyuunyuu.value(entry.categoryId);
    case kTransferOut:
        return gDicSisan.value(entry.partnerAccountId) + QStringLiteral(" へ");
    case kTransferIn:
        return gDicSisan.value(entry.partnerAccountId) + QStringLiteral(" から");
    default:
        return QString();
    }
}
