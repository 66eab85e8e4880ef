#include "BenchReport.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

const std::array<std::pair<const char *, const char *>, 15> kRows = {{
    {"startup", "Start-up to the filled main window"},
    {"switch", "Switch to the largest account"},
    {"expense", "Input a new expense"},
    {"transfer", "Input a new transfer"},
    {"changeTransfer", "Change a transfer pair"},
    {"deleteTransfer", "Delete a transfer pair"},
    {"accountDialog", "Open the account dialog"},
    {"accountDialogClose", "Close it, main window refilled"},
    {"categoryDialog", "Open the category dialog"},
    {"categoryDialogClose", "Close it, main window refilled"},
    {"merge", "Merge the most used sub-item"},
    {"assetReport", "Asset report drawn"},
    {"yearlyReport", "Yearly report drawn"},
    {"assetCsv", "Asset report CSV written"},
    {"yearlyCsv", "Yearly report CSV written"},
}};

std::string format(const char *pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string milliseconds(double ms)
{
    return ms < 10 ? format("%.2f", ms) : ms < 100 ? format("%.1f", ms) : format("%.0f", ms);
}

std::string bold(const std::string &text, bool miss)
{
    if (!miss) {
        return text;
    }
    std::string out = "**";
    out.append(text).append("**");
    return out;
}

std::string sizeName(int64_t entries)
{
    const std::string digits = std::to_string(entries);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

} // namespace

std::string performanceTable(const std::vector<SizeResult> &results)
{
    std::string out = "| Action |";
    std::string rule = "|---|";
    for (const SizeResult &r : results) {
        out.append(" ").append(sizeName(r.entries)).append(": ms | bare ms | ratio |");
        rule += "---:|---:|---:|";
    }
    out.append("\n").append(rule).append("\n");
    for (const auto &[key, label] : kRows) {
        bool any = false;
        std::string line = std::string("| ") + label + " |";
        for (const SizeResult &r : results) {
            const auto program = r.program.find(key);
            const auto bare = r.bare.find(key);
            if (program == r.program.end()) {
                line += " | | |";
                continue;
            }
            any = true;
            const double ms = program->second;
            const bool slow = (r.entries <= 100000 && ms > 100) || ms > 1000;
            line.append(" ").append(bold(milliseconds(ms), slow)).append(" |");
            if (bare == r.bare.end() || bare->second <= 0) {
                line += " | |";
                continue;
            }
            line.append(" ").append(milliseconds(bare->second)).append(" |");
            const double ratio = ms / bare->second;
            // The overhead goal holds from 100,000 entries on; below that the fixed cost of
            // making a window outweighs the statements and the ratio says little.
            const bool heavy = r.entries >= 100000 && r.entries < 1000000 && ratio > 2;
            line.append(" ").append(bold(format("%.1f", ratio), heavy)).append(" |");
        }
        if (any) {
            out += line + "\n";
        }
    }
    out += "| Peak memory, MB |";
    for (const SizeResult &r : results) {
        const double mb = r.peakKb / 1024.0;
        out.append(" ").append(bold(format("%.0f", mb), mb > 300)).append(" | | |");
    }
    return out + "\n";
}
