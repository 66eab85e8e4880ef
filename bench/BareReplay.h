#pragma once
// The bare side of a run: what the program's connections did (recorded in the real run) done
// again with the SQLite C API alone, each statement once, its rows read into plain values
// that are kept until the run ends, as the program's lists keep theirs.

#include "TimedAction.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct sqlite3;

class BareReplay
{
public:
    explicit BareReplay(std::string ledgerPath) : m_path(std::move(ledgerPath)) {}
    ~BareReplay();
    BareReplay(const BareReplay &) = delete;
    BareReplay &operator=(const BareReplay &) = delete;

    // Opens, closes or runs what the event says; a statement that fails ends the process.
    void replay(const RecordedEvent &event);
    void closeAll();
    // The rows read so far as lines of text, and forgetting them.
    std::string rowsAsLines() const;
    void forgetRows();

private:
    // What the program's reads meet: integers, texts and NULLs (written as 0, as the program
    // writes a month without entries). No column of the ledger holds reals, and no statement
    // of the program computes one, so there is no real here to write.
    struct Value
    {
        int64_t integer = 0;
        std::string text;
    };

    std::string m_path;
    std::map<int, sqlite3 *> m_connections;
    std::vector<Value> m_values;
    std::vector<size_t> m_rowEnds;
};
