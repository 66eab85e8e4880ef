#pragma once
// Steps shared by the account and category statements: collecting the accounts that lose
// entries, recomputing their balances, and committing an action.

#include "app/ShownRows.h"

#include <QString>

#include <cstdint>
#include <vector>

class Transaction;

// A message box with the text, as every failure of the dialogs' statements shows it.
void showMessage(const QString &text);

// False, after showing the refusal, when the typed text cannot be stored exactly
// (isStorableText): nothing may be written then. The panel keeps the text to be mended.
bool storableOrReport(const QString &text);

// Appends the account unless it is already listed, so each balance is recomputed once.
void addOnce(std::vector<int32_t> &accounts, int32_t account);

// Runs the balance rule for each account in turn. False at the first failure, whose message
// the rule has shown: the caller rolls back, since a balance must not contradict the entries.
bool recomputeBalances(const std::vector<int32_t> &accounts);

// False, after showing the prefix followed by the database's message, when the ledger
// refused to begin the action's transaction (locked by another program, say); nothing may
// be written then, since it could not be undone together.
bool beganOrReport(const Transaction &transaction, const QString &prefix);

// Reads again the rows the action rests on (shownRowsStand), inside its transaction before its
// first change, and compares them with what the dialog showed. When another program has
// changed or deleted any of them (or a new row took a freed Id), the action is rolled back and
// says so: nothing is written, and the dialog shows its list again from the ledger. A failed
// read shows the prefix followed by the database's message.
Standing shownRowsStandOrReport(Transaction &transaction, const ShownRows &rows, const QString &prefix);

// Commits; on failure shows the prefix followed by the database's message (the action has
// been rolled back) and yields false.
bool commitOrReport(Transaction &transaction, const QString &prefix);
