#pragma once
// The statements that write, change and delete entries and a sub-item's last-used values,
// apart from the window so that the rules are tested on real ledgers. Typed text enters
// through sqlQuote and amounts as canonical decimal. A failing statement raises the message
// of its site and the function reports the failure; the caller then rolls its action back,
// and the message is shown once the transaction has ended. The pair writers join the
// caller's transaction, or own one when called alone.

#include "platform/LedgerConnection.h"

#include <QString>

#include <cstdint>
#include <optional>

// Entry kinds as stored in Items.SyubetuNo.
enum EntryKind : int32_t
{
    kExpense = 1,
    kIncome = 2,
    kTransferOut = 3,
    kTransferIn = 4
};

// What the form holds for one entry: its date, the amount that passed the numeric test,
// and the memo as typed.
struct EntryValues
{
    int year = 0;
    int month = 0;
    int day = 0;
    int32_t amount = 0;
    QString memo;
};

// The two rows of a transfer pair: the source row (kind 3, in the account the money leaves)
// and the destination row (kind 4, in the account it enters).
struct TransferRows
{
    int32_t sourceId = 0;
    int32_t destinationId = 0;
};

// The rows of a transfer that a change or delete acts on: both rows of a whole pair, or the
// one row left of a broken pair.
struct PairRows
{
    std::optional<int32_t> sourceId;      // the kind 3 row
    std::optional<int32_t> destinationId; // the kind 4 row
};

// A sub-item's last-used amount and memo.
struct LastUsed
{
    int64_t amount = 0;
    QString memo;
};

enum class LastItemsResult
{
    Saved,
    // The read failed: its message has been shown, nothing was written, the entry stands.
    ReadFailed,
    // A write failed: its message has been shown, the action must roll back.
    WriteFailed
};

// The date text stored in Hizuke: four-digit year, two-digit month and day joined by "-".
QString entryDateText(const EntryValues &values);

// Inserts an expense or income row into the account; the new row's Id, or none.
std::optional<int32_t> insertEntry(LedgerConnection &db, int32_t sisanId, int32_t kind, int32_t himokuId,
                                   const EntryValues &values);
// Updates the sub-item's last-used row, or inserts it when it has none.
LastItemsResult saveLastItems(LedgerConnection &db, int32_t himokuId, const EntryValues &values);
// Inserts both rows of a transfer and links them; whole or not at all.
std::optional<TransferRows> insertTransfer(LedgerConnection &db, int32_t fromSisanId, int32_t toSisanId,
                                           const EntryValues &values);

// Rewrites an expense or income row with the form's values.
bool rewriteEntry(LedgerConnection &db, int32_t entryId, int32_t sisanId, int32_t kind, int32_t himokuId,
                  const EntryValues &values);
// Rewrites date, amount and memo of the rows of a pair; all or none.
bool rewriteTransfer(LedgerConnection &db, const PairRows &rows, const EntryValues &values);

bool deleteEntry(LedgerConnection &db, int32_t entryId);
// Deletes the rows of a pair, the source row first; all or none.
bool deleteTransfer(LedgerConnection &db, const PairRows &rows);

// The sub-item's last-used values; none when it has none or the read failed (the popup's
// message has been shown).
std::optional<LastUsed> readLastUsed(LedgerConnection &db, int32_t himokuId);
