// The benchmark program. Without --child it generates (or takes from the cache) a ledger of
// each size and runs two child processes per size: one that drives the program's real
// windows and one that runs the same statements on bare SQLite. A child per size gives each
// size its own peak memory figure. The table goes to stdout (and to --table FILE).

#include "BareActions.h"
#include "BareLedger.h"
#include "BenchReport.h"
#include "LedgerGenerator.h"
#include "RealActions.h"
#include "Scenario.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Options
{
    std::string child;
    std::vector<int64_t> sizes{10000, 100000, 1000000};
    int runs = 7;
    std::string cache = "build-bench/ledgers";
    std::string work = "build-bench/work";
    std::string ledger;
    std::string table;
    std::string only;
    bool trace = false;
};

[[noreturn]] void usage()
{
    std::fprintf(
        stderr,
        "usage: quorvela_bench [--sizes N,N,...] [--runs N] [--cache DIR] [--work DIR] [--table FILE]\n"
        "                      [--only KEY,KEY,...]\n"
        "  Generates ledgers of the given entry counts (cached in --cache), times every user action\n"
        "  on the real windows and on bare SQLite, and prints the table.\n");
    std::exit(2);
}

std::vector<std::string> split(const std::string &text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        if (end > start) {
            parts.push_back(text.substr(start, end - start));
        }
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
                o.sizes.push_back(std::stoll(s));
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
        } else if (arg == "--trace") {
            o.trace = true;
        } else {
            usage();
        }
    }
    return o;
}

// The working copy the actions run on, made again before every run of an action that writes.
std::function<void()> restorer(const std::string &pristine, const std::string &copy)
{
    return [pristine, copy] {
        std::error_code ignored;
        std::filesystem::remove(copy + "-journal", ignored);
        std::filesystem::copy_file(pristine, copy, std::filesystem::copy_options::overwrite_existing);
    };
}

int runChild(const Options &o, int argc, char **argv)
{
    if (o.trace) {
        traceStatements();
    }
    const Scenario scenario = readScenario(o.ledger);
    std::filesystem::create_directories(o.work);
    const std::string copy = o.work + "/Quorvela-bench.sqlf";
    const auto restore = restorer(o.ledger, copy);
    restore();
    std::printf("SCENARIO\t%lld\t%d\t%lld\t%d\t%lld\n", static_cast<long long>(scenario.entries),
                scenario.largestAccount, static_cast<long long>(scenario.largestAccountEntries),
                scenario.mergeSource, static_cast<long long>(scenario.mergeSourceEntries));
    if (o.child == "bare") {
        BareLedger db;
        timeActions(selectActions(bareActions(db, scenario, copy, o.work), o.only), o.runs, [&db, &restore] {
            db.close();
            restore();
        });
        return 0;
    }
    if (o.child == "real") {
        return runRealActions(argc, argv, scenario, o.work, copy, o.runs, o.only, restore);
    }
    usage();
}

struct ChildResult
{
    std::map<std::string, double> medians;
    long peakKb = 0;
    bool ok = false;
};

ChildResult spawnChild(const std::string &kind, const Options &o, const std::string &ledger, int64_t size)
{
    ChildResult result;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return result;
    }
    const std::string work = o.work + "/" + std::to_string(size) + "-" + kind;
    const std::string runs = std::to_string(o.runs);
    std::vector<std::string> args = {"/proc/self/exe", "--child", kind,     "--ledger", ledger,
                                     "--work",         work,      "--runs", runs};
    if (!o.only.empty()) {
        args.push_back("--only");
        args.push_back(o.only);
    }
    if (o.trace) {
        args.push_back("--trace");
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<char *> argv;
        for (std::string &a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    FILE *in = fdopen(pipeFds[0], "r");
    char line[4096];
    while (in && std::fgets(line, sizeof line, in)) {
        std::vector<std::string> fields;
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        size_t start = 0;
        while (true) {
            const size_t tab = text.find('\t', start);
            fields.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        if (fields[0] == "TIME" && fields.size() >= 3) {
            result.medians[fields[1]] = std::stod(fields[2]);
            std::fprintf(stderr, "  %-5s %-20s %10s ms (min %s, max %s)\n", kind.c_str(), fields[1].c_str(),
                         fields[2].c_str(), fields.size() > 3 ? fields[3].c_str() : "",
                         fields.size() > 4 ? fields[4].c_str() : "");
        } else if (fields[0] == "SKIP" && fields.size() >= 3) {
            std::fprintf(stderr, "  %-5s %-20s not timed: %s\n", kind.c_str(), fields[1].c_str(),
                         fields[2].c_str());
        } else if (fields[0] == "SQL" && fields.size() >= 4) {
            std::fprintf(stderr, "  %-5s %-20s %10s ms  %.160s\n", kind.c_str(), fields[1].c_str(),
                         fields[2].c_str(), fields[3].c_str());
        } else if (fields[0] == "SCENARIO" && kind == "bare" && fields.size() >= 6) {
            std::fprintf(
                stderr, "  %s entries; largest account %s with %s entries; merge source %s with %s entries\n",
                fields[1].c_str(), fields[2].c_str(), fields[3].c_str(), fields[4].c_str(),
                fields[5].c_str());
        }
    }
    if (in) {
        std::fclose(in);
    }
    int status = 0;
    struct rusage usage
    {
    };
    wait4(pid, &status, 0, &usage);
    result.peakKb = usage.ru_maxrss;
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) {
        std::fprintf(stderr, "  the %s child failed (status %d)\n", kind.c_str(), status);
    }
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
        std::fprintf(stderr, "%lld entries: %s (%s)\n", static_cast<long long>(size), ledger.path.c_str(),
                     ledger.fromCache ? "cached"
                                      : ("generated in " + std::to_string(ledger.seconds) + " s").c_str());
        const ChildResult bare = spawnChild("bare", o, ledger.path, size);
        const ChildResult real = spawnChild("real", o, ledger.path, size);
        allOk = allOk && bare.ok && real.ok;
        std::fprintf(stderr, "  peak memory: program %.1f MB, bare %.1f MB\n", real.peakKb / 1024.0,
                     bare.peakKb / 1024.0);
        results.push_back({size, real.medians, bare.medians, real.peakKb});
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
