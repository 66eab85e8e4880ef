#pragma once
// One benchmarked user action: what is set up before each run (not timed), the action
// itself (timed), and what is put away after it (not timed). Actions that write run on a
// fresh copy of the ledger each time, so that every run starts alike.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// The clock of one run. An action with several phases (a dialog that opens, then closes)
// marks the end of each phase but the last.
class Laps
{
public:
    Laps() : m_last(std::chrono::steady_clock::now()) {}
    void mark();
    // The phases so far, in milliseconds, ending with the one that runs up to now.
    std::vector<double> finish();

private:
    std::chrono::steady_clock::time_point m_last;
    std::vector<double> m_ms;
};

struct TimedAction
{
    // One key per phase.
    std::vector<std::string> keys;
    bool writes = false;
    std::function<void()> prepare;
    std::function<void(Laps &)> run;
    std::function<void()> finish;
    // After the first run, before finish: what is wrong with what the run did, or "" when it
    // did the action. An action whose first run did not do it is not timed (a window that
    // is still a stub would otherwise be timed doing nothing).
    std::function<std::string()> verify;
};

struct ActionTiming
{
    std::string key;
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
};

// The actions with a key in the comma-separated list; all of them when it is empty.
std::vector<TimedAction> selectActions(std::vector<TimedAction> actions, const std::string &only);

// Runs each action `runs` times; restoreLedger is called before every run of an action that
// writes. Prints one line per phase to stdout for the parent process.
std::vector<ActionTiming> timeActions(const std::vector<TimedAction> &actions, int runs,
                                      const std::function<void()> &restoreLedger);

// From now on every SQLite connection of the process reports the statements run during the
// first run of each action: "SQL <key> <ms> <statement>" lines on stdout.
void traceStatements();

// Writes a whole file the way a careful program does: a temporary file, synced, renamed.
bool writeFileDurably(const std::string &path, const std::string &content);
