#include "TimedAction.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <sqlite3.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

// The action whose statements are being reported, or null outside a first run.
const std::string *g_tracedKey = nullptr;

int reportStatement(unsigned type, void *, void *statement, void *nanoseconds)
{
    if (type == SQLITE_TRACE_PROFILE && g_tracedKey) {
        char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement));
        std::printf("SQL\t%s\t%.3f\t%s\n", g_tracedKey->c_str(),
                    *static_cast<sqlite3_int64 *>(nanoseconds) / 1e6, sql ? sql : "");
        sqlite3_free(sql);
    }
    return 0;
}

int traceConnection(sqlite3 *db, const char **, const struct sqlite3_api_routines *)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_PROFILE, reportStatement, nullptr);
    return SQLITE_OK;
}

bool g_tracing = false;

} // namespace

void traceStatements()
{
    g_tracing = true;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceConnection));
}

void Laps::mark()
{
    const auto now = std::chrono::steady_clock::now();
    m_ms.push_back(std::chrono::duration<double, std::milli>(now - m_last).count());
    m_last = now;
}

std::vector<double> Laps::finish()
{
    mark();
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

std::vector<ActionTiming> timeActions(const std::vector<TimedAction> &actions, int runs,
                                      const std::function<void()> &restoreLedger)
{
    std::vector<ActionTiming> timings;
    for (const TimedAction &action : actions) {
        std::vector<std::vector<double>> phases(action.keys.size());
        for (int r = 0; r < runs; ++r) {
            if (action.writes) {
                restoreLedger();
            }
            if (action.prepare) {
                action.prepare();
            }
            // What the set-up freed is handed back now: otherwise the allocator consolidates
            // it during the first allocation of the timed part, and charges the action for it.
            malloc_trim(0);
            if (g_tracing && r == 0) {
                g_tracedKey = &action.keys.front();
            }
            Laps laps;
            action.run(laps);
            const std::vector<double> ms = laps.finish();
            g_tracedKey = nullptr;
            std::string wrong;
            if (r == 0 && action.verify) {
                wrong = action.verify();
            }
            if (action.finish) {
                action.finish();
            }
            if (!wrong.empty()) {
                std::printf("SKIP\t%s\t%s\n", action.keys.front().c_str(), wrong.c_str());
                std::fflush(stdout);
                phases.assign(phases.size(), {});
                break;
            }
            if (ms.size() != phases.size()) {
                std::fprintf(stderr, "%s: %zu phases measured, %zu expected\n", action.keys.front().c_str(),
                             ms.size(), phases.size());
                std::exit(2);
            }

            for (size_t p = 0; p < ms.size(); ++p) {
                phases[p].push_back(ms[p]);
            }
        }
        for (size_t p = 0; p < phases.size(); ++p) {
            std::vector<double> &ms = phases[p];
            if (ms.empty()) {
                continue;
            }
            std::sort(ms.begin(), ms.end());
            const size_t n = ms.size();
            const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
            timings.push_back({action.keys[p], median, ms.front(), ms.back()});
            std::printf("TIME\t%s\t%.3f\t%.3f\t%.3f\n", action.keys[p].c_str(), median, ms.front(),
                        ms.back());
            std::fflush(stdout);
        }
    }
    return timings;
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
