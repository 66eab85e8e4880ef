#pragma once
// The statements of the asset-account dialog: reading the accounts (and rebuilding
// gDicSisan), adding, changing and deleting an account. Each writer runs as one
// transaction on KakeiboDB, shows its own messages and commits before it returns.

#include "app/ShownRows.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct AccountRow
{
    int32_t id = 0;
    QString name;
    int64_t opening = 0;
    int64_t balance = 0;
};

// Every account in the order the table returns them; gDicSisan is rebuilt from them. A
// failed read shows its message and yields no rows (and an empty gDicSisan).
std::vector<AccountRow> readAccounts();

// One account by its Id; a failed read shows its message. None also when no row matches.
std::optional<AccountRow> readAccount(int32_t id);

// What the dialog's list shows of the account: the row an edit or a delete rests on.
ShownAccount shownAccount(const AccountRow &account);

// Adds an account whose balance starts at its opening amount. False when the amount is not
// a whole number (nothing written); true otherwise, also when the insert failed (its message
// was shown and nothing was written).
bool addAccount(const QString &name, const QString &amountText);

// Rewrites the name and opening amount of the account shown and shifts the stored balance by
// the change of the opening amount. False after a refusal or a failure (nothing written).
// True, with nothing written, also when the account no longer stands as shown (another
// program deleted or changed it, or a new account took its Id): that has been said, and the
// list is to be read again.
bool editAccount(const ShownAccount &shown, const QString &name, const QString &amountText);

// Deletes the account shown with its entries and the other halves of its transfer pairs, and
// recomputes the balance of every account that held those halves. False after a failure,
// and then nothing is deleted. True, with nothing deleted, also when the account no longer
// stands as shown: that has been said, and the list is to be read again.
bool deleteAccountWithEntries(const ShownAccount &shown);
