#include "TimedAction.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

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
            Laps laps;
            action.run(laps);
            const std::vector<double> ms = laps.finish();
            if (action.finish) {
                action.finish();
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
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok && std::rename(temporary.c_str(), path.c_str()) == 0;
}
