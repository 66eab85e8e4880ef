#pragma once
// The results table of the benchmark program, in Markdown.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct SizeResult
{
    int64_t entries = 0;
    std::map<std::string, double> program;
    std::map<std::string, double> bare;
    long peakKb = 0;
};

// One row per action, a column pair (median, ratio to bare SQLite) per size, and a last row
// with the peak memory; figures that miss the goal are bold.
std::string performanceTable(const std::vector<SizeResult> &results);
