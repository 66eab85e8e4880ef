#pragma once
// Sums of amounts that never wrap. A ledger written by another program may hold amounts near
// the 64-bit limit; a sum past it has no true value to show or store, so every step says
// whether its exact result fits. The failure reads as the database's own (SQLite's SUM says
// "integer overflow"), so a sum worked out here and one worked out by SQL fail alike.
//
// Usage: if (const auto total = checkedAdd(a, b)) { use *total; } else { report
// kIntegerOverflow as the read's failure; }

#include <cstdint>
#include <optional>

inline constexpr const char *kIntegerOverflow = "integer overflow";

[[nodiscard]] inline std::optional<int64_t> checkedAdd(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return std::nullopt;
    }
    return sum;
}

[[nodiscard]] inline std::optional<int64_t> checkedSub(int64_t a, int64_t b)
{
    int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) {
        return std::nullopt;
    }
    return difference;
}
