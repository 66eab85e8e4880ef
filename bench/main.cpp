// The benchmark program. Without --child it generates (or takes from the cache) a ledger of
// each size and runs two child processes per size, in step: one that drives the program's
// real windows and one that does what the program's connections did on bare SQLite. For
// every run of every action the program goes first and reports what its connections did (the
// statements with the program's own texts); the bare side then does exactly that, each
// statement once. Start-up is also timed from outside: the real executable started on the
// ledger, from its exec to its main window shown. A child per side gives the program its own
// peak memory figure. The table goes to stdout (and to --table FILE).

#include "BareReplay.h"
#include "BenchReport.h"
#include "LedgerGenerator.h"
#include "RealActions.h"
#include "Scenario.h"
#include "TimedAction.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kDefaultRuns = 7;

struct Options
{
    std::string child;
    std::vector<int64_t> sizes{10000, 100000, 1000000};
    int runs = kDefaultRuns;
    std::string cache = "build-bench/ledgers";
    std::string work = "build-bench/work";
    std::string ledger;
    std::string table;
    std::string only;
    std::string program = QUORVELA_PROGRAM;
    bool trace = false;
};

[[noreturn]] void usage()
{
    std::fprintf(
        stderr,
        "usage: quorvela_bench [--sizes N,N,...] [--runs N] [--cache DIR] [--work DIR] [--table FILE]\n"
        "                      [--only KEY,KEY,...] [--program PATH] [--trace]\n"
        "  Generates ledgers of the given entry counts (cached in --cache), times every user action\n"
        "  on the real windows and on bare SQLite, and prints the table.\n");
    std::exit(2);
}

std::vector<std::string> split(const std::string &text, char separator = ',')
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t at = text.find(separator, start);
        const size_t end = at == std::string::npos ? text.size() : at;
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage();
            }
            return argv[++i];
        };
        if (arg == "--child") {
            o.child = value();
        } else if (arg == "--sizes") {
            o.sizes.clear();
            for (const std::string &s : split(value())) {
                if (!s.empty()) {
                    o.sizes.push_back(std::stoll(s));
                }
            }
        } else if (arg == "--runs") {
            o.runs = std::max(1, std::stoi(value()));
        } else if (arg == "--cache") {
            o.cache = value();
        } else if (arg == "--work") {
            o.work = value();
        } else if (arg == "--ledger") {
            o.ledger = value();
        } else if (arg == "--table") {
            o.table = value();
        } else if (arg == "--only") {
            o.only = value();
        } else if (arg == "--program") {
            o.program = value();
        } else if (arg == "--trace") {
            o.trace = true;
        } else {
            usage();
        }
    }
    return o;
}

void copyLedger(const std::string &pristine, const std::string &copy)
{
    std::error_code ignored;
    std::filesystem::remove(copy + "-journal", ignored);
    std::filesystem::copy_file(pristine, copy, std::filesystem::copy_options::overwrite_existing);
}

std::string readLine(FILE *in)
{
    std::string line;
    char buffer[65536];
    while (std::fgets(buffer, sizeof buffer, in)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            return line;
        }
    }
    return line.empty() ? std::string("EOF") : line;
}

// The bare child: "EVENT ..." lines gather the run's events, "RUN writes writesFile phases"
// does them (the set-up untimed, then each timed phase) and answers "RESULT ms,..." and "DONE".
int runBareChild(const Options &o, const std::string &copy)
{
    BareReplay replay(copy);
    std::vector<RecordedEvent> events;
    int run = 0;
    while (true) {
        const std::string line = readLine(stdin);
        if (line.rfind("EVENT\t", 0) == 0) {
            events.push_back(parseEvent(line));
            continue;
        }
        int writes = 0;
        int writesFile = 0;
        int phases = 0;
        if (std::sscanf(line.c_str(), "RUN %d %d %d", &writes, &writesFile, &phases) != 3) {
            return 0;
        }
        if (writes) {
            replay.closeAll();
            copyLedger(o.ledger, copy);
        }
        size_t next = 0;
        for (; next < events.size() && events[next].phase < 0; ++next) {
            replay.replay(events[next]);
        }
        replay.forgetRows();
        malloc_trim(0);
        // A file is written where the program wrote it: after the last phase that ran a statement.
        int filePhase = 0;
        for (size_t i = next; i < events.size(); ++i) {
            filePhase = events[i].kind == RecordedEvent::Statement ? events[i].phase : filePhase;
        }
        bool written = !writesFile;
        const auto endPhase = [&](int phase) {
            if (!written && phase == filePhase) {
                writeFileDurably(o.work + "/bare-" + std::to_string(run++) + ".csv", replay.rowsAsLines());
                written = true;
            }
        };
        Laps laps;
        int phase = 0;
        for (; next < events.size(); ++next) {
            for (; phase < events[next].phase; ++phase) {
                endPhase(phase);
                laps.mark();
            }
            replay.replay(events[next]);
        }
        for (; phase < phases - 1; ++phase) {
            endPhase(phase);
            laps.mark();
        }
        endPhase(phase);
        const std::string ms = joinedMs(laps.finish());
        replay.forgetRows();
        events.clear();
        std::printf("RESULT\t%s\t\nDONE\n", ms.c_str());
        std::fflush(stdout);
    }
}

int runChild(const Options &o, int argc, char **argv)
{
    const Scenario scenario = readScenario(o.ledger);
    std::filesystem::create_directories(o.work);
    const std::string copy = o.work + "/Quorvela-bench.sqlf";
    copyLedger(o.ledger, copy);
    if (o.child == "bare") {
        return runBareChild(o, copy);
    }
    if (o.child == "real") {
        std::printf("SCENARIO\t%lld\t%d\t%lld\t%d\t%lld\n", static_cast<long long>(scenario.entries),
                    scenario.largestAccount, static_cast<long long>(scenario.largestAccountEntries),
                    scenario.mergeSource, static_cast<long long>(scenario.mergeSourceEntries));
        return runRealActions(argc, argv, scenario, o.work, copy, o.only,
                              [&o, copy] { copyLedger(o.ledger, copy); });
    }
    usage();
}

// A child process with a pipe each way.
struct Child
{
    pid_t pid = -1;
    FILE *in = nullptr;
    FILE *out = nullptr;

    void send(const std::string &line) const
    {
        std::fputs((line + "\n").c_str(), in);
        std::fflush(in);
    }
    // Lines up to "DONE" (not included), or up to the end of its output.
    std::vector<std::string> untilDone() const
    {
        std::vector<std::string> lines;
        for (std::string line = readLine(out); line != "DONE" && line != "EOF"; line = readLine(out)) {
            lines.push_back(line);
        }
        return lines;
    }
    // Ends it and yields its peak resident set in kB, or -1 when it failed.
    long finish()
    {
        std::fclose(in);
        std::fclose(out);
        int status = 0;
        struct rusage usage
        {
        };
        wait4(pid, &status, 0, &usage);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
    }
};

Child spawnChild(const std::string &kind, const Options &o, const std::string &ledger, int64_t size)
{
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    const std::string work = o.work + "/" + std::to_string(size) + "-" + kind;
    std::vector<std::string> args = {"/proc/self/exe", "--child", kind, "--ledger", ledger, "--work", work};
    if (!o.only.empty()) {
        args.push_back("--only");
        args.push_back(o.only);
    }
    Child child;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(toChild[0], STDIN_FILENO);
        dup2(fromChild[1], STDOUT_FILENO);
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) {
            close(fd);
        }
        std::vector<char *> argv;
        for (std::string &a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    child.in = fdopen(toChild[1], "w");
    child.out = fdopen(fromChild[0], "r");
    return child;
}

std::vector<double> parseResult(const std::vector<std::string> &lines, std::string &wrong)
{
    for (const std::string &line : lines) {
        if (line.rfind("RESULT\t", 0) == 0) {
            const std::vector<std::string> fields = split(line, '\t');
            wrong = fields.size() > 2 ? unescaped(fields[2]) : "";
            std::vector<double> ms;
            for (const std::string &m : split(fields[1])) {
                if (!m.empty()) {
                    ms.push_back(std::stod(m));
                }
            }
            return ms;
        }
    }
    wrong = "the child gave no result";
    return {};
}

struct ActionInfo
{
    size_t index = 0;
    bool writes = false;
    bool writesFile = false;
    std::vector<std::string> keys;
};

// Starts the real executable on a copy of the ledger remembered in a fresh data folder and
// waits for it to say that its main window has been shown (it then ends); the time from just
// before its start to that moment, or a negative number when it did not say so.
double timeExecutableStart(const Options &o, const std::string &ledger, const std::string &folder)
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    const std::string name = "Quorvela-bench.sqlf";
    copyLedger(ledger, folder + "/" + name);
    {
        std::ofstream ini(folder + "/Quorvela.ini", std::ios::binary);
        const uint32_t length = uint32_t(name.size());
        const char bytes[4] = {char(length & 0xFF), char((length >> 8) & 0xFF), char((length >> 16) & 0xFF),
                               char(length >> 24)};
        ini.write(bytes, 4);
        ini.write(name.data(), std::streamsize(name.size()));
    }
    int shown[2];
    if (pipe(shown) != 0) {
        return -1;
    }
    const std::string fd = std::to_string(shown[1]);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(shown[0]);
        setenv("QUORVELA_BENCH_SHOWN_FD", fd.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(o.program.c_str(), o.program.c_str(), "--data-dir", folder.c_str(),
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(shown[1]);
    char byte = 0;
    const bool said = ::read(shown[0], &byte, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    close(shown[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return said ? std::chrono::duration<double, std::milli>(end - start).count() : -1;
}

SizeResult runSize(const Options &o, const std::string &ledger, int64_t size)
{
    SizeResult result;
    result.entries = size;
    Child real = spawnChild("real", o, ledger, size);
    Child bare = spawnChild("bare", o, ledger, size);
    std::vector<ActionInfo> actions;
    for (std::string line = readLine(real.out); line != "READY" && line != "EOF"; line = readLine(real.out)) {
        const std::vector<std::string> f = split(line, '\t');
        if (f[0] == "SCENARIO" && f.size() >= 6) {
            std::fprintf(
                stderr, "  %s entries; largest account %s with %s entries; merge source %s with %s entries\n",
                f[1].c_str(), f[2].c_str(), f[3].c_str(), f[4].c_str(), f[5].c_str());
        } else if (f[0] == "ACTION" && f.size() >= 5) {
            actions.push_back({std::stoul(f[1]), f[2] == "1", f[3] == "1", split(f[4])});
        }
    }
    std::vector<std::string> startupEvents;
    for (const ActionInfo &action : actions) {
        std::map<std::string, std::vector<double>> program;
        std::map<std::string, std::vector<double>> bareMs;
        std::string wrong;
        for (int r = 0; r < o.runs && wrong.empty(); ++r) {
            real.send("RUN " + std::to_string(action.index) + " " + std::to_string(r));
            std::vector<std::string> events;
            std::vector<std::string> lines = real.untilDone();
            for (const std::string &line : lines) {
                if (line.rfind("EVENT\t", 0) == 0) {
                    events.push_back(line);
                    if (o.trace && r == 0) {
                        const RecordedEvent event = parseEvent(line);
                        if (event.kind == RecordedEvent::Statement) {
                            std::fprintf(stderr, "    %s: %.200s\n", action.keys.front().c_str(),
                                         event.sql.c_str());
                        }
                    }
                }
            }
            const std::vector<double> ms = parseResult(lines, wrong);
            if (!wrong.empty()) {
                break;
            }
            if (action.keys.front() == "startup") {
                startupEvents = events;
            }
            for (const std::string &event : events) {
                bare.send(event);
            }
            bare.send("RUN " + std::to_string(int(action.writes)) + " " +
                      std::to_string(int(action.writesFile)) + " " + std::to_string(action.keys.size()));
            std::string bareWrong;
            const std::vector<double> bareRun = parseResult(bare.untilDone(), bareWrong);
            for (size_t p = 0; p < action.keys.size() && p < ms.size(); ++p) {
                program[action.keys[p]].push_back(ms[p]);
                if (p < bareRun.size()) {
                    bareMs[action.keys[p]].push_back(bareRun[p]);
                }
            }
        }
        if (!wrong.empty()) {
            std::fprintf(stderr, "  %-20s not timed: %s\n", action.keys.front().c_str(), wrong.c_str());
            continue;
        }
        for (const std::string &key : action.keys) {
            const Timing t{program[key].front(), median(program[key]), median(bareMs[key])};
            result.timings[key] = t;
            std::fprintf(stderr, "  %-20s first %9.3f  median %9.3f  bare %9.3f ms\n", key.c_str(), t.first,
                         t.median, t.bare);
        }
    }
    // Start-up from outside, interleaved with the bare side doing what the program's start-up
    // did (its connection closed first, then opened afresh).
    if (!startupEvents.empty() && (o.only.empty() || o.only.find("startup") != std::string::npos)) {
        std::vector<double> program;
        std::vector<double> bareMs;
        for (int r = 0; r < o.runs; ++r) {
            const double ms = timeExecutableStart(o, ledger, o.work + "/" + std::to_string(size) + "-exec");
            if (ms < 0) {
                std::fprintf(stderr, "  %s did not report its main window shown\n", o.program.c_str());
                break;
            }
            program.push_back(ms);
            for (const std::string &event : startupEvents) {
                bare.send(event);
            }
            bare.send("RUN 0 0 1");
            std::string bareWrong;
            const std::vector<double> bareRun = parseResult(bare.untilDone(), bareWrong);
            bareMs.push_back(bareRun.empty() ? 0 : bareRun.front());
        }
        if (!program.empty()) {
            const Timing t{program.front(), median(program), median(bareMs)};
            result.timings["startupExec"] = t;
            std::fprintf(stderr, "  %-20s first %9.3f  median %9.3f  bare %9.3f ms\n", "startupExec", t.first,
                         t.median, t.bare);
        }
    }
    bare.send("QUIT");
    real.send("QUIT");
    bare.finish();
    result.peakKb = real.finish();
    if (result.peakKb < 0) {
        std::fprintf(stderr, "  the real child failed\n");
    }
    std::fprintf(stderr, "  peak memory: program %.1f MB\n", result.peakKb / 1024.0);
    return result;
}

int runParent(const Options &o)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<SizeResult> results;
    bool allOk = true;
    for (int64_t size : o.sizes) {
        const GeneratedLedger ledger = cachedLedger(o.cache, size);
        if (ledger.path.empty()) {
            return 1;
        }
        std::fprintf(
            stderr, "%lld entries: %s (%s), %d runs\n", static_cast<long long>(size), ledger.path.c_str(),
            ledger.fromCache ? "cached" : ("generated in " + std::to_string(ledger.seconds) + " s").c_str(),
            o.runs);
        results.push_back(runSize(o, ledger.path, size));
        allOk = allOk && results.back().peakKb >= 0;
    }
    const std::string table = performanceTable(results);
    std::fputs(table.c_str(), stdout);
    if (!o.table.empty()) {
        writeFileDurably(o.table, table);
    }
    return allOk ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const Options o = parse(argc, argv);
    if (!o.child.empty()) {
        return runChild(o, argc, argv);
    }
    return runParent(o);
}
