#include "BenchReport.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

const std::array<std::pair<const char *, const char *>, 20> kRows = {{
    {"startupExec", "Start-up, exec to main window shown"},
    {"startup", "Start-up, open handler to filled window"},
    {"switch", "Switch to the largest account"},
    {"expense", "Input a new expense"},
    {"transfer", "Input a new transfer"},
    {"changeTransfer", "Change a transfer pair"},
    {"deleteTransfer", "Delete a transfer pair"},
    {"accountDialog", "Open the account dialog"},
    {"accountDialogClose", "Close it, main window refilled"},
    {"categoryDialog", "Open the category dialog"},
    {"categoryDialogClose", "Close it, main window refilled"},
    {"mergeOpen", "Open the category dialog to merge"},
    {"merge", "Merge the most used sub-item"},
    {"mergeClose", "Close it, main window refilled"},
    {"assetReport", "Asset report drawn"},
    {"yearlyReport", "Yearly report drawn"},
    {"yearlyReportClose", "Close it"},
    {"assetCsv", "Asset report CSV written"},
    {"yearlyCsvOpen", "Yearly report opened for its CSV"},
    {"yearlyCsv", "Yearly report CSV written"},
}};

// The limits: 100 ms from 100,000 entries (300 ms for start-up from outside) and twice the
// bare statements where those take 5 ms or more; 1 s at 1,000,000 entries; 200 MB there.
bool tooSlow(const char *key, int64_t entries, double ms)
{
    if (entries >= 1000000) {
        return ms > 1000;
    }
    if (entries >= 100000) {
        return ms > (std::string(key) == "startupExec" ? 300 : 100);
    }
    return false;
}

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
        out.append(" ").append(sizeName(r.entries)).append(": ms | first | bare ms | ratio |");
        rule += "---:|---:|---:|---:|";
    }
    out.append("\n").append(rule).append("\n");
    for (const auto &[key, label] : kRows) {
        bool any = false;
        std::string line = std::string("| ") + label + " |";
        for (const SizeResult &r : results) {
            const auto found = r.timings.find(key);
            if (found == r.timings.end()) {
                line += " | | | |";
                continue;
            }
            any = true;
            const Timing &t = found->second;
            line.append(" ")
                .append(bold(milliseconds(t.median), tooSlow(key, r.entries, t.median)))
                .append(" |");
            line.append(" ")
                .append(bold(milliseconds(t.first), tooSlow(key, r.entries, t.first)))
                .append(" |");
            if (t.bare <= 0) {
                line += " | |";
                continue;
            }
            line.append(" ").append(milliseconds(t.bare)).append(" |");
            const double ratio = t.median / t.bare;
            // Twice the bare statements at most where they take 5 ms or more, from 100,000
            // entries on; below that the fixed cost of making a window says little.
            const bool heavy = r.entries >= 100000 && r.entries < 1000000 && t.bare >= 5 && ratio > 2;
            line.append(" ").append(bold(format("%.1f", ratio), heavy)).append(" |");
        }
        if (any) {
            out += line + "\n";
        }
    }
    out += "| Peak memory, MB |";
    for (const SizeResult &r : results) {
        const double mb = r.peakKb / 1024.0;
        out.append(" ").append(bold(format("%.0f", mb), r.entries >= 1000000 && mb > 200)).append(" | | | |");
    }
    return out + "\n";
}
