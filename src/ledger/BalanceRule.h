#pragma once
// The balance rule: an account's stored balance is its opening amount plus its receipts
// minus its payments. Every writer of entries runs it for each account involved.

#include <QString>

#include <cstdint>

// Recomputes and stores the balance of the account; returns it as decimal text, or "ERROR"
// after a failed statement (whose message has been shown).
QString UpdateSisanZankin(int32_t sisanId);
