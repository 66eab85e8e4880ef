#pragma once
// What a window or dialog showed of the ledger rows a write rests on, and the one check that
// those rows still stand exactly so. Another copy of the program may have changed the ledger
// since it was read, and SQLite gives a new row the largest Id plus one: a row deleted there
// comes back under the same Id with other values at once. So the check compares every value
// the user saw, not just the Id or the row's kind. Rows are read the way the lists read them
// (integers through the row set's integer reading, so NULL, '' and text digits read as the
// list shows them; texts as text), so a ledger whose columns hold text is never refused where
// nothing changed.

#include "platform/LedgerConnection.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

enum class Standing
{
    // Every row is there exactly as shown.
    Stands,
    // A row is gone or differs from what was shown: nothing may be written.
    Changed,
    // A read failed; its message, the site first, has been shown.
    Failed
};

// What every write says when a row the user chose is gone or no longer as shown.
QString changedChoiceMessage();

// An Items row with every column the entry list and the entry form show of it.
struct ShownEntry
{
    int32_t id = 0;
    QString date; // Hizuke
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t account = 0;        // SisanNo
    int32_t kind = 0;           // SyubetuNo
    int32_t subItem = 0;        // HimokuNo
    int32_t partnerAccount = 0; // IdouSisanNo
    int32_t partnerEntry = 0;   // IdouId
    int64_t received = 0;       // Nyuukin
    int64_t paid = 0;           // Syukkin
    QString memo;               // Bikou

    bool operator==(const ShownEntry &) const = default;
};

// A Sisan row. The stored balance is not part of it: every entry booked changes it.
struct ShownAccount
{
    int32_t id = 0;
    QString name;
    // Empty where the window showed no opening amount (a transfer's partner account is shown
    // by its name alone).
    std::optional<int64_t> openingAmount;
};

// A Himoku row: a category (Ucount above 0) or a sub-item. Its count of sub-items is not part
// of it: adding or deleting a sub-item changes it.
struct ShownCategoryItem
{
    int32_t id = 0;
    int32_t kind = 0; // SyubetuNo
    // Hno; empty where the window showed no category apart from the name (the entry popup
    // shows a sub-item's whole name, which begins with its category's).
    std::optional<int32_t> category;
    QString name;
    bool isCategory = false;
};

// The rows a write rests on, as the user saw them.
struct ShownRows
{
    std::vector<ShownAccount> accounts;
    std::vector<ShownCategoryItem> categoryItems;
    std::vector<ShownEntry> entries;
};

// What a read of one row by its Id found: the row, no row, or a failed read (the connection
// holds the message).
enum class RowOutcome
{
    Found,
    Missing,
    Failed
};

template <typename Row> struct StoredRow
{
    using Outcome = RowOutcome;
    Outcome outcome = Outcome::Missing;
    Row row;

    bool found() const { return outcome == Outcome::Found; }
};

// One primary-key read each, every column as the lists read it.
StoredRow<ShownEntry> readStoredEntry(LedgerConnection &db, int32_t id);
StoredRow<ShownAccount> readStoredAccount(LedgerConnection &db, int32_t id);
StoredRow<ShownCategoryItem> readStoredCategoryItem(LedgerConnection &db, int32_t id);

// True when the stored row shows what was shown: every value the window showed is equal.
bool standsAsShown(const ShownAccount &stored, const ShownAccount &shown);
bool standsAsShown(const ShownCategoryItem &stored, const ShownCategoryItem &shown);

// Reads every row by its Id inside the caller's transaction and compares it with what was
// shown. A failed read shows the site followed by the database's message.
Standing shownRowsStand(LedgerConnection &db, const ShownRows &rows, const QString &site);
