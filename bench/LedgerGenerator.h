#pragma once
// Writes realistic ledgers for the benchmarks: the program's own schema and seed rows, ten
// accounts, entries spread over years with transfer pairs and memos, and balances that obey
// the balance rule. The same entry count always gives the same file.

#include <cstdint>
#include <string>

struct GeneratedLedger
{
    std::string path;
    int64_t entries = 0;
    bool fromCache = false;
    double seconds = 0;
};

// The ledger of that many entries in the cache folder, generated when it is not there yet.
// An empty path in the result means it could not be written (the reason went to stderr).
GeneratedLedger cachedLedger(const std::string &cacheFolder, int64_t entries);

// Writes a new ledger of that many entries at the path (an existing file is replaced).
bool generateLedger(const std::string &path, int64_t entries);
