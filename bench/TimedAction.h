#pragma once
// One benchmarked user action: what is set up before each run (not timed), the action
// itself (timed), and what is put away after it (not timed). Actions that write run on a
// fresh copy of the ledger each time, so that every run starts alike.
//
// While a run is recorded, every SQLite connection of the process reports what it does:
// connections opened and closed, and each statement with the text the program gave it. The
// bare side replays exactly that, so it runs the program's own statements, each once.

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
    void lap();

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
    // The action writes a file (a CSV): the bare side writes what it read, and syncs it.
    bool writesFile = false;
};

// What a connection did during a recorded run. Phase -1 is the set-up before the timed part;
// 0, 1, ... are the timed phases.
struct RecordedEvent
{
    enum Kind : char
    {
        Open = 'O',
        Close = 'C',
        Statement = 'S'
    };
    Kind kind = Statement;
    int connection = 0;
    int phase = -1;
    std::string sql;
};

struct RunResult
{
    std::vector<double> ms;
    // Not empty when the first run did not do the action.
    std::string wrong;
    std::vector<RecordedEvent> events;
};

// The actions with a key in the comma-separated list; all of them when it is empty.
std::vector<TimedAction> selectActions(std::vector<TimedAction> actions, const std::string &only);

// From now on every SQLite connection opened by the process is recorded during runs.
void recordConnections();

// One run of the action: the ledger restored when it writes, the set-up, the allocator's
// deferred work done, the timed part, the check on the first run, the put-away.
RunResult runOnce(const TimedAction &action, int run, const std::function<void()> &restoreLedger);

// Text that travels inside one tab-separated line between the processes: backslashes, tabs and
// line ends escaped, and back.
std::string escaped(const std::string &text);
std::string unescaped(const std::string &text);

// Events as one line of text and back (the statement escaped).
std::string eventLine(const RecordedEvent &event);
RecordedEvent parseEvent(const std::string &line);

// The median of the runs' times.
double median(std::vector<double> ms);
// The times as "12.345,6.789", the way the children report them.
std::string joinedMs(const std::vector<double> &ms);

// Writes a whole file the way a careful program does: a temporary file, synced, renamed.
bool writeFileDurably(const std::string &path, const std::string &content);
