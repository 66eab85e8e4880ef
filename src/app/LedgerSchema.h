#pragma once
// The schema of a ledger file, its seed rows, and creating a new ledger.

extern const char *const kCreateSisan;
extern const char *const kCreateHimoku;
extern const char *const kCreateItemsPieces[8];
extern const char *const kCreateLastItems;
extern const char *const kSeedSisan[2];
extern const char *const kSeedHimokuRows[76];
extern const int kSeedHimokuRowCount;

// Asks for a file, replaces whatever is there by a new ledger with the seed rows, and makes
// it the open ledger. The ledger is built beside the file and renamed onto it only when whole:
// a failure or a kill on the way leaves the file as it was.
void CreateNewKakeiboDB();
