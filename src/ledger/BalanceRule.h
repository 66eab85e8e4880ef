#pragma once
// The balance rule: an account's stored balance is its opening amount plus its receipts
// minus its payments. Every writer of entries runs it for each account involved.

#include <QString>

#include <cstdint>
#include <optional>

// What the rule's select yields for an account: the sums of Nyuukin and of Syukkin over all
// its entries, of every kind (NULL counting as nothing).
struct EntrySums
{
    int64_t income = 0;
    int64_t expense = 0;
};

// Recomputes and stores the balance of the account; returns it as decimal text, or "ERROR"
// after a failed statement (whose message has been shown). With the sums already at hand in
// `known` (read within the running action after its last change of entries, from every entry
// of the account), the select of the sums is not run again; the rest of the rule is.
QString UpdateSisanZankin(int32_t sisanId, const std::optional<EntrySums> &known = std::nullopt);
