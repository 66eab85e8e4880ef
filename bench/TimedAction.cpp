#include "TimedAction.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include <sqlite3.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

// The run being recorded, or null between runs.
RunResult *g_recording = nullptr;
int g_phase = -1;
// Connections by handle, numbered as they are first seen.
std::map<sqlite3 *, int> g_connections;
int g_nextConnection = 1;

void record(RecordedEvent::Kind kind, int connection, std::string sql = {})
{
    if (g_recording) {
        g_recording->events.push_back({kind, connection, g_phase, std::move(sql)});
    }
}

int connectionId(sqlite3 *db)
{
    const auto found = g_connections.find(db);
    if (found != g_connections.end()) {
        return found->second;
    }
    // Opened before recording began: it is opened here for the bare side.
    const int id = g_nextConnection++;
    g_connections[db] = id;
    record(RecordedEvent::Open, id);
    return id;
}

int onTrace(unsigned type, void *, void *p, void *x)
{
    if (type == SQLITE_TRACE_STMT) {
        const char *sql = static_cast<const char *>(x);
        // Statements inside a trigger come as comments; the bare side runs the outer one.
        if (sql && !(sql[0] == '-' && sql[1] == '-')) {
            auto *statement = static_cast<sqlite3_stmt *>(p);
            record(RecordedEvent::Statement, connectionId(sqlite3_db_handle(statement)), sql);
        }
    } else if (type == SQLITE_TRACE_CLOSE) {
        auto *db = static_cast<sqlite3 *>(p);
        const auto found = g_connections.find(db);
        if (found != g_connections.end()) {
            record(RecordedEvent::Close, found->second);
            g_connections.erase(found);
        }
    }
    return 0;
}

int onOpen(sqlite3 *db, const char **, const struct sqlite3_api_routines *)
{
    const int id = g_nextConnection++;
    g_connections[db] = id;
    record(RecordedEvent::Open, id);
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT | SQLITE_TRACE_CLOSE, onTrace, nullptr);
    return SQLITE_OK;
}

} // namespace

std::string escaped(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescaped(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

void recordConnections()
{
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(onOpen));
}

void Laps::lap()
{
    const auto now = std::chrono::steady_clock::now();
    m_ms.push_back(std::chrono::duration<double, std::milli>(now - m_last).count());
    m_last = now;
}

void Laps::mark()
{
    lap();
    ++g_phase;
}

std::vector<double> Laps::finish()
{
    lap();
    return m_ms;
}

std::vector<TimedAction> selectActions(std::vector<TimedAction> actions, const std::string &only)
{
    if (only.empty()) {
        return actions;
    }
    std::vector<TimedAction> kept;
    const std::string list = "," + only + ",";
    for (TimedAction &a : actions) {
        for (const std::string &key : a.keys) {
            if (list.find("," + key + ",") != std::string::npos) {
                kept.push_back(std::move(a));
                break;
            }
        }
    }
    return kept;
}

RunResult runOnce(const TimedAction &action, int run, const std::function<void()> &restoreLedger)
{
    RunResult result;
    if (action.writes) {
        restoreLedger();
    }
    g_recording = &result;
    g_phase = -1;
    if (action.prepare) {
        action.prepare();
    }
    // What the set-up freed is handed back now: otherwise the allocator consolidates it
    // during the first allocation of the timed part, and charges the action for it. The bare
    // side does the same.
    malloc_trim(0);
    g_phase = 0;
    Laps laps;
    action.run(laps);
    result.ms = laps.finish();
    g_recording = nullptr;
    if (run == 0 && action.verify) {
        result.wrong = action.verify();
    }
    if (action.finish) {
        action.finish();
    }
    if (result.wrong.empty() && result.ms.size() != action.keys.size()) {
        result.wrong = std::to_string(result.ms.size()) + " phases measured, " +
                       std::to_string(action.keys.size()) + " expected";
    }
    return result;
}

std::string eventLine(const RecordedEvent &event)
{
    return std::string("EVENT\t") + char(event.kind) + "\t" + std::to_string(event.connection) + "\t" +
           std::to_string(event.phase) + "\t" + escaped(event.sql);
}

RecordedEvent parseEvent(const std::string &line)
{
    // EVENT <kind> <connection> <phase> <sql>
    RecordedEvent event;
    size_t at = line.find('\t') + 1;
    event.kind = RecordedEvent::Kind(line[at]);
    at = line.find('\t', at) + 1;
    size_t end = line.find('\t', at);
    event.connection = std::stoi(line.substr(at, end - at));
    at = end + 1;
    end = line.find('\t', at);
    event.phase = std::stoi(line.substr(at, end - at));
    event.sql = unescaped(line.substr(end + 1));
    return event;
}

double median(std::vector<double> ms)
{
    if (ms.empty()) {
        return 0;
    }
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

std::string joinedMs(const std::vector<double> &ms)
{
    std::string out;
    for (const double m : ms) {
        if (!out.empty()) {
            out += ',';
        }
        out += std::to_string(m);
    }
    return out;
}

bool writeFileDurably(const std::string &path, const std::string &content)
{
    const std::string temporary = path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ok = ::fdatasync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}
