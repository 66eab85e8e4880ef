#pragma once
// What a writing action rests on, read again by Id inside the action's transaction before
// its first change. Another process of this program may have changed the ledger since the
// window or dialog read it: an entry deleted and its Id given to a new row, an account or
// sub-item deleted or merged away. An action whose basis no longer stands writes nothing.

#include "app/ShownRows.h"
#include "platform/LedgerConnection.h"

#include <QString>

#include <cstdint>
#include <vector>

struct TransferRows;

// An entry as the list showed it: its Id, kind, account and partner (account and row; NULL
// reads as 0).
struct BasisEntry
{
    int32_t id = 0;
    int32_t kind = 0;
    int32_t account = 0;
    int32_t partnerAccount = 0;
    int32_t partnerEntry = 0;
};

// A sub-item (not a category) of an expense or income kind.
struct ShownSubItem
{
    int32_t id = 0;
    int32_t kind = 0;
};

struct ActionBasis
{
    std::vector<int32_t> accounts;
    std::vector<ShownSubItem> subItems;
    std::vector<BasisEntry> entries;
};

// Both rows of a transfer pair as they must stand: the source row (kind 3) in `from`, the
// destination row (kind 4) in `to`, each naming the other; and both accounts.
ActionBasis transferBasis(const TransferRows &rows, int32_t from, int32_t to);

// Stands when the query yields a row, Changed when it yields none.
Standing rowStands(LedgerConnection &db, const QString &query, const QString &site);
// Reads every part of the basis by its Id, one primary-key read each.
Standing basisStands(LedgerConnection &db, const ActionBasis &basis, const QString &site);
