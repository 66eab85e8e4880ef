#pragma once
// The results table of the benchmark program, in Markdown.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One action's figures at one size: the program's first run and median, the bare side's
// median.
struct Timing
{
    double first = 0;
    double median = 0;
    double bare = 0;
};

struct SizeResult
{
    int64_t entries = 0;
    std::map<std::string, Timing> timings;
    long peakKb = 0;
};

// One row per action, four columns per size (median, first run, bare SQLite's median, the
// ratio of the medians) and a last row with the peak memory; figures that miss a limit are
// bold.
std::string performanceTable(const std::vector<SizeResult> &results);
