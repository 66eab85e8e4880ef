#pragma once
// The statements behind the main window's two lists, apart from the widgets: the accounts
// with their stored balances and grand total, and one account's entries in date order with
// the running balance rule. All amounts are 64-bit and every sum is checked: none wraps.

#include "platform/LedgerConnection.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct AccountRecord
{
    int32_t id = 0;
    QString name;
    int64_t balance = 0;
    int64_t openingAmount = 0;
};

// The accounts in the table's order, or none when the statement failed (the connection
// then holds the message).
std::optional<std::vector<AccountRecord>> readAccounts(LedgerConnection &db);
// The sum of every stored balance (0 without accounts), or none when the statement failed.
std::optional<int64_t> readBalanceTotal(LedgerConnection &db);

// One Items row as the entry list shows it; NULL reads as 0 or "". The two texts are views
// valid while the row is being handed over.
struct EntryRecord
{
    int32_t id = 0;
    QStringView date;
    int32_t kind = 0;
    int32_t accountId = 0;
    int32_t categoryId = 0;
    int32_t partnerAccountId = 0;
    int32_t partnerEntryId = 0;
    int64_t received = 0;
    int64_t paid = 0;
    QStringView memo;
};

QString entryListSql(int32_t accountId);
// Calls row for each entry of the account in list order: by the date text, entries of one
// date in table order. False when the statement or a step failed (message on the
// connection); rows already passed on stay passed on.
bool readEntries(LedgerConnection &db, int32_t accountId,
                 const std::function<void(const EntryRecord &)> &row);

// Steps the running balance over the entry: expense and transfer out subtract what was paid,
// income and transfer in add what was received, any other kind leaves it. False, with the
// balance left as it was, when the exact result does not fit in 64 bits.
[[nodiscard]] bool balanceAfter(int64_t &balance, const EntryRecord &entry);
// Appends the category column: the sub-item's name, or the partner account's name with " へ"
// or " から"; nothing for any other kind. Missing keys read as "" and add nothing to the tables.
void appendEntryCategoryText(QString &out, const EntryRecord &entry);
