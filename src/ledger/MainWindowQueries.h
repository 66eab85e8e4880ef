#pragma once
// The statements behind the main window's two lists, apart from the widgets: the accounts
// with their stored balances and grand total, and one account's entries in date order with
// the running balance rule. All amounts are 64-bit and every sum is checked: none wraps.

#include "ledger/BalanceRule.h"
#include "platform/LedgerConnection.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
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

// One Items row as the entry list shows it; NULL reads as 0 or "". The two texts are UTF-8
// views valid while the row is being handed over.
struct EntryRecord
{
    int32_t id = 0;
    QByteArrayView date;
    int32_t kind = 0;
    int32_t accountId = 0;
    int32_t categoryId = 0;
    int32_t partnerAccountId = 0;
    int32_t partnerEntryId = 0;
    int64_t received = 0;
    int64_t paid = 0;
    QByteArrayView memo;
};

// Where readEntries hands the entries it reads.
class EntrySink
{
public:
    virtual void add(const EntryRecord &entry) = 0;
    // Every entry added so far is dropped: they all come again.
    virtual void restart() = 0;

protected:
    ~EntrySink() = default;
};

// Room that readEntries needs for ordering the entries, kept by the caller from one refill
// to the next so that a long list is ordered without fresh memory. What it holds between
// calls is no data.
struct EntryOrder
{
    std::vector<uint64_t> keys;
    // After a read: sources[i] is the position, in the order the entries were added, of the
    // i-th entry of the list; empty when they were added in list order.
    std::vector<uint32_t> sources;
};

QString entryListSql(int32_t accountId);
// Hands each entry of the account to sink, and says in order.sources how they go in list
// order: by the date text, entries of one date in table order. False when the statement or
// a step failed (message on the connection); entries already added stay added. With `sums`,
// also what the balance rule's select would yield from the same entries, when that is
// certain (see RuleSums), and none otherwise.
bool readEntries(LedgerConnection &db, int32_t accountId, EntrySink &sink, EntryOrder &order,
                 std::optional<EntrySums> *sums = nullptr);

// Steps the running balance over the entry: expense and transfer out subtract what was paid,
// income and transfer in add what was received, any other kind leaves it. False, with the
// balance left as it was, when the exact result does not fit in 64 bits.
[[nodiscard]] bool balanceAfter(int64_t &balance, const EntryRecord &entry);
// Appends the category column: the sub-item's name, or the partner account's name with " へ"
// or " から"; nothing for any other kind. Missing keys read as "" and add nothing to the tables.
void appendEntryCategoryText(QString &out, const EntryRecord &entry);
