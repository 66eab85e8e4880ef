#pragma once
// The entry chosen in the entry list as the form showed it, and, for a transfer row, the
// partner row that a change or delete of the pair acts on. A ledger may hold broken pairs (a
// foreign or damaged file, or an older program that failed half way): a partner row that is
// missing, that does not name the chosen row back, or whose Id another row has taken. Such a
// row is no partner: the pair's writes act on the chosen row alone and never touch it.

#include "app/ShownRows.h"
#include "ledger/EntryWriter.h"
#include "platform/LedgerConnection.h"

#include <QString>

#include <cstdint>
#include <optional>

struct ChosenEntry
{
    ShownEntry entry;
    // The partner of a transfer row; empty for any other kind and for a broken pair.
    std::optional<ShownEntry> partner;

    bool isTransfer() const;
    PairRows pairRows() const;
};

// True when `row` is the partner of the transfer row `entry`: the other half's kind, at the Id
// `entry` names, naming `entry` back.
bool isPartnerOf(const ShownEntry &row, const ShownEntry &entry);

// The entry by its Id and, for a transfer row, its partner; one primary-key read each, every
// column as the entry list reads it. Failed after a failed read (the connection holds the
// message), Missing when no entry has the Id.
StoredRow<ChosenEntry> readChosenEntry(LedgerConnection &db, int32_t id);

// Inside the action's transaction, before its first change: the rows (accounts, sub-items)
// and the chosen entry with its partner stand exactly as shown, and a transfer row shown
// without a partner has none now either. A failed read shows the site and its message.
Standing chosenEntryStands(LedgerConnection &db, const ChosenEntry &chosen, ShownRows rows,
                           const QString &site);
